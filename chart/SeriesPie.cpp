#include "chart/SeriesPie.h"

#include "chart/ChLegend.h"
#include "chart/ChMarks.h"
#include "chart/Chart.h"
#include "platform/PublishedProps.h"
#include "platform/ScopeGuard.h"

#include <algorithm>
#include <cmath>
#include <numeric>

const TIdentMap& MultiPieIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"mpAutomatic", "mpDisabled"});
    return Map;
}

const TIdentMap& PieOtherStyleIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"poNone", "poBelowPercent", "poBelowValue"});
    return Map;
}

TBrushStyle PieSlicePattern(int Index)
{
    static constexpr TBrushStyle Patterns[6] = {bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross};
    return Patterns[((Index % 6) + 6) % 6];
}

// ------------------------------------------------------------------ slice lists

int TSliceValueList::Value(int Index) const
{
    return Index >= 0 && Index < Count() ? FValues[static_cast<size_t>(Index)] : 0;
}

void TSliceValueList::SetValue(int Index, int Value)
{
    if (Index < 0)
        return;
    if (Index >= Count())
        FValues.resize(static_cast<size_t>(Index) + 1, 0);
    int& Slot = FValues[static_cast<size_t>(Index)];
    if (Slot == Value)
        return;
    Slot = Value;
    if (FOwner != nullptr)
        FOwner->Repaint();
}

void TSliceValueList::Delete(int Index)
{
    if (Index >= 0 && Index < Count())
        FValues.erase(FValues.begin() + Index);
}

void TSliceValueList::Exchange(int A, int B, int PointCount)
{
    if (FValues.empty())
        return;
    if (Count() < PointCount)
        FValues.resize(static_cast<size_t>(PointCount), 0);
    if (A >= 0 && B >= 0 && A < Count() && B < Count())
        std::swap(FValues[static_cast<size_t>(A)], FValues[static_cast<size_t>(B)]);
}

// ------------------------------------------------------------------ other slice

TPieOtherSlice::TPieOtherSlice(TPieSeries* AOwner) : FOwner(AOwner) {}

TPieOtherSlice::~TPieOtherSlice() = default;

TChartLegend* TPieOtherSlice::Legend()
{
    if (FLegend == nullptr) {
        auto* Chart = dynamic_cast<TCustomChart*>(FOwner->ParentChart());
        if (Chart == nullptr)
            return nullptr;
        FLegend = std::make_unique<TChartLegend>(Chart);
        FLegend->SetVisible(false);
        FLegend->SetSeries(FOwner);
    }
    return FLegend.get();
}

void TPieOtherSlice::SetLegend(TChartLegend* Value)
{
    if (Value == nullptr) {
        FLegend.reset();
        FOwner->Repaint();
    } else if (TChartLegend* L = Legend())
        L->Assign(Value);
}

void TPieOtherSlice::ChartChanged()
{
    auto* Chart = dynamic_cast<TCustomChart*>(FOwner->ParentChart());
    if (FLegend == nullptr || Chart == nullptr)
        return;
    // A legend belongs to one chart: a new one there takes the settings.
    std::unique_ptr<TChartLegend> Old = std::move(FLegend);
    TChartLegend* L = Legend();
    L->Assign(Old.get());
    L->SetVisible(Old->Visible());
}

void TPieOtherSlice::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TPieOtherSlice*>(Source)) {
        if (S->FLegend != nullptr)
            SetLegend(S->FLegend.get());
        else
            FLegend.reset();
        FColor = S->FColor;
        FStyle = S->FStyle;
        FText = S->FText;
        FValue = S->FValue;
        return;
    }
    TPersistent::Assign(Source);
}

void TPieOtherSlice::SetColor(TColor Value) { FOwner->SetColorProperty(FColor, Value); }
void TPieOtherSlice::SetValue(double Value) { FOwner->SetDoubleProperty(FValue, Value); }

void TPieOtherSlice::SetStyle(TPieOtherStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    FOwner->Repaint();
}

void TPieOtherSlice::SetText(const std::string& Value)
{
    if (FText == Value)
        return;
    FText = Value;
    FOwner->Repaint();
}

// ------------------------------------------------------------------ life

TPieSeries::TPieSeries(TComponent* AOwner) : TCircledSeries(AOwner)
{
    FOtherSlice = std::make_unique<TPieOtherSlice>(this);
    FShadow = std::make_unique<TChShadow>([this](TObject* Sender) { CanvasChanged(Sender); });
    FShadow->SetColor(10526880);
    FShadow->DefaultColor = 10526880;
    XValues()->SetName("");
    YValues()->SetName(ChMsg_ValuesPie);
    Marks()->SetVisible(true);
    Marks()->DefaultVisible = true;
    TMarksCallout* C = Marks()->Callout();
    C->SetLength(8);
    C->UnstoredLength = 8;
    SetColorEachPoint(true);
    KeepXValues = false;
    Gradient()->SetStartColor(clWhite);
    Gradient()->SetDirection(gdRadial);
}

TPieSeries::~TPieSeries() = default;

void TPieSeries::Publish(TPublisher<TPieSeries>& P)
{
    using S = TPieSeries;
    P.Integer("AngleSize", &S::AngleSize, &S::SetAngleSize).Default(360);
    P.Boolean("AutoMarkPosition", &S::AutoMarkPosition, &S::SetAutoMarkPosition).Default(true);
    P.Integer("CircleBackColor", &S::CircleBackColor, &S::SetCircleBackColor).Idents(ColorIdents()).Default(clSeriesDefault);
    P.Boolean("Dark3D", &S::Dark3D, &S::SetDark3D).Default(true);
    P.Integer("DarkPen", &S::DarkPen, &S::SetDarkPen).Default(0);
    P.Integer("ExplodeBiggest", &S::ExplodeBiggest, &S::SetExplodeBiggest).Default(0);
    P.Object("Gradient", &S::Gradient);
    P.Enumeration("MultiPie", &S::MultiPie, &S::SetMultiPie, MultiPieIdents()).Default(mpAutomatic);
    P.Object("PiePen", &S::PiePen);
    P.Integer("RotationAngle", &S::RotationAngle, &S::SetRotationAngle).Default(0);
    P.Object("Shadow", &S::Shadow);
    P.Boolean("UsePatterns", &S::UsePatterns, &S::SetUsePatterns).Default(false);
}

void TPieSeries::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TPieSeries*>(Source)) {
        FAngleSize = S->FAngleSize;
        FAutoMarkPosition = S->FAutoMarkPosition;
        FDark3D = S->FDark3D;
        FDarkPen = S->FDarkPen;
        FExplodeBiggest = S->FExplodeBiggest;
        FSliceExplode.Assign(S->FSliceExplode);
        FSliceDepth.Assign(S->FSliceDepth);
        FUsePatterns = S->FUsePatterns;
        FOtherSlice->Assign(S->FOtherSlice.get());
        FShadow->Assign(S->FShadow.get());
    }
    TCircledSeries::Assign(Source);
    SetColorEachPoint(true);
}

void TPieSeries::SetExplodeBiggest(int Value)
{
    SetIntegerProperty(FExplodeBiggest, Value);
    CalcExplodeBiggest();
}

void TPieSeries::SetMultiPie(TMultiPie Value)
{
    if (FMultiPie == Value)
        return;
    FMultiPie = Value;
    Repaint();
}

// ------------------------------------------------------------------ grouping

void TPieSeries::RemoveOtherSlice()
{
    for (int i = 0; i < Count(); ++i)
        if (XValues()->Value(i) == OtherSliceX) {
            TCircledSeries::Delete(i);
            break;
        }
    XValues()->FillSequence();
}

void TPieSeries::DoBeforeDrawChart()
{
    TCircledSeries::DoBeforeDrawChart();
    if (YValues()->Order() != loNone)
        YValues()->Sort();
    TValueRollback<int> Quiet(UpdateDepth, UpdateDepth + 1);
    RemoveOtherSlice();
    const double Total = YValues()->TotalABS();
    if (FOtherSlice->Style() == poNone || Total <= 0)
        return;
    double Sum = 0;
    bool Any = false;
    for (int i = 0; i < Count(); ++i) {
        const double V = std::fabs(YValues()->Value(i));
        const double Measure = FOtherSlice->Style() == poBelowPercent ? V * 100 / Total : V;
        if (Measure < FOtherSlice->Value()) {
            XValues()->StoreValue(i, -1);
            Sum += V;
            Any = true;
        }
    }
    if (!Any)
        return;
    const std::string Text = FOtherSlice->Text().empty() ? ChMsg_PieOther : FOtherSlice->Text();
    AddXY(OtherSliceX, Sum, Text, FOtherSlice->Color());
    // The grouped points and their slice are not counted twice.
    YValues()->ReduceTotalABS(Sum);
}

// ------------------------------------------------------------------ angles

void TPieSeries::CalcAngles()
{
    FAngles.assign(static_cast<size_t>(Count()), TPieAngle{});
    const double F = FAngleSize * std::numbers::pi / 180.0;
    double T = 0;
    if (FOtherSlice->Style() != poNone || FirstVisibleIndex < 0)
        T = YValues()->TotalABS();
    else
        for (int j = FirstVisibleIndex; j <= LastVisibleIndex; ++j)
            T += std::fabs(YValues()->Value(j));
    if (FirstVisibleIndex < 0)
        return;
    double S = 0;
    double Previous = 0;
    for (int j = FirstVisibleIndex; j <= LastVisibleIndex && j < Count(); ++j) {
        TPieAngle& A = FAngles[static_cast<size_t>(j)];
        A.StartAngle = j == FirstVisibleIndex ? 0 : Previous;
        if (T == 0)
            A.EndAngle = F;
        else {
            if (!BelongsToOtherSlice(j))
                S += std::fabs(YValues()->Value(j));
            A.EndAngle = S == T ? F : S * (F / T);
            if (A.EndAngle - A.StartAngle > F)
                A.EndAngle = A.StartAngle + F;
        }
        A.MidAngle = (A.StartAngle + A.EndAngle) * 0.5;
        Previous = A.EndAngle;
    }
}

// ------------------------------------------------------------------ visible range, depth, extremes

void TPieSeries::CalcFirstLastVisibleIndex()
{
    if (FOtherSlice->Style() != poNone && Count() > 0) {
        FirstVisibleIndex = 0;
        LastVisibleIndex = Count() - 1;
        return;
    }
    int First = -1, Last = -1;
    if (ParentChart() != nullptr)
        CalcFirstLastPage(First, Last);
    if (First >= 0 && Last >= First) {
        FirstVisibleIndex = First;
        LastVisibleIndex = Last;
    } else
        TCircledSeries::CalcFirstLastVisibleIndex();
}

void TPieSeries::CalcZOrder()
{
    TCircledSeries::CalcZOrder();
    ComputedZOrder = 0;
}

int TPieSeries::SliceEndZ(int ValueIndex) const
{
    if (ValueIndex >= FSliceDepth.Count())
        return EndZ;
    return StartZ + ChRound(FSliceDepth.Value(ValueIndex) * (EndZ - StartZ) * 0.01);
}

double TPieSeries::MaxXValue() { return GetHorizAxis() != nullptr ? GetHorizAxis()->Maximum() : 0; }
double TPieSeries::MinXValue() { return GetHorizAxis() != nullptr ? GetHorizAxis()->Minimum() : 0; }
double TPieSeries::MaxYValue() { return GetVertAxis() != nullptr ? GetVertAxis()->Maximum() : 0; }
double TPieSeries::MinYValue() { return GetVertAxis() != nullptr ? GetVertAxis()->Minimum() : 0; }

int TPieSeries::CalcXPos(int ValueIndex)
{
    if (XValues()->Value(ValueIndex) == OtherSliceX)
        return 0;
    return TCircledSeries::CalcXPos(ValueIndex);
}

// ------------------------------------------------------------------ several pies

int TPieSeries::PieCount() const
{
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart == nullptr)
        return 0;
    int N = 0;
    for (int i = 0; i < Chart->SeriesCount(); ++i)
        N += Chart->Series(i)->Active() && dynamic_cast<TPieSeries*>(Chart->Series(i)) != nullptr;
    return N;
}

void TPieSeries::DoBeforeDrawValues()
{
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart != nullptr) {
        FSavedChartRect = Chart->ChartRect;
        FChartRectSaved = true;
        const int N = PieCount();
        if (FMultiPie == mpAutomatic && N >= 2) {
            int K = 0;
            for (int i = 0; i < Chart->SeriesCount() && Chart->Series(i) != this; ++i)
                K += Chart->Series(i)->Active() && dynamic_cast<TPieSeries*>(Chart->Series(i)) != nullptr;
            const int Cols = std::max(1, ChRound(std::sqrt(static_cast<double>(N))));
            const int Rows = std::max(1, ChRound(std::sqrt(static_cast<double>(N)) + 0.5));
            const TRect& R = Chart->ChartRect;
            const int W = (R.Right - R.Left) / Cols, H = (R.Bottom - R.Top) / Rows;
            const int Left = R.Left + (K % Cols) * W, Top = R.Top + (K / Cols) * H;
            Chart->FChartRect = Chart->ChartCanvas()->CalcRect3D({Left, Top, Left + W, Top + H}, 0);
            Chart->ReCalcWidthHeight();
        }
    }
    TCircledSeries::DoBeforeDrawValues();
}

void TPieSeries::DoAfterDrawValues()
{
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart != nullptr && FChartRectSaved) {
        Chart->FChartRect = FSavedChartRect;
        Chart->ReCalcWidthHeight();
        FChartRectSaved = false;
    }
    TCircledSeries::DoAfterDrawValues();
}

// ------------------------------------------------------------------ exploding

void TPieSeries::CalcExplodeBiggest()
{
    if (FExplodeBiggest <= 0 || Count() == 0)
        return;
    int Index;
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart != nullptr && Chart->MaxPointsPerPage() > 0 && FirstVisibleIndex >= 0) {
        Index = FirstVisibleIndex;
        for (int i = FirstVisibleIndex; i <= LastVisibleIndex && i < Count(); ++i)
            if (YValues()->Value(i) > YValues()->Value(Index))
                Index = i;
    } else
        Index = YValues()->Locate(YValues()->MaxValue());
    if (Index >= 0)
        FSliceExplode.SetValue(Index, FExplodeBiggest);
}

void TPieSeries::CalcExplodedOffset(int ValueIndex, int& X, int& Y) const
{
    X = Y = 0;
    if (!FExplodedMode || FSliceExplode.Count() == 0 || ValueIndex >= static_cast<int>(FAngles.size()))
        return;
    const int P = FSliceExplode.Value(ValueIndex);
    if (P <= 0)
        return;
    const double A = FAngles[static_cast<size_t>(ValueIndex)].MidAngle + RotationAngle() * PiDegree;
    X = ChRound(std::cos(A) * XRadius() * P * 0.01);
    Y = ChRound(std::sin(A) * YRadius() * P * 0.01);
}

void TPieSeries::CalcExplodedRadius(int ValueIndex, int& AXRadius, int& AYRadius) const
{
    const double F = 1 + FSliceExplode.Value(ValueIndex) * 0.01;
    AXRadius = ChRound(XRadius() * F);
    AYRadius = ChRound(YRadius() * F);
}

// ------------------------------------------------------------------ drawing

TBrushStyle TPieSeries::SliceBrushStyle(int ValueIndex) const
{
    const bool Mono = ParentChart() != nullptr && ParentChart()->ChartCanvas()->Monochrome();
    if (FUsePatterns || Mono)
        return PieSlicePattern(ValueIndex);
    return bsSolid;
}

TColor TPieSeries::SliceColor(int ValueIndex)
{
    if (ParentChart()->ChartCanvas()->Monochrome())
        return clBlack;
    return GetValueColor(ValueIndex);
}

void TPieSeries::PreparePiePen(int ValueIndex)
{
    TCanvas3D* C = ParentChart()->ChartCanvas();
    if (FDarkPen <= 0)
        C->AssignVisiblePen(PiePen());
    else
        C->AssignVisiblePenColor(PiePen(), ApplyDark(ColorToRGB(GetValueColor(ValueIndex)),
                                                     static_cast<uint8_t>(255 - std::min(FDarkPen, 255))));
}

void TPieSeries::DrawAllValues()
{
    if (FExplodeBiggest > 0)
        CalcExplodeBiggest();
    int Biggest = -1;
    for (int i = FirstVisibleIndex; i <= LastVisibleIndex && i >= 0; ++i)
        if (FSliceExplode.Value(i) > 0 && (Biggest < 0 || FSliceExplode.Value(i) > FSliceExplode.Value(Biggest)))
            Biggest = i;
    CalcAngles();
    FExplodedMode = Biggest >= 0 || FSliceDepth.Count() > 0;
    if (Biggest >= 0) {
        int DX = 0, DY = 0;
        CalcExplodedOffset(Biggest, DX, DY);
        TRect R = CircleRect();
        InflateRect(R, -std::abs(DX) / 2, -std::abs(DY) / 2);
        SetCircleRect(R);
        CalcRadius();
    }
    AngleToPos(0, XRadius(), YRadius(), FSliceStart.X, FSliceStart.Y);
    TCanvas3D* C = ParentChart()->ChartCanvas();
    if (FShadow->Size() != 0)
        FShadow->DrawEllipse(C, CircleRect(), EndZ - 10);
    const bool Is3D = ParentChart()->View3D();
    if (!Is3D || (!FExplodedMode && FDonutPercent == 0) || C->SupportsFullRotation())
        TCircledSeries::DrawAllValues();
    else
        DrawSortedSlices();
    DrawOtherSliceLegend();
}

void TPieSeries::DrawOtherSliceLegend()
{
    if (!FOtherSlice->HasLegend() || !FOtherSlice->Legend()->Visible())
        return;
    auto* Chart = dynamic_cast<TCustomChart*>(ParentChart());
    if (Chart == nullptr)
        return;
    TValueRollback<TCustomChartLegend*> Own(Chart->SeriesOwnLegend, FOtherSlice->Legend());
    Chart->SeriesOwnLegend->DrawLegend();
}

void TPieSeries::DrawSortedSlices()
{
    // Slices nearest the viewer's quarter are drawn last.
    const double F = FAngleSize * std::numbers::pi / 180.0;
    const auto Distance = [&](int i) {
        double M = FAngles[static_cast<size_t>(i)].MidAngle + RotationAngle() * PiDegree;
        if (M > F)
            M -= F;
        double D = M <= F / 4 ? F / 4 - M : M - F / 4;
        if (D > std::numbers::pi)
            D = F - D;
        return D;
    };
    FDrawOrder.clear();
    for (int i = FirstVisibleIndex; i <= LastVisibleIndex; ++i)
        FDrawOrder.push_back(i);
    std::stable_sort(FDrawOrder.begin(), FDrawOrder.end(), [&](int A, int B) { return Distance(A) < Distance(B); });
    for (int i : FDrawOrder)
        DrawValue(i);
}

void TPieSeries::DrawValue(int ValueIndex)
{
    if (CircleWidth() < 5 || CircleHeight() < 5 || BelongsToOtherSlice(ValueIndex) ||
        ValueIndex >= static_cast<int>(FAngles.size()))
        return;
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    Brush()->SetStyle(SliceBrushStyle(ValueIndex));
    const TColor Color = SliceColor(ValueIndex);
    if (Color == clNone)
        C->Brush->SetStyle(bsClear);
    else {
        Chart->SetBrushCanvas(Color, Brush(), CalcCircleBackColor());
        if (Gradient()->Visible()) {
            TValueRollback<bool> Quiet(Chart->RepaintOnChange, false);
            Gradient()->SetEndColor(Color);
        }
    }
    PreparePiePen(ValueIndex);
    DrawPie(ValueIndex);
}

void TPieSeries::DrawPie(int ValueIndex)
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    int DX = 0, DY = 0;
    CalcExplodedOffset(ValueIndex, DX, DY);
    const TPoint Centre{CircleCentre().X + DX, CircleCentre().Y - DY};
    const TPieAngle& A = FAngles[static_cast<size_t>(ValueIndex)];
    const double Rotation = RotationAngle() * PiDegree;
    if (Chart->View3D()) {
        C->Pie3D(Centre.X, Centre.Y, XRadius(), YRadius(), StartZ, SliceEndZ(ValueIndex), A.StartAngle + Rotation,
                 A.EndAngle + Rotation, FDark3D, FExplodedMode, FDonutPercent,
                 Gradient()->Visible() ? Gradient() : nullptr);
        return;
    }
    if (FDonutPercent > 0) {
        C->Donut(Centre.X, Centre.Y, XRadius(), YRadius(), A.StartAngle + Rotation, A.EndAngle + Rotation, FDonutPercent);
        return;
    }
    AngleToPos(A.EndAngle, XRadius(), YRadius(), FSliceEnd.X, FSliceEnd.Y);
    const bool Draw = FSliceEnd != FSliceStart || Count() == 1 || A.EndAngle - A.StartAngle > 1;
    if (!Draw)
        return;
    const TRect& R = CircleRect();
    C->Pie(R.Left + DX, R.Top - DY, R.Right + DX, R.Bottom - DY, FSliceStart.X + DX, FSliceStart.Y - DY,
           FSliceEnd.X + DX, FSliceEnd.Y - DY);
    FSliceStart = FSliceEnd;
}

// ------------------------------------------------------------------ marks, hit test

void TPieSeries::DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position)
{
    if (BelongsToOtherSlice(ValueIndex) || ValueIndex >= static_cast<int>(FAngles.size()))
        return;
    int RX = 0, RY = 0;
    CalcExplodedRadius(ValueIndex, RX, RY);
    double Angle = FAngles[static_cast<size_t>(ValueIndex)].MidAngle;
    Marks()->ZPos = SliceEndZ(ValueIndex);
    if (ParentChart()->ChartCanvas()->SupportsFullRotation()) {
        Angle += 3 * std::numbers::pi / 2;
        Marks()->ZPos = StartZ;
    }
    Position->KeepArrowStart = true;
    TMarksCallout* Callout = Marks()->Callout();
    const int L = Callout->Length() + Callout->Distance();
    AngleToPos(Angle, RX + L, RY + L, Position->ArrowEnd.X, Position->ArrowEnd.Y);
    AngleToPos(Angle, RX + Callout->Distance(), RY + Callout->Distance(), Position->ArrowStart.X,
               Position->ArrowStart.Y);
    const TPoint Centre = CircleCentre();
    Position->BoxTopLeft.X =
        Position->ArrowEnd.X > Centre.X ? Position->ArrowEnd.X : Position->ArrowEnd.X - Position->BoxWidth;
    Position->BoxTopLeft.Y =
        Position->ArrowEnd.Y > Centre.Y ? Position->ArrowEnd.Y : Position->ArrowEnd.Y - Position->BoxHeight;
    if (FAutoMarkPosition)
        Marks()->AntiOverlap(FirstVisibleIndex, ValueIndex, Position);
    TCircledSeries::DrawMark(ValueIndex, Text, Position);
}

int TPieSeries::CalcClickedPie(int X, int Y)
{
    if (FAngles.empty())
        return -1;
    if (ParentChart() != nullptr)
        ParentChart()->ChartCanvas()->Calculate2DPosition(X, Y, StartZ);
    const double A = PointToAngle(X, Y);
    const double D = ChDistance(X - CircleCentre().X, Y - CircleCentre().Y);
    for (int c = 0; c < static_cast<int>(FAngles.size()); ++c) {
        const TPieAngle& P = FAngles[static_cast<size_t>(c)];
        if (A < P.StartAngle || A > P.EndAngle)
            continue;
        int DX = 0, DY = 0;
        CalcExplodedOffset(c, DX, DY);
        if (ChDistance(std::abs(DX) + XRadius(), std::abs(DY) + YRadius()) >= D)
            return c;
    }
    return -1;
}

int TPieSeries::Clicked(int X, int Y)
{
    const int Base = TCircledSeries::Clicked(X, Y);
    return Base != -1 ? Base : CalcClickedPie(X, Y);
}

// ------------------------------------------------------------------ points and lists

void TPieSeries::ClearLists()
{
    TCircledSeries::ClearLists();
    FSliceExplode.Clear();
    FSliceDepth.Clear();
}

void TPieSeries::WriteData(TStream* Stream)
{
    {
        TValueRollback<int> Quiet(UpdateDepth, UpdateDepth + 1);
        RemoveOtherSlice();
    }
    TCircledSeries::WriteData(Stream);
}

void TPieSeries::Delete(int ValueIndex)
{
    TCircledSeries::Delete(ValueIndex);
    FSliceExplode.Delete(ValueIndex);
    FSliceDepth.Delete(ValueIndex);
}

void TPieSeries::SwapValueIndex(int A, int B)
{
    TCircledSeries::SwapValueIndex(A, B);
    FSliceExplode.Exchange(A, B, Count());
    FSliceDepth.Exchange(A, B, Count());
}

// ------------------------------------------------------------------ 3-D options, legend, gallery

void TPieSeries::InitCustom3DOptions()
{
    TView3DOptions* O = ParentChart()->View3DOptions();
    O->SetOrthogonal(false);
    O->SetRotation(360);
    O->SetElevation(315);
    O->SetPerspective(0);
    O->SetTilt(0);
}

void TPieSeries::PrepareForGallery(bool IsEnabled)
{
    TCircledSeries::PrepareForGallery(IsEnabled);
    FillSampleValues(8);
    if (ParentChart() != nullptr)
        ParentChart()->Set3DPercent(75);
    Marks()->Callout()->SetLength(0);
    Marks()->SetDrawEvery(1);
    Gradient()->SetVisible(true);
    DisableRotation();
    SetColorEachPoint(IsEnabled);
}

void TPieSeries::DisableRotation()
{
    if (ParentChart() == nullptr)
        return;
    TView3DOptions* O = ParentChart()->View3DOptions();
    O->SetOrthogonal(false);
    O->SetRotation(0);
    O->SetElevation(305);
}

void TPieSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle)
{
    BackColor = CalcCircleBackColor();
    PreparePiePen(ValueIndex);
    BrushStyle = SliceBrushStyle(ValueIndex);
}

void TPieSeries::DrawLegendShape(int ValueIndex, const TRect& Rect)
{
    TCanvas3D* C = ParentChart()->ChartCanvas();
    const TColor Color = ValueIndex < 0 ? SeriesColor() : SliceColor(ValueIndex);
    if (Gradient()->Visible() && Color != clNone) {
        {
            TValueRollback<bool> Quiet(ParentChart()->RepaintOnChange, false);
            Gradient()->SetEndColor(Color);
        }
        Gradient()->Draw(C, Rect);
        C->Brush->SetStyle(bsClear);
        C->Rectangle(Rect);
        return;
    }
    TCircledSeries::DrawLegendShape(ValueIndex, Rect);
}

bool TPieSeries::DrawingOtherLegend() const
{
    auto* Chart = dynamic_cast<TCustomChart*>(ParentChart());
    return Chart != nullptr && FOtherSlice->HasLegend() && Chart->SeriesOwnLegend == FOtherSlice->Legend();
}

int TPieSeries::CountLegendItems()
{
    const bool Grouped = DrawingOtherLegend();
    int N = 0;
    for (int i = 0; i < Count(); ++i)
        N += BelongsToOtherSlice(i) == Grouped;
    return N;
}

int TPieSeries::LegendToValueIndex(int LegendIndex)
{
    const bool Grouped = DrawingOtherLegend();
    int K = -1;
    for (int i = 0; i < Count(); ++i)
        if (BelongsToOtherSlice(i) == Grouped && ++K == LegendIndex)
            return i;
    return LegendIndex;
}

void TPieSeries::SetParentChart(TCustomAxisPanel* Value)
{
    const bool Moved = Value != ParentChart();
    TCircledSeries::SetParentChart(Value);
    if (Moved && !IsDestroying())
        FOtherSlice->ChartChanged();
}

void TPieSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart)
{
    TCircledSeries::CreateSubGallery(AddSubChart);
    for (const std::string* Text : {&ChMsg_Patterns, &ChMsg_Exploded, &ChMsg_Shadow, &ChMsg_Marks, &ChMsg_SemiPie,
                                    &ChMsg_NoBorder, &ChMsg_DarkPen})
        AddSubChart(*Text);
}

void TPieSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 1: SetUsePatterns(true); break;
    case 2: SetExplodeBiggest(30); break;
    case 3:
        FShadow->SetHorizSize(10);
        FShadow->SetVertSize(10);
        break;
    case 4:
        Marks()->SetVisible(true);
        Clear();
        Add(30, "A");
        Add(70, "B");
        break;
    case 5: SetAngleSize(180); break;
    case 6: PiePen()->SetVisible(false); break;
    case 7: SetDarkPen(32); break;
    default: break;
    }
}
