// Settings objects: the change chain to their owner, the writers' limits,
// copying, the button bevel and the settings-file binding.
#include "widgets/_IcClassSettings.h"

#include "platform/Application.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Records every OnChange of an object with its sender.
struct TChanges {
    std::vector<TObject*> Senders;
    void Watch(TIcPersistent& Object)
    {
        Object.OnChange = [this](TObject* Sender) { Senders.push_back(Sender); };
    }
    size_t Count() const { return Senders.size(); }
};

TEST(IcSettingsChain, APenChangeDeepInsideReachesTheScaleOnceWithThePen)
{
    TIcScale Scale;
    TChanges Changes;
    Changes.Watch(Scale);
    Scale.StepLines()->Pen()->SetColor(clRed);
    ASSERT_EQ(Changes.Count(), 1u);
    EXPECT_EQ(Changes.Senders[0], Scale.StepLines()->Pen());

    Scale.SubStepLines()->SetLength(4);
    ASSERT_EQ(Changes.Count(), 2u);
    EXPECT_EQ(Changes.Senders[1], Scale.SubStepLines());

    // Copying a pen or font in reports one change of the owner; an equal one none.
    TPen Wide;
    Wide.SetWidth(5);
    Scale.StepLines()->SetPen(&Wide);
    EXPECT_EQ(Scale.StepLines()->Pen()->Width(), 5);
    Scale.StepLines()->SetPen(&Wide);
    TFont Big;
    Big.SetSize(20);
    Scale.SetFont(&Big);
    EXPECT_EQ(Scale.Font()->Size(), 20);
    ASSERT_EQ(Changes.Count(), 4u);
    EXPECT_EQ(Changes.Senders[2], Scale.StepLines());
    EXPECT_EQ(Changes.Senders[3], &Scale);

    Scale.SetAngle(0);   // unchanged
    Scale.SetTextAlignment(toMidCenter);
    EXPECT_EQ(Changes.Count(), 4u);

    // Defaults of the two tick kinds.
    TIcScale Fresh;
    EXPECT_EQ(Fresh.StepLines()->Pen()->Color(), clWhite);
    EXPECT_EQ(Fresh.StepLines()->Pen()->Width(), 2);
    EXPECT_EQ(Fresh.SubStepLines()->Pen()->Color(), RGB(192, 192, 192));
}

TEST(IcSettingsLimits, OutOfRangeWritesKeepTheOldValue)
{
    TLED Led;
    TChanges Changes;
    Changes.Watch(Led);
    for (int Refused : {3, 41, 0, -4}) {
        Led.SetWidth(Refused);
        Led.SetHeight(Refused);
    }
    EXPECT_EQ(Led.Width(), 13);
    EXPECT_EQ(Led.Height(), 13);
    EXPECT_EQ(Changes.Count(), 0u);
    Led.SetWidth(4);
    Led.SetHeight(40);
    EXPECT_EQ(Led.Width(), 4);
    EXPECT_EQ(Led.Height(), 40);
    EXPECT_EQ(Changes.Count(), 2u);

    TIcFlexScale Flex;
    Flex.SetSubStepAt(0.0f);
    Flex.SetStepMulti(-1);
    Flex.SetSubStepsVis(0);
    EXPECT_EQ(Flex.SubStepAt(), 0.0f);
    EXPECT_EQ(Flex.StepMulti(), 0);
    Flex.SetSubStepAt(2.5f);
    Flex.SetStepMulti(3);
    Flex.SetSubStepsVis(2);
    EXPECT_EQ(Flex.SubStepAt(), 2.5f);
    EXPECT_EQ(Flex.StepMulti(), 3);
    EXPECT_EQ(Flex.SubStepsVis(), 2);

    TIcBtnBevel Bevel;
    Bevel.SetWidth(-1);
    EXPECT_EQ(Bevel.Width(), 2);
    Bevel.SetWidth(0);
    EXPECT_EQ(Bevel.Width(), 0);
}

TEST(IcSettingsCopy, SameClassCopiesOtherClassesRaise)
{
    TIcOffset A, B;
    TChanges Changes;
    Changes.Watch(B);
    A.Write(1, 2, 3, 4);
    B.Write(9, 9, 9, 9);
    EXPECT_EQ(Changes.Count(), 0u) << "Write reports nothing";
    EXPECT_EQ(A.SetOffset(Rect(0, 0, 100, 50)), Rect(2, 1, 97, 46));
    B.Assign(&A);
    EXPECT_EQ(B.SetOffset(Rect(0, 0, 100, 50)), Rect(2, 1, 97, 46));
    EXPECT_EQ(Changes.Count(), 1u);

    TIcGradSettings G, H;
    Changes.Senders.clear();
    Changes.Watch(H);
    G.SetColorFrom(clRed);
    G.SetVisible(true);
    H.Assign(&G);
    EXPECT_EQ(H.ColorFrom(), clRed);
    EXPECT_TRUE(H.Visible());
    EXPECT_EQ(Changes.Count(), 3u) << "two differing values and one more";

    TArrowSettings Arrow, Arrow2;
    Arrow.SetColorCP2Brush(clNavy);
    Arrow2.Assign(&Arrow);
    EXPECT_EQ(Arrow2.ColorCP2Brush(), clNavy);

    TIcBtnBevel Btn, Btn2;
    Btn.SetHighlightColFrom(clYellow);
    Btn2.Assign(&Btn);
    EXPECT_EQ(Btn2.HighlightColFrom(), clYellow);

    TPen Pen;
    EXPECT_THROW(A.Assign(&G), EConvertError);
    EXPECT_THROW(A.Assign(&Pen), EConvertError);
    EXPECT_THROW(A.Assign(nullptr), EConvertError);
    TIcLineSettings Line, Line2;
    EXPECT_THROW(Line.Assign(&Line2), EConvertError) << "classes without their own copy raise";

    TIcBevelSettings Colours;
    Changes.Senders.clear();
    Changes.Watch(Colours);
    Colours.SwapColors();
    EXPECT_EQ(Colours.ColorFrom(), RGB(115, 115, 115));
    EXPECT_EQ(Colours.ColorTo(), clWhite);
    EXPECT_EQ(Changes.Count(), 1u);
}

TEST(IcBtnBevel, RaisedFramesShadeInwardAndReturnTheFace)
{
    EnsureApplication();
    struct Case { bool Raised; TColor Rows[4]; };   // rows 0, 1, 18, 19 at x 10
    const Case cases[] = {
        {true, {RGB(232, 232, 232), clWhite, RGB(128, 128, 128), RGB(64, 64, 64)}},
        {false, {RGB(64, 64, 64), clBlack, RGB(210, 210, 210), RGB(233, 233, 233)}},
    };
    for (const Case& c : cases) {
        TBitmap B(20, 20);
        TIcBtnBevel Bevel;
        TRect R = Rect(0, 0, 20, 20);
        Bevel.PaintBevel(B.Canvas(), R, c.Raised, true, clYellow);
        EXPECT_EQ(R, Rect(2, 2, 18, 18));
        const int Rows[4] = {0, 1, 18, 19};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(B.Canvas()->Pixels(10, Rows[i]), c.Rows[i]) << c.Raised << " row " << Rows[i];
        EXPECT_EQ(B.Canvas()->Pixels(10, 10), clYellow);
    }
}

TEST(IcLedSettings, DrawsAtItsRectangleOnOrOff)
{
    EnsureApplication();
    TBitmap B(20, 20);
    TLED Led;
    Led.SetShape(sRectangle);
    Led.SetDrawRect(Rect(2, 2, 15, 15));
    Led.Draw(B.Canvas(), true);
    EXPECT_EQ(B.Canvas()->Pixels(8, 8), clLime);
    EXPECT_EQ(B.Canvas()->Pixels(8, 2), ColorToRGB(clBtnShadow));
    Led.Draw(B.Canvas(), false);
    EXPECT_EQ(B.Canvas()->Pixels(8, 8), ColorToRGB(clBtnFace));
    EXPECT_EQ(B.Canvas()->Pixels(17, 17), clWhite);
}

class IcIniSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dir = (std::filesystem::temp_directory_path() / ("icini-" + std::to_string(::getpid()))).string() + "/";
        std::filesystem::create_directories(Dir);
    }
    void TearDown() override
    {
        TIniFile::BeforeRename = nullptr;
        std::filesystem::remove_all(Dir);
    }
    std::string Dir;
};

TEST_F(IcIniSettings, MissingNamesAreReportedAndOpenNothing)
{
    struct Case { const char* File; const char* Section; const char* Error; };
    const Case cases[] = {
        {"", "", "Invalid SectionName"},
        {"", "Meter", "Invalid FileName"},
        {"meter.ini", "", "Invalid SectionName"},
        {"folder/", "Meter", "Invalid FileName"},
    };
    for (const Case& c : cases) {
        TIniSettings S;
        int Calls = 0;
        S.OnHandleIniEvent = [&](TIniFile*, bool) { ++Calls; };
        S.SetFileName(c.File);
        S.SetSection(c.Section);
        S.Handle(true);
        EXPECT_TRUE(S.Error()) << c.File << "/" << c.Section;
        EXPECT_EQ(S.ErrorText(), c.Error) << c.File << "/" << c.Section;
        EXPECT_EQ(Calls, 0);
    }
}

TEST_F(IcIniSettings, WhatOneHandlerWritesTheNextReadsBack)
{
    TIniSettings S;
    S.SetUseAppDir(false);
    S.SetFileName(Dir + "sub/meter.ini");
    S.SetSection("Meter");
    S.OnHandleIniEvent = [&](TIniFile* Ini, bool Read) {
        EXPECT_EQ(S.Ini(), Ini);
        EXPECT_FALSE(Read);
        Ini->WriteInteger(S.Section(), "Digit", 417);
    };
    S.Handle(false);
    EXPECT_FALSE(S.Error());
    EXPECT_EQ(S.Ini(), nullptr);

    TIniSettings Next;
    Next.SetUseAppDir(false);
    Next.SetFileName(Dir + "sub/meter.ini");
    Next.SetSection("Meter");
    int Read = 0;
    Next.OnHandleIniEvent = [&](TIniFile* Ini, bool IsRead) {
        if (IsRead)
            Read = Ini->ReadInteger("Meter", "Digit", 0);
    };
    Next.AutoHandle(true);
    EXPECT_EQ(Read, 0) << "AutoHandle acts only with AutoLoadSave";
    Next.SetAutoLoadSave(true);
    Next.AutoHandle(true);
    EXPECT_EQ(Read, 417);

    // Beside the program: the file's name only, never its folders.
    TIniSettings App;
    App.SetFileName(Dir + "sub/meter.ini");
    EXPECT_EQ(ExtractFileName(App.Path()), "meter.ini");
    EXPECT_EQ(ExtractFilePath(App.Path()), ExtractFilePath(ProgramDataPaths(Application->ExeName()).IniFileName));
}

TEST_F(IcIniSettings, AFailedWriteReachesTheCallerAndTheFileIsClosed)
{
    TIniSettings S;
    S.SetUseAppDir(false);
    S.SetFileName(Dir + "meter.ini");
    S.SetSection("Meter");
    S.OnHandleIniEvent = [](TIniFile* Ini, bool) { Ini->WriteString("Meter", "Name", "Flow"); };
    TIniFile::BeforeRename = [](const std::string&) { return false; };
    EXPECT_THROW(S.Handle(false), EIniFileException);
    EXPECT_EQ(S.Ini(), nullptr);
    EXPECT_FALSE(FileExists(Dir + "meter.ini"));
}

}  // namespace
