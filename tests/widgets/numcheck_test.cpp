// Reading typed numbers: bases, prefixes, multiplier suffixes, the marked
// span of bad input and numbers that do not convert.
#include "widgets/IcNumEdit.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct GoodCase {
    TEditBase Base;
    std::string Text;
    long double Expected;
};

TEST(IcNumCheck, GoodTextsConvert)
{
    const GoodCase cases[] = {
        {ebFloat, "12.5", 12.5L},
        {ebFloat, "1,234.5", 1234.5L},
        {ebFloat, "2k", 2000.0L},
        {ebFloat, "5m", 5.0L * static_cast<long double>(0.001f)},
        {ebFloat, "k", 1000.0L},
        {ebFloat, "E", static_cast<long double>(1e18f)},
        {ebFloat, "1E", static_cast<long double>(1e18f)},
        {ebFloat, "1E3", 1000.0L},
        {ebFloat, "e5", 100000.0L},
        {ebFloat, "1e", 1.0L},
        {ebFloat, "1e-2", 0.01L},
        {ebFloat, ".", 0.0L},
        {ebFloat, "-", 0.0L},
        {ebFloat, "-3.", -3.0L},
        {ebFloat, "%12", 12.0L},
        {ebFloat, "&101", 5.0L},
        {ebFloat, "$ff", 255.0L},
        {ebFloat, "$FFFFFFFF", -1.0L},
        {ebFloat, "!", 0.0L},
        {ebFloat, "1,000", 1000.0L},
        {ebInt, "3k", 3000.0L},
        {ebInt, "3G", 3e9L},
        {ebInt, "-2147483648", -2147483648.0L},
        {ebInt, "2147483647", 2147483647.0L},
        {ebHex, "1b", 27.0L},
        {ebBin, "1101", 13.0L},
        {ebBin, std::string(40, '0') + "1", 1.0L},
    };
    for (const GoodCase& c : cases) {
        const TNumCheck r = IcCheckNumText(c.Text, c.Base);
        EXPECT_TRUE(r.Good) << c.Text;
        EXPECT_EQ(r.Result, c.Expected) << c.Text;
    }
    EXPECT_EQ(static_cast<double>(IcCheckNumText("5m", ebFloat).Result), 0.0050000002374872565);
    EXPECT_EQ(static_cast<double>(IcCheckNumText("E", ebFloat).Result), 999999984306749440.0);
}

TEST(IcNumCheck, EmptyTextIsGoodButEmpty)
{
    const TNumCheck r = IcCheckNumText("", ebFloat);
    EXPECT_TRUE(r.Empty);
    EXPECT_TRUE(r.Good);
}

struct BadCase {
    TEditBase Base;
    std::string Text;
    int MarkStart;
    int MarkEnd;
};

TEST(IcNumCheck, BadTextsMarkTheirSpan)
{
    const BadCase cases[] = {
        {ebFloat, "1.2.3", 4, 4},
        {ebFloat, "1.2.3.4", 4, 6},
        {ebFloat, "12x", 3, 3},
        {ebFloat, "1x2y3", 2, 4},
        {ebFloat, "+-", 2, 2},
        {ebFloat, "1e5x", 4, 4},
        {ebFloat, "x1.2.3", 1, 5},   // the surplus point right of x widens the mark
        {ebInt, "3m", 2, 2},         // multipliers below 1 are not for integers
        {ebInt, "1.5", 2, 2},
        {ebHex, "fg", 2, 2},
        {ebBin, "102", 3, 3},
        {ebFloat, "&12", 3, 3},
        // Characters fit but the number does not convert: the whole number.
        {ebFloat, "-e5", 1, 3},
        {ebFloat, "1e1.5", 1, 5},
        {ebFloat, "1e400", 1, 5},
        {ebFloat, "1e300P", 1, 5},
        {ebFloat, "$123456789", 2, 10},
        {ebInt, "2147483648", 1, 10},
        {ebInt, "-2147483649", 1, 11},
        {ebBin, std::string(33, '1'), 1, 33},
    };
    for (const BadCase& c : cases) {
        const TNumCheck r = IcCheckNumText(c.Text, c.Base);
        EXPECT_FALSE(r.Good) << c.Text;
        EXPECT_EQ(r.MarkStart, c.MarkStart) << c.Text;
        EXPECT_EQ(r.MarkEnd, c.MarkEnd) << c.Text;
    }
}

}  // namespace
