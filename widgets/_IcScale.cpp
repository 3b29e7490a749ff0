#include "widgets/_IcScale.h"

#include "widgets/_icproc.h"

#include <algorithm>

namespace {

void Line(TCanvas* Canvas, const TPoint& From, const TPoint& To)
{
    Canvas->MoveTo(From.X, From.Y);
    Canvas->LineTo(To.X, To.Y);
}

// Offset of sub tick k of a logarithmic step: log10(k x 10 / SubSteps) of
// the step's length.
long double LogOffset(long double K, int SubSteps, long double Step)
{
    return IcLog10(K * 10.0L / SubSteps) * Step;
}

}  // namespace

TScaleSettings::TScaleSettings()
{
    FFont.SetName("Arial");
    FFont.SetSize(14);
    FFont.KeepAsDefaults();
    FFont.OnChange = [this](TObject* Sender) { FontChange(Sender); };
}

void TScaleSettings::FontChange(TObject*)
{
    Change();
}

void TScaleSettings::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Change();
}

void TScaleSettings::SetPointerColor(TColor Value)
{
    if (Value == FPointerColor)
        return;
    FPointerColor = Value;
    Change();
}

void TScaleSettings::SetFont(TFont* Value)
{
    if (Value)
        FFont.Assign(Value);
}

void TScaleSettings::SetSteps(int Value)
{
    if (Value < 1 || Value > 20)
        return;
    FSteps = Value;
    Change();
}

void TScaleSettings::SetSubSteps(int Value)
{
    if (Value < 1 || Value > 10)
        return;
    FSubSteps = Value;
    Change();
}

void TScaleSettings::SetDrawLine(bool Value)
{
    FDrawLine = Value;
    Change();
}

void TScaleSettings::SetValueFormat(const std::string& Value)
{
    if (Value == FValueFormat)
        return;
    FValueFormat = Value;
    Change();
}

void TScaleSettings::SetValueFormatLog(const std::string& Value)
{
    if (Value == FValueFormatLog)
        return;
    FValueFormatLog = Value;
    Change();
}

void TScaleSettings::SetPosLeftTop(bool Value)
{
    if (Value == FPosLeftTop)
        return;
    FPosLeftTop = Value;
    Change();
}

void TScaleSettings::AssignTo(TPersistent* Dest)
{
    auto* d = dynamic_cast<TScaleSettings*>(Dest);
    if (!d) {
        TIcPersistent::AssignTo(Dest);
        return;
    }
    d->SetColor(FColor);
    d->SetDrawLine(FDrawLine);
    d->SetFont(&FFont);
    d->SetPointerColor(FPointerColor);
    d->SetPosLeftTop(FPosLeftTop);
    d->SetSteps(FSteps);
    d->SetSubSteps(FSubSteps);
    d->SetValueFormat(FValueFormat);
    d->SetValueFormatLog(FValueFormatLog);
}

int TScaleSettings::CalcLogScaleSteps(int Count, int Decades)
{
    if (Count < 1)
        Count = 1;
    if (Decades == 0 || Count < 2)
        return 1;
    for (int c = Count; c >= 2; --c)
        if (Decades % c == 0)
            return c;
    return 1;
}

// ------------------------------------------------------------------ measuring

void TScaleSettings::Prepare(TCanvas* Canvas)
{
    Canvas->SetFont(&FFont);
    Canvas->Pen()->SetColor(FColor);
}

void TScaleSettings::MeasureLabels(TCanvas* Canvas, float ValueFrom, float ValueTo, TLabelOrder Order)
{
    Prepare(Canvas);
    if (FLogScale) {
        // The decade exponents; an end at or below 0 counts as 1 (exponent 0).
        IcRoundLogValue(ValueFrom, FExpFrom);
        IcRoundLogValue(ValueTo, FExpTo);
        FLogSteps = CalcLogScaleSteps(FSteps, FExpTo - FExpFrom);
        FLabels = IcLogRangeStr(FExpFrom, FExpTo, FLogSteps, FValueFormatLog, Order == loDescending);
    } else if (Order == loDescending) {
        FLabels = IcRangeStr(ValueFrom, ValueTo, FSteps, FValueFormat);
    } else {
        FLabels = IcRangeStr(ValueTo, ValueFrom, FSteps, FValueFormat);
    }
    IcGetMaxTokenSize(Canvas, FMaxTextWidth, FTextHeight, FLabels);
    FTickPenWidth = IcRound(FTextHeight / 14.0L);
    FMargin = FTickPenWidth / 2 + 3;
}

void TScaleSettings::LinearTickLengths()
{
    FTickLen = IcRound(FTextHeight / 1.4L);
    FSubTickLen = FTickPenWidth == 1 ? FTickLen / 2 : IcRound(FTickLen / 1.4L);
}

void TScaleSettings::CalcSize(TCanvas* Canvas, float ValueFrom, float ValueTo)
{
    MeasureLabels(Canvas, ValueFrom, ValueTo, loDescending);
    FTextGap = FTextHeight / 3;
    LinearTickLengths();
    FSizeX = FMaxTextWidth + FTickLen + FTextGap;
    const int n = FLogScale ? FLogSteps : FSteps;
    FSizeY = IcRound(static_cast<long double>(FTextHeight) * n * 1.4L);
}

void TScaleSettings::CalcHSize(TCanvas* Canvas, float ValueFrom, float ValueTo)
{
    MeasureLabels(Canvas, ValueFrom, ValueTo, loAscending);
    FTextGap = FTextHeight / 5;
    LinearTickLengths();
    const int n = FLogScale ? FLogSteps : FSteps;
    FSizeX = IcRound(static_cast<long double>(FMaxTextWidth) * n * 1.4L);
    FSizeY = FTextHeight / 2 + FTickLen + FTextGap;
}

void TScaleSettings::CalcRSize(TCanvas* Canvas, float ValueFrom, float ValueTo)
{
    MeasureLabels(Canvas, ValueFrom, ValueTo, loAscending);
    FTextGap = std::max(FTextHeight, FMaxTextWidth) / 2 + 1;
}

// -------------------------------------------------------------------- drawing

int TScaleSettings::DrawSteps() const
{
    // Log mode before any measuring has no steps yet: one step, not a
    // division by zero.
    const int n = FLogScale ? FLogSteps : FSteps;
    return n < 1 ? 1 : n;
}

void TScaleSettings::RoundScala(TCanvas* Canvas, TRect& Rect, int StartAngle, int Sweep)
{
    CircleScala(Canvas, Rect, StartAngle, Sweep, false);
}

void TScaleSettings::DialScala(TCanvas* Canvas, TRect& Rect, int StartAngle, int Sweep)
{
    CircleScala(Canvas, Rect, StartAngle, Sweep, true);
}

void TScaleSettings::CircleScala(TCanvas* Canvas, TRect& Rect, int StartAngle, int Sweep, bool Dial)
{
    Prepare(Canvas);
    Canvas->Brush()->SetStyle(bsClear);
    const int n = Dial ? FSteps : DrawSteps();

    const int cx = Rect.Left + (Rect.Right - Rect.Left) / 2;
    const int r = (Rect.Right - Rect.Left - 2 * FTextGap) / 2 - FMaxTextWidth / 2 + FTextGap;
    FTickLen = r / (Dial ? 7 : 8);
    FSubTickLen = FTickPenWidth == 1 ? FTickLen / 2 : IcRound(FTickLen / 1.4L);
    if (Dial) {
        FTickLen = std::max(FTickLen, 3);
        FSubTickLen = std::max(FSubTickLen, 1);
    }
    const int cy = Rect.Top + r + FTextHeight / 2;
    FCenter = Point(cx, cy);

    const int h = FMaxTextWidth / 2;
    const int p = FTickPenWidth / 2;
    Rect = ::Rect(cx - r + h + p, cy - r + h + p, cx + r - h + p - 1, cy + r - h + p - 1);

    const float subAngle = static_cast<float>(Sweep) / static_cast<float>(FSubSteps * n);
    const float stepAngle = static_cast<float>(FSubSteps) * subAngle;

    auto turn = [this](const TPoint& P, long double Angle) {
        return IcRotate(P, FCenter, static_cast<float>(Angle), true);
    };
    const TPoint outer = turn(Point(cx, cy - r + FTextGap), StartAngle);
    const TPoint inner = turn(Point(cx, cy - r + FTextGap + FTickLen), StartAngle);
    const TPoint subEnd = turn(Point(cx, cy - r + FTextGap + FTickLen - FSubTickLen), StartAngle);
    const TPoint labelPos = turn(Point(cx, cy - r), StartAngle);

    std::string labels = FLabels;
    for (int i = 0; i < n; ++i) {
        const long double a = static_cast<long double>(i) * stepAngle;
        Canvas->Pen()->SetWidth(FTickPenWidth);
        const TPoint at = turn(labelPos, a);
        IcTextOut(Canvas, at.X, at.Y, IcStrToken(labels, ';'), toMidCenter);
        Line(Canvas, turn(outer, a), turn(inner, a));
        Canvas->Pen()->SetWidth(1);
        for (int j = 1; j < FSubSteps; ++j) {
            // Sub ticks sit on whole degrees.
            const int subAt = FLogScale ? IcRound(LogOffset(j, FSubSteps, stepAngle) + a)
                                        : IcRound(a + static_cast<long double>(j) * subAngle);
            Line(Canvas, turn(inner, subAt), turn(subEnd, subAt));
        }
    }
    Canvas->Pen()->SetWidth(FTickPenWidth);
    const std::string last = IcStrToken(labels, ';');
    // A full circle's last label would fall on the first.
    if (Dial || Sweep != 360) {
        const TPoint at = turn(labelPos, Sweep);
        IcTextOut(Canvas, at.X, at.Y, last, toMidCenter);
    }
    Line(Canvas, turn(outer, Sweep), turn(inner, Sweep));

    FArcTopLeft = Point(Rect.Left + FTickLen, Rect.Top + FTickLen);
    FArcBottomRight = Point(Rect.Right - FTickLen, Rect.Bottom - FTickLen + 1);
    FArcStart = turn(inner, Sweep);
    FArcEnd = outer;
    if (FTickPenWidth == 1) {
        ++Rect.Left;
        ++Rect.Top;
    }
}

void TScaleSettings::HorizScala(TCanvas* Canvas, const TRect& Rect)
{
    Prepare(Canvas);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Pen()->SetWidth(FTickPenWidth);
    const int n = DrawSteps();
    const float subStep = static_cast<float>(Rect.Right - Rect.Left) / static_cast<float>(FSubSteps * n);
    const float step = static_cast<float>(FSubSteps) * subStep;
    auto mainAt = [&](int i) { return IcRound(static_cast<long double>(i) * step + Rect.Left); };

    FLineStart = Rect.Left;
    FLineEnd = mainAt(n);
    // Ticks run from the base line at y0 by a signed length: up towards
    // labels above, down towards labels below.
    int y0, dir, labelY;
    toPos labelPos;
    if (FPosLeftTop) {
        y0 = FTextHeight / 2 + Rect.Top + FTextGap + FTickLen;
        dir = -1;
        labelY = Rect.Top;
        labelPos = toMidCenter;
    } else {
        y0 = Rect.Top;
        dir = 1;
        labelY = Rect.Top + FTickLen + FTextGap;
        labelPos = toTopCenter;
    }
    if (FDrawLine)
        Line(Canvas, Point(FLineStart, y0), Point(FLineEnd, y0));

    std::string labels = FLabels;
    auto mainTick = [&](int x) {
        Canvas->Pen()->SetWidth(FTickPenWidth);
        Line(Canvas, Point(x, y0), Point(x, y0 + dir * FTickLen));
        IcTextOut(Canvas, x, labelY, IcStrToken(labels, ';'), labelPos);
    };
    auto subTick = [&](int x) { Line(Canvas, Point(x, y0), Point(x, y0 + dir * FSubTickLen)); };
    for (int i = 0; i < n; ++i) {
        mainTick(mainAt(i));
        Canvas->Pen()->SetWidth(FSubTickPenWidth);
        const long double origin = static_cast<long double>(i) * step;
        if (FLogScale) {
            for (int j = 1; j <= FSubSteps; ++j)
                subTick(IcRound(LogOffset(j, FSubSteps, step) + origin) + Rect.Left);
        } else {
            for (int j = 0; j < FSubSteps; ++j)
                subTick(IcRound(static_cast<long double>(j) * subStep + Rect.Left + origin));
        }
    }
    mainTick(mainAt(n));
}

void TScaleSettings::VertiScala(TCanvas* Canvas, const TRect& Rect)
{
    Prepare(Canvas);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Pen()->SetWidth(FTickPenWidth);
    const int n = DrawSteps();
    const float subStep = static_cast<float>(Rect.Bottom - Rect.Top) / static_cast<float>(FSubSteps * n);
    const float step = static_cast<float>(FSubSteps) * subStep;
    // Counted from the top.
    auto mainAt = [&](int i) { return IcRound(static_cast<long double>(i) * step + Rect.Top); };

    FLineStart = Rect.Bottom;
    FLineEnd = IcRound(Rect.Bottom - static_cast<long double>(n) * step);
    int x0, dir, labelX;
    toPos labelPos;
    if (FPosLeftTop) {
        x0 = Rect.Right;
        dir = -1;
        labelX = Rect.Right - FTickLen - FTextGap + 1;
        labelPos = toMidRight;
    } else {
        x0 = Rect.Left;
        dir = 1;
        labelX = Rect.Left + FTickLen + FTextGap;
        labelPos = toMidLeft;
    }
    if (FDrawLine)
        Line(Canvas, Point(x0, Rect.Top), Point(x0, mainAt(n)));

    std::string labels = FLabels;
    auto mainTick = [&](int y) {
        Canvas->Pen()->SetWidth(FTickPenWidth);
        Line(Canvas, Point(x0, y), Point(x0 + dir * FTickLen, y));
        IcTextOut(Canvas, labelX, y, IcStrToken(labels, ';'), labelPos);
    };
    auto subTick = [&](int y) { Line(Canvas, Point(x0, y), Point(x0 + dir * FSubTickLen, y)); };
    for (int i = 0; i < n; ++i) {
        mainTick(mainAt(i));
        Canvas->Pen()->SetWidth(FSubTickPenWidth);
        const long double origin = static_cast<long double>(i) * step;
        if (FLogScale) {
            // Decades grow upwards: each step's sub ticks stand on its lower end.
            const int bottom = IcRound(origin + step + Rect.Top);
            for (int j = 1; j < FSubSteps; ++j)
                subTick(bottom - IcRound(LogOffset(FSubSteps - j, FSubSteps, step)));
        } else {
            for (int j = 0; j < FSubSteps; ++j)
                subTick(IcRound(static_cast<long double>(j) * subStep + Rect.Top + origin));
        }
    }
    mainTick(mainAt(n));
}
