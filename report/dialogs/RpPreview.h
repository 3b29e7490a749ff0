// The preview control: a scroll box holding one TRpPreviewImage, which paints
// the page shown of a report printer's pages with a frame and a drop shadow
// at a zoom factor. The control follows its printer through the printer's
// page-available and progress messages (it is the printer's Client while it
// shows it).
#pragma once

#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Messages.h"
#include "platform/Metafile.h"
#include "report/RpHyperlink.h"
#include "report/RpPrntr.h"
#include "report/RpReport.h"

#include <functional>
#include <memory>
#include <string>

class TTreeView;

enum TRpHyperlinkEventType { heCursorMoveOver, heCursorMoveAway, heGoto };

using TRpPreviewHyperlinkEvent =
    std::function<void(TObject* Sender, TRpHyperlinkEventType EventType, const std::string& Link, bool& Handled)>;
using TRpPageAvailableEvent = std::function<void(TObject* Sender, int PageNum)>;
using TRpProgressUpdateEvent = std::function<void(TObject* Sender, int Progress)>;

// Draws a page picture into R of Canvas: a white page, the picture
// stretched onto R, a black frame and a drop shadow on the right and at the
// bottom. Without a picture only DrawFrame draws the empty page.
void PaintPageToCanvas(TMetafile* Metafile, TCanvas* Canvas, const TRect& R, bool DrawFrame);

class TRpPreviewImage : public TGraphicControl {
public:
    explicit TRpPreviewImage(TComponent* AOwner);
    ~TRpPreviewImage() override;

    TRpPrinter* RpPrinter() const { return FRpPrinter; }
    void SetRpPrinter(TRpPrinter* Value) { FRpPrinter = Value; }
    int PageNumber() const { return FPageNumber; }
    // Takes page N from the printer afresh (none while it is not recorded)
    // and paints it.
    void SetPageNumber(int Value);
    int Zoom() const { return FZoom; }
    void SetZoom(int Value) { FZoom = Value; }
    TMetafile* PageMetafile() const { return FPageMetafile.get(); }
    bool ImageOK() const { return FPageMetafile != nullptr; }
    // Drops the picture (its printer is gone).
    void FreeImage();

    THyperlinkList* Hyperlinks() const { return FHyperlinks.get(); }
    bool HyperlinksOK() const { return FHyperlinks != nullptr; }
    void FreeHyperlinks() { FHyperlinks.reset(); }
    // The link under (X, Y) of the image at its zoom; also CurrentLink.
    std::string Hyperlink(int X, int Y);
    bool IsLink() const { return FIsLink; }
    void SetIsLink(bool Value);
    const std::string& CurrentLink() const { return FCurrentLink; }

    TRpPreviewHyperlinkEvent OnHyperlink;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

private:
    std::unique_ptr<THyperlinkList> FHyperlinks;
    TRpPrinter* FRpPrinter = nullptr;
    int FPageNumber = 1;
    std::unique_ptr<TMetafile> FPageMetafile;
    int FZoom = 100;
    bool FIsLink = false;
    std::string FCurrentLink;
};

class TRpPreview : public TScrollBox, public TMessageTarget, public IRpPrinterClient {
public:
    explicit TRpPreview(TComponent* AOwner);
    ~TRpPreview() override;

    TRpPreviewImage* PreviewImage() const { return FPreviewImage; }
    TRpPrinter* RpPrinter() const { return FRpPrinter; }
    // Shows P's pages from page 1 (nullptr: none); the printer shown before
    // stops showing a preview (a run it is busy with is cancelled).
    void SetRpPrinter(TRpPrinter* P);
    int PageNumber() const { return FPageNumber; }
    // Ignored for 0 and below, above the printer's page count, without a
    // printer, and for the page shown.
    void SetPageNumber(int Value);
    int Zoom() const { return FZoom; }
    // Percent, 2..2000 (other values are ignored); the zoom then stays when
    // the control changes its size.
    void SetZoom(int Value);
    TRpZoomState ZoomState() const { return FZoomState; }
    // The page as large as fits, or as wide; it follows the control's size.
    void ZoomToFit();
    void ZoomToWidth();
    // Sizes and centres the image for Zoom.
    void UpdateZoom();
    // Loads the page shown once it is recorded.
    void UpdateImage();
    TTreeView* Outline() const { return FOutline; }
    void SetOutline(TTreeView* Value);
    TRpPreviewHyperlinkEvent& OnHyperlink() { return FPreviewImage->OnHyperlink; }

    TRpPageAvailableEvent OnPageAvailable;
    TRpProgressUpdateEvent OnProgressUpdate;

    void WndProc(TMessage& Message) override;
    void RpPrinterFreed(TRpPrinter* Printer) override;

protected:
    void Resize() override;

private:
    void Fixvalues();
    // The page's size in pixels: the printer's, or Letter at 1 px/mm.
    long double PageWidthPixels() const;
    long double PageLengthPixels() const;

    TRpPreviewImage* FPreviewImage;
    int FPageNumber = 1;
    TRpPrinter* FRpPrinter = nullptr;
    int FZoom = 100;
    TRpZoomState FZoomState = rpZoomOther;
    TTreeView* FOutline = nullptr;
    bool FFixing = false;
};
