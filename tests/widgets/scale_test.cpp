// Scale settings: measuring a scale for a value range and drawing round,
// dial, horizontal and vertical scales, linear and logarithmic, with the
// geometry an instrument reads back to draw its arc, base line and pointer.
#include "widgets/_IcScale.h"
#include "widgets/_IcSignal.h"
#include "widgets/_icproc.h"

#include "platform/Application.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A canvas that keeps what is drawn on it, with the pen width of each line.
class TRecordingCanvas : public TCanvas {
public:
    struct TDrawn {
        TCanvasOp::TKind Kind;
        std::vector<TPoint> Pts;
        std::string Text;
        int PenWidth;
    };
    std::vector<TDrawn> Ops;

    void Perform(const TCanvasOp& Op) override { Ops.push_back({Op.Kind, Op.Pts, Op.Text, Pen()->Width()}); }

    std::vector<TDrawn> Lines(int PenWidth) const
    {
        std::vector<TDrawn> r;
        for (const TDrawn& d : Ops)
            if (d.Kind == TCanvasOp::opLine && d.PenWidth == PenWidth)
                r.push_back(d);
        return r;
    }
    std::vector<TDrawn> Texts() const
    {
        std::vector<TDrawn> r;
        for (const TDrawn& d : Ops)
            if (d.Kind == TCanvasOp::opTextOut)
                r.push_back(d);
        return r;
    }
};

class ScaleTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }
};

TEST_F(ScaleTest, SettersKeepTheirRangesAndReportChanges)
{
    TScaleSettings s;
    int changes = 0;
    s.OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &s);
        ++changes;
    };
    s.SetSteps(21);
    s.SetSteps(0);
    s.SetSubSteps(0);
    s.SetSubSteps(11);
    EXPECT_EQ(s.Steps(), 5);
    EXPECT_EQ(s.SubSteps(), 2);
    EXPECT_EQ(changes, 0);
    s.SetSteps(20);
    s.SetSubSteps(10);
    s.Font()->SetSize(10);   // a change inside the font is the scale's
    s.SetColor(clBlack);     // unchanged
    EXPECT_EQ(changes, 3);

    TScaleSettings copy;
    s.SetColor(clNavy);
    s.SetPointerColor(clRed);
    s.SetDrawLine(false);
    s.SetPosLeftTop(true);
    s.SetValueFormat("0.0");
    s.SetValueFormatLog("0.0E+0");
    copy.Assign(&s);
    EXPECT_EQ(copy.Color(), clNavy);
    EXPECT_EQ(copy.PointerColor(), clRed);
    EXPECT_FALSE(copy.DrawLine());
    EXPECT_TRUE(copy.PosLeftTop());
    EXPECT_EQ(copy.Steps(), 20);
    EXPECT_EQ(copy.SubSteps(), 10);
    EXPECT_EQ(copy.ValueFormat(), "0.0");
    EXPECT_EQ(copy.ValueFormatLog(), "0.0E+0");
    EXPECT_TRUE(copy.Font()->SameAs(*s.Font()));

    TSignalSettings signal;
    EXPECT_THROW(signal.Assign(&s), EConvertError);
}

TEST_F(ScaleTest, LogScaleStepsDivideTheDecades)
{
    struct Case { int Count, Decades, Expected; };
    const Case cases[] = {
        {5, 3, 3}, {5, 6, 3}, {5, 7, 1}, {4, 8, 4}, {5, 0, 1}, {0, 6, 1}, {1, 6, 1}, {-3, 6, 1}, {5, -6, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TScaleSettings::CalcLogScaleSteps(c.Count, c.Decades), c.Expected) << c.Count << " / " << c.Decades;
}

// The default label font is "Arial" 14: text height 21, "100" and "1e3"
// 33 pixels wide; a font 18 pixels high has a text height of 20.
TEST_F(ScaleTest, MeasuringTakesLabelsAndTickSizesFromTheFont)
{
    enum TCall { Vertical, Horizontal, Round };
    struct Case {
        const char* Name;
        TCall Call;
        bool Log;
        int FontHeight;   // 0: the default font
        float From, To;
        const char* Labels;
        int TextHeight, MaxTextWidth, TickPenWidth, TickLen, SubTickLen, TextGap, SizeX, SizeY, LogSteps;
    };
    const Case cases[] = {
        {"horizontal", Horizontal, false, 0, 0, 100, "0;20;40;60;80;100;", 21, 33, 2, 15, 11, 4, 231, 29, 0},
        {"vertical", Vertical, false, 0, 0, 100, "100;80;60;40;20;0;", 21, 33, 2, 15, 11, 7, 55, 147, 0},
        {"round", Round, false, 0, 0, 100, "0;20;40;60;80;100;", 21, 33, 2, 14, 7, 17, 0, 0, 0},
        {"vertical log", Vertical, true, 0, 1, 1000, "1e3;1e2;1e1;1e0;", 21, 33, 2, 15, 11, 7, 55, 88, 3},
        {"horizontal log", Horizontal, true, 0, 1, 1000, "1e0;1e1;1e2;1e3;", 21, 33, 2, 15, 11, 4, 139, 29, 3},
        {"round log", Round, true, 0, 1, 1000, "1e0;1e1;1e2;1e3;", 21, 33, 2, 14, 7, 17, 0, 0, 3},
        {"20-pixel text, vertical", Vertical, false, -18, 0, 100, nullptr, 20, 0, 1, 14, 7, 6, 0, 140, 0},
        {"20-pixel text, horizontal", Horizontal, false, -18, 0, 100, nullptr, 20, 0, 1, 14, 7, 4, 0, 28, 0},
        // A log range end at or below 0 counts as 1 (exponent 0).
        {"log from 0", Horizontal, true, 0, 0, 1000, "1e0;1e1;1e2;1e3;", 21, 33, 2, 15, 11, 4, 139, 29, 3},
        {"log from below 0", Horizontal, true, 0, -5, 100, "1e0;1e1;1e2;", 21, 33, 2, 15, 11, 4, 92, 29, 2},
        {"log to 0", Vertical, true, 0, 0.001f, 0, "1e0;1e-1;1e-2;1e-3;", 21, 0, 2, 15, 11, 7, 0, 88, 3},
    };
    TBitmap b(10, 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TScaleSettings s;
        s.SetLogScale(c.Log);
        if (c.FontHeight)
            s.Font()->SetHeight(c.FontHeight);
        switch (c.Call) {
        case Vertical: s.CalcSize(b.Canvas(), c.From, c.To); break;
        case Horizontal: s.CalcHSize(b.Canvas(), c.From, c.To); break;
        case Round: s.CalcRSize(b.Canvas(), c.From, c.To); break;
        }
        if (c.Labels) {
            EXPECT_EQ(s.Labels(), c.Labels);
        }
        EXPECT_EQ(s.TextHeight(), c.TextHeight);
        if (c.MaxTextWidth) {
            EXPECT_EQ(s.MaxTextWidth(), c.MaxTextWidth);
        }
        EXPECT_EQ(s.TickPenWidth(), c.TickPenWidth);
        EXPECT_EQ(s.Margin(), c.TickPenWidth / 2 + 3);
        EXPECT_EQ(s.TickLen(), c.TickLen);
        EXPECT_EQ(s.SubTickLen(), c.SubTickLen);
        EXPECT_EQ(s.TextGap(), c.TextGap);
        if (c.SizeX) {
            EXPECT_EQ(s.SizeX(), c.SizeX);
        }
        EXPECT_EQ(s.SizeY(), c.SizeY);
        EXPECT_EQ(s.LogSteps(), c.LogSteps);
    }
}

// Runs of dark pixels along row Y, as the centres of the runs.
std::vector<int> DarkRuns(TBitmap& B, int Y)
{
    std::vector<int> centres;
    const uint32_t* row = B.ScanLine(Y);
    int start = -1;
    for (int x = 0; x <= B.Width(); ++x) {
        const bool dark = x < B.Width() && (row[x] & 0xFFFFFF) != 0xFFFFFF;
        if (dark && start < 0)
            start = x;
        if (!dark && start >= 0) {
            centres.push_back((start + x - 1) / 2);
            start = -1;
        }
    }
    return centres;
}

void ExpectNear(const std::vector<int>& Got, const std::vector<int>& Expected, int Tolerance)
{
    ASSERT_EQ(Got.size(), Expected.size());
    for (size_t i = 0; i < Got.size(); ++i)
        EXPECT_NEAR(Got[i], Expected[i], Tolerance) << "at " << i;
}

TEST_F(ScaleTest, HorizontalScaleHangsTicksFromItsBaseLineWithLabelsBelow)
{
    TScaleSettings s;
    s.SetSteps(4);
    s.SetSubSteps(2);
    TBitmap b(430, 120);
    s.CalcHSize(b.Canvas(), 0, 100);
    ASSERT_EQ(s.TickLen(), 15);
    ASSERT_EQ(s.SubTickLen(), 11);
    ASSERT_EQ(s.TickPenWidth(), 2);
    const TRect r = Rect(10, 40, 410, 100);
    s.HorizScala(b.Canvas(), r);
    EXPECT_EQ(s.LineStart(), 10);
    EXPECT_EQ(s.LineEnd(), 410);

    // Below the sub ticks only the main ticks; above, sub ticks as well;
    // beneath the main ticks nothing until the labels.
    ExpectNear(DarkRuns(b, 40 + 13), {10, 110, 210, 310, 410}, 1);
    ExpectNear(DarkRuns(b, 40 + 5), {10, 60, 110, 160, 210, 260, 310, 360, 410}, 1);
    EXPECT_TRUE(DarkRuns(b, 40 + 17).empty());
    // The base line runs from the first tick to the last.
    const uint32_t* base = b.ScanLine(40);
    for (int x = 10; x < 410; ++x)
        EXPECT_NE(base[x] & 0xFFFFFF, 0xFFFFFFu) << x;
    EXPECT_TRUE(DarkRuns(b, 38).empty());

    TRecordingCanvas rec;
    s.HorizScala(&rec, r);
    const auto texts = rec.Texts();
    ASSERT_EQ(texts.size(), 5u);
    const char* labels[] = {"0", "25", "50", "75", "100"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(texts[i].Text, labels[i]);
        EXPECT_EQ(texts[i].Pts[0].X + rec.TextWidth(labels[i]) / 2, 10 + 100 * i) << labels[i];
        EXPECT_EQ(texts[i].Pts[0].Y, 40 + 15 + 4);
    }
}

TEST_F(ScaleTest, HorizontalScaleWithLabelsAboveRaisesTicksToThem)
{
    TScaleSettings s;
    s.SetSteps(4);
    s.SetPosLeftTop(true);
    TRecordingCanvas rec;
    s.CalcHSize(&rec, 0, 100);
    s.HorizScala(&rec, Rect(10, 40, 410, 100));
    // Base line at TextHeight div 2 + Top + TextGap + TickLen.
    const int y0 = 10 + 40 + 4 + 15;
    const auto main = rec.Lines(2);
    ASSERT_EQ(main.size(), 6u);   // the base line, then five ticks
    EXPECT_EQ(main[0].Pts, (std::vector<TPoint>{{10, y0}, {410, y0}}));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(main[i + 1].Pts, (std::vector<TPoint>{{10 + 100 * i, y0}, {10 + 100 * i, y0 - 15}}));
    for (const auto& sub : rec.Lines(1))
        EXPECT_EQ(sub.Pts[1].Y, y0 - 11);
    // Labels centred on the top edge.
    for (const auto& t : rec.Texts())
        EXPECT_EQ(t.Pts[0].Y, 40 - 21 / 2) << t.Text;
}

TEST_F(ScaleTest, VerticalScaleCountsFromTheTopWithLabelsOnEitherSide)
{
    struct Case { bool LeftTop; int BaseX, TickEndX, LabelRightOrLeft; };
    // Labels right: left edge at Left + TickLen + TextGap; labels left: right
    // edge at Right - TickLen - TextGap + 1.
    const Case cases[] = {{false, 100, 115, 100 + 15 + 7}, {true, 160, 145, 160 - 15 - 7 + 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.LeftTop ? "labels left" : "labels right");
        TScaleSettings s;
        s.SetSteps(4);
        s.SetPosLeftTop(c.LeftTop);
        TRecordingCanvas rec;
        s.CalcSize(&rec, 0, 100);
        s.VertiScala(&rec, Rect(100, 20, 160, 220));
        EXPECT_EQ(s.LineStart(), 220);
        EXPECT_EQ(s.LineEnd(), 20);
        const auto main = rec.Lines(2);
        ASSERT_EQ(main.size(), 6u);
        EXPECT_EQ(main[0].Pts, (std::vector<TPoint>{{c.BaseX, 20}, {c.BaseX, 220}}));
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(main[i + 1].Pts, (std::vector<TPoint>{{c.BaseX, 20 + 50 * i}, {c.TickEndX, 20 + 50 * i}}));
        std::vector<int> subs;
        for (const auto& sub : rec.Lines(1))
            subs.push_back(sub.Pts[0].Y);
        EXPECT_EQ(subs, (std::vector<int>{20, 45, 70, 95, 120, 145, 170, 195}));
        const auto texts = rec.Texts();
        const char* labels[] = {"100", "75", "50", "25", "0"};
        ASSERT_EQ(texts.size(), 5u);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(texts[i].Text, labels[i]);
            const int w = rec.TextWidth(labels[i]);
            EXPECT_EQ(c.LeftTop ? texts[i].Pts[0].X + w : texts[i].Pts[0].X, c.LabelRightOrLeft);
            EXPECT_EQ(texts[i].Pts[0].Y, 20 + 50 * i - 21 / 2);
        }
    }
}

// log10 of 1..10 on a 100-pixel decade.
const std::vector<int> DecadeOffsets = {0, 30, 48, 60, 70, 78, 85, 90, 95, 100};

TEST_F(ScaleTest, LogarithmicSubTicksSpreadOverEachDecade)
{
    TScaleSettings s;
    s.SetLogScale(true);
    s.SetSubSteps(10);
    TRecordingCanvas rec;
    s.CalcHSize(&rec, 1, 1000);
    ASSERT_EQ(s.LogSteps(), 3);
    s.HorizScala(&rec, Rect(20, 10, 320, 60));
    EXPECT_EQ(s.LineEnd(), 320);
    const auto subs = rec.Lines(1);
    ASSERT_EQ(subs.size(), 30u);
    for (int decade = 0; decade < 3; ++decade)
        for (int k = 0; k < 10; ++k)
            EXPECT_EQ(subs[decade * 10 + k].Pts[0].X - (20 + 100 * decade), DecadeOffsets[k])
                << "decade " << decade << ", sub tick " << k;
    std::vector<std::string> labels;
    for (const auto& t : rec.Texts())
        labels.push_back(t.Text);
    EXPECT_EQ(labels, (std::vector<std::string>{"1e0", "1e1", "1e2", "1e3"}));

    // Upright: the decades grow upwards, each sub tick as far above its
    // decade's lower end as it lies right of it on the horizontal scale.
    TRecordingCanvas vrec;
    s.CalcSize(&vrec, 1, 1000);
    s.VertiScala(&vrec, Rect(10, 20, 60, 320));
    EXPECT_EQ(s.LineStart(), 320);
    EXPECT_EQ(s.LineEnd(), 20);
    const auto vsubs = vrec.Lines(1);
    ASSERT_EQ(vsubs.size(), 27u);   // 9 per decade, the lower end's main tick not repeated
    for (int decade = 0; decade < 3; ++decade) {
        const int bottom = 20 + 100 * (decade + 1);
        for (int j = 1; j <= 9; ++j)
            EXPECT_EQ(bottom - vsubs[decade * 9 + j - 1].Pts[0].Y, DecadeOffsets[9 - j])
                << "decade " << decade << ", sub tick " << j;
    }
    EXPECT_EQ(vrec.Texts().front().Text, "1e3");
}

TEST_F(ScaleTest, DrawingBeforeAnyLogMeasuringTakesOneStep)
{
    // LogSteps is still 0: one step over the whole extent, no division by 0.
    TScaleSettings s;
    s.SetLogScale(true);
    ASSERT_EQ(s.LogSteps(), 0);
    TRecordingCanvas rec;
    s.HorizScala(&rec, Rect(10, 10, 210, 60));
    EXPECT_EQ(s.LineEnd(), 210);
    s.VertiScala(&rec, Rect(10, 10, 60, 210));
    EXPECT_EQ(s.LineEnd(), 10);
    TRect ring = Rect(0, 0, 200, 200);
    s.RoundScala(&rec, ring, 225, 270);
    ASSERT_FALSE(rec.Ops.empty());
    for (const auto& op : rec.Ops)
        for (const TPoint& p : op.Pts) {
            EXPECT_TRUE(std::abs(p.X) < 1000 && std::abs(p.Y) < 1000) << p.X << ", " << p.Y;
        }
    // Round: the first and the last main tick only.
    EXPECT_EQ(rec.Lines(s.TickPenWidth()).size(), 6u + 2u);
}

TEST_F(ScaleTest, RoundAndDialScalesWriteTheirLabels)
{
    enum TKind { RoundKind, DialKind };
    struct Case {
        const char* Name;
        TKind Kind;
        bool Log;
        int Sweep;
        size_t Written, NonEmpty;
    };
    const Case cases[] = {
        {"round 360", RoundKind, false, 360, 5, 5},   // the last would fall on the first
        {"dial 360", DialKind, false, 360, 6, 6},
        {"round 270", RoundKind, false, 270, 6, 6},
        {"round log", RoundKind, true, 270, 4, 4},
        // Log dial: the sweep is divided by Steps (5), not LogSteps (3).
        {"dial log", DialKind, true, 270, 6, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TScaleSettings s;
        s.SetLogScale(c.Log);
        TRecordingCanvas rec;
        s.CalcRSize(&rec, 1, c.Log ? 1000 : 100);
        TRect r = Rect(0, 0, 300, 300);
        if (c.Kind == RoundKind)
            s.RoundScala(&rec, r, 225, c.Sweep);
        else
            s.DialScala(&rec, r, 225, c.Sweep);
        const auto texts = rec.Texts();
        EXPECT_EQ(texts.size(), c.Written);
        size_t nonEmpty = 0;
        for (const auto& t : texts)
            nonEmpty += t.Text.empty() ? 0 : 1;
        EXPECT_EQ(nonEmpty, c.NonEmpty);
    }
}

double Distance(const TPoint& A, const TPoint& B)
{
    return std::hypot(A.X - B.X, A.Y - B.Y);
}

TEST_F(ScaleTest, RoundScaleLeavesTheGeometryForArcAndPointer)
{
    TScaleSettings s;
    TRecordingCanvas rec;
    s.CalcRSize(&rec, 0, 100);
    TRect r = Rect(0, 0, 300, 300);
    s.RoundScala(&rec, r, 225, 270);   // from 7:30 clockwise to 4:30

    // Radius 134 = (300 - 2 x 17) div 2 - 33 div 2 + 17; the centre sits a
    // radius and half a text height below the top.
    EXPECT_EQ(s.Center(), Point(150, 144));
    EXPECT_EQ(s.TickLen(), 134 / 8);
    EXPECT_EQ(r, Rect(33, 27, 268, 262));

    const auto main = rec.Lines(2);
    ASSERT_EQ(main.size(), 6u);
    // The arc ends: outer end of the first main tick, inner end of the last.
    EXPECT_EQ(s.ArcEnd(), main.front().Pts[0]);
    EXPECT_EQ(s.ArcStart(), main.back().Pts[1]);
    EXPECT_LT(s.ArcEnd().X, s.Center().X);
    EXPECT_GT(s.ArcEnd().Y, s.Center().Y);
    EXPECT_GT(s.ArcStart().X, s.Center().X);
    EXPECT_GT(s.ArcStart().Y, s.Center().Y);
    // Every main tick runs radially from 117 to 101 pixels out.
    for (const auto& t : main) {
        EXPECT_NEAR(Distance(t.Pts[0], s.Center()), 117, 1.5);
        EXPECT_NEAR(Distance(t.Pts[1], s.Center()), 101, 1.5);
    }
    // The arc box is the circle through the ticks' inner ends.
    const TPoint tl = s.ArcTopLeft(), br = s.ArcBottomRight();
    EXPECT_NEAR((tl.X + br.X) / 2.0, s.Center().X, 1.5);
    EXPECT_NEAR((tl.Y + br.Y) / 2.0, s.Center().Y, 1.5);
    EXPECT_NEAR((br.X - tl.X) / 2.0, Distance(s.ArcStart(), s.Center()), 1.5);
    // Labels centred on a circle outside the ticks, the first at 225 degrees.
    const auto texts = rec.Texts();
    ASSERT_EQ(texts.size(), 6u);
    const TPoint first = Point(texts[0].Pts[0].X + rec.TextWidth("0") / 2, texts[0].Pts[0].Y + 21 / 2);
    EXPECT_EQ(first, IcRotate(Point(150, 144 - 134), s.Center(), 225, true));

    // A one-pixel tick pen moves the ring one pixel right and down.
    TScaleSettings thin;
    thin.Font()->SetHeight(-18);
    thin.CalcRSize(&rec, 0, 100);
    ASSERT_EQ(thin.TickPenWidth(), 1);
    TRect a = Rect(0, 0, 300, 300);
    thin.RoundScala(&rec, a, 0, 360);
    const int rr = (300 - 2 * thin.TextGap()) / 2 - thin.MaxTextWidth() / 2 + thin.TextGap();
    const int h = thin.MaxTextWidth() / 2;
    EXPECT_EQ(a.Left, 150 - rr + h + 1);
    EXPECT_EQ(a.Top, thin.Center().Y - rr + h + 1);
}

// ------------------------------------------------------------------ gallery

void Mark(TCanvas* C, const TPoint& P, TColor Color)
{
    C->Pen()->SetWidth(1);
    C->Pen()->SetColor(Color);
    C->Brush()->SetStyle(bsClear);
    C->Ellipse(P.X - 4, P.Y - 4, P.X + 5, P.Y + 5);
}

void Cross(TCanvas* C, const TPoint& P, TColor Color)
{
    C->Pen()->SetWidth(1);
    C->Pen()->SetColor(Color);
    C->MoveTo(P.X - 6, P.Y);
    C->LineTo(P.X + 7, P.Y);
    C->MoveTo(P.X, P.Y - 6);
    C->LineTo(P.X, P.Y + 7);
}

void Caption(TCanvas* C, int X, int Y, const std::string& Text)
{
    C->Font()->SetName("Arial");
    C->Font()->SetHeight(-12);
    C->Font()->SetColor(clGray);
    C->Brush()->SetStyle(bsClear);
    C->TextOut(X, Y, Text);
}

// Round and dial scales over 270 and 360 degrees, horizontal scales with
// labels above and below, vertical ones with labels left and right, each
// linear and logarithmic. Marked: red the centre and the arc drawn in the
// arc box (grey) between the arc ends (blue), green the base line ends.
TEST_F(ScaleTest, GalleryShowsEveryScaleWithItsGeometry)
{
    const int cell = 250;
    TBitmap b(cell * 4, cell * 4 + 40);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, b.Width(), b.Height()));

    // Row 0 and 1: round and dial, linear and log, 270 and 360 degrees.
    int n = 0;
    for (bool dial : {false, true})
        for (bool log : {false, true})
            for (int sweep : {270, 360}) {
                const int col = n % 4, row = n / 4;
                ++n;
                const TRect area = Bounds(col * cell + 15, row * cell + 30, cell - 30, cell - 30);
                Caption(c, col * cell + 6, row * cell + 4,
                        std::string(dial ? "dial " : "round ") + (log ? "log " : "linear ") + std::to_string(sweep));
                TScaleSettings s;
                s.Font()->SetSize(10);
                s.SetLogScale(log);
                s.SetSubSteps(log ? 10 : 4);
                s.CalcRSize(c, log ? 0.1f : 0, log ? 1000 : 100);
                TRect ring = area;
                const int start = sweep == 360 ? 0 : 225;
                if (dial)
                    s.DialScala(c, ring, start, sweep);
                else
                    s.RoundScala(c, ring, start, sweep);
                const TRect arcBox = Rect(s.ArcTopLeft().X, s.ArcTopLeft().Y, s.ArcBottomRight().X, s.ArcBottomRight().Y);
                c->Pen()->SetWidth(1);
                c->Brush()->SetStyle(bsClear);
                c->Pen()->SetColor(clSilver);
                c->Rectangle(arcBox);
                c->Pen()->SetColor(clRed);
                // Both ends of a full circle lie on one radial: the whole ring.
                if (sweep == 360)
                    c->Ellipse(arcBox);
                else
                    c->Arc(arcBox.Left, arcBox.Top, arcBox.Right, arcBox.Bottom, s.ArcStart().X, s.ArcStart().Y,
                           s.ArcEnd().X, s.ArcEnd().Y);
                Cross(c, s.Center(), clRed);
                Mark(c, s.ArcStart(), clBlue);
                Mark(c, s.ArcEnd(), clBlue);
            }

    // Row 2: horizontal scales; row 3: vertical scales.
    n = 0;
    for (bool leftTop : {false, true})
        for (bool log : {false, true}) {
            const int x = (n % 2) * 2 * cell, y = 2 * cell + (n / 2) * (cell / 2);
            ++n;
            Caption(c, x + 6, y + 4,
                    std::string("horizontal ") + (log ? "log" : "linear") + (leftTop ? ", labels above" : ", labels below"));
            TScaleSettings s;
            s.Font()->SetSize(10);
            s.SetLogScale(log);
            s.SetPosLeftTop(leftTop);
            s.SetSubSteps(log ? 10 : 5);
            s.CalcHSize(c, log ? 1 : -50, log ? 1e4f : 50);
            const TRect r = Rect(x + 30, y + 40, x + 2 * cell - 30, y + 40 + s.SizeY());
            s.HorizScala(c, r);
            const int baseY = leftTop ? s.TextHeight() / 2 + r.Top + s.TextGap() + s.TickLen() : r.Top;
            Mark(c, Point(s.LineStart(), baseY), clGreen);
            Mark(c, Point(s.LineEnd(), baseY), clGreen);
        }
    n = 0;
    for (bool leftTop : {false, true})
        for (bool log : {false, true}) {
            const int x = n * cell, y = 3 * cell;
            ++n;
            Caption(c, x + 6, y + 4, std::string("vertical ") + (log ? "log" : "linear") + (leftTop ? ", left" : ", right"));
            TScaleSettings s;
            s.Font()->SetSize(10);
            s.SetLogScale(log);
            s.SetPosLeftTop(leftTop);
            s.SetSubSteps(log ? 10 : 5);
            s.CalcSize(c, log ? 0.01f : 0, log ? 100 : 250);
            const TRect r = leftTop ? Rect(x + cell - 60 - s.SizeX(), y + 40, x + cell - 60, y + cell)
                                    : Rect(x + 60, y + 40, x + 60 + s.SizeX(), y + cell);
            s.VertiScala(c, r);
            const int baseX = leftTop ? r.Right : r.Left;
            Mark(c, Point(baseX, s.LineStart()), clGreen);
            Mark(c, Point(baseX, s.LineEnd()), clGreen);
        }
    const std::string name = std::string(OZ_TEST_ARTIFACTS) + "/widgets_gallery_scales.png";
    b.SaveToFile(name);
    EXPECT_TRUE(std::filesystem::exists(name));
}

}  // namespace
