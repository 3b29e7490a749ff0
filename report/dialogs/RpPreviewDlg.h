// The "Print Preview" window a report opens by default: a tool bar (zoom,
// page navigation, go to page, text search, printer setup, print, save,
// load, close), page thumbnails and search results on the left, the page in
// a TRpPreview and a status bar (progress, "Page n of m", the report's
// title or the file loaded). TRpStandardPreviewInterface is the preview
// class that opens it (RegisterPreviewClass).
#pragma once

#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Grids.h"
#include "platform/ImgList.h"
#include "platform/StdCtrls.h"
#include "report/dialogs/RpPreview.h"
#include "report/RpPrntr.h"
#include "report/RpReport.h"

#include <string>

class TTreeNode;

// The thumbnail grid: the platform's draw grid, whose OnResize the window
// binds.
class TResizeGrid : public TDrawGrid {
public:
    explicit TResizeGrid(TComponent* AOwner) : TDrawGrid(AOwner) {}
};

class TRpStandardPreview : public TForm {
public:
    TRpStandardPreview(TComponent* AOwner, TRpPrinter* P);
    ~TRpStandardPreview() override;

    // Shows the window and the page information.
    void Show();
    void SelectPage(int N);
    void UpdateInfo();
    // Asks for a text with the search dialog; false when cancelled.
    bool GetTextSearch(bool& CaseSensitive, std::string& Text);

    // The printer shown: nullptr once it is freed (the preview hears of it).
    TRpPrinter* RpPrinter() const { return RpPreview ? RpPreview->RpPrinter() : nullptr; }
    bool Landscape() const { return FLandscape; }
    int LastProgress() const { return FLastProgress; }
    int ThumbHeight() const { return FThumbHeight; }
    int ThumbWidth() const { return FThumbWidth; }
    bool ShowThumbs() const { return FShowThumbs; }
    bool ShowSearch() const { return FShowSearch; }
    TRpZoomState InitialZoom() const { return FInitialZoom; }

private:
    TImageList* Images;
    TToolBar* ToolBar1;
    TToolButton* ToolButton1;
    TToolButton* ZoomFit;
    TToolButton* ZoomToWidth;
    TToolButton* Zoom100;
    TToolButton* Spacer3;
    TToolButton* FirstPage;
    TToolButton* PreviousPage;
    TToolButton* ToolButton2;
    TToolButton* LastPage;
    TToolButton* Spacer2;
    TToolButton* GotoPageButton;
    TToolButton* FindButton;
    TToolButton* Spacer1;
    TToolButton* PrintSetup;
    TToolButton* Print;
    TToolButton* Spacer4;
    TToolButton* SaveReport;
    TToolButton* LoadReport;
    TToolButton* Spacer5;
    TSpeedButton* ExitButton;
    TPageControl* Tabs;
    TTabSheet* TabThumbs;
    TResizeGrid* ThumbGrid;
    TTabSheet* TabSearchResult;
    TGroupBox* GroupBox1;
    TLabel* SearchTextLabel;
    TListBox* SearchResultBox;
    TSplitter* Splitter2;
    TRpPreview* RpPreview;
    TSplitter* Splitter1;
    TStatusBar* StatusBar;

    void FirstPageClick(TObject* Sender);
    void PrevPageClick(TObject* Sender);
    void NextPageClick(TObject* Sender);
    void LastPageClick(TObject* Sender);
    void ZoomToFitClick(TObject* Sender);
    void ZoomToWidthClick(TObject* Sender);
    void ZoomTo100Click(TObject* Sender);
    void GotoPageButtonClick(TObject* Sender);
    void FindButtonClick(TObject* Sender);
    void PrintSetupClick(TObject* Sender);
    void PrintClick(TObject* Sender);
    void SaveClick(TObject* Sender);
    void LoadClick(TObject* Sender);
    void ExitClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormCreate(TObject* Sender);
    void FormKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);
    void FormResize(TObject* Sender);
    void ThumbGridDrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    void ThumbGridSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void ResizeThumb(TObject* Sender);
    void RpPreviewPageAvailable(TObject* Sender, int PageNum);
    void RpPreviewProgressUpdate(TObject* Sender, int Progress);
    void RpPreviewHyperlink(TObject* Sender, TRpHyperlinkEventType EventType, const std::string& Link, bool& Handled);
    void OutlineViewChange(TObject* Sender, TTreeNode* Node);

    void BuildForm();
    void MakeImages();
    TToolButton* AddButton(const std::string& Name, const std::string& Hint, int Image, TToolButtonStyle Style);
    // The report whose pages are shown, nullptr for a loaded file.
    TCustomRpReport* Report() const;

    bool FLandscape = false;
    int FLastProgress = 0;
    int FThumbTextHeight = 0;
    int FThumbHeight = 0;
    int FThumbWidth = 0;
    int FThumbTop = 0;
    int FThumbLeft = 0;
    bool FShowThumbs = true;
    bool FShowSearch = true;
    TRpZoomState FInitialZoom = rpZoomToFit;
    // The pages shown came from a saved file, not from the report's run.
    bool FLoaded = false;
};

// Opens TRpStandardPreview: Show modeless (the window is returned), ShowModal
// modally.
class TRpStandardPreviewInterface : public TRpPreviewInterface {
public:
    explicit TRpStandardPreviewInterface(TComponent* AOwner) : TRpPreviewInterface(AOwner) {}
    TForm* Show(TRpPrinter* APrinter) override;
    TForm* ShowModal(TRpPrinter* APrinter) override;
};

// Makes TRpStandardPreview the window Preview opens.
void RegisterStandardPreview();

// The report title, or the name of the file loaded last (status panel 2).
extern std::string PreviewStatusText;
// Set while the window moves the thumbnail selection itself.
extern bool SelectingThumb;

// A number as the platform reads it from a go-to-page answer: leading
// blanks, an optional sign, decimal digits or hexadecimal ones after "$" or
// "0x"; reading stops at the first character that does not fit and keeps
// what was read (0 when nothing was).
int ReadLeadingInteger(const std::string& S);

// The bin of a device paper-source code: the first of cRpBinTranslate with
// that code; false (Bin unchanged) for a code the table does not hold.
bool RpBinOfSourceCode(int32_t Code, TRpBin& Bin);
