#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <random>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

struct FloatCase {
    const char* Format;
    double Value;
    const char* Expected;
};

TEST(FormatFloat, RendersPatternsAsTheClassLibraryDoes)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const FloatCase cases[] = {
        // ties round half away from zero on the decimal value
        {"0.00", 0.125, "0.13"},
        {"0", 2.5, "3"},
        {"0", -2.5, "-3"},
        {"0", 0.5, "1"},
        {"0.00", 1.005, "1.01"},
        {"0.00", 2.675, "2.68"},
        {"0.00", -2.675, "-2.68"},
        {"0.0", 0.05, "0.1"},
        {"0.0", 9.96, "10.0"},
        // zero and values that round to zero never carry a sign
        {"0.00", 0.0, "0.00"},
        {"0.00", -0.0, "0.00"},
        {"0.0", -0.04, "0.0"},
        {"0", -0.4, "0"},
        {"#,##0.###", -0.0001, "0"},
        {"0.000", 1e-4, "0.000"},
        // optional digits
        {"#0.#", 12.34, "12.3"},
        {"#0.#", 12.0, "12"},
        {"#0.#", 0.04, "0"},
        {"#0.0#", 1.5, "1.5"},
        {"#0.0#", 1.256, "1.26"},
        {"#0.0#", 3, "3.0"},
        {"#0.00#", 0.1234, "0.123"},
        {"##0", 12345, "12345"},
        {"00", 5, "05"},
        {"#.##", 0.5, ".5"},
        {"0", 1e20, "100000000000000000000"},
        // thousands
        {"#,##0.###", 1234567.891, "1,234,567.891"},
        {"#,##0.###", 1234.5, "1,234.5"},
        {"#,##0.###", 999.9996, "1,000"},
        {"#,##0.###", -1234.5, "-1,234.5"},
        {"#,##0.###", 0, "0"},
        {"#,##0", 100, "100"},
        // sections positive;negative;zero
        {"0.0;(0.0);'zero'", 1.25, "1.3"},
        {"0.0;(0.0);'zero'", -1.25, "(1.3)"},
        {"0.0;(0.0);'zero'", 0, "zero"},
        {"0.0;(0.0);'zero'", -0.01, "zero"},
        {"0.0;(0.0);'zero'", 0.01, "zero"},
        {"0.0;-0.00", -1.234, "-1.23"},
        {"0.00;0.0", -1.234, "1.2"},
        {"0.0;;'nil'", -2, "-2.0"},
        // exponent
        {"0.00E+00", 12345, "1.23E+04"},
        {"0.00E+00", 0.00012345, "1.23E-04"},
        {"0.00E+00", -12345, "-1.23E+04"},
        {"0.00E+00", 999900, "1.00E+06"},
        {"0.00E+00", 0, "0.00E+00"},
        {"0e-0", 12345, "1e4"},
        {"0e-0", 0.012, "1e-2"},
        {"00.0E+0", 12345, "12.3E+3"},
        // literal text
        {"0.0 'kPa'", 1.25, "1.3 kPa"},
        {"\"#\"0", 5, "#5"},
        {"##0.## %", 12.5, "12.5 %"},
        {"$#,##0.00", -1234.5, "-$1,234.50"},
        // no pattern, not a number
        {"", 1.5, "1.5"},
        {"0.00", nan, "NAN"},
        {"0.00", -inf, "-INF"},
    };
    for (const FloatCase& c : cases)
        EXPECT_EQ(FormatFloat(c.Format, c.Value), c.Expected)
            << "pattern \"" << c.Format << "\" value " << c.Value;
}

struct DateTimeCase {
    const char* Format;
    TDateTime Value;
    const char* Expected;
};

TEST(FormatDateTime, RendersPatternLetters)
{
    // Saturday 7 March 2026, 14:05:09.045
    const TDateTime t = EncodeDate(2026, 3, 7) + EncodeTime(14, 5, 9, 45);
    const TDateTime halfPastMidnight = EncodeDate(2026, 3, 7) + EncodeTime(0, 30, 0, 0);
    const TDateTime noon = EncodeDate(2026, 3, 7) + EncodeTime(12, 0, 0, 0);
    const DateTimeCase cases[] = {
        {"hh:nn:ss", t, "14:05:09"},
        {"h:nn:ss", EncodeTime(9, 5, 0, 0), "9:05:00"},
        {"hh:mm:ss", t, "14:05:09"},   // m right after h is the minute
        {"hh:mm:ss", EncodeTime(1, 2, 3, 0), "01:02:03"},
        {"dd/mmm/yyyy hh:nn a/p", t, "07/Mar/2026 02:05 p"},
        {"mm/dd/yyyy", t, "03/07/2026"},
        {"d/m/yy", t, "7/3/26"},
        {"dd/MMM", t, "07/Mar"},
        {"MMM/yy", t, "Mar/26"},
        {"dd hh:nn", t, "07 14:05"},
        {"dddd, mmmm d", t, "Saturday, March 7"},
        {"ddd", t, "Sat"},
        {"h:nn am/pm", t, "2:05 pm"},
        {"h:nn AM/PM", t, "2:05 PM"},
        {"hh:nn ampm", t, "02:05 PM"},
        {"h:nn a/p", halfPastMidnight, "12:30 a"},
        {"h A/P", noon, "12 P"},
        {"s.zzz", t, "9.045"},
        {"z", t, "45"},
        {"'Time' hh", t, "Time 14"},
        {"\"h\"h", t, "h14"},
        {"yyyy-mm-dd", 0.0, "1899-12-30"},
        {"yyyy-mm-dd hh:nn", -1.25, "1899-12-29 06:00"},
        // a hair below midnight rounds to the next day, not to 24:00
        {"dd/mm/yyyy hh:nn:ss.zzz", 0.99999999999, "31/12/1899 00:00:00.000"},
    };
    for (const DateTimeCase& c : cases)
        EXPECT_EQ(FormatDateTime(c.Format, c.Value), c.Expected) << "pattern \"" << c.Format << "\"";
}

TEST(DateTime, EncodesKnownDaysAndDecodesEveryDayBack)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 2, 29), 36585.0);
    EXPECT_EQ(EncodeDate(2026, 12, 10), 46366.0);
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);

    for (TDateTime d = EncodeDate(1, 1, 1); d <= EncodeDate(9999, 12, 31); d += 1) {
        uint16_t y, m, dd;
        DecodeDate(d, y, m, dd);
        TDateTime back = -1e9;
        ASSERT_TRUE(TryEncodeDate(y, m, dd, back)) << d;
        ASSERT_EQ(back, d) << y << "-" << m << "-" << dd;
    }
    for (int ms = 0; ms < 86400000; ms += 997) {
        uint16_t h, n, s, z;
        DecodeTime(ms / MSecsPerDay, h, n, s, z);
        ASSERT_EQ(((h * 60 + n) * 60 + s) * 1000 + z, ms);
    }
}

TEST(DateTime, RefusesInvalidValues)
{
    struct D {
        uint16_t Y, M, Day;
    };
    for (const D& d : {D{2001, 2, 29}, D{1900, 2, 29}, D{0, 1, 1}, D{2000, 13, 1}, D{2000, 0, 1},
                       D{2000, 4, 31}, D{2000, 1, 0}, D{10000, 1, 1}}) {
        TDateTime r = 123;
        EXPECT_FALSE(TryEncodeDate(d.Y, d.M, d.Day, r)) << d.Y << "-" << d.M << "-" << d.Day;
        EXPECT_EQ(r, 123);
        EXPECT_THROW(EncodeDate(d.Y, d.M, d.Day), EConvertError);
    }
    struct T {
        uint16_t H, M, S, Ms;
    };
    for (const T& t : {T{24, 0, 0, 0}, T{0, 60, 0, 0}, T{0, 0, 60, 0}, T{0, 0, 0, 1000}}) {
        TDateTime r = 123;
        EXPECT_FALSE(TryEncodeTime(t.H, t.M, t.S, t.Ms, r));
        EXPECT_EQ(r, 123);
        EXPECT_THROW(EncodeTime(t.H, t.M, t.S, t.Ms), EConvertError);
    }
    // A value outside the calendar decodes to zeros instead of garbage.
    uint16_t y = 1, m = 1, d = 1;
    DecodeDate(-1e9, y, m, d);
    EXPECT_EQ(y + m + d, 0);
    DecodeDate(std::numeric_limits<double>::quiet_NaN(), y, m, d);
    EXPECT_EQ(y, 1899);
}

TEST(Clock, TestClockAndMonotonicOffset)
{
    const TDateTime fixed = EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 58, 0);
    SetNowOverride([fixed] { return fixed; });
    EXPECT_EQ(Now(), fixed);
    EXPECT_EQ(Date(), EncodeDate(2024, 2, 29));
    EXPECT_NEAR(Time(), EncodeTime(23, 59, 58, 0), 1e-9);
    SetNowOverride({});
    EXPECT_GT(Now(), EncodeDate(2020, 1, 1));

    const int64_t before = MonotonicMs();
    SetMonotonicOffsetMs(10'000'000'000);   // beyond 32 bits
    const int64_t after = MonotonicMs();
    EXPECT_GE(after - before, 10'000'000'000);
    EXPECT_EQ(GetTickCount(), static_cast<uint32_t>(MonotonicMs()));
    SetMonotonicOffsetMs(0);
    EXPECT_LT(MonotonicMs() - before, 60'000);
}

TEST(Numbers, StrToIntAcceptsDecimalAndHexOnly)
{
    struct Good {
        const char* Text;
        int Value;
    };
    for (const Good& g : {Good{"12", 12}, Good{" -7 ", -7}, Good{"+3", 3}, Good{"$FF", 255},
                          Good{"0x10", 16}, Good{"$FFFFFFFF", -1}, Good{"2147483647", 2147483647},
                          Good{"-2147483648", std::numeric_limits<int>::min()}}) {
        EXPECT_EQ(StrToInt(g.Text), g.Value) << g.Text;
        EXPECT_EQ(StrToIntDef(g.Text, 99), g.Value) << g.Text;
    }
    for (const char* bad : {"", " ", "12a", "2147483648", "-2147483649", "1.5", "$", "$1FFFFFFFF", "--1",
                            "0x"}) {
        EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
        EXPECT_EQ(StrToIntDef(bad, 99), 99) << bad;
    }
}

TEST(Numbers, StrToFloatReadsPointDecimalsOnly)
{
    struct Good {
        const char* Text;
        double Value;
    };
    for (const Good& g : {Good{"1.5", 1.5}, Good{" -2.5e3 ", -2500}, Good{"+3", 3}, Good{".5", 0.5},
                          Good{"1E-2", 0.01}}) {
        double v = 0;
        EXPECT_TRUE(TryStrToFloat(g.Text, v)) << g.Text;
        EXPECT_EQ(v, g.Value) << g.Text;
        EXPECT_EQ(StrToFloat(g.Text), g.Value);
    }
    for (const char* bad : {"", "1,5", "abc", "inf", "nan", "1.5.2", "0x1p3", "+-1", "1e"}) {
        double v = 7;
        EXPECT_FALSE(TryStrToFloat(bad, v)) << bad;
        EXPECT_EQ(v, 7);
        EXPECT_THROW(StrToFloat(bad), EConvertError) << bad;
    }
}

TEST(Numbers, FloatToStrReadsBackExactly)
{
    struct C {
        double Value;
        const char* Text;
    };
    for (const C& c : {C{0.1, "0.1"}, C{-1.5, "-1.5"}, C{100, "100"}, C{0, "0"}, C{-0.0, "0"},
                       C{1e20, "1E20"}, C{1e-5, "1E-5"}, C{0.0001, "0.0001"}, C{2.5e-7, "2.5E-7"},
                       C{static_cast<double>(0.1f), "0.10000000149011612"}})
        EXPECT_EQ(FloatToStr(c.Value), c.Text);
    for (double v : {1.0 / 3, 6.02214076e23, -4.9e-324, 123456.789, 0.30000000000000004})
        EXPECT_EQ(StrToFloat(FloatToStr(v)), v) << FloatToStr(v);
}

TEST(Numbers, FormatIsPrintfWithPoint)
{
    EXPECT_EQ(Format("%d|%5.2f|%s|%-3s|%x", 42, 3.14159, "ab", "c", 255), "42| 3.14|ab|c  |ff");
    EXPECT_EQ(Format("%s", std::string(5000, 'x').c_str()).size(), 5000u);
    EXPECT_EQ(Format("no args"), "no args");
    EXPECT_EQ(IntToStr(-9223372036854775807LL - 1), "-9223372036854775808");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
}

TEST(Strings, TrimCaseAndFileNames)
{
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a "), "  a");
    EXPECT_EQ(UpperCase("aBc°"), "ABC°");
    EXPECT_EQ(LowerCase("AbC"), "abc");
    EXPECT_TRUE(SameText("Window Settings", "WINDOW settings"));
    EXPECT_LT(CompareText("abc", "ABD"), 0);

    struct P {
        const char* Name;
        const char* Path;
        const char* File;
        const char* Ext;
        const char* AsIni;
    };
    for (const P& p : {P{"/opt/oz/bin/ozezudo", "/opt/oz/bin/", "ozezudo", "", "/opt/oz/bin/ozezudo.INI"},
                       P{"/a/b.c/x.exe", "/a/b.c/", "x.exe", ".exe", "/a/b.c/x.INI"},
                       P{"x.tar.gz", "", "x.tar.gz", ".gz", "x.tar.INI"},
                       P{"/a/b/", "/a/b/", "", "", "/a/b/.INI"}}) {
        EXPECT_EQ(ExtractFilePath(p.Name), p.Path);
        EXPECT_EQ(ExtractFileName(p.Name), p.File);
        EXPECT_EQ(ExtractFileExt(p.Name), p.Ext);
        EXPECT_EQ(ChangeFileExt(p.Name, ".INI"), p.AsIni);
    }
    EXPECT_EQ(ChangeFileExt("x.tar.gz", ""), "x.tar");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
}

TEST(Strings, UnicodeCaseAndCharacterCounts)
{
    EXPECT_EQ(AnsiUpperCase("stra\xC3\x9F" "e \xC3\xA9t\xC3\xA9"), "STRASSE \xC3\x89T\xC3\x89");
    EXPECT_EQ(AnsiLowerCase("\xCE\x94\xCE\x95\xCE\x9B\xCE\xA4\xCE\x91 ABC"), "\xCE\xB4\xCE\xB5\xCE\xBB\xCF\x84\xCE\xB1 abc");
    // Damaged bytes stay as they are around the letters that change.
    EXPECT_EQ(AnsiUpperCase("a\xFF\xC3\xA9\x80z"), "A\xFF\xC3\x89\x80Z");

    struct Case {
        std::string_view Text;
        size_t Chars;
    };
    const Case Cases[] = {
        {"", 0},
        {"abc", 3},
        {"\xC3\xA9t\xC3\xA9", 3},                  // 2-byte letters
        {"\xE2\x82\xAC\xF0\x9F\x98\x80", 2},      // 3- and 4-byte characters
        {"\xE2\x82", 2},                            // cut sequence: each byte alone
        {"\xC0\xAF\xED\xA0\x80", 5},              // overlong form and surrogate
        {"\xF4\x90\x80\x80", 4},                   // past U+10FFFF
    };
    for (const Case& C : Cases)
        EXPECT_EQ(Utf8Length(C.Text), C.Chars) << C.Text;
    EXPECT_EQ(Utf8CharSize("\xF0\x9F\x98\x80", 0), 4u);
    EXPECT_EQ(Utf8CharSize("ab", 2), 0u);
    EXPECT_EQ(Utf8PrefixBytes("\xC3\xA9t\xC3\xA9", 2), 3u);
    EXPECT_EQ(Utf8PrefixBytes("ab", 5), 2u);
}

TEST(Files, ForceDirectoriesAndExistence)
{
    char tmpl[] = "/tmp/oz-sysutils-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string root = tmpl;
    const std::string deep = root + "/a/b c/d/";
    EXPECT_FALSE(DirectoryExists(deep));
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_FALSE(FileExists(deep));
    EXPECT_TRUE(ForceDirectories(deep));   // already there

    const std::string file = deep + "f.txt";
    FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_FALSE(ForceDirectories(file + "/below"));   // a file is in the way
    EXPECT_TRUE(RenameFile(file, deep + "g.txt"));
    EXPECT_TRUE(DeleteFile(deep + "g.txt"));
    EXPECT_FALSE(FileExists(deep + "g.txt"));
    EXPECT_EQ(std::system(("rm -rf '" + root + "'").c_str()), 0);
}

// A file dated with a local date-time reads back the same, in winter and in
// summer; dates a file cannot carry, and missing files, are refused.
TEST(Files, FileSetDateAndFileAgeInLocalTime)
{
    char tmpl[] = "/tmp/oz-sysutils-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string file = std::string(tmpl) + "/f.txt";
    std::FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    for (const TDateTime When : {EncodeDate(2024, 1, 10) + EncodeTime(9, 5, 7, 0),
                                 EncodeDate(2024, 7, 10) + EncodeTime(23, 59, 59, 0)}) {
        ASSERT_TRUE(FileSetDate(file, When));
        TDateTime Age = 0;
        ASSERT_TRUE(FileAge(file, Age));
        EXPECT_NEAR(Age, When, 0.1 / SecsPerDay);
    }
    EXPECT_FALSE(FileSetDate(file, 0));
    EXPECT_FALSE(FileSetDate(file, EncodeDate(1969, 12, 31)));
    EXPECT_FALSE(FileSetDate(file + "-missing", EncodeDate(2024, 1, 1)));
    TDateTime Age = 0;
    EXPECT_FALSE(FileAge(file + "-missing", Age));
    EXPECT_EQ(std::system((std::string("rm -rf '") + tmpl + "'").c_str()), 0);
}

}  // namespace

// The plain fixed formats ("0", "0.0", ...) take a short path; a format with
// an empty negative section ("0.00;") prints the same through the general
// one, so the two must agree on every value.
TEST(FormatFloat, PlainFixedFormatsPrintAsTheGeneralPatternDoes)
{
    std::mt19937_64 Random(7);
    std::vector<double> Values = {0.0, -0.0, 0.125, -0.125, 0.5, -0.5, 0.95, 0.96, 9.995, -9.995, 99.95,
                                  999999.5, 1e15, 1e22, -1e300, 5e-324, 0.0049999, 0.005, -0.005,
                                  -9999999.0, 37.07f, 20.9f, 0.1f, 273.15};
    for (int i = 0; i < 20000; ++i) {
        const double Magnitude = std::pow(10.0, std::uniform_int_distribution<int>(-8, 12)(Random));
        double V = std::uniform_real_distribution<double>(-1, 1)(Random) * Magnitude;
        if (i % 2)
            V = static_cast<float>(V);   // the analyzer's values are floats
        if (i % 7 == 0)
            V = std::round(V * 1000) / 1000 + 0.0005;   // ties at the third place
        Values.push_back(V);
    }
    for (const char* Format : {"0", "0.0", "0.00", "0.000", "0.0000", "0.00000"}) {
        const std::string General = std::string(Format) + ";";
        for (const double V : Values)
            ASSERT_EQ(FormatFloat(Format, V), FormatFloat(General, V)) << Format << " " << V;
    }
}
