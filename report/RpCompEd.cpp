#include "report/RpCompEd.h"

#include "platform/Controlbuilder.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"
#include "report/Rp4const.h"
#include "report/RpAbout.h"
#include "report/RpExtra.h"
#include "report/RpPrntr.h"

#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

namespace {

struct TBandRow {
    int Index;   // in TRpReportBands
    const char* Box;
    const char* Length;
    const char* Caption;
};
const TBandRow BandRows[TRpCompEd::BandCount] = {
    {2, "PageHeader", "PageHeaderLength", "Page header"},
    {1, "Title", "TitleLength", "Title"},
    {3, "ColumnHeader", "ColumnHeaderLength", "Column header"},
    {4, "Detail", "DetailLength", "Detail band"},
    {7, "Summary", "SummaryLength", "Summary"},
    {6, "PageFooter", "PageFooterLength", "Page footer"},
};

std::string Shown(long double Value) { return FormatFloat("##0.00", static_cast<double>(Value)); }

long double Read(const TControl* Edit)
{
    double V = 0;
    return TryStrToFloat(Trim(Edit->Text()), V) ? V : 0;
}

}  // namespace

TRpCompEd::TRpCompEd(TComponent* AOwner) : TForm(AOwner)
{
    SetName("RpCompEd");
    SetCaption("Report Settings");
    SetBorderStyle(bsSingle);
    SetPosition(poScreenCenter);
    SetClientWidth(459);
    SetClientHeight(477);
    PaperSize = NewControl<TComboBox>(this, this, "PaperSize", "", 16, 60, 200, 21);
    PaperSize->SetStyle(csDropDownList);
    std::vector<std::string> Names;
    for (int I = 0; I < RpPaperSizeCount; ++I)
        Names.push_back(RpPaperName(static_cast<TRpPaperSize>(I)));
    std::sort(Names.begin(), Names.end());
    for (const std::string& Name : Names)
        PaperSize->Items()->Add(Name);
    OrientationCB = NewControl<TComboBox>(this, this, "OrientationCB", "", 16, 120, 120, 21);
    OrientationCB->SetStyle(csDropDownList);
    OrientationCB->Items()->Add("Portrait");
    OrientationCB->Items()->Add("Landscape");
    int Y = 160;
    for (auto [Edit, Name] : {std::pair{&Topmargin, "Topmargin"}, std::pair{&BottomMargin, "BottomMargin"},
                              std::pair{&LeftMargin, "LeftMargin"}, std::pair{&RightMargin, "RightMargin"},
                              std::pair{&ColumnMargin, "ColumnMargin"}}) {
        *Edit = NewControl<TEdit>(this, this, Name, "", 100, Y, 65, 21);
        TEdit* E = *Edit;
        E->OnEnter = [this, E](TObject*) { EditEnter(E); };
        E->OnExit = [this, E](TObject*) { EditExit(E); };
        Y += 26;
    }
    Columns = NewControl<TEdit>(this, this, "Columns", "", 100, Y, 49, 21);
    Columns->SetText("1");
    ColumnsUp = NewControl<TSpeedButton>(this, this, "ColumnsUp", "", 150, Y, 15, 10);
    ColumnsUp->OnClick = [this](TObject*) { StepColumns(1); };
    ColumnsDown = NewControl<TSpeedButton>(this, this, "ColumnsDown", "", 150, Y + 11, 15, 10);
    ColumnsDown->OnClick = [this](TObject*) { StepColumns(-1); };
    FontName = NewControl<TComboBox>(this, this, "FontName", "", 16, 360, 150, 21);
    FontName->SetStyle(csDropDownList);
    {
        std::vector<std::string> Fonts;
        const auto List = GetFonts();
        for (int I = 0; List && I < List->Count(); ++I)
            Fonts.push_back(List->Strings(I));
        std::sort(Fonts.begin(), Fonts.end());
        for (const std::string& F : Fonts)
            FontName->Items()->Add(F);
    }
    FontSize = NewControl<TComboBox>(this, this, "FontSize", "", 170, 360, 50, 21);
    Units = NewControl<TComboBox>(this, this, "Units", "", 16, 390, 100, 21);
    Units->SetStyle(csDropDownList);
    for (const char* U : {"MM", "Inches", "Pixes", "Characters", "Native"})
        Units->Items()->Add(U);
    int X = 240;
    for (auto [Box, Name, Caption] :
         {std::tuple{&PageFrameTop, "PageFrameTop", "Top"}, std::tuple{&PageFrameBottom, "PageFrameBottom", "Bottom"},
          std::tuple{&PageFrameLeft, "PageFrameLeft", "Left"}, std::tuple{&PageFrameRight, "PageFrameRight", "Right"}}) {
        *Box = NewControl<TCheckBox>(this, this, Name, "", X, 60, 52, 17);
        (*Box)->SetCaption(Caption);
        X += 52;
    }
    FrameColor = NewControl<TPanel>(this, this, "FrameColor", "", 240, 86, 40, 21);
    ChangeColor = NewControl<TButton>(this, this, "ChangeColor", "", 290, 84, 60, 25);
    ChangeColor->SetCaption("Change");
    ChangeColor->OnClick = [this](TObject*) { ChangeColorClick(); };
    PageFramePenWidth = NewControl<TEdit>(this, this, "PageFramePenWidth", "", 240, 116, 49, 21);
    PageFramePenWidth->SetText("0");
    PenWidthUp = NewControl<TSpeedButton>(this, this, "PenWidthUp", "", 290, 116, 15, 10);
    PenWidthUp->OnClick = [this](TObject*) { StepPenWidth(1); };
    PenWidthDown = NewControl<TSpeedButton>(this, this, "PenWidthDown", "", 290, 127, 15, 10);
    PenWidthDown->OnClick = [this](TObject*) { StepPenWidth(-1); };
    for (int I = 0; I < BandCount; ++I) {
        BandBox[I] = NewControl<TCheckBox>(this, this, BandRows[I].Box, "", 240, 200 + 26 * I, 110, 17);
        BandBox[I]->SetCaption(BandRows[I].Caption);
        TEdit* E = NewControl<TEdit>(this, this, BandRows[I].Length, "", 360, 198 + 26 * I, 65, 21);
        E->OnEnter = [this, E](TObject*) { EditEnter(E); };
        E->OnExit = [this, E](TObject*) { EditExit(E); };
        BandLength[I] = E;
    }
    FirstPageHeader = NewControl<TCheckBox>(this, this, "FirstPageHeader", "", 240, 380, 200, 17);
    FirstPageHeader->SetCaption("Print first page header");
    LastPageFooter = NewControl<TCheckBox>(this, this, "LastPageFooter", "", 240, 400, 200, 17);
    LastPageFooter->SetCaption("Print last page footer");
    AboutBtn = NewControl<TButton>(this, this, "AboutBtn", "", 8, 440, 30, 25);
    AboutBtn->SetCaption("?");
    AboutBtn->OnClick = [this](TObject*) { AboutClick(); };
    PreviewBtn = NewControl<TButton>(this, this, "PreviewBtn", "", 112, 440, 75, 25);
    PreviewBtn->SetCaption("&Preview");
    PreviewBtn->OnClick = [this](TObject*) { FReport->Preview(); };
    ApplyBtn = NewControl<TButton>(this, this, "ApplyBtn", "", 200, 440, 75, 25);
    ApplyBtn->SetCaption("&Apply");
    ApplyBtn->OnClick = [this](TObject*) {
        SetValues();
        GetValues();
    };
    OKBtn = NewControl<TButton>(this, this, "OKBtn", "", 288, 440, 75, 25);
    OKBtn->SetCaption("OK");
    OKBtn->SetDefault(true);
    OKBtn->OnClick = [this](TObject*) {
        SetValues();
        Close();
    };
    CancelBtn = NewControl<TButton>(this, this, "CancelBtn", "", 376, 440, 75, 25);
    CancelBtn->SetCaption("Cancel");
    CancelBtn->SetCancel(true);
    CancelBtn->OnClick = [this](TObject*) { Close(); };
}

void TRpCompEd::SetRpReport(TRpReport* Report)
{
    FReport = Report;
    if (FReport)
        GetValues();
}

void TRpCompEd::GetValues()
{
    TRpPage* P = FReport->Page();
    PaperSize->SetItemIndex(PaperSize->Items()->IndexOf(RpPaperName(P->PaperSize())));
    OrientationCB->SetItemIndex(P->Orientation() == poLandscape ? 1 : 0);
    Topmargin->SetText(Shown(P->TopMargin()));
    BottomMargin->SetText(Shown(P->BottomMargin()));
    LeftMargin->SetText(Shown(P->LeftMargin()));
    RightMargin->SetText(Shown(P->RightMargin()));
    ColumnMargin->SetText(Shown(P->ColumnSpace()));
    Columns->SetText(std::to_string(P->Columns()));
    FontName->SetItemIndex(FontName->Items()->IndexOf(FReport->Font()->Name()));
    PopulateFontSizeCombo(FontSize);
    FontSize->SetText(std::to_string(FReport->Font()->Size()));
    Units->SetItemIndex(static_cast<int>(FReport->Units()));
    TRpFrame* F = FReport->Frame();
    PageFrameTop->SetChecked(F->DrawTop());
    PageFrameBottom->SetChecked(F->DrawBottom());
    PageFrameLeft->SetChecked(F->DrawLeft());
    PageFrameRight->SetChecked(F->DrawRight());
    FrameColor->SetColor(F->Color());
    PageFramePenWidth->SetText(std::to_string(F->Width()));
    for (int I = 0; I < BandCount; ++I) {
        TRpCustomBand* Band = FReport->Bands()->GetBand(BandRows[I].Index);
        BandBox[I]->SetChecked(Band != nullptr);
        BandLength[I]->SetText(Band ? Shown(Band->Size()->Height()) : "");
    }
    FirstPageHeader->SetChecked(FReport->Options().Contains(TRpReportOption::FirstPageHeader));
    LastPageFooter->SetChecked(FReport->Options().Contains(TRpReportOption::LastPageFooter));
}

void TRpCompEd::SetValues()
{
    TRpPage* P = FReport->Page();
    for (int I = 0; I < RpPaperSizeCount; ++I)
        if (RpPaperName(static_cast<TRpPaperSize>(I)) == PaperSize->Text()) {
            P->SetPaperSize(static_cast<TRpPaperSize>(I));
            break;
        }
    P->SetOrientation(OrientationCB->ItemIndex() > 0 ? poLandscape : poPortrait);
    P->SetTopMargin(Read(Topmargin));
    P->SetBottomMargin(Read(BottomMargin));
    P->SetLeftMargin(Read(LeftMargin));
    P->SetRightMargin(Read(RightMargin));
    P->SetColumnSpace(Read(ColumnMargin));
    P->SetColumns(std::max(1, static_cast<int>(Read(Columns))));
    if (!FontName->Text().empty())
        FReport->Font()->SetName(FontName->Text());
    if (const int Size = static_cast<int>(Read(FontSize)); Size > 0)
        FReport->Font()->SetSize(Size);
    TRpFrame* F = FReport->Frame();
    F->SetDrawLeft(PageFrameLeft->Checked());
    F->SetDrawRight(PageFrameRight->Checked());
    F->SetDrawTop(PageFrameTop->Checked());
    F->SetDrawBottom(PageFrameBottom->Checked());
    F->SetColor(FrameColor->Color());
    F->SetWidth(std::max(0, static_cast<int>(Read(PageFramePenWidth))));
    for (int I = 0; I < BandCount; ++I) {
        const bool Ticked = BandBox[I]->Checked();
        FReport->Bands()->SetHasBand(BandRows[I].Index, Ticked);
        if (Ticked && !Trim(BandLength[I]->Text()).empty())
            FReport->Bands()->GetBand(BandRows[I].Index)->Size()->SetHeight(Read(BandLength[I]));
    }
    if (Units->ItemIndex() >= 0)
        FReport->SetUnits(static_cast<TRpUnit>(Units->ItemIndex()));
    TRpReportOptions O;
    if (FirstPageHeader->Checked())
        O << TRpReportOption::FirstPageHeader;
    if (LastPageFooter->Checked())
        O << TRpReportOption::LastPageFooter;
    FReport->SetOptions(O);
}

void TRpCompEd::EditEnter(TEdit* Edit) { FEnteredText = Edit->Text(); }

void TRpCompEd::EditExit(TEdit* Edit)
{
    const std::string Text = Trim(Edit->Text());
    if (Text.empty())
        return;
    double V = 0;
    if (!TryStrToFloat(Text, V)) {
        ShowMessage("'" + Text + "' is not a valid floating point value");
        Edit->SetText(FEnteredText);
        return;
    }
    if (V > 1000) {
        ShowMessage(LoadResString(SRpValueTooBig));
        Edit->SetText(FEnteredText);
        return;
    }
    Edit->SetText(Shown(V));
}

void TRpCompEd::StepColumns(int Delta)
{
    const int Next = static_cast<int>(Read(Columns)) + Delta;
    if (Next >= 1)
        Columns->SetText(std::to_string(Next));
}

void TRpCompEd::StepPenWidth(int Delta)
{
    const int Next = static_cast<int>(Read(PageFramePenWidth)) + Delta;
    if (Next >= 0)
        PageFramePenWidth->SetText(std::to_string(Next));
}

void TRpCompEd::ChangeColorClick()
{
    TColorDialog Dialog(this);
    Dialog.SetColor(FrameColor->Color());
    if (Dialog.Execute())
        FrameColor->SetColor(Dialog.Color());
}

void TRpCompEd::AboutClick()
{
    Hide();
    {
        const auto Box = std::make_unique<TRpAboutBox>(nullptr);
        Box->ShowModal();
    }
    Show();
}
