// The chart panel and what the whole chart library shares with it: the panel
// window with its paint pass, chart rectangle, bevels, listeners and setter
// helpers; the extended panel with its background, back image and zoom and
// panning settings; printing and picture export of a panel; the framed shapes
// behind titles, legend and marks; and the library's free routines (default
// palette, date-time steps, sorting, hit tests, field splitting, unique names,
// text export).
#pragma once

#include "chart/ChCanvas.h"
#include "platform/Controls.h"
#include "platform/ExtCtrls.h"
#include "platform/Graphics.h"
#include "platform/Metafile.h"
#include "platform/Printers.h"
#include "platform/SysUtils.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCustomChPanel;
class TStream;

// ------------------------------------------------------------------ library-wide flags

// Let the window erase its background before a paint.
extern bool ChEraseBack;
// Clip the chart to its rectangle when printing / when drawing into a metafile.
extern bool ChClipWhenPrinting;
extern bool ChClipWhenMetafiling;
// While printing, turn styled one-pixel pens into zero-width pens.
extern bool ChCheckPenWidth;
// While printing, also draw the panel's bevels and its background colour.
extern bool PrintChPanel;

// ------------------------------------------------------------------ panel events

class TChEvent : public TObject {
public:
    TCustomChPanel* Sender = nullptr;
};

enum TChMouseEventKind { meDown, meUp, meMove };

class TChMouseEvent : public TChEvent {
public:
    TChMouseEventKind Kind = meDown;
    TMouseButton Button = mbLeft;
    TShiftState Shift;
    int X = 0;
    int Y = 0;
};

class TChView3DEvent : public TChEvent {};

class IChEventListener {
public:
    virtual ~IChEventListener() = default;
    virtual void ReceiveEvent(TChEvent* Event) = 0;
};

// Listener references; the list does not keep its listeners alive.
class TChEventListeners {
public:
    // The listener's index (it is appended only once).
    int Add(IChEventListener* Listener);
    // The former index, -1 when absent.
    int Remove(IChEventListener* Listener);
    IChEventListener* Get(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
    int Count() const { return static_cast<int>(FItems.size()); }

private:
    std::vector<IChEventListener*> FItems;
};

// ------------------------------------------------------------------ zoom and panning state

enum TPanningMode { pmNone, pmHorizontal, pmVertical, pmBoth };

// The drag state of zooming or panning.
class TZoomPanning : public TPersistent {
public:
    bool Active = false;
    int StartX = 0;
    int StartY = 0;
    int EndX = 0;
    int EndY = 0;
    void Activate(int X, int Y);
    // Puts the start on the top-left.
    void Check();
};

enum TChUnits { muPercent, muPixels };

// ------------------------------------------------------------------ the chart panel

// A panel never shows or stores a caption.
class TCustomPanelNoCaption : public TCustomPanel {
    OZ_CLASS(TCustomPanelNoCaption, TCustomPanel);

public:
    explicit TCustomPanelNoCaption(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

class TCustomChPanel : public TCustomPanelNoCaption {
    OZ_CLASS(TCustomChPanel, TCustomPanelNoCaption);

public:
    static void Publish(TPublisher<TCustomChPanel>& P);
    void DefineProperties(TFiler* Filer) override;
    // The mouse position in the panel's client coordinates.
    TPoint GetCursorPos() const;
    explicit TCustomChPanel(TComponent* AOwner);
    ~TCustomChPanel() override;

    bool ZOrderPerSeries = true;
    // While false, Invalidate does nothing.
    bool RepaintOnChange = true;
    // Set by a listener to stop a mouse event.
    bool MouseCancelled = false;
    TRect PanelBounds;
    int DepthHeight = 0;
    int DepthWidth = 0;
    TCursor SavedCursor = crDefault;
    TZoomPanning Panning;
    // True while drawing onto a printer canvas.
    bool Printing = false;
    int PrintScalePercent = 0;
    // The chart rectangle of the current pass with its width, height and
    // centre: read-only views, written by the layout step alone (the panel's
    // pass, the axis panel's layout, walls, titles and legend).
    const TRect& ChartRect = FChartRect;
    const int& ChartWidth = FChartWidth;
    const int& ChartHeight = FChartHeight;
    const int& ChartXCenter = FChartXCenter;
    const int& ChartYCenter = FChartYCenter;
    TChEventListeners Listeners;

    TCanvas* WindowCanvas() const { return Canvas(); }
    TCanvas3D* ChartCanvas() const { return FChartCanvas.get(); }
    // Takes ownership; nullptr is ignored.
    void SetInternalCanvas(std::unique_ptr<TCanvas3D> NewCanvas);

    // drawing
    virtual TColor GetBackColor() { return Color(); }
    virtual void InternalDraw(const TRect& UserRect) {}
    virtual void CanvasChanged(TObject* Sender) { Invalidate(); }
    virtual void Draw(TCanvas* UserCanvas, const TRect& UserRect);
    virtual TRect GetRectangle();
    void Draw();
    // Nothing while RepaintOnChange is off or during a drawing pass.
    void Invalidate() override;
    virtual void DrawPanelBevels(const TRect& Rect);
    // Sets the canvas brush so that a pattern stays visible on BackColor.
    void SetBrushCanvas(TColor AColor, TChartBrush* ABrush, TColor BackColor);
    bool IsScreenHighColor();

    // properties
    TChartHiddenPen* Border() const { return FBorder.get(); }
    void SetBorder(TChartHiddenPen* Value) { FBorder->Assign(Value); }
    int BorderRound() const { return FBorderRound; }
    // Also shapes the window (SetControlRounded) unless the panel is read.
    void SetBorderRound(int Value);
    // With BorderRound above 0 the window becomes a rounded rectangle of
    // its size with corners of BorderRound; otherwise a plain rectangle
    // again. Only for a panel on a parent; the window repaints.
    void SetControlRounded();
    TBorderStyle BorderStyle() const { return FBorder->Visible() ? bsSingle : bsNone; }
    void SetBorderStyle(TBorderStyle Value) { FBorder->SetVisible(Value == bsSingle); }
    bool BufferedDisplay() const { return FChartCanvas->UseBuffer(); }
    void SetBufferedDisplay(bool Value) { FChartCanvas->SetUseBuffer(Value); }
    bool Monochrome() const { return FChartCanvas->Monochrome(); }
    void SetMonochrome(bool Value) { FChartCanvas->SetMonochrome(Value); }
    // Index 0 left, 1 top, 2 right, 3 bottom.
    int GetMargin(int Index) const { return FMargins.at(static_cast<size_t>(Index)); }
    void SetMargin(int Index, int Value);
    int MarginLeft() const { return FMargins[0]; }
    int MarginTop() const { return FMargins[1]; }
    int MarginRight() const { return FMargins[2]; }
    int MarginBottom() const { return FMargins[3]; }
    void SetMarginLeft(int Value) { SetMargin(0, Value); }
    void SetMarginTop(int Value) { SetMargin(1, Value); }
    void SetMarginRight(int Value) { SetMargin(2, Value); }
    void SetMarginBottom(int Value) { SetMargin(3, Value); }
    TChUnits MarginUnits() const { return FMarginUnits; }
    void SetMarginUnits(TChUnits Value);
    TChShadow* Shadow() const { return FShadow.get(); }
    void SetShadow(TChShadow* Value) { FShadow->Assign(Value); }
    bool View3D() const { return FView3D; }
    void SetView3D(bool Value);
    TView3DOptions* View3DOptions() const { return FView3DOptions.get(); }
    void SetView3DOptions(TView3DOptions* Value) { FView3DOptions->Assign(Value); }
    // Print margins in percent of the page, left, top, right, bottom.
    const TRect& PrintMargins() const { return FPrintMargins; }
    void SetPrintMargins(const TRect& Value) { FPrintMargins = Value; }
    bool PrintProportional() const { return FPrintProportional; }
    void SetPrintProportional(bool Value) { FPrintProportional = Value; }

    // Store a changed value and repaint; an equal value changes nothing.
    void SetStringProperty(std::string& Variable, const std::string& Value);
    void SetDoubleProperty(double& Variable, double Value);
    void SetColorProperty(TColor& Variable, TColor Value);
    void SetBooleanProperty(bool& Variable, bool Value);
    void SetIntegerProperty(int& Variable, int Value);

    // listeners
    void RemoveListener(IChEventListener* Listener) { Listeners.Remove(Listener); }
    // Hands Event to the listeners in list order; the caller keeps it.
    TChEvent* BroadcastChEvent(TChEvent* Event);
    void BroadcastMouseEvent(TChMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y);

    // persistence
    void Assign(TPersistent* Source) override;
    // A TBitmap or TChPicture gets the panel drawn on its own rectangle.
    virtual void AssignTo(TPersistent* Dest);
    // The stored "BorderStyle" value of older forms: "bsSingle" shows the border.
    void ReadBorderStyle(const std::string& Identifier);
    void Loaded() override;
    // The mouse left the window.
    void MouseLeave() override;

    // printing and picture export
    void NonBufferDraw(TCanvas* ACanvas, const TRect& R);
    void DrawToMetaCanvas(TCanvas* ACanvas, const TRect& Rect);
    std::unique_ptr<TMetafile> ChCreateMetafile(bool Enhanced, const TRect& R);
    std::unique_ptr<TBitmap> ChCreateBitmap(TColor BackColor, const TRect& R, TPixelFormat PixelFormat);
    void SaveToMetafile(const std::string& FileName) { SaveToMetafileRect(false, FileName, GetRectangle()); }
    void SaveToMetafileEnh(const std::string& FileName) { SaveToMetafileRect(true, FileName, GetRectangle()); }
    void SaveToMetafileRect(bool Enhanced, const std::string& FileName, const TRect& R);
    void SaveToBitmapFile(const std::string& FileName) { SaveToBitmapFile(FileName, GetRectangle()); }
    void SaveToBitmapFile(const std::string& FileName, const TRect& R);
    void CopyToClipboardBitmap() { CopyToClipboardBitmap(GetRectangle()); }
    void CopyToClipboardBitmap(const TRect& R);
    // Our metafile format is private to the program, so the clipboard gets
    // the metafile played onto a bitmap of the chart's size.
    void CopyToClipboardMetafile(bool Enhanced) { CopyToClipboardMetafile(Enhanced, GetRectangle()); }
    void CopyToClipboardMetafile(bool Enhanced, const TRect& R);
    bool CanClip();
    void CheckPenWidth(TPen* APen);
    void CalcMetaBounds(TRect& R, const TRect& AChartRect, int& WinWidth, int& WinHeight,
                        int& ViewWidth, int& ViewHeight);
    void PrintPartialCanvas(TCanvas* PrintCanvas, const TRect& PrinterRect);
    void PrintPartial(const TRect& PrinterRect);
    void PrintRect(const TRect& R);
    void Print() { PrintRect(ChartPrintRect()); }
    void PrintPortrait() { PrintOrientation(poPortrait); }
    void PrintLandscape() { PrintOrientation(poLandscape); }
    void PrintOrientation(TPrinterOrientation AOrientation);
    TRect CalcProportionalMargins();
    TRect ChartPrintRect();
    // One print job on the printer, titled after the chart: Body draws its
    // pages; a failure aborts the job and goes on to the caller.
    void RunPrintJob(const std::function<void(TPrinter*)>& Body);

    // The print margins the stored form carries ("PrintMargins"), written
    // only when not all four are 15.
    bool IsPrintMarginsStored() const;

protected:
    void Paint() override;
    void Resize() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void DblClick() override;

protected:
    // The layout step's chart rectangle.
    TRect FChartRect;
    int FChartWidth = 0;
    int FChartHeight = 0;
    int FChartXCenter = 0;
    int FChartYCenter = 0;
    // Layout steps outside the panel's own classes: titles and the legend
    // take their room from the chart rectangle.
    friend class TChartTitle;
    friend class TCustomChartLegend;
    // Several pies on one chart each draw in a cell of it.
    friend class TPieSeries;

private:
    std::unique_ptr<TChartHiddenPen> FBorder;
    int FBorderRound = 0;
    bool FRounding = false;
    std::array<int, 4> FMargins{3, 4, 3, 4};
    TChUnits FMarginUnits = muPercent;
    TRect FPrintMargins{15, 15, 15, 15};
    bool FPrintProportional = true;
    std::unique_ptr<TChShadow> FShadow;
    bool FView3D = true;
    std::unique_ptr<TView3DOptions> FView3DOptions;
    std::unique_ptr<TCanvas3D> FChartCanvas;
    bool FDrawing = false;
};

// Draws one bevel on R and shrinks R by Width.
void DrawBevel(TCanvas3D* Canvas, TBevelCut Bevel, TRect& R, int Width, int Round);

// The proportional print margins of a W x H chart on a Pw x Ph page with the
// printer's resolutions (left, top, right, bottom, in percent, each 0..49).
TRect ChProportionalMargins(int W, int H, int Pw, int Ph, int ResX, int ResY);

// A smoothed picture of the panel, drawn at twice the size and averaged
// down; the caller owns it.
std::unique_ptr<TBitmap> ChAntiAlias(TCustomChPanel* Panel);

// ------------------------------------------------------------------ the extended panel

enum TChZoomDirection { tzdHorizontal, tzdVertical, tzdBoth };

// Outline of the rubber band: white, stored only when it is not.
class TChZoomPen : public TChartPen {
    OZ_CLASS(TChZoomPen, TChartPen);

public:
    static void Publish(TPublisher<TChZoomPen>& P);
    TChZoomPen();
    TColor OwnerDefaultColor = clWhite;
    bool IsColorStored() const { return Color() != OwnerDefaultColor; }
};

// Fill of the rubber band: white and clear by default.
class TChZoomBrush : public TChartBrush {
    OZ_CLASS(TChZoomBrush, TChartBrush);

public:
    static void Publish(TPublisher<TChZoomBrush>& P);
    TChZoomBrush();
};

class TChZoom : public TZoomPanning {
    OZ_CLASS(TChZoom, TZoomPanning);

public:
    static void Publish(TPublisher<TChZoom>& P);
    TChZoom();
    ~TChZoom() override;
    void Assign(TPersistent* Source) override;

    bool Allow() const { return FAllow; }
    void SetAllow(bool Value) { FAllow = Value; }
    bool Animated() const { return FAnimated; }
    void SetAnimated(bool Value) { FAnimated = Value; }
    int AnimatedSteps() const { return FAnimatedSteps; }
    void SetAnimatedSteps(int Value) { FAnimatedSteps = Value; }
    // Created on first read; writing nullptr frees it, anything else is copied.
    TChZoomBrush* Brush();
    void SetBrush(TChZoomBrush* Value);
    bool HasBrush() const { return FBrush != nullptr; }
    TChZoomDirection Direction() const { return FDirection; }
    void SetDirection(TChZoomDirection Value) { FDirection = Value; }
    TShiftState KeyShift() const { return FKeyShift; }
    void SetKeyShift(TShiftState Value) { FKeyShift = Value; }
    int MinimumPixels() const { return FMinimumPixels; }
    void SetMinimumPixels(int Value) { FMinimumPixels = Value; }
    TMouseButton MouseButton() const { return FMouseButton; }
    void SetMouseButton(TMouseButton Value) { FMouseButton = Value; }
    TChZoomPen* Pen();
    void SetPen(TChZoomPen* Value);
    bool HasPen() const { return FPen != nullptr; }
    bool UpLeftZooms() const { return FUpLeftZooms; }
    void SetUpLeftZooms(bool Value) { FUpLeftZooms = Value; }

private:
    bool FAllow = true;
    bool FAnimated = false;
    int FAnimatedSteps = 8;
    std::unique_ptr<TChZoomBrush> FBrush;
    TChZoomDirection FDirection = tzdBoth;
    TShiftState FKeyShift;
    int FMinimumPixels = 16;
    TMouseButton FMouseButton = mbLeft;
    std::unique_ptr<TChZoomPen> FPen;
    bool FUpLeftZooms = false;
};

enum TChBackImageMode { pbmStretch, pbmTile, pbmCenter, pbmCustom };

class TBackImage : public TChPicture {
    OZ_CLASS(TBackImage, TChPicture);

public:
    static void Publish(TPublisher<TBackImage>& P);
    void Assign(TPersistent* Source) override;
    // False: drawn over the whole panel; True: the chart draws it in ChartRect.
    bool Inside() const { return FInside; }
    void SetInside(bool Value);
    // Offset of a pbmCustom picture.
    int Left() const { return FLeft; }
    void SetLeft(int Value);
    int Top() const { return FTop; }
    void SetTop(int Value);
    TChBackImageMode Mode() const { return FMode; }
    void SetMode(TChBackImageMode Value);

private:
    template <class T> void SetAndNotify(T& Field, T Value);
    bool FInside = false;
    int FLeft = 0;
    int FTop = 0;
    TChBackImageMode FMode = pbmStretch;
};

class TCustomChPanelExtended : public TCustomChPanel {
    OZ_CLASS(TCustomChPanelExtended, TCustomChPanel);

public:
    static void Publish(TPublisher<TCustomChPanelExtended>& P);
    void DefineProperties(TFiler* Filer) override;
    explicit TCustomChPanelExtended(TComponent* AOwner);
    ~TCustomChPanelExtended() override;

    TPanningMode AllowPanning() const { return FAllowPanning; }
    void SetAllowPanning(TPanningMode Value) { FAllowPanning = Value; }
    // Created on first read; writing nullptr frees it, anything else is copied.
    TChGradient* Gradient();
    void SetGradient(TChGradient* Value);
    bool HasGradient() const { return FGradient != nullptr; }
    TChZoom* Zoom() const { return FZoom.get(); }
    void SetZoom(TChZoom* Value) { FZoom->Assign(Value); }
    // True after the chart zoomed, false after UndoZoom.
    bool Zoomed = false;

    TBackImage* BackImage();
    void SetBackImage(TChPicture* Value);
    // The picture object exists and holds a graphic.
    bool HasBackImage() const;
    bool BackImageInside() const;
    void SetBackImageInside(bool Value) { BackImage()->SetInside(Value); }
    TChBackImageMode BackImageMode() { return BackImage()->Mode(); }
    void SetBackImageMode(TChBackImageMode Value) { BackImage()->SetMode(Value); }
    bool BackImageTransp() const;
    void SetBackImageTransp(bool Value);

    bool AllowZoom() const { return FZoom->Allow(); }
    void SetAllowZoom(bool Value) { FZoom->SetAllow(Value); }
    bool AnimatedZoom() const { return FZoom->Animated(); }
    void SetAnimatedZoom(bool Value) { FZoom->SetAnimated(Value); }
    int AnimatedZoomSteps() const { return FZoom->AnimatedSteps(); }
    void SetAnimatedZoomSteps(int Value) { FZoom->SetAnimatedSteps(Value); }

    TNotifyEvent OnAfterDraw;
    TNotifyEvent OnScroll;
    TNotifyEvent OnUndoZoom;
    TNotifyEvent OnZoom;

    virtual void FillPanelRect(const TRect& Rect);
    virtual void PanelPaint(const TRect& UserRect);
    virtual void UndoZoom();
    // Draws the back image into Rect at depth Z.
    void DrawBitmap(const TRect& Rect, int Z);
    // The rubber band; drawing it twice at the same place removes it.
    void DrawZoomRectangle();
    void Assign(TPersistent* Source) override;

private:
    TPanningMode FAllowPanning = pmBoth;
    std::unique_ptr<TChGradient> FGradient;
    std::unique_ptr<TChZoom> FZoom;
    std::unique_ptr<TBackImage> FBackImage;
};

// ------------------------------------------------------------------ shapes

enum TChartObjectShapeStyle { fosRectangle, fosRoundRectangle };

// A framed element's fill brush, outline pen and visibility.
class TChCustomShapeBrushPen : public TPersistent {
    OZ_CLASS(TChCustomShapeBrushPen, TPersistent);

public:
    static void Publish(TPublisher<TChCustomShapeBrushPen>& P);
    TChCustomShapeBrushPen();
    ~TChCustomShapeBrushPen() override;
    void Assign(TPersistent* Source) override;

    TChartBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TChartBrush* Value) { FBrush->Assign(Value); }
    TCustomChPanel* Parent() const { return FParent; }
    virtual void SetParent(TCustomChPanel* Value) { FParent = Value; }
    TChartPen* Pen() const { return FPen.get(); }
    void SetPen(TChartPen* Value) { FPen->Assign(Value); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Invalidates the parent panel when there is one.
    void Repaint();
    virtual void CanvasChanged(TObject* Sender) { Repaint(); }

protected:
    // A subclass that fills with another brush class hands it over here.
    explicit TChCustomShapeBrushPen(std::unique_ptr<TChartBrush> ABrush);

private:
    std::unique_ptr<TChartBrush> FBrush;
    TCustomChPanel* FParent = nullptr;
    std::unique_ptr<TChartPen> FPen;
    bool FVisible = true;
};

class TChCustomShape : public TChCustomShapeBrushPen {
    OZ_CLASS(TChCustomShape, TChCustomShapeBrushPen);

public:
    static void Publish(TPublisher<TChCustomShape>& P);
    void DefineProperties(TFiler* Filer) override;
    explicit TChCustomShape(TCustomChPanel* Panel);
    ~TChCustomShape() override;
    void Assign(TPersistent* Source) override;

    TBevelCut Bevel() const { return FBevel; }
    void SetBevel(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TChFont* Font() const { return FFont.get(); }
    void SetFont(TChFont* Value) { FFont->Assign(Value); }
    // Created on first read (black, size 3); writing nullptr frees it.
    TChShadow* Shadow();
    void SetShadow(TChShadow* Value);
    bool HasShadow() const { return FShadow != nullptr; }
    TColor ShadowColor() { return Shadow()->Color(); }
    void SetShadowColor(TColor Value) { Shadow()->SetColor(Value); }
    int ShadowSize() { return Shadow()->Size(); }
    void SetShadowSize(int Value) { Shadow()->SetSize(Value); }
    TChartObjectShapeStyle ShapeStyle() const { return FShapeStyle; }
    void SetShapeStyle(TChartObjectShapeStyle Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool OwnerDefaultTransparent = false;
    bool IsTransparentStored() const { return FTransparent != OwnerDefaultTransparent; }
    // Created on first read; writing nullptr frees it.
    TChGradient* Gradient();
    void SetGradient(TChGradient* Value);
    bool HasGradient() const { return FGradient != nullptr; }
    TChTransparency Transparency() const { return FTransparency; }
    void SetTransparency(TChTransparency Value);

    TRect ShapeBounds;
    int Width() const { return ShapeBounds.Right - ShapeBounds.Left; }
    void SetWidth(int Value) { ShapeBounds.Right = ShapeBounds.Left + Value; }
    int Height() const { return ShapeBounds.Bottom - ShapeBounds.Top; }
    void SetHeight(int Value) { ShapeBounds.Bottom = ShapeBounds.Top + Value; }

    void Draw() { DrawRectRotated(ShapeBounds, 0, 0); }
    void DrawRectRotated(const TRect& Rect, double Angle = 0, int Z = 0);

protected:
    TChCustomShape(TCustomChPanel* Panel, std::unique_ptr<TChartBrush> ABrush);
    virtual std::unique_ptr<TChGradient> CreateGradient();
    virtual void InitShadow(TChShadow* AShadow);

private:
    void Init();
    void DrawOutline(TCanvas3D* C, const TRect& R, double Angle, int Z);
    TBevelCut FBevel = bvNone;
    int FBevelWidth = 2;
    TColor FColor = clWhite;
    std::unique_ptr<TChFont> FFont;
    std::unique_ptr<TChShadow> FShadow;
    TChartObjectShapeStyle FShapeStyle = fosRectangle;
    bool FTransparent = false;
    std::unique_ptr<TChGradient> FGradient;
    TChTransparency FTransparency = 0;
};

class TChShape : public TChCustomShape {
public:
    using TChCustomShape::TChCustomShape;
};

// A shape that either lays itself out or stays where the user put it.
class TChCustomShapePosition : public TChCustomShape {
    OZ_CLASS(TChCustomShapePosition, TChCustomShape);

public:
    static void Publish(TPublisher<TChCustomShapePosition>& P);
    using TChCustomShape::TChCustomShape;
    void Assign(TPersistent* Source) override;
    bool CustomPosition() const { return FCustomPosition; }
    void SetCustomPosition(bool Value);
    int Left() const { return ShapeBounds.Left; }
    int Top() const { return ShapeBounds.Top; }
    // Writing either turns CustomPosition on.
    void SetLeft(int Value);
    void SetTop(int Value);

private:
    bool FCustomPosition = false;
};

// Frame width of a shape: its visible pen's width (none when
// CheckDefaultColor and the pen has the default colour), or the bevel's.
int ShapeFrameWidth(TChCustomShape* Shape, bool CheckDefaultColor);


// The corners of R turned by Angle degrees about its centre (counter-clockwise
// on the screen): from (Left, Top), (Right, Top), (Right, Bottom), (Left, Bottom).
void RectToFourPoints(const TRect& R, double Angle, TFourPoints& Points);

// ------------------------------------------------------------------ palette, text and numbers

extern std::vector<TColor> ColorPalette;
TColor GetDefaultColor(int Index);
void SetDefaultColorPalette();
void SetDefaultColorPalette(const std::vector<TColor>& Colors);

std::string ChStr(int Number);
// The format with ',' and '.' put as the locale writes them, and back.
std::string InvariantToLocalFormat(const std::string& Format);
std::string LocalToInvariantFormat(const std::string& Format);
// Every Old replaced by New; New = '\0' removes them.
std::string ReplaceChar(const std::string& Text, char Old, char New = '\0');

extern std::string ChFieldsSeparator;
int ChNumFields(const std::string& Text);
int ChNumFields(const std::string& Text, const std::string& Separator);
// Field Index counting from 1; past the last field gives the last.
std::string ChExtractField(const std::string& Text, int Index);
std::string ChExtractField(const std::string& Text, int Index, const std::string& Separator);
// StartName followed by the smallest number not yet used by Owner.
std::string ChGetUniqueName(TComponent* Owner, const std::string& StartName);

using TChSortCompare = std::function<int(int A, int B)>;
using TChSortSwap = std::function<void(int A, int B)>;
void ChSort(int StartIndex, int EndIndex, const TChSortCompare& Compare, const TChSortSwap& Swap);

using TChTranslateHookProc = std::function<void(TControl* Control)>;
extern TChTranslateHookProc ChTranslateHook;
void ChTranslateControl(TControl* Control);
void EnableControls(bool Enable, const std::vector<TControl*>& Controls);

// ------------------------------------------------------------------ dates

enum TDateTimeStep {
    dtOneMicroSecond, dtOneMillisecond, dtOneSecond, dtFiveSeconds, dtTenSeconds, dtFifteenSeconds,
    dtThirtySeconds, dtOneMinute, dtFiveMinutes, dtTenMinutes, dtFifteenMinutes, dtThirtyMinutes,
    dtOneHour, dtTwoHours, dtSixHours, dtTwelveHours, dtOneDay, dtTwoDays, dtThreeDays, dtOneWeek,
    dtHalfMonth, dtOneMonth, dtTwoMonths, dtThreeMonths, dtFourMonths, dtSixMonths, dtOneYear, dtNone
};

// Length of each step in days.
extern std::array<double, 28> DateTimeStep;

// The short date and time formats of the program's date-time labels.
extern std::string ChShortDateFormat;
extern std::string ChShortTimeFormat;

int DaysInMonth(int Year, int Month);
std::string DateTimeDefaultFormat(double Step);
double NextDateTimeStep(double Step);
TDateTimeStep FindDateTimeStep(double Step);
TDateTime ChRoundDate(TDateTime Date, TDateTimeStep Step);
void ChDateTimeIncrement(bool IsDateTime, bool Increment, TDateTime& Value, double Amount, TDateTimeStep Step);

// ------------------------------------------------------------------ geometry

bool PointInLineTolerance(const TPoint& P, int X0, int Y0, int X1, int Y1, int Tolerance);
inline bool PointInLine(const TPoint& P, int X0, int Y0, int X1, int Y1)
{
    return PointInLineTolerance(P, X0, Y0, X1, Y1, 0);
}
inline bool PointInLine(const TPoint& P, const TPoint& A, const TPoint& B, int Tolerance = 0)
{
    return PointInLineTolerance(P, A.X, A.Y, B.X, B.Y, Tolerance);
}
bool PointInPolygon(const TPoint& P, const std::vector<TPoint>& Points);
bool PointInTriangle(const TPoint& P, int X0, int X1, int Y0, int Y1);
bool PointInHorizTriangle(const TPoint& P, int Y0, int Y1, int X0, int X1);
bool PointInEllipse(const TPoint& P, int Left, int Top, int Right, int Bottom);
inline bool PointInEllipse(const TPoint& P, const TRect& R) { return PointInEllipse(P, R.Left, R.Top, R.Right, R.Bottom); }
// Whether the segments (1-2) and (3-4) cross; X, Y the crossing of their lines.
bool CrossingLines(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4,
                   double& X, double& Y);

// ------------------------------------------------------------------ drawing

// A 13 x 13 check box (or radio button) with its top-left at (Left, Top).
void ChDrawCheckBox(int Left, int Top, TCanvas* Canvas, bool Checked, TColor BackColor, bool IsCheckBox = true);

// The hand cursor, entered under this number when the library starts.
constexpr TCursor crChartHand = 2020;

// Bitmap takes the program's bitmap resource Name1, else Name2 (platform
// RegisterBitmapResource); unchanged when there is neither.
void ChLoadBitmap(TBitmap& Bitmap, const std::string& Name1, const std::string& Name2);
// The editor picture of Object's class: the resource named after the class,
// else after its parent class.
void ChGetBitmapEditor(const TObject* Object, TBitmap& Bitmap);

// ------------------------------------------------------------------ editor options

// The chart editor's options of the current user, kept in "Editor.ini" of the
// folder "ChartLibrary" in the user's configuration folder ($XDG_CONFIG_HOME,
// else ~/.config). Reads give Default when the file or value is missing.
std::string ChEditorOptionsFile();
bool ChReadBoolOption(const std::string& Name, bool Default);
int ChReadIntegerOption(const std::string& Name, int Default);
void ChSaveBoolOption(const std::string& Name, bool Value);
void ChSaveIntegerOption(const std::string& Name, int Value);

// ------------------------------------------------------------------ text export

// The base of text exporters: the text is AsString.
class TChExportData : public TObject {
public:
    virtual std::string AsString() { return {}; }
    // Puts the text on the clipboard.
    virtual void CopyToClipboard();
    // Replaces the file with the text; raises EFileError when it cannot.
    virtual void SaveToFile(const std::string& FileName);
    // Writes the text's bytes, nothing before or after them.
    virtual void SaveToStream(TStream* Stream);
};
