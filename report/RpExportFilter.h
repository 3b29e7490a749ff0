// Export filters turn a report run into another file format. TRpExportFilter
// is the base every filter derives from; the report calls Start with the
// paper size in 0.1 mm and the report font, then the output operations page
// by page, and Finish. RpExportFilterLibrary() lists the filter classes the
// preview's save dialog offers after the report file itself.
#pragma once

#include "platform/Classes.h"
#include "platform/Controls.h"
#include "platform/Graphics.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TRpPrinter;
class TRpPrintable;
class TRpCustomBand;

class TRpExportFilter : public TObject {
public:
    explicit TRpExportFilter(const std::string& AFileName);

    virtual std::string GetDescription();   // "Abstract non-working export filter"
    virtual std::string GetExtension();     // empty
    virtual std::string GetFilterName();    // "Abstract filter"
    virtual std::string GetVendorName();
    virtual bool GetStreaming();             // false

    // Sizes in 0.1 mm; Active from Start to Finish.
    virtual void Start(int32_t PaperWidth, int32_t PaperLength, TFont* Font);
    virtual void EndPage() {}
    virtual void Finish();
    virtual void NewPage() {}
    virtual void AcceptGraphic(double X, double Y, TRpPrintable* Control) {}
    virtual void AcceptBand(TRpCustomBand* Band, double Expanded, double X, double Y) {}
    virtual void TextOut(double X, double Y, TFont* Font, TColor Background, TAlignment Alignment,
                         const std::string& Text)
    {
    }

    // The report's printer when the export began, and the report driving the
    // filter: both set by the report, neither owned.
    TRpPrinter* SavedRpPrinter() const { return FSavedRpPrinter; }
    void SetSavedRpPrinter(TRpPrinter* Value) { FSavedRpPrinter = Value; }
    bool Active() const { return FActive; }
    const std::string& FileName() const { return FFileName; }
    TComponent* Owner() const { return FOwner; }
    void SetOwner(TComponent* Value) { FOwner = Value; }

private:
    TRpPrinter* FSavedRpPrinter = nullptr;
    bool FActive = false;
    std::string FFileName;
    TComponent* FOwner = nullptr;
};

// What stands for a filter class: its name and how to make one for a file.
struct TRpExportFilterClass {
    std::string ClassName;
    std::function<std::unique_ptr<TRpExportFilter>(const std::string& FileName)> Create;

    template <class T>
    static TRpExportFilterClass Of(const std::string& ClassName)
    {
        return {ClassName, [](const std::string& FileName) { return std::make_unique<T>(FileName); }};
    }
};

struct TRpExportFilterLibraryEntry {
    TRpExportFilterClass ExportFilterClass;
    std::string Name;        // the filter's GetFilterName
    std::string Extension;   // its GetExtension
};

class TRpExportFilterLibrary : public TObject {
public:
    // Appends an entry unless one of a class with the same name is there.
    void AddFilter(const TRpExportFilterClass& FilterClass);
    // Removes the first entry whose Name is the filter's name.
    void RemoveFilter(const TRpExportFilterClass& FilterClass);

    int Count() const { return static_cast<int>(FFilterList.size()); }
    const TRpExportFilterLibraryEntry& Entries(int Index) const { return FFilterList.at(static_cast<size_t>(Index)); }

    // "Report file(*.RPF)|*.RPF", then "|Name (*.EXT)|*.EXT" per entry.
    std::string GetSaveDialogFilter() const;

private:
    std::vector<TRpExportFilterLibraryEntry> FFilterList;
};

// The one library of the program.
TRpExportFilterLibrary& RpExportFilterLibrary();
