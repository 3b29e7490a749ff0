// Report forms as files and small services around reports.
//
// A report form file is the platform's text form stream (platform/Filer.h)
// whose root is a TRpReportForm holding the report, its bands and their
// printables. Only the classes registered here (and those other report
// units register the same way) are created from it.
#pragma once

#include "platform/Forms.h"
#include "report/RpReport.h"

#include <string>

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
