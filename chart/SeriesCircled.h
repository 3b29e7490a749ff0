// The base of series drawn inside an ellipse instead of against axes: the
// circle's rectangle, centre and radii, the rotation of angle zero, angles
// to pixels and back, room for marks, a true circle on the device, the back
// colour and gradient inside the circle, and the chart's 3-D options while
// such a series is shown.
#pragma once

#include "chart/ChEngine.h"
#include "platform/TypInfo.h"

#include <memory>
#include <numbers>

constexpr double PiDegree = std::numbers::pi / 180.0;

// How many pixels across make as many millimetres as one pixel down, on a
// device of the given size in pixels and in millimetres: 1 for square
// pixels. A height of 0 millimetres or a width of 0 leaves the pixel ratio.
double TrueCircleRatio(int PixelsWide, int PixelsHigh, double MmWide, double MmHigh);

class TCircledSeries : public TChartSeries {
    OZ_CLASS(TCircledSeries, TChartSeries);

public:
    explicit TCircledSeries(TComponent* AOwner);
    ~TCircledSeries() override;
    void Assign(TPersistent* Source) override;
    static void Publish(TPublisher<TCircledSeries>& P);
    // Replaces the chart's 3-D options while active; gives them back when
    // hidden.
    void SetActive(bool Value) override;
    void SetParentChart(TCustomAxisPanel* Value) override;
    // Taken off its chart: the chart's own 3-D options come back first.
    void Removed() override;
    // Lays out the circle for this pass.
    void DoBeforeDrawValues() override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) override;
    bool AssociatedToAxis(TChartAxis* Axis) override { return true; }
    bool UseAxis() override { return false; }

    // ---------------------------------------------------------------- properties
    TColor CircleBackColor() const { return FCircleBackColor; }
    void SetCircleBackColor(TColor Value) { SetColorProperty(FCircleBackColor, Value); }
    // A true circle (equal radii on the device); shared by the kind.
    bool Circled() const { return FCircled; }
    void SetCircled(bool Value);
    int CustomXRadius() const { return FCustomXRadius; }
    void SetCustomXRadius(int Value) { SetOtherCustomRadius(true, Value); }
    int CustomYRadius() const { return FCustomYRadius; }
    void SetCustomYRadius(int Value) { SetOtherCustomRadius(false, Value); }
    // Degrees, kept in -359 .. 359.
    int RotationAngle() const { return FRotationAngle; }
    void SetRotationAngle(int Value);
    // Turns the rotation on by Angle degrees.
    void Rotate(int Angle) { SetRotationAngle((Angle + FRotationAngle) % 360); }
    TChGradient* Gradient() const { return FGradient.get(); }
    void SetCircleGradient(TChGradient* Value) { FGradient->Assign(Value); }

    // ---------------------------------------------------------------- the circle
    int XRadius() const { return FRadiusX; }
    int YRadius() const { return FRadiusY; }
    const TRect& CircleRect() const { return FCircleRect; }
    int CircleWidth() const { return FCircleWidth; }
    int CircleHeight() const { return FCircleHeight; }
    TPoint CircleCentre() const { return FCircleCentre; }
    // Sets the rectangle directly (as a layout step does), then adjusts it.
    void SetCircleRect(const TRect& R);
    // The pixel at Angle (radians, counter-clockwise from the right, after
    // the rotation) on the ellipse of the given radii.
    void AngleToPos(double Angle, double AXRadius, double AYRadius, int& X, int& Y) const;
    // The angle of (X, Y) seen from the centre, in 0 .. 2 pi, less the rotation.
    double PointToAngle(int X, int Y) const;
    void CalcRadius();
    // An odd size loses a pixel; at least 4 x 4; centre and size follow.
    void AdjustCircleRect();
    // CircleBackColor, or what lies behind the circle.
    TColor CalcCircleBackColor();
    bool HasBackColor() const { return FCircleBackColor != clSeriesDefault && FCircleBackColor != clNone; }
    virtual void DrawCircleGradient();
    // The first active series of the kind with visible marks lends its circle.
    virtual void CheckOtherSeriesMarks();
    // The kind's own 3-D settings for the chart; nothing here.
    virtual void InitCustom3DOptions() {}
    // Saves the chart's 3-D options (and puts ours) or gives them back.
    virtual void SetParentProperties(bool EnableParentProps);
    bool HasSavedOptions() const { return FSaved3DOptions != nullptr; }

protected:
    void SetOtherCustomRadius(bool IsX, int Value);
    void SetBackupProperties();

private:
    TColor FCircleBackColor = clSeriesDefault;
    bool FCircled = false;
    int FCustomXRadius = 0;
    int FCustomYRadius = 0;
    int FRotationAngle = 0;
    int FRadiusX = 0;
    int FRadiusY = 0;
    std::unique_ptr<TView3DOptions> FSaved3DOptions;
    int FCircleWidth = 0;
    int FCircleHeight = 0;
    TPoint FCircleCentre{0, 0};
    TRect FCircleRect;
    double FRotationRad = 0;
    std::unique_ptr<TChGradient> FGradient;
};
