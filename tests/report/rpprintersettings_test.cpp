// Printer settings: what they read from the selected printer, what they
// write into its device settings, and the paper and bin tables.
#include "report/RpPrntr.h"

#include "tests/report/PrinterRig.h"

#include <gtest/gtest.h>

#include <string>

using namespace prnrig;

namespace {

class PrinterSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        Device.SetFileName(Dir / "settings.pdf");
    }
    rprig::TTempDir Dir;
    TPrinter Device;
};

}  // namespace

TEST(PaperTables, EveryPaperSizeHasItsCodeNameAndTheDevicesSize)
{
    // The table's sizes are the device's: the platform knows every code.
    for (int S = 1; S <= RpPaperMetricsCount; ++S) {
        SCOPED_TRACE(S);
        EXPECT_EQ(cRpPaperTranslate[S], S);
        int Width = 0, Length = 0;
        ASSERT_TRUE(TPrinter::PaperDimensions(cRpPaperTranslate[S], Width, Length));
        EXPECT_EQ(Width, std::lround(cRpPaperSizeMetrics[S - 1][0] * 10));
        EXPECT_EQ(Length, std::lround(cRpPaperSizeMetrics[S - 1][1] * 10));
    }
    EXPECT_EQ(cRpPaperTranslate[static_cast<int>(TRpPaperSize::Custom)], DMPAPER_USER);
    EXPECT_EQ(RpPaperName(TRpPaperSize::Default), "Default size");
    EXPECT_EQ(RpPaperName(TRpPaperSize::Executive), "Executive7 1/2 x 10 in");
    EXPECT_EQ(RpPaperName(TRpPaperSize::Env12), "Envelope #12 4 \u00BE x 11");
    EXPECT_EQ(RpPaperName(TRpPaperSize::Custom), "Custom Size");
    EXPECT_EQ(cRpBinTranslate[static_cast<int>(TRpBin::Cassette)], 14);
    EXPECT_EQ(cRpBinTranslate[static_cast<int>(TRpBin::Last)], 14);
}

TEST_F(PrinterSettings, APdfTargetOffersEveryTableSizeAndReadsThePrintersPaper)
{
    Device.SetPaperSize(DMPAPER_A5);
    Device.SetResolution(300);
    TPrinterSettings S;
    S.SetPrinter(&Device);
    EXPECT_EQ(S.Device(), "PDF");
    EXPECT_EQ(S.Port(), Dir / "settings.pdf");
    for (int P = 1; P < RpPaperSizeCount; ++P)
        EXPECT_TRUE(S.PaperSizeSupported(static_cast<TRpPaperSize>(P))) << P;
    EXPECT_FALSE(S.PaperSizeSupported(TRpPaperSize::Default));
    EXPECT_EQ(S.PaperSize(), TRpPaperSize::A5);
    EXPECT_EQ(S.PixelsPerX(), 300);
    EXPECT_EQ(S.LeftOffset(), 0);
    EXPECT_EQ(S.TopOffset(), 0);
    EXPECT_EQ(S.PaperWidth(), 1480);
    EXPECT_EQ(S.PaperLength(), 2100);
    EXPECT_EQ(S.Copies(), 1) << "a file holds one copy";

    // Bins and copies are not the file's: the values stay.
    S.SetOutputBin(TRpBin::Cassette);
    EXPECT_EQ(S.OutputBin(), TRpBin::First);
    S.SetCopies(3);
    EXPECT_EQ(S.Copies(), 1);
    EXPECT_FALSE(S.Supported(DM_DUPLEX));
    EXPECT_TRUE(S.Supported(DM_ORIENTATION | DM_PAPERSIZE));
    S.SetOrientation(poLandscape);
    EXPECT_EQ(S.Orientation(), poLandscape);
    S.SetPaperSize(TRpPaperSize::Default);
    EXPECT_EQ(S.PaperSize(), TRpPaperSize::Default);
    EXPECT_EQ(S.PaperWidth(), 1480) << "Default keeps the printer's own paper";
}

TEST_F(PrinterSettings, ReadingCanBeTakenOverAndAPrinterThatNamesNoSizeKeepsTheList)
{
    TPrinterSettings S;
    int Asked = 0;
    S.OnGetPrinterSettings = [&](TObject* Sender, bool& Cancel, TDeviceMode* DM) {
        ++Asked;
        EXPECT_EQ(Sender, &S);
        // A device whose paper code the table does not know.
        DM->dmPaperSize = 99;
    };
    S.SetPrinter(&Device);
    EXPECT_EQ(Asked, 1);
    EXPECT_EQ(S.PaperSize(), TRpPaperSize::Default);
    S.OnGetPrinterSettings = [](TObject*, bool& Cancel, TDeviceMode*) { Cancel = true; };
    Device.SetResolution(200);
    S.GetPrinterSettings();
    EXPECT_EQ(S.PixelsPerX(), 600) << "a cancelled read leaves the values";
    TPrinterSettings None;
    None.GetPrinterSettings();
    EXPECT_EQ(None.PaperSize(), TRpPaperSize::A4);
    None.SetOrientation(poLandscape);
    EXPECT_EQ(None.Orientation(), poPortrait) << "no printer supports nothing";
}

TEST_F(PrinterSettings, ApplyWritesTheWishesIntoTheDeviceSettings)
{
    TPrinterSettings S;
    S.SetPrinter(&Device);
    struct TCase {
        bool Duplex;
        int ExtendedDuplex;
        int Written;
    };
    const TCase Cases[] = {{false, 0, DMDUP_SIMPLEX}, {false, 3, 3}, {true, 2, 2}};
    for (const TCase& K : Cases) {
        S.SetExtendedDuplex(K.ExtendedDuplex);
        TDeviceMode Seen;
        S.OnApplySettings = [&](TObject*, bool&, TDeviceMode* DM) { Seen = *DM; };
        S.ApplySettings();
        EXPECT_EQ(Seen.dmDuplex, K.Written) << K.ExtendedDuplex;
        EXPECT_TRUE(Seen.dmFields & DM_DUPLEX);
    }

    S.SetPaperSize(TRpPaperSize::Legal);
    S.SetOrientation(poLandscape);
    S.SetOutputBin(TRpBin::Manual);
    S.SetUseCustomBinCode(true);
    S.SetCustomBinCode(260);
    TDeviceMode Seen;
    S.OnApplySettings = [&](TObject*, bool&, TDeviceMode* DM) { Seen = *DM; };
    S.ApplySettings();
    EXPECT_EQ(Seen.dmPaperSize, DMPAPER_LEGAL);
    EXPECT_EQ(Seen.dmPaperWidth, 2159);
    EXPECT_EQ(Seen.dmPaperLength, 3556);
    EXPECT_EQ(Seen.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(Seen.dmDefaultSource, 260);
    EXPECT_EQ(Device.PaperSize(), DMPAPER_LEGAL);
    EXPECT_EQ(Device.Orientation(), poLandscape);

    // A custom paper code and a cancelled write.
    S.SetUseCustomPaperCode(true);
    S.SetCustomPaperCode(DMPAPER_A3);
    S.OnApplySettings = [](TObject*, bool& Cancel, TDeviceMode*) { Cancel = true; };
    S.ApplySettings();
    EXPECT_EQ(Device.PaperSize(), DMPAPER_LEGAL);
    S.OnApplySettings = nullptr;
    S.ApplySettings();
    EXPECT_EQ(Device.PaperSize(), DMPAPER_A3);
}

TEST_F(PrinterSettings, CustomPaperGoesToThePrinterAsItsOwnSize)
{
    TPrinterSettings S;
    S.SetPrinter(&Device);
    S.SetPaperSize(TRpPaperSize::Custom);
    S.SetPaperWidth(1000);
    S.SetPaperLength(1500);
    S.ApplySettings();
    EXPECT_EQ(Device.PaperSize(), DMPAPER_USER);
    EXPECT_EQ(Device.PaperWidth(), 1000);
    EXPECT_EQ(Device.PaperLength(), 1500);
    // The size of a known paper is that paper.
    S.SetPaperWidth(2159);
    S.SetPaperLength(2794);
    S.ApplySettings();
    EXPECT_EQ(Device.PaperSize(), DMPAPER_LETTER);
}

TEST(RpPrinterSettingsTest, DefaultsAndAssign)
{
    TRpPrinterSettings A;
    EXPECT_EQ(A.Copies(), 1);
    EXPECT_EQ(A.OutputBin(), TRpBin::Auto);
    EXPECT_EQ(A.PaperSize(), TRpPaperSize::Letter);
    EXPECT_EQ(A.PrinterIndex(), -1);
    EXPECT_EQ(A.MemoryLimit(), 250000);
    A.SetCopies(4);
    A.SetLastPage(7);
    A.SetCustomBinCode(15);
    TRpPrinterSettings B;
    B.Assign(&A);
    EXPECT_EQ(B.Copies(), 4);
    EXPECT_EQ(B.LastPage(), 7);
    EXPECT_EQ(B.CustomBinCode(), 15);
}
