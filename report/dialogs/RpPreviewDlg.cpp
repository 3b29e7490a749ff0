#include "report/dialogs/RpPreviewDlg.h"

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ScopeGuard.h"
#include "platform/SysUtils.h"
#include "platform/TreeView.h"
#include "report/Rp4const.h"
#include "report/RpExportFilter.h"
#include "report/RpExtra.h"
#include "report/dialogs/RpPrgres.h"
#include "report/dialogs/RpSearchDlg.h"

#include <cctype>
#include <filesystem>

std::string PreviewStatusText;
bool SelectingThumb = false;

namespace {

// The pictures of the tool bar, in image-index order: zoom to fit, 100 %,
// zoom to width, first, previous, next, last page, printer setup, print,
// load, save, search, go to page, spacer.
const char* const ToolImages[] = {
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><rect x="3" y="1" width="10" height="14" fill="white" stroke="black"/><path d="M1 8h14M8 1v14" stroke="blue"/></svg>)",
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><text x="0" y="12" font-size="9" font-family="sans-serif">1:1</text></svg>)",
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><rect x="1" y="3" width="14" height="12" fill="white" stroke="black"/><path d="M2 8h12M2 8l3-3M2 8l3 3M14 8l-3-3M14 8l-3 3" stroke="blue"/></svg>)",
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><path d="M3 2v12M13 2l-8 6 8 6z" fill="black" stroke="black"/></svg>)",
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><path d="M12 2l-8 6 8 6z" fill="black"/></svg>)",
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><path d="M4 2l8 6-8 6z" fill="black"/></svg>)",
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><path d="M13 2v12M3 2l8 6-8 6z" fill="black" stroke="black"/></svg>)",
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><rect x="2" y="6" width="12" height="6" fill="gray"/><circle cx="12" cy="4" r="2" fill="black"/></svg>)",
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><rect x="4" y="1" width="8" height="5" fill="white" stroke="black"/><rect x="1" y="6" width="14" height="6" fill="gray"/><rect x="4" y="10" width="8" height="5" fill="white" stroke="black"/></svg>)",
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><path d="M1 4h5l2 2h7v8H1z" fill="gold" stroke="black"/></svg>)",
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><rect x="2" y="2" width="12" height="12" fill="navy"/><rect x="4" y="2" width="8" height="5" fill="white"/></svg>)",
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><circle cx="6" cy="6" r="4" fill="none" stroke="black" stroke-width="2"/><path d="M9 9l5 5" stroke="black" stroke-width="2"/></svg>)",
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><rect x="3" y="1" width="10" height="14" fill="white" stroke="black"/><path d="M5 8h6M9 6l2 2-2 2" stroke="black"/></svg>)",
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"></svg>)",
};

}  // namespace

bool RpBinOfSourceCode(int32_t Code, TRpBin& Bin)
{
    for (int B = 0; B < RpBinCount; ++B)
        if (cRpBinTranslate[B] == Code) {
            Bin = static_cast<TRpBin>(B);
            return true;
        }
    return false;
}

int ReadLeadingInteger(const std::string& S)
{
    size_t I = 0;
    while (I < S.size() && S[I] == ' ')
        ++I;
    bool Negative = false;
    if (I < S.size() && (S[I] == '-' || S[I] == '+'))
        Negative = S[I++] == '-';
    int Base = 10;
    if (I < S.size() && S[I] == '$') {
        Base = 16;
        ++I;
    } else if (I + 1 < S.size() && S[I] == '0' && (S[I + 1] == 'x' || S[I + 1] == 'X')) {
        Base = 16;
        I += 2;
    }
    long long Value = 0;
    for (; I < S.size(); ++I) {
        const char C = S[I];
        int Digit = 0;
        if (C >= '0' && C <= '9')
            Digit = C - '0';
        else if (Base == 16 && std::isxdigit(static_cast<unsigned char>(C)))
            Digit = std::toupper(static_cast<unsigned char>(C)) - 'A' + 10;
        else
            break;
        Value = Value * Base + Digit;
        // Beyond any page: no need to read on.
        if (Value > 0x7FFFFFFF)
            break;
    }
    Value = std::min<long long>(Value, 0x7FFFFFFF);
    return static_cast<int>(Negative ? -Value : Value);
}

// ------------------------------------------------------------------ the window

TRpStandardPreview::TRpStandardPreview(TComponent* AOwner, TRpPrinter* P) : TForm(AOwner)
{
    BuildForm();
    if (auto* R = dynamic_cast<TCustomRpReport*>(P ? P->ParentReport() : nullptr)) {
        SetFormStyle(R->PrevFormStyle());
        SetBounds(Left(), Top(), R->PreviewWidth(), R->PreviewHeight());
        SetWindowState(R->PreviewInitialState());
        FShowThumbs = R->PrevShowThumbs();
        FShowSearch = R->PrevShowSearch();
        FInitialZoom = R->PrevInitialZoom();
        PreviewStatusText = R->ReportTitle();
        FLandscape = R->Page()->Orientation() == poLandscape;
    } else {
        SetWindowState(wsMaximized);
        FShowThumbs = true;
        FShowSearch = true;
        FInitialZoom = rpZoomToFit;
    }
    RpPreview->SetRpPrinter(P);
    ResizeThumb(ThumbGrid);
    if (P && !P->Title().empty())
        SetCaption(P->Title());
    FLastProgress = 0;
    ThumbGrid->SetRowCount(P ? P->PageCount() : 0);
    Tabs->SetVisible(FShowThumbs || FShowSearch);
    Splitter2->SetVisible(FShowThumbs || FShowSearch);
    TabThumbs->SetTabVisible(FShowThumbs);
    if (!FShowSearch) {
        TabSearchResult->SetTabVisible(false);
        FindButton->SetVisible(false);
    }
    switch (FInitialZoom) {
    case rpZoomToFit:
        RpPreview->ZoomToFit();
        ZoomFit->SetDown(true);
        break;
    case rpZoomToWidth:
        RpPreview->ZoomToWidth();
        ZoomToWidth->SetDown(true);
        break;
    default:
        RpPreview->SetZoom(100);
        RpPreview->UpdateZoom();
        Zoom100->SetDown(true);
        break;
    }
    if (P && P->Status() == mpFinished) {
        Print->SetEnabled(true);
        SaveReport->SetEnabled(true);
    }
}

TRpStandardPreview::~TRpStandardPreview()
{
    // The preview lets its printer go while the window's controls exist.
    RpPreview->SetRpPrinter(nullptr);
}

void TRpStandardPreview::MakeImages()
{
    Images = new TImageList(this);
    Images->SetName("Images");
    for (const char* Svg : ToolImages)
        Images->AddSvg(Svg);
}

TToolButton* TRpStandardPreview::AddButton(const std::string& Name, const std::string& Hint, int Image,
                                           TToolButtonStyle Style)
{
    auto* B = new TToolButton(this);
    B->SetName(Name);
    B->SetHint(Hint);
    B->SetImageIndex(Image);
    B->SetStyle(Style);
    B->SetParent(ToolBar1);
    return B;
}

void TRpStandardPreview::BuildForm()
{
    SetName("RpStandardPreview");
    SetCaption("Print Preview");
    SetBounds(0, 0, 800, 639);
    SetKeyPreview(true);
    SetPosition(poScreenCenter);
    SetShowHint(true);
    MakeImages();

    ToolBar1 = new TToolBar(this);
    ToolBar1->SetName("ToolBar1");
    ToolBar1->SetFlat(true);
    ToolBar1->SetImages(Images);
    ToolBar1->SetAlign(alTop);
    ToolBar1->SetParent(this);
    ToolButton1 = AddButton("ToolButton1", "", 12, tbsDivider);
    ZoomFit = AddButton("ZoomFit", "Zoom to fit", 0, tbsCheck);
    ZoomToWidth = AddButton("ZoomToWidth", "Zoom to width", 2, tbsCheck);
    Zoom100 = AddButton("Zoom100", "100%", 1, tbsCheck);
    for (TToolButton* B : {ZoomFit, ZoomToWidth, Zoom100})
        B->SetGrouped(true);
    Spacer3 = AddButton("Spacer3", "", 13, tbsButton);
    FirstPage = AddButton("FirstPage", "First page", 3, tbsButton);
    PreviousPage = AddButton("PreviousPage", "Previous page", 4, tbsButton);
    ToolButton2 = AddButton("ToolButton2", "Next page", 5, tbsButton);
    LastPage = AddButton("LastPage", "Last page", 6, tbsButton);
    Spacer2 = AddButton("Spacer2", "", 13, tbsButton);
    GotoPageButton = AddButton("GotoPageButton", "Go to page", 12, tbsButton);
    FindButton = AddButton("FindButton", "Search for text", 11, tbsButton);
    Spacer1 = AddButton("Spacer1", "", 13, tbsButton);
    PrintSetup = AddButton("PrintSetup", "Printer setup", 7, tbsButton);
    Print = AddButton("Print", "Print", 8, tbsButton);
    Spacer4 = AddButton("Spacer4", "", 13, tbsButton);
    SaveReport = AddButton("SaveReport", "Save Report", 10, tbsButton);
    LoadReport = AddButton("LoadReport", "Load Report", 9, tbsButton);
    Spacer5 = AddButton("Spacer5", "", 13, tbsButton);
    for (TToolButton* B : {Spacer1, Spacer2, Spacer3, Spacer4, Spacer5})
        B->SetEnabled(false);
    // A run's pages are printed and saved once it has finished.
    PrintSetup->SetEnabled(false);
    Print->SetEnabled(false);
    SaveReport->SetEnabled(false);
    ExitButton = new TSpeedButton(this);
    ExitButton->SetName("ExitButton");
    ExitButton->SetHint("Close preview");
    ExitButton->SetCaption("&Close");
    ExitButton->SetFlat(true);
    ExitButton->SetParent(ToolBar1);
    // After the last tool button.
    ToolBar1->ArrangeButtons();
    ExitButton->SetBounds(Spacer5->Left() + Spacer5->Width(), 0, 40, 22);

    ZoomFit->OnClick = [this](TObject* S) { ZoomToFitClick(S); };
    ZoomToWidth->OnClick = [this](TObject* S) { ZoomToWidthClick(S); };
    Zoom100->OnClick = [this](TObject* S) { ZoomTo100Click(S); };
    FirstPage->OnClick = [this](TObject* S) { FirstPageClick(S); };
    PreviousPage->OnClick = [this](TObject* S) { PrevPageClick(S); };
    ToolButton2->OnClick = [this](TObject* S) { NextPageClick(S); };
    LastPage->OnClick = [this](TObject* S) { LastPageClick(S); };
    GotoPageButton->OnClick = [this](TObject* S) { GotoPageButtonClick(S); };
    FindButton->OnClick = [this](TObject* S) { FindButtonClick(S); };
    PrintSetup->OnClick = [this](TObject* S) { PrintSetupClick(S); };
    Print->OnClick = [this](TObject* S) { PrintClick(S); };
    SaveReport->OnClick = [this](TObject* S) { SaveClick(S); };
    LoadReport->OnClick = [this](TObject* S) { LoadClick(S); };
    ExitButton->OnClick = [this](TObject* S) { ExitClick(S); };

    StatusBar = new TStatusBar(this);
    StatusBar->SetName("StatusBar");
    StatusBar->SetAlign(alBottom);
    StatusBar->SetParent(this);
    TStatusPanel* P0 = StatusBar->Panels()->Add();
    P0->SetAlignment(taRightJustify);
    P0->SetWidth(40);
    P0->SetText("0%");
    TStatusPanel* P1 = StatusBar->Panels()->Add();
    P1->SetWidth(120);
    P1->SetText(LoadResString(SRpPage));
    StatusBar->Panels()->Add()->SetWidth(50);

    Splitter1 = new TSplitter(this);
    Splitter1->SetName("Splitter1");
    Splitter1->SetAlign(alBottom);
    Splitter1->SetHeight(3);
    Splitter1->SetCursor(crVSplit);
    Splitter1->SetParent(this);

    Tabs = new TPageControl(this);
    Tabs->SetName("Tabs");
    Tabs->SetAlign(alLeft);
    Tabs->SetWidth(193);
    Tabs->SetParent(this);
    TabThumbs = new TTabSheet(this);
    TabThumbs->SetName("TabThumbs");
    TabThumbs->SetCaption("Thumbnails");
    TabThumbs->SetPageControl(Tabs);
    ThumbGrid = new TResizeGrid(this);
    ThumbGrid->SetName("ThumbGrid");
    ThumbGrid->SetColCount(1);
    ThumbGrid->SetColor(clBtnFace);
    ThumbGrid->SetAlign(alClient);
    ThumbGrid->SetParent(TabThumbs);
    ThumbGrid->OnDrawCell = [this](TObject* S, int C, int R, TRect Rc, TGridDrawState St) {
        ThumbGridDrawCell(S, C, R, Rc, St);
    };
    ThumbGrid->OnSelectCell = [this](TObject* S, int C, int R, bool& Can) { ThumbGridSelectCell(S, C, R, Can); };
    TabSearchResult = new TTabSheet(this);
    TabSearchResult->SetName("TabSearchResult");
    TabSearchResult->SetCaption("Search result");
    TabSearchResult->SetPageControl(Tabs);
    GroupBox1 = new TGroupBox(this);
    GroupBox1->SetName("GroupBox1");
    GroupBox1->SetCaption("Search text");
    GroupBox1->SetAlign(alTop);
    GroupBox1->SetHeight(41);
    GroupBox1->SetParent(TabSearchResult);
    SearchTextLabel = new TLabel(this);
    SearchTextLabel->SetName("SearchTextLabel");
    SearchTextLabel->SetCaption("");
    SearchTextLabel->SetBounds(8, 18, 170, 13);
    SearchTextLabel->SetParent(GroupBox1);
    SearchResultBox = new TListBox(this);
    SearchResultBox->SetName("SearchResultBox");
    SearchResultBox->SetAlign(alClient);
    SearchResultBox->SetEnabled(false);
    SearchResultBox->SetParent(TabSearchResult);
    Tabs->SetActivePage(TabThumbs);

    Splitter2 = new TSplitter(this);
    Splitter2->SetName("Splitter2");
    Splitter2->SetAlign(alLeft);
    Splitter2->SetLeft(Tabs->Width());
    Splitter2->SetParent(this);

    RpPreview = new TRpPreview(this);
    RpPreview->SetName("RpPreview");
    RpPreview->SetAlign(alClient);
    RpPreview->SetParent(this);
    RpPreview->SetZoom(70);
    RpPreview->OnPageAvailable = [this](TObject* S, int N) { RpPreviewPageAvailable(S, N); };
    RpPreview->OnProgressUpdate = [this](TObject* S, int N) { RpPreviewProgressUpdate(S, N); };

    OnClose = [this](TObject* S, TCloseAction& A) { FormClose(S, A); };
    OnKeyDown = [this](TObject* S, uint16_t& K, TShiftState Sh) { FormKeyDown(S, K, Sh); };
    OnResize = [this](TObject* S) { FormResize(S); };
    OnCreate = [this](TObject* S) { FormCreate(S); };
    DoCreate();
}

void TRpStandardPreview::FormCreate(TObject* Sender)
{
    ThumbGrid->OnResize = [this](TObject* S) { ResizeThumb(S); };
    ResizeThumb(ThumbGrid);
}

TCustomRpReport* TRpStandardPreview::Report() const
{
    if (FLoaded || !RpPrinter())
        return nullptr;
    return dynamic_cast<TCustomRpReport*>(RpPrinter()->ParentReport());
}

void TRpStandardPreview::Show()
{
    TForm::Show();
    UpdateInfo();
}

void TRpStandardPreview::UpdateInfo()
{
    const int Count = RpPrinter() ? RpPrinter()->PageCount() : 0;
    StatusBar->Panels()->Items(1)->SetText(LoadResString(SRpPage) + " " + IntToStr(RpPreview->PageNumber()) + " " +
                                           LoadResString(SRpOf) + " " + IntToStr(Count));
    StatusBar->Panels()->Items(2)->SetText(PreviewStatusText);
}

void TRpStandardPreview::SelectPage(int N)
{
    RpPreview->SetPageNumber(N);
    UpdateInfo();
    if (RpPrinter() && N >= 1 && N <= RpPrinter()->PageCount()) {
        TValueRollback<bool> Selecting(SelectingThumb, true);
        ThumbGrid->SetRow(N - 1);
    }
}

void TRpStandardPreview::FirstPageClick(TObject* Sender) { SelectPage(1); }
void TRpStandardPreview::PrevPageClick(TObject* Sender) { SelectPage(RpPreview->PageNumber() - 1); }
void TRpStandardPreview::NextPageClick(TObject* Sender) { SelectPage(RpPreview->PageNumber() + 1); }

void TRpStandardPreview::LastPageClick(TObject* Sender)
{
    if (RpPrinter())
        SelectPage(RpPrinter()->PageCount());
}

void TRpStandardPreview::ThumbGridSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect)
{
    if (SelectingThumb)
        return;
    RpPreview->SetPageNumber(ARow + 1);
    UpdateInfo();
}

void TRpStandardPreview::ZoomToFitClick(TObject* Sender)
{
    Application->ProcessMessages();
    RpPreview->ZoomToFit();
}

void TRpStandardPreview::ZoomToWidthClick(TObject* Sender)
{
    Application->ProcessMessages();
    RpPreview->ZoomToWidth();
}

void TRpStandardPreview::ZoomTo100Click(TObject* Sender)
{
    Application->ProcessMessages();
    RpPreview->SetZoom(100);
    RpPreview->UpdateZoom();
}

void TRpStandardPreview::FormResize(TObject* Sender)
{
    if (RpPreview)
        RpPreview->UpdateZoom();
}

void TRpStandardPreview::FormKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift)
{
    const bool OnlyCtrl = Shift.Contains(ssCtrl) && !Shift.Contains(ssShift) && !Shift.Contains(ssAlt);
    switch (Key) {
    case VK_ESCAPE:
        ExitClick(this);
        break;
    case VK_PRIOR:
        if (OnlyCtrl)
            FirstPageClick(this);
        else
            PrevPageClick(this);
        break;
    case VK_NEXT:
        if (OnlyCtrl)
            LastPageClick(this);
        else
            NextPageClick(this);
        break;
    case VK_HOME:
        FirstPageClick(this);
        break;
    case VK_END:
        LastPageClick(this);
        break;
    default:
        return;
    }
    Key = 0;
}

void TRpStandardPreview::ExitClick(TObject* Sender)
{
    Close();
}

void TRpStandardPreview::FormClose(TObject* Sender, TCloseAction& Action)
{
    // The report ends a run still going or frees the printer; the preview
    // then shows nothing.
    if (TRpPrinter* P = RpPrinter())
        P->ClosePreview(this);
    RpPreview->SetRpPrinter(nullptr);
    Action = caFree;
}

void TRpStandardPreview::ResizeThumb(TObject* Sender)
{
    TBitmap Probe;
    Probe.Canvas()->SetFont(ThumbGrid->Font());
    FThumbTextHeight = Probe.Canvas()->TextHeight("P");
    ThumbGrid->SetDefaultColWidth(ThumbGrid->Width() - 4);
    FThumbWidth = ThumbGrid->DefaultColWidth() - 20;
    const long double PW = RpPrinter() ? RpPrinter()->PaperWidth() : 2159;
    const long double PL = RpPrinter() ? RpPrinter()->PaperLength() : 2794;
    int H = 0;
    if (PW > 0 && PL > 0)
        H = FLandscape ? RpRound(FThumbWidth / PL * PW - FThumbTextHeight)
                       : RpRound(FThumbWidth / PW * PL - FThumbTextHeight);
    FThumbHeight = std::max(H, 1);
    ThumbGrid->SetDefaultRowHeight(FThumbHeight);
    FThumbLeft = RpRound((ThumbGrid->DefaultColWidth() - FThumbWidth) / 2.0L);
    FThumbTop = RpRound((ThumbGrid->DefaultRowHeight() - FThumbHeight) / 2.0L);
}

void TRpStandardPreview::ThumbGridDrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)
{
    if (!RpPrinter())
        return;
    TCanvas* C = ThumbGrid->Canvas();
    if (std::unique_ptr<TMetafile> Page = RpPrinter()->Page(ARow + 1))
        PaintPageToCanvas(Page.get(), C,
                          ::Rect(Rect.Left + FThumbLeft, Rect.Top + 10, Rect.Right - 30, Rect.Bottom - 10), true);
    C->Brush()->SetColor(clBtnFace);
    C->Brush()->SetStyle(bsSolid);
    C->Font()->SetColor(clBlack);
    C->TextOut(Rect.Left, Rect.Top, IntToStr(ARow + 1));
}

void TRpStandardPreview::RpPreviewPageAvailable(TObject* Sender, int PageNum)
{
    UpdateInfo();
    ThumbGrid->SetRowCount(RpPrinter() ? RpPrinter()->PageCount() : 0);
    ThumbGrid->Invalidate();
    if (RpPrinter() && RpPrinter()->Status() == mpFinished) {
        PrintSetup->SetEnabled(!FLoaded);
        Print->SetEnabled(true);
        SaveReport->SetEnabled(true);
    }
}

void TRpStandardPreview::RpPreviewProgressUpdate(TObject* Sender, int Progress)
{
    if (Progress >= FLastProgress + 5) {
        StatusBar->Panels()->Items(0)->SetText(IntToStr(Progress) + "%");
        FLastProgress = Progress;
    }
    if (Progress == 0 || Progress == 100)
        StatusBar->Panels()->Items(0)->SetText("");
}

void TRpStandardPreview::PrintClick(TObject* Sender)
{
    if (!RpPrinter() || RpPrinter()->Status() != mpFinished)
        return;
    // The report runs again to the printer; a composite (its printer's
    // master is not the report) or a loaded file prints the pages shown.
    TCustomRpReport* R = Report();
    if (R && RpPrinter()->Master() == R) {
        R->Print();
        return;
    }
    TRpProgressForm Progress(this);
    RpPrinter()->Print(&Progress);
}

void TRpStandardPreview::PrintSetupClick(TObject* Sender)
{
    if (!RpPrinter())
        return;
    RpPrinter()->PrintSetup();
    if (CompositePrinterIndex != -999) {
        RpPrinter()->SetPrinterIndex(CompositePrinterIndex);
        return;
    }
    TCustomRpReport* Rep = Report();
    if (!Rep)
        return;
    const TRpReportPrinterSettings& R = *Rep->PrinterSettings();
    const TRpReportPrinterSettings& D = *Rep->DialogSettings();
    RpPrinter()->SetPrinterIndex(R.PrinterIndex());
    // The dialog's paper source is a device code, not a bin.
    if (TRpBin Bin; RpBinOfSourceCode(D.CustomBinCode(), Bin))
        RpPrinter()->SetBin(Bin);
    RpPrinter()->SetCollate(D.Collate());
    RpPrinter()->SetColorOption(D.ColorOption());
    RpPrinter()->SetPrintQuality(D.PrintQuality());
    RpPrinter()->SetCopies(D.Copies());
    RpPrinter()->SetCustomBinCode(D.CustomBinCode());
    RpPrinter()->SetUseCustomBinCode(R.UseCustomBinCode());
    RpPrinter()->SetLastPage(R.LastPage());
    RpPrinter()->SetFirstPage(R.FirstPage());
    RpPrinter()->SetDuplex(D.Duplex());
}

void TRpStandardPreview::SaveClick(TObject* Sender)
{
    if (!RpPrinter() || RpPrinter()->Status() != mpFinished)
        return;
    TSaveDialog Dialog(Application);
    Dialog.SetTitle(LoadResString(SRpSaveReport));
    Dialog.SetFilter(RpExportFilterLibrary().GetSaveDialogFilter());
    Dialog.SetDefaultExt("RPF");
    if (!Dialog.Execute())
        return;
    const int Index = Dialog.FilterIndex();
    if (Index <= 1) {
        RpPrinter()->Save(Dialog.FileName());
        return;
    }
    if (Index - 2 >= RpExportFilterLibrary().Count())
        return;
    const std::unique_ptr<TRpExportFilter> Filter =
        RpExportFilterLibrary().Entries(Index - 2).ExportFilterClass.Create(Dialog.FileName());
    RpPrinter()->ExportToFilter(Filter.get());
}

void TRpStandardPreview::LoadClick(TObject* Sender)
{
    // Not while a run writes the pages.
    if (!RpPrinter() || RpPrinter()->Status() == mpBusy)
        return;
    TOpenDialog Dialog(Application);
    Dialog.SetTitle(LoadResString(SRpLoadReport));
    Dialog.SetFilter(LoadResString(SRpFile) + " (*." + "RPF" + ")|*." + "RPF");
    if (!Dialog.Execute())
        return;
    const std::string Name = Dialog.FileName();
    std::error_code Error;
    if (!std::filesystem::exists(Name, Error)) {
        MessageDlg(LoadResString(SRpFileNotExist), mtError, {mbOK});
        return;
    }
    try {
        RpPrinter()->Load(Name);
    } catch (const std::exception& E) {
        // The pages shown before stay.
        Application->HandleException(E);
        return;
    }
    FLoaded = true;
    PreviewStatusText = Name;
    RpPreview->SetPageNumber(1);
    RpPreview->PreviewImage()->SetPageNumber(1);
    RpPreview->UpdateZoom();
    RpPreviewPageAvailable(this, 1);
    {
        TValueRollback<bool> Selecting(SelectingThumb, true);
        ThumbGrid->SetRow(0);
    }
    PrintSetup->SetEnabled(false);
    Print->SetEnabled(true);
}

bool TRpStandardPreview::GetTextSearch(bool& CaseSensitive, std::string& Text)
{
    Text.clear();
    TSearchDlg Dialog(this);
    Dialog.ShowModal();
    if (Dialog.Cancelled())
        return false;
    Text = Dialog.GetText();
    CaseSensitive = Dialog.GetCase();
    return true;
}

void TRpStandardPreview::FindButtonClick(TObject* Sender)
{
    bool CaseSensitive = false;
    std::string Text;
    if (!GetTextSearch(CaseSensitive, Text) || !RpPrinter())
        return;
    SearchResultBox->SetEnabled(true);
    SearchTextLabel->SetCaption(Text);
    SearchResultBox->Items()->Clear();
    for (int I = 1; I <= RpPrinter()->PageCount(); ++I)
        if (std::unique_ptr<TMetafile> Page = RpPrinter()->Page(I); Page && StrInMetafile(Text, Page.get(), CaseSensitive))
            SearchResultBox->Items()->Add("Page " + IntToStr(I));
    if (SearchResultBox->Items()->Count() == 0) {
        SearchResultBox->Items()->Add("No matching text");
        SearchResultBox->SetEnabled(false);
    }
}

void TRpStandardPreview::GotoPageButtonClick(TObject* Sender)
{
    if (!RpPrinter())
        return;
    const int Count = RpPrinter()->PageCount();
    std::string Value = IntToStr(RpPreview->PageNumber());
    if (!InputQuery(FormatResString(SRpGotoPage, Count), "Go to page >>", Value))
        return;
    int N = ReadLeadingInteger(Value);
    if (N < 1 || N > Count)
        N = 1;
    SelectPage(N);
}

void TRpStandardPreview::RpPreviewHyperlink(TObject* Sender, TRpHyperlinkEventType EventType, const std::string& Link,
                                            bool& Handled)
{
    StatusBar->Panels()->Items(2)->SetText(Link);
}

void TRpStandardPreview::OutlineViewChange(TObject* Sender, TTreeNode* Node)
{
    if (!RpPrinter() || !Node)
        return;
    TRect Area;
    int Page = 0;
    if (RpPrinter()->PageList()->Outline()->FindPosition(Node, Area, Page) && Page > 0) {
        RpPreview->SetPageNumber(Page);
        UpdateInfo();
    }
}

// ---------------------------------------------------------- the preview class

TForm* TRpStandardPreviewInterface::Show(TRpPrinter* APrinter)
{
    auto* Window = new TRpStandardPreview(Application, APrinter);
    Window->Show();
    return Window;
}

TForm* TRpStandardPreviewInterface::ShowModal(TRpPrinter* APrinter)
{
    auto* Window = new TRpStandardPreview(Application, APrinter);
    Window->UpdateInfo();
    Window->TForm::ShowModal();
    return Window;
}

void RegisterStandardPreview()
{
    RegisterPreviewClass(TRpPreviewInterfaceClass::Of<TRpStandardPreviewInterface>("TRpStandardPreviewInterface"));
}
