#include "report/dialogs/RpCompEd.h"

#include "platform/Controlbuilder.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"
#include "report/Rp4const.h"
#include "report/dialogs/RpAbout.h"
#include "report/dialogs/RpHeading.h"
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

    Pictures = new TImageList(this);
    Pictures->SetName("Pictures");
    HeadingShape = RpHeadingShape(this, "HeadingShape", Rect(0, 0, 459, 41));
    HeadingPicture = RpHeadingPicture(this, Pictures, rpicSettings, "HeadingPicture", 418, 4);
    HeadingLabel = RpHeadingLabel(this, "HeadingLabel", "Report Settings", Rect(12, 6, 312, 35));

    // Paper size
    PaperGroup = NewControl<TGroupBox>(this, this, "PaperGroup", "Paper size", 8, 48, 220, 104);
    PaperSize = NewControl<TComboBox>(this, PaperGroup, "PaperSize", "", 8, 18, 204, 21);
    PaperSize->SetStyle(csDropDownList);
    std::vector<std::string> Names;
    for (int I = 0; I < RpPaperSizeCount; ++I)
        Names.push_back(RpPaperName(static_cast<TRpPaperSize>(I)));
    std::sort(Names.begin(), Names.end());
    for (const std::string& Name : Names)
        PaperSize->Items()->Add(Name);
    NewControl<TLabel>(this, PaperGroup, "", "Width", 8, 48);
    PageWidth = NewControl<TEdit>(this, PaperGroup, "PageWidth", "", 48, 44, 60, 21);
    NewControl<TLabel>(this, PaperGroup, "", "Length", 114, 48);
    PageLength = NewControl<TEdit>(this, PaperGroup, "PageLength", "", 152, 44, 60, 21);
    OrientationCB = NewControl<TComboBox>(this, PaperGroup, "OrientationCB", "", 8, 72, 204, 21);
    OrientationCB->SetStyle(csDropDownList);
    OrientationCB->Items()->Add("Portrait");
    OrientationCB->Items()->Add("Landscape");

    // Margins
    MarginsGroup = NewControl<TGroupBox>(this, this, "MarginsGroup", "Margins", 8, 156, 220, 180);
    int Y = 18;
    for (auto [Edit, Name, Caption] :
         {std::tuple{&Topmargin, "Topmargin", "Top"}, std::tuple{&BottomMargin, "BottomMargin", "Bottom"},
          std::tuple{&LeftMargin, "LeftMargin", "Left"}, std::tuple{&RightMargin, "RightMargin", "Right"},
          std::tuple{&ColumnMargin, "ColumnMargin", "Column space"}}) {
        NewControl<TLabel>(this, MarginsGroup, "", Caption, 8, Y + 4);
        *Edit = NewControl<TEdit>(this, MarginsGroup, Name, "", 120, Y, 65, 21);
        Y += 26;
    }
    NewControl<TLabel>(this, MarginsGroup, "", "Number of columns", 8, Y + 4);
    Columns = NewControl<TEdit>(this, MarginsGroup, "Columns", "", 120, Y, 49, 21);
    Columns->SetText("1");
    ColumnsUp = NewControl<TSpeedButton>(this, MarginsGroup, "ColumnsUp", "", 170, Y, 15, 10);
    ColumnsUp->OnClick = [this](TObject*) { StepColumns(1); };
    ColumnsDown = NewControl<TSpeedButton>(this, MarginsGroup, "ColumnsDown", "", 170, Y + 11, 15, 10);
    ColumnsDown->OnClick = [this](TObject*) { StepColumns(-1); };

    // Other
    OtherGroup = NewControl<TGroupBox>(this, this, "OtherGroup", "Other", 8, 340, 220, 88);
    NewControl<TLabel>(this, OtherGroup, "", "Font", 8, 22);
    FontName = NewControl<TComboBox>(this, OtherGroup, "FontName", "", 44, 18, 168, 21);
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
    NewControl<TLabel>(this, OtherGroup, "", "Size", 8, 52);
    FontSize = NewControl<TComboBox>(this, OtherGroup, "FontSize", "", 44, 48, 50, 21);
    NewControl<TLabel>(this, OtherGroup, "", "Units", 102, 52);
    Units = NewControl<TComboBox>(this, OtherGroup, "Units", "", 134, 48, 78, 21);
    Units->SetStyle(csDropDownList);
    for (const char* U : {"MM", "Inches", "Pixes", "Characters", "Native"})
        Units->Items()->Add(U);

    // Page frame
    FrameGroup = NewControl<TGroupBox>(this, this, "FrameGroup", "Page frame", 236, 48, 215, 104);
    int X = 8;
    for (auto [Box, Name, Caption, Width] :
         {std::tuple{&PageFrameTop, "PageFrameTop", "Top", 46}, std::tuple{&PageFrameBottom, "PageFrameBottom", "Bottom", 62},
          std::tuple{&PageFrameLeft, "PageFrameLeft", "Left", 46}, std::tuple{&PageFrameRight, "PageFrameRight", "Right", 50}}) {
        *Box = NewControl<TCheckBox>(this, FrameGroup, Name, Caption, X, 18, Width, 17);
        X += Width;
    }
    NewControl<TLabel>(this, FrameGroup, "", "Color", 8, 48);
    FrameColor = NewControl<TPanel>(this, FrameGroup, "FrameColor", "", 48, 44, 40, 21);
    FrameColor->SetBevelOuter(bvLowered);
    FrameColor->SetCaption("");
    ChangeColor = NewControl<TButton>(this, FrameGroup, "ChangeColor", "Change", 96, 42, 60, 25);
    ChangeColor->OnClick = [this](TObject*) { ChangeColorClick(); };
    NewControl<TLabel>(this, FrameGroup, "", "Frame width", 8, 78);
    PageFramePenWidth = NewControl<TEdit>(this, FrameGroup, "PageFramePenWidth", "", 96, 74, 49, 21);
    PageFramePenWidth->SetText("0");
    PenWidthUp = NewControl<TSpeedButton>(this, FrameGroup, "PenWidthUp", "", 146, 74, 15, 10);
    PenWidthUp->OnClick = [this](TObject*) { StepPenWidth(1); };
    PenWidthDown = NewControl<TSpeedButton>(this, FrameGroup, "PenWidthDown", "", 146, 85, 15, 10);
    PenWidthDown->OnClick = [this](TObject*) { StepPenWidth(-1); };

    // Bands
    BandsGroup = NewControl<TGroupBox>(this, this, "BandsGroup", "Bands", 236, 156, 215, 272);
    for (int I = 0; I < BandCount; ++I) {
        BandBox[I] = NewControl<TCheckBox>(this, BandsGroup, BandRows[I].Box, BandRows[I].Caption, 8, 20 + 28 * I,
                                           110, 17);
        BandLength[I] = NewControl<TEdit>(this, BandsGroup, BandRows[I].Length, "", 130, 18 + 28 * I, 65, 21);
    }
    FirstPageHeader =
        NewControl<TCheckBox>(this, BandsGroup, "FirstPageHeader", "Print first page header", 8, 200, 200, 17);
    LastPageFooter =
        NewControl<TCheckBox>(this, BandsGroup, "LastPageFooter", "Print last page footer", 8, 224, 200, 17);

    // Numbers only; the sizes are checked when left (and on Enter).
    std::vector<TWinControl*> Checked{PageWidth, PageLength, Topmargin, BottomMargin, LeftMargin, RightMargin,
                                      ColumnMargin};
    for (TEdit* E : BandLength)
        Checked.push_back(E);
    for (TWinControl* C : Checked) {
        C->OnEnter = [this, C](TObject*) { EditEnter(C); };
        C->OnExit = [this, C](TObject*) { EditExit(C); };
    }
    std::vector<TWinControl*> Filtered = Checked;
    for (TWinControl* C : {static_cast<TWinControl*>(Columns), static_cast<TWinControl*>(FontSize),
                           static_cast<TWinControl*>(PageFramePenWidth)}) {
        C->OnEnter = [this, C](TObject*) { EditEnter(C); };
        Filtered.push_back(C);
    }
    for (TWinControl* C : Filtered)
        C->OnKeyPress = [this, C](TObject*, char& Key) { NumberKeyPress(C, Key); };

    AboutBtn = NewControl<TButton>(this, this, "AboutBtn", "?", 8, 440, 30, 25);
    AboutBtn->OnClick = [this](TObject*) { AboutClick(); };
    PreviewBtn = NewControl<TButton>(this, this, "PreviewBtn", "&Preview", 112, 440, 75, 25);
    PreviewBtn->OnClick = [this](TObject*) { FReport->Preview(); };
    ApplyBtn = NewControl<TButton>(this, this, "ApplyBtn", "&Apply", 200, 440, 75, 25);
    ApplyBtn->OnClick = [this](TObject*) {
        SetValues();
        GetValues();
    };
    OKBtn = NewControl<TButton>(this, this, "OKBtn", "OK", 288, 440, 75, 25);
    OKBtn->SetDefault(true);
    OKBtn->OnClick = [this](TObject*) {
        SetValues();
        Close();
    };
    CancelBtn = NewControl<TButton>(this, this, "CancelBtn", "Cancel", 376, 440, 75, 25);
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
    PageWidth->SetText(Shown(P->Width()));
    PageLength->SetText(Shown(P->Length()));
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
    if (P->PaperSize() == TRpPaperSize::Custom) {
        P->SetWidth(Read(PageWidth));
        P->SetLength(Read(PageLength));
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

void TRpCompEd::EditEnter(TControl* Edit) { FEnteredText = Edit->Text(); }

void TRpCompEd::NumberKeyPress(TControl* Edit, char& Key)
{
    if (Key == '\r') {
        EditExit(Edit);
        return;
    }
    if (Key != '\b' && Key != '.' && (Key < '0' || Key > '9'))
        Key = 0;
}

void TRpCompEd::EditExit(TControl* Edit)
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
