// The banded report: units and page settings, frames, the base panel, the
// printable base, bands, the band loop (controller) and the report
// component with its page and column flow.
//
// Every size is stored in native units, tenths of a millimetre, and shown in
// the report's Units. During a run every size object is switched to Native;
// the run printer (TRpPrinter) turns positions into device pixels with
// XPos/YPos/XSize/YSize and hands out the page canvas (GetCanvas).
//
// A run (CreateReport) in short: the printer's BeginDoc; the band loop asks
// the report to print bands (PrintBand); a band that finds no room asks for
// a new column, and the last column for a new page, which closes the page
// before it with its page footer; at the end the final page is closed and
// the document ended (aborted when cancelled or when an exception passes).
//
// Printable contract (the chart printable relies on it): the constructor
// makes Size and Frame, colour white, 10 x 10 pixels, PrintComplete true;
// Prepare caches the report's run printer (ActivePrinter) before any Print;
// Print(OfsX, OfsY) draws only the frame into the rectangle XPos(Left + OfsX),
// YPos(Top + OfsY), XPos(Left + OfsX + Width), YPos(Top + OfsY + Height) of
// the Size values, so that a descendant draws its content there first and
// calls the base Print last; Size()->GetValue(0..3) is Height, Left, Top,
// Width, in native units while a report is being created.
#pragma once

#include "platform/Classes.h"
#include "platform/Controls.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/MessagePacer.h"
#include "platform/Messages.h"
#include "platform/Printers.h"
#include "report/RpExpr.h"
#include "report/RpPrintableEditor.h"
#include "report/RpPrntr.h"
#include "report/RpRunState.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCustomRpReport;
class TRpCustomBand;
class TRpPrintable;
class TRpCustomController;
class TRpExportFilter;
class TRpCreateReportThread;
class TMetafile;
class TRpGroup;
class TDataSet;
class TQuery;

// ------------------------------------------------------------------ enums

enum class TRpUnit { MM, Inches, Pixels, Characters, Native };
enum class TRpPrintOrder { ColByCol, RowByRow };
enum class TRpReportOption { FirstPageHeader, LastPageFooter, Compression };
enum TRpZoomState { rpZoomToFit, rpZoomToWidth, rpZoomOther };
enum TRpBandType {
    rbTitle, rbPageHeader, rbDetail, rbPageFooter, rbSummary, rbGroupHeader, rbGroupFooter, rbSubDetail,
    rbColumnHeader, rbOverlay, rbChild
};
enum TRpNotifyOperation { rpMasterDataAdvance, rpBandPrinted, rpBandSizeChange };

class TRpReportOptions {
public:
    constexpr TRpReportOptions() = default;
    constexpr TRpReportOptions(std::initializer_list<TRpReportOption> Options)
    {
        for (TRpReportOption O : Options)
            FBits |= Bit(O);
    }
    constexpr bool Contains(TRpReportOption O) const { return (FBits & Bit(O)) != 0; }
    TRpReportOptions& operator<<(TRpReportOption O) { FBits |= Bit(O); return *this; }
    TRpReportOptions& operator>>(TRpReportOption O) { FBits &= ~Bit(O); return *this; }
    constexpr bool operator==(const TRpReportOptions&) const = default;

private:
    static constexpr unsigned Bit(TRpReportOption O) { return 1u << static_cast<unsigned>(O); }
    unsigned FBits = 0;
};

// True when the system's locale measures in inches (the US system); read
// once, at first use.
bool RpUsMeasurement();

// --------------------------------------------------------------- unit base

// Converts between native units (0.1 mm) and the units shown. Descendants
// keep their values native and push them to their control as pixels
// (SetParentSizes).
class TRpUnitBase : public TPersistent {
    OZ_CLASS(TRpUnitBase, TPersistent);

public:
    TRpUnitBase();

    virtual long double LoadUnit(TRpUnit AUnits, bool Horizontal, long double Value) const;
    virtual long double SaveUnit(TRpUnit AUnits, bool Horizontal, long double Value) const;
    virtual TRpUnit GetUnits() const { return FDisplayUnits; }
    virtual void Loaded() { SetParentSizes(); }
    // The values in native units, in the order of the descendant ("Values").
    virtual void ReadValues(const std::vector<long double>& Values) {}
    virtual void SetParentSizes() {}
    virtual void SetUnits(TRpUnit Value) { FDisplayUnits = Value; }
    virtual std::vector<long double> WriteValues() const { return {}; }
    // The form stream's "Values": WriteValues as a list of numbers; a list
    // of another length is refused.
    void DefineProperties(TFiler* Filer) override;

    TRpUnit Units() const { return GetUnits(); }
    // Switches to Pixels, remembering the unit; RestoreUnit goes back.
    void SetPixels();
    void RestoreUnit();
    int ScreenPPI() const { return FScreenPPI; }
    // Percent; used by the Pixels unit.
    int Zoom() const { return FUnitZoom; }
    void SetZoom(int Value) { FUnitZoom = Value; }
    void FixZoom() { SetParentSizes(); }
    // The report whose font defines the Characters unit.
    TCustomRpReport* UnitReport() const { return FUnitReport; }
    void SetUnitReport(TCustomRpReport* Value) { FUnitReport = Value; }
    // True while the values are pushed to the control.
    bool PushingSizes() const { return FPushingSizes; }

protected:
    // The report font's size in points for the Characters unit (1 for 0).
    long double CharacterFontSize() const;

    int FScreenPPI;
    TRpUnit FDisplayUnits;
    TRpUnit FSavedUnits;
    TCustomRpReport* FUnitReport = nullptr;
    bool FPushingSizes = false;
    int FUnitZoom = 100;
};

// ------------------------------------------------------------- page settings

class TRpPage : public TRpUnitBase {
    OZ_CLASS(TRpPage, TRpUnitBase);

public:
    static void Publish(TPublisher<TRpPage>& P);
    explicit TRpPage(TCustomRpReport* Report);

    // 0 BottomMargin, 1 Length, 2 TopMargin, 3 Width, 4 LeftMargin,
    // 5 RightMargin, 6 (and above) ColumnSpace; in Units.
    long double GetValue(int Index) const;
    void SetValue(int Index, long double Value);
    // The stored value of the index, in native units.
    long double NativeValue(int Index) const { return FieldValue(Index); }

    long double BottomMargin() const { return GetValue(0); }
    void SetBottomMargin(long double Value) { SetValue(0, Value); }
    // Length and Width are stored only while PaperSize is Custom.
    long double Length() const { return GetValue(1); }
    void SetLength(long double Value) { SetValue(1, Value); }
    long double TopMargin() const { return GetValue(2); }
    void SetTopMargin(long double Value) { SetValue(2, Value); }
    long double Width() const { return GetValue(3); }
    void SetWidth(long double Value) { SetValue(3, Value); }
    long double LeftMargin() const { return GetValue(4); }
    void SetLeftMargin(long double Value) { SetValue(4, Value); }
    long double RightMargin() const { return GetValue(5); }
    void SetRightMargin(long double Value) { SetValue(5, Value); }
    long double ColumnSpace() const { return GetValue(6); }
    void SetColumnSpace(long double Value) { SetValue(6, Value); }

    int32_t Columns() const { return FColumns; }
    // Below 1 is ignored.
    void SetColumns(int32_t Value);
    TPrinterOrientation Orientation() const { return FOrientation; }
    // Applies the paper size again, so that the dimensions swap.
    void SetOrientation(TPrinterOrientation Value);
    TRpPaperSize PaperSize() const { return FPaperSize; }
    // A table size sets Width and Length from the table (swapped in
    // landscape); Default and Custom are only stored.
    void SetPaperSize(TRpPaperSize Value);
    TRpPrintOrder PrintOrder() const { return FPrintOrder; }
    void SetPrintOrder(TRpPrintOrder Value);
    bool Ruler() const { return FRuler; }
    void SetRuler(bool Value);
    TCustomRpReport* Report() const { return FReport; }

    void SetUnits(TRpUnit Value) override;
    void SetParentSizes() override;
    // BottomMargin, Length, TopMargin, Width, LeftMargin, RightMargin,
    // ColumnSpace (a shorter list sets the values it holds).
    void ReadValues(const std::vector<long double>& Values) override;
    std::vector<long double> WriteValues() const override;

private:
    long double& Field(int Index);
    long double FieldValue(int Index) const;
    void PlaceBands();

    long double FBottomMargin = 0;
    long double FColumnSpace = 0;
    int32_t FColumns = 1;
    long double FLeftMargin = 0;
    long double FLength = 0;
    TPrinterOrientation FOrientation = poPortrait;
    TRpPaperSize FPaperSize = TRpPaperSize::A4;
    TRpPrintOrder FPrintOrder = TRpPrintOrder::ColByCol;
    long double FRightMargin = 0;
    bool FRuler = true;
    long double FTopMargin = 0;
    long double FWidth = 0;
    TCustomRpReport* FReport;
};

// -------------------------------------------------------------------- frames

// The sides of a report element that get a line, with colour, pen style and
// width in points (-1: one device pixel).
class TRpFrame : public TPersistent {
    OZ_CLASS(TRpFrame, TPersistent);

public:
    static void Publish(TPublisher<TRpFrame>& P);
    TRpFrame() = default;
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    int32_t Width() const { return FWidth; }
    void SetWidth(int32_t Value);
    // 0 top, 1 bottom, 2 left, 3 right.
    bool GetValue(int Index) const;
    void SetValue(int Index, bool Value);
    bool DrawTop() const { return FDrawTop; }
    void SetDrawTop(bool Value) { SetValue(0, Value); }
    bool DrawBottom() const { return FDrawBottom; }
    void SetDrawBottom(bool Value) { SetValue(1, Value); }
    bool DrawLeft() const { return FDrawLeft; }
    void SetDrawLeft(bool Value) { SetValue(2, Value); }
    bool DrawRight() const { return FDrawRight; }
    void SetDrawRight(bool Value) { SetValue(3, Value); }

    // The element whose frame this is (invalidated on a change; not owned).
    TControl* FrameOwner() const { return FFrameOwner; }
    void SetParent(TControl* Value) { FFrameOwner = Value; }
    bool AnyFrame() const { return FDrawTop || FDrawBottom || FDrawLeft || FDrawRight; }
    // Width 1, the frame's style and colour.
    void SetPen(TPen* Pen) const;
    // Draws the sides as bars inside Rect; XFactor and YFactor are device
    // pixels per 0.1 mm.
    // While the owner's report exports, the frame is handed to the filter
    // as shapes instead (ExportIt) and not drawn.
    void PaintIt(TCanvas* Canvas, const TRect& Rect, long double XFactor, long double YFactor) const;
    // The owner's background (an opaque printable) and the sides as shapes
    // at their device positions.
    void ExportIt(TRpExportFilter* Filter, const TRect& Rect, long double XFactor, long double YFactor) const;
    // The bar thicknesses PaintIt uses.
    int LineWidthX(long double XFactor) const;
    int LineWidthY(long double YFactor) const;

private:
    void Changed();

    TColor FColor = 0;
    bool FDrawBottom = false;
    bool FDrawLeft = false;
    TControl* FFrameOwner = nullptr;
    TPenStyle FStyle = psSolid;
    bool FDrawRight = false;
    bool FDrawTop = false;
    int32_t FWidth = 1;
};

// ---------------------------------------------------------------- base panel

// The common base of the report and its bands: a panel with a frame and a
// zoom that passes the zoom and a run's Prepare/UnPrepare to what it holds.
class TRpBasePanel : public TCustomPanel {
    OZ_CLASS(TRpBasePanel, TCustomPanel);

public:
    static void Publish(TPublisher<TRpBasePanel>& P);
    explicit TRpBasePanel(TComponent* AOwner);
    ~TRpBasePanel() override;

    TRpFrame* Frame() const { return FFrame.get(); }
    int Zoom() const { return FZoom; }
    // 0 is ignored; reaches every printable and base panel inside.
    virtual void SetZoom(int Value);
    // Prepare / UnPrepare of every printable inside, base panels recursively.
    void PrepareComponents();
    void UnprepareComponents();
    int RulerFontSize() const { return FRulerFontSize; }

protected:
    // Panel colour when enabled, silver when disabled.
    void Paint() override;
    // The design grid in Units at the panel's zoom; labelled on a report.
    virtual void PaintRuler(TRpUnit Units);

    int FRulerFontSize = 12;

private:
    int FZoom = 100;
    std::unique_ptr<TRpFrame> FFrame;
};

// ----------------------------------------------------------- printable base

class TRpPrintableSize : public TRpUnitBase {
public:
    explicit TRpPrintableSize(TRpPrintable* Printable);

    // 0 Height, 1 Left, 2 Top, 3 (and above) Width, in Units; in Pixels also
    // times the zoom of a base-panel parent.
    long double GetValue(int Index) const;
    // Indexes 0..3 store; every index pushes the bounds to the printable.
    void SetValue(int Index, long double Value);
    long double Height() const { return GetValue(0); }
    void SetHeight(long double Value) { SetValue(0, Value); }
    long double Left() const { return GetValue(1); }
    void SetLeft(long double Value) { SetValue(1, Value); }
    long double Top() const { return GetValue(2); }
    void SetTop(long double Value) { SetValue(2, Value); }
    long double Width() const { return GetValue(3); }
    void SetWidth(long double Value) { SetValue(3, Value); }
    TRpPrintable* Printable() const { return FPrintable; }

    void SetParentSizes() override;
    // Height, Left, Top, Width.
    void ReadValues(const std::vector<long double>& Values) override;
    std::vector<long double> WriteValues() const override;

private:
    std::array<long double, 4> FValues{20.0L, 20.0L, 20.0L, 20.0L};
    TRpPrintable* FPrintable;
};

class TRpPrintable : public TCustomControl {
    OZ_CLASS(TRpPrintable, TCustomControl);

public:
    static void Publish(TPublisher<TRpPrintable>& P);
    // While loading, non-zero pixel bounds are kept as pending; Loaded
    // applies the stored "Values" and then the pending bounds the values
    // left at 0.
    void Loaded() override;
    explicit TRpPrintable(TComponent* AOwner);
    ~TRpPrintable() override;

    // Enabled, or not visible.
    virtual bool IsEnabled() const;
    // The class of the design-time editor of this printable (the base
    // names the editor base class, which nobody makes).
    virtual TRpPrintableEditorClass GetEditorClass() const { return RpPrintableEditorClass("TRpPrintableEditor"); }
    // Keeps the control at the band's left, right or centre by Alignment.
    virtual void AlignIt();
    // The run begins: PrintingActive, ActivePrinter := the report's printer.
    virtual void Prepare();
    // Draws the frame; descendants draw their content first, then call this.
    virtual void Print(int OfsX, int OfsY);
    virtual void RpNotification(TObject* Sender, TRpNotifyOperation Operation);
    virtual void SetAlignment(TAlignment Value);
    virtual void UnPrepare();
    // The height (pixels) the content needs; the base leaves NewHeight alone.
    virtual void GetExpandedHeight(long double& NewHeight) {}
    virtual void GetFieldString(std::string& Value) {}

    void SetParent(TWinControl* AParent) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TRpPrintableSize* Size() const { return FSize.get(); }
    TRpFrame* Frame() const { return FFrame.get(); }
    TAlignment Alignment() const { return FAlignment; }
    bool AlignToBand() const { return FAlignToBand; }
    void SetAlignToBand(bool Value);
    bool Transparent() const { return !FOpaque; }
    void SetTransparent(bool Value);
    bool PrintingActive() const { return FPrintingActive; }
    TCustomRpReport* HostReport() const { return FHostReport; }
    TRpPrinter* ActivePrinter() const { return FActivePrinter; }
    // False after a Print that left content for the next page.
    bool PrintComplete() const { return FPrintComplete; }
    void SetPrintComplete(bool Value) { FPrintComplete = Value; }
    int GetZoom() const { return FSize->Zoom(); }
    void SetZoom(int Value);

protected:
    // Design look: white unless transparent, corner marks, frame.
    void Paint() override;
    // The page rectangle of the Size values at (OfsX, OfsY), device pixels.
    TRect PrintRect(int OfsX, int OfsY) const;
    void PaintCorners(TCanvas* C);

private:

    bool FAlignBusy = false;
    TAlignment FAlignment = taLeftJustify;
    bool FAlignToBand = false;
    std::unique_ptr<TRpFrame> FFrame;
    bool FPrintingActive = false;
    TCustomRpReport* FHostReport = nullptr;
    bool FPrintComplete = true;
    TRpPrinter* FActivePrinter = nullptr;
    std::unique_ptr<TRpPrintableSize> FSize;
    bool FOpaque = true;
    int FPendingLeft = 0;
    int FPendingTop = 0;
    int FPendingWidth = 0;
    int FPendingHeight = 0;
};

// --------------------------------------------------------------------- bands

class TRpBandSize : public TRpUnitBase {
public:
    explicit TRpBandSize(TRpCustomBand* Band);

    // 0 Height (the stored Length, vertical), 1 Width (horizontal).
    long double GetValue(int Index) const;
    void SetValue(int Index, long double Value);
    long double Height() const { return GetValue(0); }
    void SetHeight(long double Value) { SetValue(0, Value); }
    long double Width() const { return GetValue(1); }
    void SetWidth(long double Value) { SetValue(1, Value); }

    void SetParentSizes() override;
    // Length, Width.
    void ReadValues(const std::vector<long double>& Values) override;
    std::vector<long double> WriteValues() const override;

private:
    long double FWidth = 40.0L;
    long double FLength = 20.0L;
    TRpCustomBand* FBand;
};

using TRpBandBeforePrintEvent = std::function<void(TRpCustomBand* Sender, bool& PrintBand)>;
using TRpBandAfterPrintEvent = std::function<void(TRpCustomBand* Sender, bool BandPrinted)>;

class TRpCustomBand : public TRpBasePanel {
    OZ_CLASS(TRpCustomBand, TRpBasePanel);

public:
    static void Publish(TPublisher<TRpCustomBand>& P);
    // The child controls the form's root owns (printables), for the form stream.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    // Printables read inside the band belong to the form's root.
    TComponent* GetChildOwner() override { return nullptr; }
    explicit TRpCustomBand(TComponent* AOwner);
    ~TRpCustomBand() override;

    virtual void BandTypeName(std::string& Text) const;
    virtual void BandComponentName(std::string& Text) const;
    virtual void SetParentReport(TCustomRpReport* Value) { FReport = Value; }

    void SetEnabled(bool Value) override;
    void SetParent(TWinControl* AParent) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetZoom(int Value) override;

    // One print of the band at the report's cursor, with its child chain
    // (only through the report's PrintBand).
    void Print();
    // Needed height (0.1 mm) of the band with its growing printables.
    void ExpandedHeight(long double& Value);
    long double StretchHeight(bool WithLinks);
    bool CanExpand(long double Value);
    bool ExpandBand(long double Value, long double& NewExpanded, bool& Expanded);
    void MakeSpace();
    void AdvancePaper();
    // A new printable on the band, 10 pixels right of the rightmost one.
    template <class T>
    T* AddPrintable()
    {
        auto* P = new T(Owner() ? Owner() : this);
        PlaceNewPrintable(P);
        return P;
    }

    TRpBandType BandType() const { return FBandType; }
    void SetBandType(TRpBandType Value);
    TRpBandSize* Size() const { return FSize.get(); }
    TRpUnit GetUnits() const;
    void SetUnits(TRpUnit Value);
    TCustomRpReport* Report() const { return FReport; }
    TRpCustomBand* LinkBand() const { return FLinkBand; }
    // A link that leads back to this band is refused (false).
    bool SetLinkBand(TRpCustomBand* Value);
    // The first child band of this band in the report's list.
    TRpCustomBand* GetChild() const;
    bool HasChild() const { return GetChild() != nullptr; }
    void SetHasChild(bool Value);

    bool AlignToBottom() const { return FAlignToBottom; }
    void SetAlignToBottom(bool Value) { FAlignToBottom = Value; }
    bool ForceNewColumn() const { return FForceNewColumn; }
    void SetForceNewColumn(bool Value) { FForceNewColumn = Value; }
    bool ForceNewPage() const { return FForceNewPage; }
    void SetForceNewPage(bool Value) { FForceNewPage = Value; }
    bool TransparentBand() const { return FTransparentBand; }
    void SetTransparentBand(bool Value) { FTransparentBand = Value; }
    bool PreCaluculateBandHeight() const { return FPreCaluculateBandHeight; }
    void SetPreCaluculateBandHeight(bool Value) { FPreCaluculateBandHeight = Value; }
    bool KeepOnOnePage() const { return FKeepOnOnePage; }
    void SetKeepOnOnePage(bool Value) { FKeepOnOnePage = Value; }
    TRpCustomController* NotifyController() const { return FNotifyController; }
    void SetNotifyController(TRpCustomController* Value) { FNotifyController = Value; }
    // The band's rectangle on the current page (device pixels).
    const TRect& PrintRect() const { return FPrintRect; }
    long double Expanded() const { return FExpanded; }
    bool Placing() const { return FPlacing; }
    void SetPlacing(bool Value) { FPlacing = Value; }

    TRpBandBeforePrintEvent BeforePrint;
    TRpBandAfterPrintEvent AfterPrint;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The design view: background, ruler, outline, frame and caption.
    void Paint() override;
    void PaintRuler(TRpUnit Units) override;

private:
    void PlaceNewPrintable(TRpPrintable* P);
    void PrintBody();
    void PaintBackground();

    bool FPreCaluculateBandHeight = false;
    bool FKeepOnOnePage = false;
    long double FExpandTop = 0;
    TRect FPrintRect;
    long double FExpanded = 0;
    bool FAlignToBottom = false;
    bool FForceNewColumn = false;
    bool FForceNewPage = false;
    TRpCustomBand* FLinkBand = nullptr;
    TCustomRpReport* FReport = nullptr;
    bool FPlacing = false;
    bool FTransparentBand = true;
    TRpBandType FBandType = rbDetail;
    std::unique_ptr<TRpBandSize> FSize;
    TRpCustomController* FNotifyController = nullptr;
};

class TRpBand : public TRpCustomBand {
    OZ_CLASS(TRpBand, TRpCustomBand);

public:
    static void Publish(TPublisher<TRpBand>& P);
    explicit TRpBand(TComponent* AOwner) : TRpCustomBand(AOwner) {}
};

class TRpChildBand : public TRpCustomBand {
    OZ_CLASS(TRpChildBand, TRpCustomBand);

public:
    static void Publish(TPublisher<TRpChildBand>& P);
    explicit TRpChildBand(TComponent* AOwner);
    TRpCustomBand* ParentBand() const { return FParentBand; }
    // A chain of child bands that leads back to this band is refused (false).
    bool SetParentBand(TRpCustomBand* Value);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TRpCustomBand* FParentBand = nullptr;
};

// The standard bands of a report by index: 1 title, 2 page header, 3 column
// header, 4 detail, 5 none (there is no column footer), 6 page footer,
// 7 summary.
class TRpReportBands : public TPersistent {
public:
    explicit TRpReportBands(TCustomRpReport* Report) : FReport(Report) {}
    TRpCustomBand* GetBand(int Index) const;
    bool GetHasBand(int Index) const { return GetBand(Index) != nullptr; }
    void SetHasBand(int Index, bool Value);

    bool HasTitle() const { return GetHasBand(1); }
    void SetHasTitle(bool Value) { SetHasBand(1, Value); }
    bool HasPageHeader() const { return GetHasBand(2); }
    void SetHasPageHeader(bool Value) { SetHasBand(2, Value); }
    bool HasColumnHeader() const { return GetHasBand(3); }
    void SetHasColumnHeader(bool Value) { SetHasBand(3, Value); }
    bool HasDetail() const { return GetHasBand(4); }
    void SetHasDetail(bool Value) { SetHasBand(4, Value); }
    bool HasPageFooter() const { return GetHasBand(6); }
    void SetHasPageFooter(bool Value) { SetHasBand(6, Value); }
    bool HasSummary() const { return GetHasBand(7); }
    void SetHasSummary(bool Value) { SetHasBand(7, Value); }

private:
    TCustomRpReport* FReport;
};

// The type of a band, or for a child band that of the first band up its
// chain that is not a child.
TRpBandType RpEffectiveBandType(const TRpCustomBand* Band);
// Base + the smallest number from 1 up that names no component of Owner.
std::string UniqueName(TComponent* Owner, const std::string& Base);

// --------------------------------------------------------------- controllers

using TRpNeedDataEvent = std::function<void(TObject* Sender, bool& MoreData)>;

// The band loop without a data set: nested controllers before and after the
// (absent) detail, clients told of detail advances.
class TRpCustomController : public TComponent {
public:
    explicit TRpCustomController(TComponent* LoopOwner);
    ~TRpCustomController() override;

    virtual void BuildTree();
    virtual void Execute();
    virtual void Prepare();
    virtual void Unprepare();
    virtual void PrintAfterControllers();
    virtual void PrintBeforeControllers();
    virtual void PrintEmptyController();
    virtual void RegisterBands() {}
    virtual void RegisterDatasets() {}
    // The value of the report variable named after the loop owner (an
    // error in the base); UpdateLocalVar stores it there.
    virtual void LocalVarValue(TRpEvResult& Result) { Result = TRpEvResult::Error({}); }
    virtual void UpdateLocalVar();
    void NotifyClients(TRpNotifyOperation Operation);
    // Reprints the group headers that ask for it on a new column or page.
    void NewPageCheckGroups();

    // The report, controller or controller band this loop belongs to; other
    // components are ignored.
    TComponent* Master() const { return FMasterComp; }
    void SetMaster(TComponent* Value);
    bool BeforeMaster() const { return FBeforeMaster; }
    void SetBeforeMaster(bool Value) { FBeforeMaster = Value; }
    // The groups of this loop, outermost first (found by BuildTree).
    const std::vector<TRpGroup*>& Groups() const { return FGroupList; }
    // Evaluates the groups; true when one changed (inner ones then restart).
    bool CheckGroups();
    void PrintGroupHeaders();
    void PrintGroupFooters();
    void CheckLastGroupFooters();

    void AddBefore(TRpCustomController* Value) { FBeforeList.push_back(Value); }
    void AddAfter(TRpCustomController* Value) { FAfterList.push_back(Value); }
    void AddNotifyClient(TRpPrintable* Value) { FNotifyList.push_back(Value); }
    bool PrintWhenEmpty() const { return FPrintWhenEmpty; }
    void SetPrintWhenEmpty(bool Value) { FPrintWhenEmpty = Value; }
    TCustomRpReport* Report() const { return FReport; }
    void SetReport(TCustomRpReport* Value) { FReport = Value; }
    TComponent* LoopOwner() const { return FLoopOwner; }
    TComponent* LoopSelf() const { return FLoopSelf; }
    void SetLoopSelf(TComponent* Value) { FLoopSelf = Value; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TComponent* FLoopOwner;
    TComponent* FMasterComp = nullptr;
    std::vector<TRpGroup*> FGroupList;
    bool FBeforeMaster = false;
    std::vector<TRpCustomController*> FAfterList;
    std::vector<TRpCustomController*> FBeforeList;
    bool FPrintWhenEmpty = true;
    TComponent* FLoopSelf;
    TCustomRpReport* FReport = nullptr;
    std::vector<TRpPrintable*> FNotifyList;
    TRpEvElement* FLocalVar = nullptr;
};

// The report's band loop: header, detail once per record, footer; the
// records come from OnNeedData (data sets come with the data-set layer).
class TRpController : public TRpCustomController {
public:
    explicit TRpController(TComponent* LoopOwner) : TRpCustomController(LoopOwner) {}

    void Execute() override;
    void Prepare() override;
    void PrintEmptyController() override;
    void RegisterBands() override;
    void RegisterDatasets() override;

    // The records of the loop; without an active one OnNeedData serves them.
    TDataSet* DataSet() const { return FDataSetLink; }
    void SetDataSet(TDataSet* Value);
    TRpCustomBand* LoopDetail() const { return FLoopDetail; }
    void SetLoopDetail(TRpCustomBand* Value) { FLoopDetail = Value; }
    TRpCustomBand* LoopHeader() const { return FLoopHeader; }
    void SetLoopHeader(TRpCustomBand* Value) { FLoopHeader = Value; }
    TRpCustomBand* LoopFooter() const { return FLoopFooter; }
    void SetLoopFooter(TRpCustomBand* Value) { FLoopFooter = Value; }
    int32_t RecordNo() const { return FRecordNo; }

    TRpNeedDataEvent FNeedData;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TDataSet* FDataSetLink = nullptr;
    bool FUpdateSQLParams = false;
    TRpCustomBand* FLoopDetail = nullptr;
    TRpCustomBand* FLoopFooter = nullptr;
    TRpCustomBand* FLoopHeader = nullptr;
    int32_t FRecordNo = 0;
    // Window messages (a cancel among them) run between records, every
    // 10 ms at most.
    TMessagePacer FMessages;
};

// A group header: a change of its expression's value between records prints
// the footer of the ended group and the header of the new one.
class TRpGroup : public TRpCustomBand {
    OZ_CLASS(TRpGroup, TRpCustomBand);

public:
    static void Publish(TPublisher<TRpGroup>& P);
    explicit TRpGroup(TComponent* AOwner);
    ~TRpGroup() override;

    const std::string& Expression() const { return FExpression; }
    void SetExpression(const std::string& Value) { FExpression = Value; }
    TRpCustomBand* FooterBand() const { return FFooterBand; }
    void SetFooterBand(TRpCustomBand* Value);
    // A report or a controller band.
    TComponent* Master() const { return FMaster; }
    void SetMaster(TComponent* Value);
    bool ReprintOnNewPage() const { return FReprintOnNewPage; }
    void SetReprintOnNewPage(bool Value) { FReprintOnNewPage = Value; }
    bool ValueChanged() const { return FValueChanged; }
    void SetValueChanged(bool Value) { FValueChanged = Value; }
    bool HasValue() const { return FHasValue; }
    void SetHasValue(bool Value) { FHasValue = Value; }
    const TRpEvResult& LastValue() const { return FLastValue; }

    void SetParent(TWinControl* AParent) override;
    void Prepare();
    void Unprepare();
    // Evaluates the expression; true when its value changed.
    bool Check();
    // Takes the current value without comparing.
    void TakeValue();
    // True when the header is to be repeated on this new page.
    bool NewPageCheck();
    void PrintGroupHeader();
    void PrintGroupFooter();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TRpEvaluator> FEvaluator;
    std::string FExpression;
    TRpCustomBand* FFooterBand = nullptr;
    TComponent* FMaster = nullptr;
    bool FValueChanged = false;
    bool FReprintOnNewPage = false;
    TRpEvResult FLastValue;
    bool FHasValue = false;
    bool FHeaderPrinted = false;
    int32_t FHeaderPage = 1;
};

// Closes Query, gives every parameter named like an entry of Environment
// that entry's value (by the parameter's data type) and opens it again.
void PerformSQLParamsUpdate(TQuery* Query, TRpEvEnvironment* Environment);

// ------------------------------------------------------------ the report

class TRpReportPrinterSettings : public TRpPrinterSettings {
    OZ_CLASS(TRpReportPrinterSettings, TRpPrinterSettings);

public:
    static void Publish(TPublisher<TRpReportPrinterSettings>& P);
    TRpReportPrinterSettings() = default;
    void Assign(TPersistent* Source) override;
    bool PrintMetaFile() const { return FPrintMetaFile; }
    void SetPrintMetaFile(bool Value) { FPrintMetaFile = Value; }

private:
    bool FPrintMetaFile = false;
};

using TRpReportBeforePrintEvent = std::function<void(TCustomRpReport* Sender, bool& PrintReport)>;
using TRpReportEvent = std::function<void(TCustomRpReport* Sender)>;

class TCustomRpReport : public TRpBasePanel, public TMessageTarget, public IRpPrinterHost {
    OZ_CLASS(TCustomRpReport, TRpBasePanel);

public:
    static void Publish(TPublisher<TCustomRpReport>& P);
    // The bands the root owns and, for the report as root, the owned
    // components without a parent control.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    // Bands read inside the report belong to the form's root.
    TComponent* GetChildOwner() override { return nullptr; }
    // Rebuilds the band list and places the bands once the form is read.
    void Loaded() override;
    explicit TCustomRpReport(TComponent* AOwner);
    ~TCustomRpReport() override;

    // ---- run entry points (each does nothing while a run is going on)
    // A new run printer; false while busy.
    bool PrepareRpPrinter();
    // The report to the printer (a queue or a PDF file).
    void Print();
    // The report recorded into pages shown in the preview window (or
    // handed to OnPreview); waits until that window closes.
    void Preview();
    // The report recorded into the run printer's page list.
    void Prepare();
    // The print dialog (the registered one, report/RpPrintSetup.h); Tag 0
    // accepted, 1 cancelled or no dialog.
    void PrinterSetup();
    void Cancel();
    // The report through an export filter: text as TextOut, backgrounds and
    // frames as shapes and pictures through AcceptGraphic; nothing is drawn
    // on the printer's canvas.
    void ExportToFilter(TRpExportFilter* Filter);
    // The pages built on a worker thread (report/RpThread.cpp); each returns
    // at once, or when the modal preview closes. Refused while a run goes on.
    void PrintBackground();
    void PreviewModal();
    void PreviewModeless();
    // Cancels a background run and waits until its worker has ended.
    void FinishWorker();
    bool WorkerRunning() const { return FWorkerThread != nullptr; }
    virtual void CreateReport(bool Composite);
    virtual void Execute();
    virtual void SetControllerBands() {}

    // ---- page and column flow (during a run)
    void PrintBand(TRpCustomBand* Band);
    int32_t AvailableSpace() const;
    void ResetPageFooterSize();
    void NewPage();
    void NewColumn();
    void EndPage();
    void ForceNewPage();
    void ForceNewColumn();
    void PrintPageBackground();
    // The BackImageControl picture stretched over its place on the page.
    void PrintBackImage();

    // ---- band list
    void AddBand(TRpCustomBand* Band);
    void RemoveBand(TRpCustomBand* Band);
    void RegisterBand(TRpCustomBand* Band);
    void RebuildBandList();
    // Places the bands on the design surface (pixels).
    void SetBandValues();
    TRpBand* CreateBand(TRpBandType BandType);
    const std::vector<TRpCustomBand*>& BandList() const { return FBandList; }
    TRpReportBands* Bands() const { return FBands.get(); }
    bool HideBands() const { return FHideBands; }
    void SetHideBands(bool Value);
    int32_t RotateBands() const { return FRotateBands; }
    void SetRotateBands(int32_t Value);

    // ---- properties
    TRpPage* Page() const { return FPage.get(); }
    TRpUnit Units() const { return FPage->Units(); }
    void SetUnits(TRpUnit Value);
    void SetZoom(int Value) override;
    TRpReportOptions Options() const { return FOptions; }
    void SetOptions(TRpReportOptions Value) { FOptions = Value; }
    // The name of an image printable placed directly on the report that is
    // stretched over every page (TRpImage; empty: none).
    const std::string& BackImageControl() const { return FBackImageControl; }
    void SetBackImageControl(const std::string& Value) { FBackImageControl = Value; }
    // The image a run found by BackImageControl.
    TRpPrintable* PageBackground() const { return FRun.PageBackground; }
    const std::string& ReportTitle() const { return FReportTitle; }
    void SetReportTitle(const std::string& Value) { FReportTitle = Value; }
    TStringList* Description() const { return FDescription.get(); }
    TRpEvEnvironment* Functions() const { return FFunctions.get(); }
    // Functions as the form stream stores it.
    TPersistent* FunctionsStore();
    TRpReportPrinterSettings* PrinterSettings() const { return FPrinterSettings.get(); }
    TRpReportPrinterSettings* DialogSettings() const { return FDialogSettings.get(); }
    const TRpPrinterSettings& HostPrinterSettings() const override { return *FPrinterSettings; }
    bool ShowProgress() const { return FShowProgress; }
    void SetShowProgress(bool Value) { FShowProgress = Value; }
    bool SnapToGrid() const { return FSnapToGrid; }
    void SetSnapToGrid(bool Value) { FSnapToGrid = Value; }
    bool PrintIfEmpty() const;
    virtual void SetPrintIfEmpty(bool Value);
    virtual void AddNotifyClient(TRpPrintable* Value);
    TRpCustomController* Controller() const { return FController.get(); }
    // The data sets of a run: every data set owned by the report's owner and
    // the active data sets of the loops; expressions find fields in them.
    const std::vector<TDataSet*>& RunDataSets() const { return FRun.DataSets; }
    void AddRunDataSet(TDataSet* Value);
    TRpEvDatasets* RunDatasetsLookup() const { return FRunDatasetsLookup.get(); }
    void SetController(std::unique_ptr<TRpCustomController> Value);
    int32_t PreviewWidth() const { return FPreviewWidth > 0 ? FPreviewWidth : 600; }
    void SetPreviewWidth(int32_t Value) { FPreviewWidth = Value; }
    int32_t PreviewHeight() const { return FPreviewHeight > 0 ? FPreviewHeight : 600; }
    void SetPreviewHeight(int32_t Value) { FPreviewHeight = Value; }
    bool PrevShowThumbs() const { return FPrevShowThumbs; }
    void SetPrevShowThumbs(bool Value) { FPrevShowThumbs = Value; }
    bool PrevShowSearch() const { return FPrevShowSearch; }
    void SetPrevShowSearch(bool Value) { FPrevShowSearch = Value; }
    TRpZoomState PrevInitialZoom() const { return FPrevInitialZoom; }
    void SetPrevInitialZoom(TRpZoomState Value) { FPrevInitialZoom = Value; }
    // The preview window's style and the state it opens in.
    TFormStyle PrevFormStyle() const { return FPrevFormStyle; }
    void SetPrevFormStyle(TFormStyle Value) { FPrevFormStyle = Value; }
    TWindowState PreviewInitialState() const { return FPreviewInitialState; }
    void SetPreviewInitialState(TWindowState Value) { FPreviewInitialState = Value; }

    // ---- run state
    // The printer of the current run, or of the last Prepare/Preview.
    TRpPrinter* RunPrinter() const { return FRunPrinter; }
    bool Available() const { return FAvailable; }
    bool Cancelled() const { return FCancelled; }
    bool Exporting() const { return FRun.Exporting; }
    TRpExportFilter* ExportFilter() const { return FRun.ExportFilter; }
    bool FinishDoc() const { return FRun.FinishDoc; }
    // Numbers the images exported rich texts become ("RTF0", "RTF1", ...).
    int32_t RTFImageIndex() const { return FRun.RTFImageIndex; }
    void SetRTFImageIndex(int32_t Value) { FRun.RTFImageIndex = Value; }
    bool FinalPage() const { return FRun.FinalPage; }
    int32_t PageNo() const { return FRun.PageNo; }
    int32_t CurrentColumn() const { return FRun.CurrentColumn; }
    int32_t CurrentX() const { return FRun.CurrentX; }
    int32_t CurrentY() const { return FRun.CurrentY; }
    void SetCurrentY(int32_t Value) { FRun.CurrentY = Value; }
    int32_t ColumnTopY() const { return FRun.ColumnTopY; }
    long double PageFooterSize() const { return FRun.PageFooterSize; }
    bool FreshPage() const { return FRun.FreshPage; }
    void SetFreshPage(bool Value) { FRun.FreshPage = Value; }
    bool FirstPageOnly() const { return false; }
    // Set while a band's overflow moves the cursor to a new column or page.
    bool BreakInProgress() const { return FRun.BreakInProgress; }
    void SetBreakInProgress(bool Value) { FRun.BreakInProgress = Value; }

    // Text measures on a canvas at the screen's resolution.
    int TextWidth(TFont* AFont, const std::string& Text);
    // Never below TextWidth and quick to find (TCanvas::TextWidthBound):
    // a text whose bound fits a space fits it.
    int TextWidthBound(TFont* AFont, const std::string& Text);
    int TextHeight(TFont* AFont, const std::string& Text);

    // The report is being destroyed (its bands then leave it alone).
    bool ReportDestroying() const { return FReportDestroying; }
    // The design view changed: it is drawn again, without a page image.
    void Modify();
    // The first page of the last run shown over the design view (a run
    // printer whose client is the report announces it); nullptr: none.
    TMetafile* PageImage() const { return FPageImage.get(); }

    TRpReportBeforePrintEvent BeforePrint;
    TNotifyEvent AfterPrint;
    TNotifyEvent AfterPreview;
    TRpReportEvent OnStartPage;
    TRpReportEvent OnEndPage;
    TRpNeedDataEvent OnNeedData;
    TRpPreviewEvent OnPreview;
    TRpPrinterSettingsEvent OnGetPrinterSettings;
    TRpPrinterSettingsEvent OnApplyPrinterSettings;

    void WndProc(TMessage& Message) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void SetPrinterValues();
    void CMPreviewClose(TRpPrinter* Printer);
    // The design view: background, ruler, margins, frame and column marks.
    void Paint() override;
    void PaintRuler(TRpUnit Units) override;
    virtual void PaintColumns();
    virtual void PaintMargins();
    virtual void PaintFrame();

private:
    // The printers a preview still shows are kept until it closes.
    void DropIdlePrinters(TRpPrinter* Keep);
    void FreePrinter(TRpPrinter* Printer);
    TRpPrinter* AdoptPrinter(std::unique_ptr<TRpPrinter> Printer);
    void PrinterAfterPrint(TObject* Sender);
    void PrinterAfterPreview(TObject* Sender);
    void PreviewIt(bool Modal);
    // CreateReport on P with the progress window (when ShowProgress) told of
    // the run.
    void RunWithProgress(TRpPrinter* P);
    // A fresh run printer that records pages for the preview and Prepare,
    // set up from the report; the one it replaces goes unless a preview
    // still shows it. nullptr while busy.
    TRpPrinter* StartRecordedRun();
    // On the GUI thread once the worker has ended: joins it and, after a
    // cancelled run, frees its printer.
    void WorkerEnded(bool Cancelled, TRpPrinter* Printer, const std::string& Error);
    void StartWorker();
    friend class TRpCreateReportThread;
    // Runs reports one after another on its printer, each going on where
    // the one before ended.
    friend class TRpCompositeReport;

    // What the current (or last) run changed.
    TRpRunState FRun;
    std::vector<TRpCustomBand*> FScratchBandList;
    // Written by a worker thread's run while the GUI thread looks.
    std::atomic<bool> FAvailable{true};
    std::vector<TRpCustomBand*> FBandList;
    std::unique_ptr<TRpReportBands> FBands;
    std::atomic<bool> FCancelled{false};
    std::unique_ptr<TRpCustomController> FController;
    std::unique_ptr<TRpEvDatasets> FRunDatasetsLookup;
    std::unique_ptr<TStringList> FDescription;
    std::unique_ptr<TRpEvEnvironment> FFunctions;
    bool FHideBands = false;
    bool FRepaintPending = false;
    // Page 1 of a finished run, shown over the design view.
    std::unique_ptr<TMetafile> FPageImage;
    TRpReportOptions FOptions{TRpReportOption::FirstPageHeader, TRpReportOption::LastPageFooter};
    std::unique_ptr<TRpPage> FPage;
    std::unique_ptr<TRpReportPrinterSettings> FPrinterSettings;
    std::string FReportTitle;
    std::string FBackImageControl;
    int32_t FRotateBands = 0;
    bool FShowProgress = true;
    bool FSnapToGrid = true;
    TRpPrinter* FRunPrinter = nullptr;
    // Every printer the report owns: the run printer and those whose preview
    // still shows.
    std::vector<std::unique_ptr<TRpPrinter>> FPrinters;
    std::unique_ptr<TCanvas> FMeasureCanvas;
    int32_t FPreviewWidth = 600;
    int32_t FPreviewHeight = 500;
    bool FPrevShowThumbs = true;
    bool FPrevShowSearch = true;
    TRpZoomState FPrevInitialZoom = rpZoomToFit;
    TFormStyle FPrevFormStyle = fsNormal;
    TWindowState FPreviewInitialState = wsNormal;
    std::unique_ptr<TRpReportPrinterSettings> FDialogSettings;
    // The stored Functions list ("Strings" and "DATA"), made on first use.
    std::unique_ptr<TPersistent> FFunctionsStore;
    bool FReportDestroying = false;
    bool FPlacingBands = false;
    std::unique_ptr<TRpCreateReportThread> FWorkerThread;
};

// The ordinary report: the band loop is a TRpController whose header is the
// title band, detail the detail band and footer the summary band; records
// come from OnNeedData.
class TRpReport : public TCustomRpReport {
    OZ_CLASS(TRpReport, TCustomRpReport);

public:
    static void Publish(TPublisher<TRpReport>& P);
    explicit TRpReport(TComponent* AOwner);
    TDataSet* DataSet() const;
    void SetDataSet(TDataSet* Value);
    // The controller's running record number.
    int32_t RecordNumber() const;
    // 1 unless the data set is assigned and open; then its record count (1
    // when the data set cannot tell).
    int32_t RecordCount() const;
    void Execute() override;
    void SetControllerBands() override;
};

// A report with the base controller: no records of its own.
class TRpAbstractReport : public TCustomRpReport {
    OZ_CLASS(TRpAbstractReport, TCustomRpReport);

public:
    explicit TRpAbstractReport(TComponent* AOwner) : TCustomRpReport(AOwner) {}
};
