#include "chart/ChConst.h"

#include <gtest/gtest.h>

TEST(ChConst, TextsAreFilledAtStartUp)
{
    struct Case { const std::string* Text; const char* Expected; };
    const Case Cases[] = {
        {&ChMsg_AxisIncrementNeg, "Axis increment must be >= 0"},
        {&ChMsg_3dPercent, "3D effect percent must be between %d and %d"},
        {&ChMsg_SeriesDelete, "Series Delete: ValueIndex %d out of bounds (0 to %d)."},
        {&ChMsg_DefValueFormat, "#,##0.###"},
        {&ChMsg_DefPercentFormat, "##0.## %"},
        {&ChMsg_DepthAxis, "Depth Right"},
        {&ChMsg_DepthTopAxis, "Depth Top"},
        {&ChMsg_GalleryFastLine, "Fast Line"},
        {&ChMsg_DownTri, "Down Tri."},
        {&ChMsg_Stack100, "Stack 100%"},
        {&ChMsg_PieSample8, "Chairs"},
        {&ChMsg_DefaultFontName, "Arial"},
        {&ChMsg_DefaultFontSize, "8"},
        {&ChMsg_InvalidChFile, ""},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(*C.Text, C.Expected);
}

TEST(ChConst, TwoLineTextsUseCarriageReturnOnly)
{
    EXPECT_EQ(ChMsg_DefaultPercentOf2, "%s\rof %s");
    EXPECT_EQ(ChMsg_GalleryHorizBar, "Horizontal\rBar");
    EXPECT_EQ(ChMsg_GalleryHorizArea, "Horizontal\rArea");
    EXPECT_EQ(ChMsg_DefaultPercentOf2.find('\n'), std::string::npos);
}

TEST(ChConst, SetConstantsRestoresATranslatedText)
{
    ChMsg_AxisMinMax = "Minimum zu gross";
    ChSetConstants();
    EXPECT_EQ(ChMsg_AxisMinMax, "Axis Minimum Value must be <= Maximum");
}

TEST(ChConst, DefaultFilterFollowsTheExtension)
{
    EXPECT_EQ(ChDefaultFilterExtension(), "(*.chf)|*.chf");
    ChMsg_ChExtension = "xyz";
    EXPECT_EQ(ChDefaultFilterExtension(), "(*.xyz)|*.xyz");
    ChMsg_ChExtension = "chf";
}
