// The "Report Settings" editor of a report: paper, margins, columns and the
// first-page-header and last-page-footer options, edited in place.
#pragma once

#include "platform/Buttons.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"
#include "platform/StdCtrls.h"
#include "report/RpReport.h"

#include <string>

class TRpCompEd : public TForm {
public:
    // The standard bands in the order they are applied: page header, title,
    // column header, detail, summary, page footer.
    static constexpr int BandCount = 6;

    explicit TRpCompEd(TComponent* AOwner);

    TRpReport* RpReport() const { return FReport; }
    // Stores the report and loads the controls from it.
    void SetRpReport(TRpReport* Report);
    // Report to controls (numbers as "##0.00" in the report's units).
    void GetValues();
    // Controls to report.
    void SetValues();

    // A numeric edit was entered / left (also Enter in it): a number above
    // 1000 shows "Value too big" and brings the entered text back; a text
    // that is no number is refused the same way; otherwise "##0.00".
    void EditEnter(TControl* Edit);
    void EditExit(TControl* Edit);
    // The numeric edits take only digits, the decimal point and backspace;
    // Enter runs the leaving check.
    void NumberKeyPress(TControl* Edit, char& Key);

private:
    TImageList* Pictures;
    TPaintBox* HeadingShape;
    TPaintBox* HeadingPicture;
    TLabel* HeadingLabel;
    TGroupBox* PaperGroup;
    TGroupBox* MarginsGroup;
    TGroupBox* OtherGroup;
    TGroupBox* FrameGroup;
    TGroupBox* BandsGroup;
    TComboBox* PaperSize;
    TEdit* PageWidth;
    TEdit* PageLength;
    TComboBox* OrientationCB;
    TEdit* Topmargin;
    TEdit* BottomMargin;
    TEdit* LeftMargin;
    TEdit* RightMargin;
    TEdit* ColumnMargin;
    TEdit* Columns;
    TSpeedButton* ColumnsUp;
    TSpeedButton* ColumnsDown;
    TCheckBox* BandBox[BandCount];
    TEdit* BandLength[BandCount];
    TComboBox* FontName;
    TComboBox* FontSize;
    TComboBox* Units;
    TCheckBox* PageFrameTop;
    TCheckBox* PageFrameBottom;
    TCheckBox* PageFrameLeft;
    TCheckBox* PageFrameRight;
    TPanel* FrameColor;   // the swatch
    TButton* ChangeColor;
    TEdit* PageFramePenWidth;
    TSpeedButton* PenWidthUp;
    TSpeedButton* PenWidthDown;
    TCheckBox* FirstPageHeader;
    TCheckBox* LastPageFooter;
    TButton* AboutBtn;
    TButton* PreviewBtn;
    TButton* ApplyBtn;
    TButton* OKBtn;
    TButton* CancelBtn;

    void StepColumns(int Delta);
    void StepPenWidth(int Delta);
    void ChangeColorClick();
    void AboutClick();

    TRpReport* FReport = nullptr;
    std::string FEnteredText;
};
