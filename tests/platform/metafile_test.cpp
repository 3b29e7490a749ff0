// Recording, playing back and storing metafiles.
#include "platform/Application.h"
#include "platform/Metafile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

// A figure with lines, shapes, a clip, a bitmap and text, drawn at Scale.
void DrawScene(TCanvas* C, int Scale)
{
    auto S = [Scale](int V) { return V * Scale; };
    C->Pen()->SetWidth(Scale);
    C->Pen()->SetColor(clNavy);
    C->Brush()->SetColor(clYellow);
    C->Rectangle(S(5), S(5), S(60), S(40));
    C->Brush()->SetColor(clRed);
    C->Ellipse(S(50), S(10), S(90), S(50));
    C->MoveTo(S(0), S(70));
    C->LineTo(S(100), S(55));
    C->Brush()->SetStyle(bsClear);
    C->Polygon({{S(10), S(45)}, {S(40), S(75)}, {S(5), S(75)}});
    C->SelectClipRect(Rect(S(60), S(55), S(95), S(78)));
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clGreen);
    C->FillRect(Rect(S(0), S(0), S(100), S(80)));
    C->ClearClip();
    TBitmap Chip(4, 4);
    Chip.Canvas()->Brush()->SetColor(clPurple);
    Chip.Canvas()->FillRect(Rect(0, 0, 2, 4));
    C->StretchDraw(Rect(S(70), S(20), S(78), S(28)), &Chip);
    C->Font()->SetName("Arial");
    C->Font()->SetHeight(-14 * Scale);
    C->Font()->SetColor(clBlack);
    C->Brush()->SetStyle(bsClear);
    C->TextOut(S(8), S(12), "Flow");
}

bool Near(TColor A, TColor B)
{
    return std::abs(GetRValue(A) - GetRValue(B)) + std::abs(GetGValue(A) - GetGValue(B)) +
               std::abs(GetBValue(A) - GetBValue(B)) <
           96;
}

// Share of the ink pixels of A that have no pixel of about their colour in
// B within Reach pixels (glyph edges are smoothed, so colours are compared
// loosely).
double UnmatchedInk(TBitmap& A, TBitmap& B, int Reach)
{
    int Ink = 0, Unmatched = 0;
    for (int Y = 0; Y < A.Height(); ++Y)
        for (int X = 0; X < A.Width(); ++X) {
            const TColor P = A.Canvas()->Pixels(X, Y);
            if (P == clWhite)
                continue;
            ++Ink;
            bool Found = false;
            for (int Dy = -Reach; Dy <= Reach && !Found; ++Dy)
                for (int Dx = -Reach; Dx <= Reach && !Found; ++Dx)
                    Found = Near(B.Canvas()->Pixels(X + Dx, Y + Dy), P);
            Unmatched += !Found;
        }
    return Ink == 0 ? 1.0 : static_cast<double>(Unmatched) / Ink;
}

int Differences(TBitmap& A, TBitmap& B)
{
    int N = 0;
    for (int Y = 0; Y < A.Height(); ++Y)
        for (int X = 0; X < A.Width(); ++X)
            N += A.Canvas()->Pixels(X, Y) != B.Canvas()->Pixels(X, Y);
    return N;
}

std::unique_ptr<TMetafile> RecordScene()
{
    EnsureApplication();
    auto M = std::make_unique<TMetafile>();
    M->SetWidth(100);
    M->SetHeight(80);
    {
        TMetafileCanvas C(M.get(), nullptr);
        DrawScene(&C, 1);
    }
    return M;
}

}  // namespace

TEST(Metafile, PlayedAtTwiceTheSizeMatchesDirectDrawing)
{
    auto M = RecordScene();
    TBitmap Played(200, 160), Direct(200, 160);
    M->Draw(Played.Canvas(), Rect(0, 0, 200, 160));
    DrawScene(Direct.Canvas(), 2);
    Played.SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/metafile_played_2x.png");
    Direct.SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/metafile_direct_2x.png");
    // Same colours in the same places, give or take the rounding of a pixel
    // (and a little more for the glyphs).
    EXPECT_LT(UnmatchedInk(Played, Direct, 1), 0.01);
    EXPECT_LT(UnmatchedInk(Direct, Played, 1), 0.01);
    EXPECT_LT(Differences(Played, Direct), 200 * 160 / 25);
    // The clip of the recording held: the green fill stays in its box.
    EXPECT_EQ(Played.Canvas()->Pixels(20, 20), clYellow);
    EXPECT_EQ(Played.Canvas()->Pixels(150, 140), clGreen);
}

TEST(Metafile, PlayedAtItsOwnSizeMatchesDirectDrawingExactly)
{
    auto M = RecordScene();
    TBitmap Played(100, 80), Direct(100, 80);
    M->Draw(Played.Canvas(), Rect(0, 0, 100, 80));
    DrawScene(Direct.Canvas(), 1);
    EXPECT_EQ(Differences(Played, Direct), 0);
}

TEST(Metafile, TextKeepsItsProportionsAtAnotherResolution)
{
    EnsureApplication();
    TMetafile M;
    M.SetWidth(200);
    M.SetHeight(40);
    int Recorded = 0;
    {
        TMetafileCanvas C(&M, nullptr);
        C.Font()->SetName("Arial");
        C.Font()->SetSize(10);
        C.Brush()->SetStyle(bsClear);
        C.TextOut(0, 0, "Tidal volume 500 mL");
        Recorded = C.TextWidth("Tidal volume 500 mL");
    }
    TBitmap B(600, 120);
    M.Draw(B.Canvas(), Rect(0, 0, 600, 120));
    int Right = 0;
    for (int Y = 0; Y < 120; ++Y)
        for (int X = 0; X < 600; ++X)
            if (B.Canvas()->Pixels(X, Y) != clWhite)
                Right = std::max(Right, X);
    EXPECT_NEAR(Right, 3 * Recorded, 9);
}

TEST(Metafile, PlaybackLeavesTheTargetAsItWas)
{
    auto M = RecordScene();
    TBitmap B(100, 80);
    TCanvas* C = B.Canvas();
    C->Pen()->SetColor(clTeal);
    C->Pen()->SetMode(pmXor);
    C->Brush()->SetColor(clAqua);
    C->Font()->SetSize(12);
    C->SetTextAlign(TA_RIGHT);
    C->MoveTo(3, 4);
    C->IntersectClipRect(Rect(0, 0, 50, 80));
    M->Draw(C, Rect(0, 0, 100, 80));
    EXPECT_EQ(C->Pen()->Color(), clTeal);
    EXPECT_EQ(C->Pen()->Mode(), pmXor);
    EXPECT_EQ(C->Brush()->Color(), clAqua);
    EXPECT_EQ(C->Font()->Size(), 12);
    EXPECT_EQ(C->TextAlign(), TA_RIGHT);
    EXPECT_EQ(C->PenPos(), Point(3, 4));
    EXPECT_EQ(C->ClipRect(), Rect(0, 0, 50, 80));
    EXPECT_TRUE(C->Transform().IsIdentity());
    // The metafile's ClearClip did not widen the target's clip.
    EXPECT_EQ(C->Pixels(75, 70), clWhite);
    EXPECT_EQ(C->Pixels(30, 32), clYellow);
}

TEST(Metafile, RasterModesPlayAsCopy)
{
    EnsureApplication();
    TMetafile M;
    {
        TMetafileCanvas C(&M, nullptr);
        EXPECT_FALSE(C.SupportsRasterModes());
        C.Pen()->SetMode(pmXor);
        C.Pen()->SetColor(clRed);
        C.MoveTo(0, 1);
        C.LineTo(10, 1);
    }
    TBitmap B(10, 3);
    B.Canvas()->Brush()->SetColor(clBlue);
    B.Canvas()->FillRect(Rect(0, 0, 10, 3));
    M.Draw(B.Canvas(), Rect(0, 0, M.Width(), M.Height()));
    EXPECT_EQ(B.Canvas()->Pixels(4, 1), clRed);
}

TEST(Metafile, NestedPlaybackComposesTheScales)
{
    auto Inner = RecordScene();
    // The scene played at half size into a page, the page played at twice
    // its size: the scene comes out at its own size.
    TMetafile Page;
    Page.SetWidth(60);
    Page.SetHeight(50);
    {
        TMetafileCanvas C(&Page, nullptr);
        Inner->Draw(&C, Rect(5, 5, 55, 45));
    }
    TBitmap ViaPage(120, 100), Direct(120, 100);
    Page.Draw(ViaPage.Canvas(), Rect(0, 0, 120, 100));
    Inner->Draw(Direct.Canvas(), Rect(10, 10, 110, 90));
    EXPECT_LT(UnmatchedInk(ViaPage, Direct, 1), 0.02);
    EXPECT_LT(UnmatchedInk(Direct, ViaPage, 1), 0.02);
    EXPECT_TRUE(Page.ContainsText("flow"));
}

TEST(Metafile, SizeDefaultsToWhatWasDrawn)
{
    EnsureApplication();
    TMetafile M;
    {
        TMetafileCanvas C(&M, nullptr);
        C.Rectangle(10, 20, 110, 70);
    }
    EXPECT_EQ(M.Width(), 110);
    EXPECT_EQ(M.Height(), 70);
    EXPECT_EQ(M.DrawnBounds(), Rect(10, 20, 110, 70));
    EXPECT_EQ(M.MMWidth(), 2910);   // 110 px at 96 dpi
}

TEST(Metafile, RoundTripThroughBytesKeepsEveryRecord)
{
    auto M = RecordScene();
    const std::vector<uint8_t> Bytes = M->SaveToBytes();
    uint32_t Claimed = 0;
    ASSERT_TRUE(TMetafile::StoredSize(Bytes.data(), Bytes.size(), Claimed));
    EXPECT_EQ(Claimed, Bytes.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&Bytes[41]), 3), "EMF");
    EXPECT_EQ(Bytes[44], 0);

    TMetafile Copy;
    ASSERT_TRUE(Copy.LoadFromBytes(Bytes));
    EXPECT_EQ(Copy.RecordCount(), M->RecordCount());
    EXPECT_EQ(Copy.Width(), 100);
    EXPECT_EQ(Copy.Height(), 80);
    EXPECT_EQ(Copy.SaveToBytes(), Bytes);
    TBitmap A(150, 120), B(150, 120);
    M->Draw(A.Canvas(), Rect(0, 0, 150, 120));
    Copy.Draw(B.Canvas(), Rect(0, 0, 150, 120));
    EXPECT_TRUE(A.SameImage(B));

    // Trailing bytes (the next page of a store) are not part of it.
    std::vector<uint8_t> Longer = Bytes;
    Longer.insert(Longer.end(), {1, 2, 3});
    EXPECT_TRUE(Copy.LoadFromBytes(Longer));

    const std::string File = std::string(OZ_TEST_ARTIFACTS) + "/scene.ozmf";
    M->SaveToFile(File);
    TMetafile FromFile;
    FromFile.LoadFromFile(File);
    EXPECT_EQ(FromFile.SaveToBytes(), Bytes);
}

TEST(Metafile, DamagedBytesAreRefusedAndChangeNothing)
{
    auto M = RecordScene();
    const std::vector<uint8_t> Good = M->SaveToBytes();
    TMetafile Target;
    Target.SetWidth(7);

    // Every truncation, the header size field kept or not.
    for (size_t Len = 0; Len < Good.size(); ++Len) {
        EXPECT_FALSE(Target.LoadFromBytes(Good.data(), Len)) << Len;
        std::vector<uint8_t> Cut(Good.begin(), Good.begin() + static_cast<long>(Len));
        if (Len >= 52) {
            const uint32_t L = static_cast<uint32_t>(Len);
            for (int I = 0; I < 4; ++I)
                Cut[48 + I] = static_cast<uint8_t>(L >> (8 * I));
        }
        EXPECT_FALSE(Target.LoadFromBytes(Cut)) << Len;
    }

    struct TCase {
        const char* Name;
        size_t Offset;
        uint32_t Value;
    };
    // The first record begins at 64: u16 type, u32 size.
    const TCase Cases[] = {
        {"record count too large", 52, 0x7FFFFFFF},
        {"record count one more", 52, static_cast<uint32_t>(M->RecordCount() + 1)},
        {"signature", 40, 0x12345678},
        {"version", 44, 0x00020000},
        {"record size beyond the end", 66, 0x7FFFFFF0},
        {"record size too small", 66, 3},
        {"negative width", 24, 0xFFFFFFFF},
        {"zero resolution", 32, 0},
    };
    for (const TCase& K : Cases) {
        std::vector<uint8_t> Bad = Good;
        for (int I = 0; I < 4; ++I)
            Bad[K.Offset + I] = static_cast<uint8_t>(K.Value >> (8 * I));
        EXPECT_FALSE(Target.LoadFromBytes(Bad)) << K.Name;
    }

    // A point count that claims more points than the record holds.
    TMetafile Line;
    {
        TMetafileCanvas C(&Line, nullptr);
        C.Polyline({{0, 0}, {5, 5}, {9, 1}});
    }
    std::vector<uint8_t> Bytes = Line.SaveToBytes();
    // The polyline is the last record: its count sits after u16 type, u32
    // size, u16 kind and seven i32 (rectangle, A, B, C).
    size_t Last = 64;
    for (int I = 0; I + 1 < Line.RecordCount(); ++I)
        Last += Bytes[Last + 2] | (Bytes[Last + 3] << 8) | (Bytes[Last + 4] << 16) | (Bytes[Last + 5] << 24);
    const size_t CountAt = Last + 6 + 2 + 7 * 4;
    ASSERT_EQ(Bytes[CountAt], 3);
    for (uint32_t Count : {4u, 0x20000000u, 0xFFFFFFFFu}) {
        std::vector<uint8_t> Bad = Bytes;
        for (int I = 0; I < 4; ++I)
            Bad[CountAt + I] = static_cast<uint8_t>(Count >> (8 * I));
        EXPECT_FALSE(Target.LoadFromBytes(Bad)) << Count;
    }
    // A line needs its two points.
    {
        std::vector<uint8_t> Bad = Bytes;
        Bad[Last + 6] = TCanvasOp::opArc;
        Bad[CountAt] = 1;
        EXPECT_FALSE(Target.LoadFromBytes(Bad));
    }

    EXPECT_EQ(Target.Width(), 7);
    EXPECT_TRUE(Target.Empty());
    EXPECT_THROW(Target.LoadFromFile(std::string(OZ_TEST_ARTIFACTS) + "/no-such-file.ozmf"), EInvalidGraphicOperation);
}

TEST(Metafile, TextsCanBeSearched)
{
    EnsureApplication();
    TMetafile M;
    {
        TMetafileCanvas C(&M, nullptr);
        C.Font()->SetName("Courier New");
        C.Font()->SetSize(10);
        C.TextOut(10, 20, "Leak test");
        C.SetTextAlign(TA_RIGHT);
        C.TextOut(200, 40, "Trend: 12.5 L/min");
        TRect R = Rect(0, 60, 100, 80);
        C.TextRect(R, "Page 1", tfCenter);
    }
    const auto Items = M.TextItems();
    ASSERT_EQ(Items.size(), 3u);
    EXPECT_EQ(Items[0].Text, "Leak test");
    EXPECT_EQ(Items[0].Bounds.Left, 10);
    EXPECT_EQ(Items[0].Bounds.Top, 20);
    EXPECT_EQ(Items[1].Bounds.Right, 200);
    EXPECT_EQ(Items[2].Bounds, Rect(0, 60, 100, 80));
    EXPECT_TRUE(M.ContainsText("leak"));
    EXPECT_FALSE(M.ContainsText("leak", true));
    EXPECT_TRUE(M.ContainsText("L/min", true));
    EXPECT_FALSE(M.ContainsText("Volume"));
}
