// The marker drawn at a series point: twelve shapes, flat or as 3-D solids,
// with an optional gradient fill and transparency.
#pragma once

#include "chart/ChProcs.h"
#include "platform/TypInfo.h"

#include <memory>

class TChartSeries;

enum TSeriesPointerStyle {
    psRectangle, psCircle, psTriangle, psDownTriangle, psCross, psDiagCross,
    psStar, psDiamond, psSmallDot, psNothing, psLeftTriangle, psRightTriangle
};

const TIdentMap& SeriesPointerStyleIdents();

class TSeriesPointer : public TChCustomShapeBrushPen {
    OZ_CLASS(TSeriesPointer, TChCustomShapeBrushPen);

public:
    // Takes Series' chart as its parent panel; Series may be nil.
    explicit TSeriesPointer(TChartSeries* ASeries);
    ~TSeriesPointer() override;
    void Assign(TPersistent* Source) override;
    static void Publish(TPublisher<TSeriesPointer>& P);

    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value) { SetBoolean(FDark3D, Value); }
    bool Draw3D() const { return FDraw3D; }
    void SetDraw3D(bool Value) { SetBoolean(FDraw3D, Value); }
    TChGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(TChGradient* Value) { FGradient->Assign(Value); }
    int HorizSize() const { return FHorizSize; }
    // 0 or less raises ChartException; nothing changes then.
    void SetHorizSize(int Value);
    int VertSize() const { return FVertSize; }
    void SetVertSize(int Value);
    bool InflateMargins() const { return FInflateMargins; }
    void SetInflateMargins(bool Value) { SetBoolean(FInflateMargins, Value); }
    TSeriesPointerStyle Style() const { return FStyle; }
    void SetStyle(TSeriesPointerStyle Value);
    TChTransparency Transparency() const { return FTransparency; }
    void SetTransparency(TChTransparency Value);
    bool KeepGradientEnd() const { return FKeepGradientEnd; }
    void SetKeepGradientEnd(bool Value) { FKeepGradientEnd = Value; }
    TChartSeries* Series() const { return FSeries; }

    // Store without repainting: series kinds use them while they draw.
    void ChangeStyle(TSeriesPointerStyle Value) { FStyle = Value; }
    void ChangeHorizSize(int Value) { FHorizSize = Value; }
    void ChangeVertSize(int Value) { FVertSize = Value; }
    void Change3D(bool Value) { FDraw3D = Value; }

    // The brush colour.
    TColor Color() const { return Brush()->Color(); }
    void SetColor(TColor Value) { Brush()->SetColor(Value); }

    // The depth of the owning series; 0 without one.
    int GetStartZ() const;
    int GetMiddleZ() const;
    int GetEndZ() const;

    // With InflateMargins on a visible pointer, each margin becomes at least
    // the half size plus one.
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) const;
    void CalcVerticalMargins(int& TopMargin, int& BottomMargin) const;

    // Pen and brush of the pointer onto Canvas; ColorValue stands in for
    // the default colours.
    void PrepareCanvas(TCanvas3D* Canvas, TColor ColorValue);
    void Prepare();
    // On the parent chart's canvas, in 3-D when the chart is.
    void Draw(int X, int Y);
    void Draw(const TPoint& P) { Draw(P.X, P.Y); }
    void Draw(int X, int Y, TColor AColor, TSeriesPointerStyle AStyle);
    // The shape at (X, Y) spanning X - H .. X + H and Y - V .. Y + V.
    void DrawPointer(TCanvas3D* Canvas, bool Is3D, int X, int Y, int H, int V, TColor AColor,
                     TSeriesPointerStyle AStyle);

protected:
    // Stores and repaints the parent chart when the value changed.
    void SetBoolean(bool& Field, bool Value);
    void SetInteger(int& Field, int Value);

private:
    void DrawShape(TCanvas3D* Canvas, bool Is3D, int X, int Y, int H, int V, TSeriesPointerStyle AStyle);
    void FillGradient(TCanvas3D* Canvas, bool Is3D, int X, int Y, int H, int V, TColor AColor,
                      TSeriesPointerStyle AStyle);

    bool FDark3D = true;
    bool FDraw3D = true;
    std::unique_ptr<TChGradient> FGradient;
    int FHorizSize = 4;
    bool FInflateMargins = true;
    TChartSeries* FSeries = nullptr;
    TSeriesPointerStyle FStyle = psRectangle;
    TChTransparency FTransparency = 0;
    int FVertSize = 4;
    bool FKeepGradientEnd = false;
};
