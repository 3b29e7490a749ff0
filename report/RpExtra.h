// Services around reports: report forms as files (the platform's text form
// stream, platform/Filer.h, whose root is a TRpReportForm holding the report,
// its bands and their printables; only registered classes are created from
// it), the fields of a run's data sets as expression elements, report
// builders, the text search in one page picture the preview's find uses, a
// print job that writes pages without a report component, and a handler that
// previews or prints a saved report file.
#pragma once

#include "platform/Classes.h"
#include "platform/Forms.h"
#include "platform/Metafile.h"
#include "platform/Printers.h"
#include "report/RpExpr.h"
#include "report/RpPrntr.h"
#include "report/RpReport.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class TDataSet;
class TField;

// Reads one field of a data set. The field is fetched again when the data set
// has rebuilt its fields: by its position when the field there still has the
// name, else by name; a field that is gone gives an error value.
class TRpEvElementDataField : public TRpEvElement {
public:
    explicit TRpEvElementDataField(TField* Field);
    void Value(TRpFiFo& FiFo, TRpEvResult& Result) override;
    // The field as the data set holds it now (nullptr when gone).
    TField* CurrentField();

private:
    TDataSet* FDataSet;
    int32_t FFieldPos;
    std::string FFieldName;
};

// A field's value as an expression value: strings (at most 255 characters),
// integers, floats, booleans; dates and times as their text.
TRpEvResult RpFieldValue(const TField* Field);

// The fields of a list of data sets, asked in list order.
class TRpDataSetFields : public TRpEvDatasets {
public:
    explicit TRpDataSetFields(const std::vector<TDataSet*>* DataSets) : FDataSets(DataSets) {}
    std::unique_ptr<TRpEvElement> FindField(const std::string& DatasetName, const std::string& FieldName) override;

private:
    const std::vector<TDataSet*>* FDataSets;
};

// ------------------------------------------------------------- builders

class TCustomRpReport;
class TFont;

// Builds a report at run time: a title label and a page-number footer. The
// built report belongs to the builder's owner (a form); the builder frees it
// when it is deactivated before the report was fetched.
class TRpBuilder : public TComponent {
public:
    explicit TRpBuilder(TComponent* AOwner);
    ~TRpBuilder() override;

    bool Active() const { return FActive; }
    virtual void SetActive(bool Value);
    TFont* ReportFont() const { return FReportFont.get(); }
    TPrinterOrientation Orientation() const { return FOrientation; }
    virtual void SetOrientation(TPrinterOrientation Value);
    const std::string& Title() const { return FTitle; }
    virtual void SetTitle(const std::string& Value);
    TCustomRpReport* BuiltReport() const { return FBuiltReport; }
    // A report to build on instead of a new one (before activating).
    void SetBuiltReport(TCustomRpReport* Value) { FBuiltReport = Value; }
    // Hands the built report over (nullptr when not active); the builder
    // becomes inactive without freeing it.
    TCustomRpReport* FetchReport();
    // Base without its first character, followed by a counter per base.
    std::string NewName(const std::string& Base);
    // Names every unnamed component of the report's owner.
    void RenameObjects();

protected:
    virtual void BuildFramework();
    void FreeBuiltReport();

private:
    bool FActive = false;
    std::unique_ptr<TFont> FReportFont;
    TPrinterOrientation FOrientation = poPortrait;
    TCustomRpReport* FBuiltReport = nullptr;
    std::string FTitle;
    std::vector<std::pair<std::string, int32_t>> FNameCounts;
};

// A list report: one column per field of ListDataSet (or of Fields), a
// header label over an expression on the field.
class TRpListBuilder : public TRpBuilder {
public:
    explicit TRpListBuilder(TComponent* AOwner);
    ~TRpListBuilder() override;

    TDataSet* ListDataSet() const { return FListDataSet; }
    void SetListDataSet(TDataSet* Value) { FListDataSet = Value; }
    TStringList* Fields() const { return FFields.get(); }
    void SetFields(TStrings* Value);
    void AddAllFields();
    void SetActive(bool Value) override;

protected:
    virtual void BuildList();

private:
    void AddColumn(TField* Field, int32_t& RowHeight);
    TDataSet* FListDataSet = nullptr;
    std::unique_ptr<TStringList> FFields;
};

// A list report over DataSet built into Report (a new one when nullptr).
void RpCreateList(TCustomRpReport*& Report, TComponent* Owner, TDataSet* DataSet, const std::string& Title,
                  TStrings* FieldList);

// The data sets owned by Form and by the components its windowed controls
// own, as name-and-object pairs; the caller owns the list.
std::unique_ptr<TStringList> AllDataSets(TComponent* Form, bool IncludeDataModules);

// ------------------------------------------------------------- pages without a report

// True when one text drawn on the page contains Str (each text on its own:
// a string split across two texts is not found). Unless CaseSensitive both
// are compared upper-cased.
bool StrInMetafile(const std::string& Str, TMetafile* Metafile, bool CaseSensitive);

// Output without a report: a descendant writes its pages to the printer
// CreateOutput is given (BeginDoc, NewPage, drawing on GetCanvas, EndDoc).
class TRpPrintJob : public TObject {
public:
    virtual void CreateOutput(TRpPrinter* Printer) {}
    // The pages recorded into a preview window; returns when it closes.
    void Preview();
    // The pages to the printer.
    void Print();
};

// A saved report file (".RPF") to preview or print.
class TRpPHandler : public TObject {
public:
    TRpPHandler() = default;
    ~TRpPHandler() override;

    const std::string& Filename() const { return FFilename; }
    // Loads the file into a new printer (the reader's error, ERpError, goes
    // to the caller; the handler then has no printer and no name).
    void SetFilename(const std::string& Value);
    TRpPrinter* LoadedPrinter() const { return FLoadedPrinter.get(); }
    // Shows the pages; returns when the preview window closes.
    void Preview();
    void Print();

private:
    std::string FFilename;
    std::unique_ptr<TRpPrinter> FLoadedPrinter;
};

// ------------------------------------------------------------- report forms

class TComboBox;

// The form a report form file is read into: it streams the components it
// owns whose parent control is the form itself or none.
class TRpReportForm : public TForm {
    OZ_CLASS(TRpReportForm, TForm);

public:
    explicit TRpReportForm(TComponent* AOwner);
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
};

// Registers the report classes with the form stream (done once at start-up;
// calling it again does nothing).
void RegisterRpClasses();

// The report of the form file FileName: a new TRpReportForm owned by the
// application is read from the file; its first component is the result when
// it is a TRpReport, else nil (the form is freed, without a message). A file
// that cannot be read (missing, cut, unknown classes or properties, values of
// the wrong kind, lists of the wrong length) shows "Error loading report",
// frees what was read and gives nil.
TRpReport* RpLoadReport(const std::string& FileName);
// Frees the report's owner (the whole form), or the report when it has none.
void RpFreeReport(TCustomRpReport* Report);

// The font sizes the editors offer: 8 to 72 (16 entries).
void PopulateFontSizeCombo(TComboBox* Combo);
