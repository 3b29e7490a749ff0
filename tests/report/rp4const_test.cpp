// The report library's message table: names, ids, texts, translations and
// safe filling of placeholders.
#include "report/Rp4const.h"

#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Puts the built-in texts back whatever a test loaded.
class Rp4const : public ::testing::Test {
protected:
    void TearDown() override { ClearResStringTable(); }
};

}  // namespace

TEST_F(Rp4const, EveryTextHasItsOwnIdInTheLibrarysRange)
{
    std::set<int> Ids;
    std::set<std::string> Names;
    for (const TRpResStringEntry& E : RpResStrings()) {
        EXPECT_GE(E.String->Id, RpResStringFirstId) << E.Name;
        EXPECT_LE(E.String->Id, RpResStringLastId) << E.Name;
        EXPECT_TRUE(Ids.insert(E.String->Id).second) << "id used twice: " << E.Name;
        EXPECT_TRUE(Names.insert(E.Name).second) << E.Name;
    }
    EXPECT_GT(Ids.size(), 150u);
}

TEST_F(Rp4const, TextsStandAsTheLibraryShowsThem)
{
    struct Case { const TRpResString& S; const char* Text; };
    const Case Cases[] = {
        {SRpExpError, "Error in expression : %s"},
        {SRpExpIllegalCharInNumeric, "Illegal character in numeric contant \"%s\""},
        {SRpCompleted, " Completed"},
        {SRpExpBldError, "ERROR: "},
        {SRpExpBldNoError, "There are no errors. The result is : "},
        {SRpFile, "Report file"},
        {SRpAbstractFilterDescription, "Abstract non-working export filter"},
        {SRpPaperSize7, "Executive7 1/2 x 10 in"},
        {SRpPaperSize22, "Envelope #12 4 \xC2\xBE x 11"},
        {SRpMinDesc, "Returns the lowest <X>"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(LoadResString(C.S), C.Text);
    EXPECT_EQ(&RpPaperSizeName(27), &SRpPaperSize27);
    EXPECT_EQ(&RpPaperSizeName(99), &SRpPaperSize0);
}

TEST_F(Rp4const, FormattingFillsPlaceholdersInOrderAndKeepsBlanks)
{
    EXPECT_EQ(FormatResString(SRpExpCannotOperator, SRpExpAdd, SRpExpBoolean), "Cannot add boolean expressions");
    EXPECT_EQ(FormatResString(SRpExpBldEnterParam, 2, "IF"), "Enter 2. parameter for IF");
    EXPECT_EQ(FormatResString(SRpGotoPage, 12), "Select a page from 1 to 12");
    EXPECT_EQ(LoadResString(SRpExpBldError) + "x", "ERROR: x");
    EXPECT_EQ(IntToStr(3) + LoadResString(SRpCompleted), "3 Completed");
    // Too few arguments never read past them; %% is a percent sign.
    EXPECT_EQ(FormatResString(SRpExpCannotOperator, "add"), "Cannot add  expressions");
    EXPECT_EQ(FormatResText("100%% of %s%", {"x"}), "100% of x%");
}

TEST_F(Rp4const, ATranslatedTableReplacesTextsWithTheSamePlaceholders)
{
    TStringList Table;
    Table.Add("64960=Fehler im Ausdruck : %s");
    Table.Add("65067=Seite");
    Table.Add("65066=Seite %s von %s");   // placeholders differ: refused
    Table.Add("65068");                   // no text
    Table.Add("12=unknown");              // not one of ours
    Table.Add("x=y");
    EXPECT_EQ(LoadResStringTable(Table), 2);
    EXPECT_EQ(FormatResString(SRpExpError, "1+"), "Fehler im Ausdruck : 1+");
    EXPECT_EQ(LoadResString(SRpPage), "Seite");
    EXPECT_EQ(LoadResString(SRpGotoPage), "Select a page from 1 to %d");
    EXPECT_EQ(LoadResString(SRpOf), "of");
    ClearResStringTable();
    EXPECT_EQ(LoadResString(SRpPage), "Page");
}

TEST(RpError, IsTheLibrarysExceptionWithItsMessage)
{
    try {
        throw ERpError(LoadResString(SRpPrinterNotReady));
    } catch (const Exception& E) {
        EXPECT_STREQ(E.what(), "RpPrinter not ready");
        EXPECT_NE(dynamic_cast<const ERpError*>(&E), nullptr);
    }
}
