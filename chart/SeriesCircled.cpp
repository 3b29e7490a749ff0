#include "chart/SeriesCircled.h"

#include "chart/ChMarks.h"
#include "chart/Chart.h"
#include "platform/Controls.h"
#include "platform/PublishedProps.h"

#include <algorithm>
#include <cmath>

namespace {

// The series of the chart whose class is A's or one of its ancestors.
bool KindOrAncestor(const TChartSeries* A, const TChartSeries* B)
{
    return dynamic_cast<const TCircledSeries*>(B) != nullptr && A->ClassType()->InheritsFrom(B->ClassType());
}

// The true-circle ratio of the device Canvas draws on; without a surface,
// of the screen.
double DeviceCircleRatio(TCanvas* Canvas)
{
    constexpr double MmPerInch = 25.4;
    const TSize Size = Canvas != nullptr ? Canvas->SurfaceSize() : TSize{};
    if (Size.cx > 0 && Size.cy > 0)
        return TrueCircleRatio(Size.cx, Size.cy, Size.cx * MmPerInch / std::max(1, Canvas->PixelsPerInchX()),
                               Size.cy * MmPerInch / std::max(1, Canvas->PixelsPerInchY()));
    const int W = Screen->Width(), H = Screen->Height();
    const double PerInch = std::max(1, Screen->PixelsPerInch());
    return TrueCircleRatio(W, H, W * MmPerInch / PerInch, H * MmPerInch / PerInch);
}

} // namespace

double TrueCircleRatio(int PixelsWide, int PixelsHigh, double MmWide, double MmHigh)
{
    double R = PixelsHigh != 0 ? static_cast<double>(PixelsWide) / PixelsHigh : 1.0;
    if (MmHigh != 0) {
        const double Mm = MmWide / MmHigh;
        if (Mm != 0)
            R /= Mm;
    }
    return R > 0 ? R : 1.0;
}

TCircledSeries::TCircledSeries(TComponent* AOwner) : TChartSeries(AOwner)
{
    CalcVisibleRange = false;
    XValues()->SetName(ChMsg_ValuesAngle);
    FGradient = std::make_unique<TChGradient>([this](TObject* Sender) { CanvasChanged(Sender); });
}

TCircledSeries::~TCircledSeries()
{
    if (FSaved3DOptions != nullptr)
        SetParentProperties(true);
    FSaved3DOptions.reset();
}

void TCircledSeries::Publish(TPublisher<TCircledSeries>& P)
{
    using S = TCircledSeries;
    P.Boolean("Circled", &S::Circled, &S::SetCircled).Default(false);
    P.Integer("CustomXRadius", &S::CustomXRadius, &S::SetCustomXRadius).Default(0);
    P.Integer("CustomYRadius", &S::CustomYRadius, &S::SetCustomYRadius).Default(0);
}

void TCircledSeries::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TCircledSeries*>(Source)) {
        FCircled = S->FCircled;
        SetRotationAngle(S->FRotationAngle);
        FCustomXRadius = S->FCustomXRadius;
        FCustomYRadius = S->FCustomYRadius;
        FCircleBackColor = S->FCircleBackColor;
        FGradient->Assign(S->FGradient.get());
    }
    TChartSeries::Assign(Source);
}

// ------------------------------------------------------------------ settings

void TCircledSeries::SetRotationAngle(int Value)
{
    SetIntegerProperty(FRotationAngle, Value % 360);
    FRotationRad = FRotationAngle * PiDegree;
}

void TCircledSeries::SetCircled(bool Value)
{
    SetBooleanProperty(FCircled, Value);
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart == nullptr)
        return;
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        TChartSeries* S = Chart->Series(i);
        if (S == this || !KindOrAncestor(this, S))
            continue;
        auto* C = static_cast<TCircledSeries*>(S);
        C->FCircled = Value;
        if (!C->Loading) {
            C->FCustomXRadius = 0;
            C->FCustomYRadius = 0;
        }
    }
}

void TCircledSeries::SetOtherCustomRadius(bool IsX, int Value)
{
    SetIntegerProperty(IsX ? FCustomXRadius : FCustomYRadius, Value);
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart == nullptr)
        return;
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        TChartSeries* S = Chart->Series(i);
        if (S != this && KindOrAncestor(this, S))
            (IsX ? static_cast<TCircledSeries*>(S)->FCustomXRadius : static_cast<TCircledSeries*>(S)->FCustomYRadius) =
                Value;
    }
}

// ------------------------------------------------------------------ angles

void TCircledSeries::AngleToPos(double Angle, double AXRadius, double AYRadius, int& X, int& Y) const
{
    X = FCircleCentre.X + ChRound(std::cos(Angle + FRotationRad) * AXRadius);
    Y = FCircleCentre.Y - ChRound(std::sin(Angle + FRotationRad) * AYRadius);
}

double TCircledSeries::PointToAngle(int X, int Y) const
{
    double Result;
    if (X == FCircleCentre.X)
        Result = Y > FCircleCentre.Y ? -std::numbers::pi / 2 : std::numbers::pi / 2;
    else if (FRadiusX == 0 || FRadiusY == 0)
        Result = 0;
    else
        Result = std::atan2(static_cast<double>(FCircleCentre.Y - Y) / FRadiusY,
                            static_cast<double>(X - FCircleCentre.X) / FRadiusX);
    if (Result < 0)
        Result += 2 * std::numbers::pi;
    Result -= FRotationRad;
    if (Result < 0)
        Result += 2 * std::numbers::pi;
    return Result;
}

// ------------------------------------------------------------------ the circle

void TCircledSeries::AdjustCircleRect()
{
    TRect& R = FCircleRect;
    if ((R.Right - R.Left) % 2 != 0)
        --R.Right;
    if ((R.Bottom - R.Top) % 2 != 0)
        --R.Bottom;
    if (R.Right - R.Left < 4)
        R.Right = R.Left + 4;
    if (R.Bottom - R.Top < 4)
        R.Bottom = R.Top + 4;
    FCircleWidth = R.Right - R.Left;
    FCircleHeight = R.Bottom - R.Top;
    RectCenter(R, FCircleCentre.X, FCircleCentre.Y);
}

void TCircledSeries::SetCircleRect(const TRect& R)
{
    FCircleRect = R;
    AdjustCircleRect();
}

void TCircledSeries::CalcRadius()
{
    if (FCustomXRadius != 0) {
        FRadiusX = FCustomXRadius;
        FCircleWidth = 2 * FRadiusX;
    } else
        FRadiusX = FCircleWidth / 2;
    if (FCustomYRadius != 0) {
        FRadiusY = FCustomYRadius;
        FCircleHeight = 2 * FRadiusY;
    } else
        FRadiusY = FCircleHeight / 2;
    FCircleRect = {FCircleCentre.X - FRadiusX, FCircleCentre.Y - FRadiusY, FCircleCentre.X + FRadiusX,
                   FCircleCentre.Y + FRadiusY};
}

void TCircledSeries::CheckOtherSeriesMarks()
{
    TCustomAxisPanel* Chart = ParentChart();
    const int Me = Chart->SeriesList().IndexOf(this);
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        auto* S = dynamic_cast<TCircledSeries*>(Chart->Series(i));
        if (S == nullptr || S == this || !S->Active() || !S->Marks()->Visible() ||
            !(ClassType()->InheritsFrom(S->ClassType()) || S->ClassType()->InheritsFrom(ClassType())))
            continue;
        if (i > Me)
            S->DoBeforeDrawValues();
        FCircleRect = S->FCircleRect;
        AdjustCircleRect();
        CalcRadius();
        return;
    }
}

void TCircledSeries::DoBeforeDrawValues()
{
    TChartSeries::DoBeforeDrawValues();
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart == nullptr)
        return;
    FCircleRect = Chart->ChartRect;
    AdjustCircleRect();
    if (Marks()->Visible()) {
        TCanvas3D* C = Chart->ChartCanvas();
        C->AssignFont(Marks()->Font());
        int L = Marks()->Callout()->Length();
        if (Marks()->Pen()->Visible())
            L += 2 * Marks()->Pen()->Width();
        const int H = C->GetFontHeight();
        InflateRect(FCircleRect, 0, -(L + H));
        const int W = C->TextWidth("W") + Chart->MaxMarkWidth() + L;
        InflateRect(FCircleRect, -W, 0);
        AdjustCircleRect();
    } else
        CheckOtherSeriesMarks();
    if (FCircled) {
        CalcRadius();
        const double Ratio = DeviceCircleRatio(Chart->ChartCanvas()->ReferenceCanvas);
        const int C = ChRound(FRadiusY * Ratio);
        if (C < FRadiusX)
            InflateRect(FCircleRect, -(FRadiusX - C), 0);
        else
            InflateRect(FCircleRect, 0, -(FRadiusY - ChRound(FRadiusX / Ratio)));
        AdjustCircleRect();
    }
    CalcRadius();
}

TColor TCircledSeries::CalcCircleBackColor()
{
    if (FCircleBackColor != clSeriesDefault)
        return FCircleBackColor;
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart == nullptr)
        return clWhite;
    if (Chart->Printing)
        return clWhite;
    if (auto* C = dynamic_cast<TCustomChart*>(Chart); C != nullptr && !C->BackWall()->Transparent())
        return C->BackWall()->Color();
    return Chart->Color();
}

void TCircledSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle)
{
    BackColor = CalcCircleBackColor();
}

void TCircledSeries::DrawCircleGradient()
{
    TCustomAxisPanel* Chart = ParentChart();
    const bool Is3D = Chart->View3D();
    if (Is3D && !Chart->View3DOptions()->Orthogonal())
        return;
    TCanvas3D* C = Chart->ChartCanvas();
    const int Left = FCircleCentre.X + 1 - FCircleWidth / 2;
    const int Top = FCircleCentre.Y + 1 - FCircleHeight / 2;
    TRect R{Left, Top, Left + FCircleWidth, Top + FCircleHeight};
    if (Is3D)
        R = C->CalcRect3D(R, EndZ);
    C->ClipEllipse(R);
    FGradient->Draw(C, R);
    C->UnClipRectangle();
}

// ------------------------------------------------------------------ the chart's 3-D options

void TCircledSeries::SetBackupProperties()
{
    TCustomAxisPanel* Chart = ParentChart();
    if (FSaved3DOptions != nullptr && Chart != nullptr && Chart->View3DOptions() != nullptr)
        Chart->View3DOptions()->Assign(FSaved3DOptions.get());
    FSaved3DOptions.reset();
}

void TCircledSeries::SetParentProperties(bool EnableParentProps)
{
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart == nullptr || Chart->Destroying() || Chart->ChartCanvas()->SupportsFullRotation() ||
        Chart->View3DOptions() == nullptr)
        return;
    if ((!EnableParentProps || (Active() && !Destroying())) && FSaved3DOptions == nullptr) {
        FSaved3DOptions = std::make_unique<TView3DOptions>(nullptr);
        FSaved3DOptions->Assign(Chart->View3DOptions());
        InitCustom3DOptions();
    } else if (EnableParentProps)
        SetBackupProperties();
}

void TCircledSeries::SetParentChart(TCustomAxisPanel* Value)
{
    if (Value == ParentChart())
        return;
    if (Value == nullptr)
        SetParentProperties(true);
    TChartSeries::SetParentChart(Value);
    if (Value != nullptr)
        SetParentProperties(false);
}

void TCircledSeries::Removed()
{
    if (FSaved3DOptions != nullptr)
        SetParentProperties(true);
    TChartSeries::Removed();
}

void TCircledSeries::SetActive(bool Value)
{
    TChartSeries::SetActive(Value);
    SetParentProperties(!Active());
}
