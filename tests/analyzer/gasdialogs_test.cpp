// The "Gas Settings" and "Advanced Gas Settings" dialogs driven offscreen
// through the dialog-answer hook: kelvin shown as whole degrees C and taken
// back, the correction-mode combo order, OK, Cancel and the hand-over buttons.
#include "analyzer/dialogs/AdvancedGasSettings.h"
#include "analyzer/dialogs/BasicGasSettings.h"

#include "platform/Application.h"
#include "platform/DialogHook.h"
#include "platform/Graphics.h"
#include "platform/StdCtrls.h"
#include "tests/support/Components.h"
#include "widgets/IcNumEdit.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

// Answers the dialog's modal run: Act drives its controls, the result closes it.
class ModalAnswer {
public:
    ModalAnswer(std::function<void()> Act, int Result)
    {
        FOld = SetDialogAnswerer([this, Act, Result](const TDialogRequest& R, TDialogAnswer& A) {
            if (R.Kind != TDialogKind::ModalForm)
                return false;
            ++Runs;
            if (Act)
                Act();
            A.ModalResult = Result;
            return true;
        });
    }
    ~ModalAnswer() { SetDialogAnswerer(FOld); }
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;
    int Runs = 0;

private:
    TDialogAnswerer FOld;
};

struct BasicCase {
    int32_t GasTempK, AmbientK;
    TCorrectionMode Mode;
    double ShownGas, ShownAmbient;
    const char* ShownMode;
    int ReturnedMode;
};

TEST(GasSettingsDialog, OkWithoutChangeReturnsWhatWasPassed)
{
    EnsureApplication();
    TdlgGasSettings Dlg(nullptr);
    const BasicCase Cases[] = {
        {310, 296, cmSTPD0, 37, 23, "STPD0", 2},
        {296, 310, cmBTPS, 23, 37, "BTPS", 1},
        {273, 268, cmATP, 0, -5, "ATP", 0},
        {263, 253, cmSTPD21, -10, -20, "STPD21 ", 3},
        {300, 300, 7, 27, 27, "STPD21 ", 3},
    };
    for (const BasicCase& C : Cases) {
        auto* eGasTemp = Find<TIcNumSpin>(&Dlg, "eGasTemp");
        auto* eAmbTemp = Find<TIcNumSpin>(&Dlg, "eAmbTemp");
        auto* cbCorrMode = Find<TComboBox>(&Dlg, "cbCorrMode");
        auto* cbGasType = Find<TComboBox>(&Dlg, "cbGasType");
        ModalAnswer Answer(
            [&] {
                EXPECT_EQ(eGasTemp->Value(), C.ShownGas);
                EXPECT_EQ(eAmbTemp->Value(), C.ShownAmbient);
                EXPECT_EQ(cbCorrMode->Items()->Strings(cbCorrMode->ItemIndex()), C.ShownMode);
                EXPECT_EQ(cbGasType->Items()->Strings(cbGasType->ItemIndex()), "He Bal O2");
                if (C.Mode == cmSTPD0) {
                    std::unique_ptr<TBitmap> Shot(Dlg.GetFormImage());
                    Shot->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/analyzer_gassettings.png");
                }
            },
            mrOk);
        ASSERT_TRUE(Dlg.Execute(4, C.GasTempK, 45, C.AmbientK, C.Mode));
        EXPECT_EQ(Dlg.GasType(), 4);
        EXPECT_EQ(Dlg.GasTemp(), C.GasTempK);
        EXPECT_EQ(Dlg.AmbientTemp(), C.AmbientK);
        EXPECT_EQ(Dlg.RelHumidity(), 45);
        EXPECT_EQ(Dlg.CorrectionMode(), C.ReturnedMode);
    }
}

TEST(GasSettingsDialog, ReturnsTheUsersChoiceOnOk)
{
    EnsureApplication();
    TdlgGasSettings Dlg(nullptr);
    ModalAnswer Answer(
        [&] {
            Pick(Find<TComboBox>(&Dlg, "cbGasType"), 9);
            Pick(Find<TComboBox>(&Dlg, "cbCorrMode"), 1);   // "BTPS"
            Find<TIcNumSpin>(&Dlg, "eGasTemp")->SetText(std::string("40"));   // typed, not committed
            Find<TIcNumSpin>(&Dlg, "eRelHum")->SetValue(55.6);
            Find<TIcNumSpin>(&Dlg, "eAmbTemp")->SetValue(-2);
        },
        mrOk);
    ASSERT_TRUE(Dlg.Execute(0, 310, 40, 296, cmSTPD0));
    EXPECT_EQ(Dlg.GasType(), 9);
    EXPECT_EQ(Dlg.CorrectionMode(), 1);
    EXPECT_EQ(Dlg.GasTemp(), 313);
    EXPECT_EQ(Dlg.RelHumidity(), 56);
    EXPECT_EQ(Dlg.AmbientTemp(), 271);
}

TEST(GasSettingsDialog, GasTypeOutsideTheListIsKept)
{
    EnsureApplication();
    TdlgGasSettings Dlg(nullptr);
    ModalAnswer Answer([&] { EXPECT_EQ(Find<TComboBox>(&Dlg, "cbGasType")->ItemIndex(), -1); }, mrOk);
    ASSERT_TRUE(Dlg.Execute(12, 310, 40, 296, cmATP));
    EXPECT_EQ(Dlg.GasType(), 12);
}

TEST(GasSettingsDialog, CancelAndAdvancedKeepThePassedValues)
{
    EnsureApplication();
    TdlgGasSettings Dlg(nullptr);
    int Advanced = 0;
    Dlg.actnAdvancedGasSettingsExecute = [&] {
        ++Advanced;
        EXPECT_FALSE(Dlg.Visible()) << "the advanced dialog opens after this one closed";
    };
    const int Results[] = {mrCancel, 5};
    for (int Result : Results) {
        ModalAnswer Answer([&] { Find<TIcNumSpin>(&Dlg, "eGasTemp")->SetValue(50); }, Result);
        EXPECT_FALSE(Dlg.Execute(2, 300, 30, 290, cmBTPS));
        EXPECT_EQ(Dlg.GasType(), 2);
        EXPECT_EQ(Dlg.GasTemp(), 300);
        EXPECT_EQ(Dlg.RelHumidity(), 30);
        EXPECT_EQ(Dlg.AmbientTemp(), 290);
        EXPECT_EQ(Dlg.CorrectionMode(), cmBTPS);
    }
    EXPECT_EQ(Advanced, 1);
}

TEST(AdvancedGasSettingsDialog, RoundTripOfBothGasRecords)
{
    EnsureApplication();
    TdlgAdvGasSettings Dlg(nullptr);
    const TGasProperties Insp{310, 50, 184.6f, 28.96f};
    const TGasProperties Exp{296, 100, 181.2f, 28.82f};
    ModalAnswer Answer(
        [&] {
            EXPECT_EQ(Find<TIcNumSpin>(&Dlg, "eInspGasTemp")->Value(), 37);
            EXPECT_EQ(Find<TIcNumSpin>(&Dlg, "eExpGasTemp")->Value(), 23);
            EXPECT_EQ(Find<TIcNumSpin>(&Dlg, "eAmbTemp")->Value(), -5);
            EXPECT_EQ(Find<TIcNumSpin>(&Dlg, "eInspVisc")->Text(), "184.6");
            EXPECT_EQ(Find<TIcNumSpin>(&Dlg, "eExpMW")->Text(), "28.82");
            auto* eCorrMode = Find<TComboBox>(&Dlg, "eCorrMode");
            EXPECT_EQ(eCorrMode->Items()->Strings(eCorrMode->ItemIndex()), "STPD0");
            Pick(eCorrMode, 1);   // "BTPS"
            std::unique_ptr<TBitmap> Shot(Dlg.GetFormImage());
            Shot->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/analyzer_advgassettings.png");
        },
        mrOk);
    ASSERT_TRUE(Dlg.Execute(Insp, Exp, 268, cmSTPD0));
    EXPECT_FLOAT_EQ(Dlg.InspGas().Temperature, 310.15f);
    EXPECT_FLOAT_EQ(Dlg.ExpGas().Temperature, 296.15f);
    EXPECT_EQ(Dlg.AmbientTemp(), 268);
    EXPECT_EQ(Dlg.CorrectionMode(), 1);
    EXPECT_FLOAT_EQ(Dlg.InspGas().RelHumidity, 50);
    EXPECT_FLOAT_EQ(Dlg.InspGas().Viscosity, 184.6f);
    EXPECT_FLOAT_EQ(Dlg.InspGas().MolWeight, 28.96f);
    EXPECT_FLOAT_EQ(Dlg.ExpGas().RelHumidity, 100);
    EXPECT_FLOAT_EQ(Dlg.ExpGas().Viscosity, 181.2f);
    EXPECT_FLOAT_EQ(Dlg.ExpGas().MolWeight, 28.82f);
}

TEST(AdvancedGasSettingsDialog, TypedValuesCountAndCalculatorHandsOver)
{
    EnsureApplication();
    TdlgAdvGasSettings Dlg(nullptr);
    const TGasProperties Gas{300, 20, 180, 28};
    {
        ModalAnswer Answer(
            [&] {
                Find<TIcNumSpin>(&Dlg, "eExpMW")->SetText(std::string("29.5"));
                Find<TIcNumSpin>(&Dlg, "eInspGasTemp")->SetText(std::string("-3"));
            },
            mrOk);
        ASSERT_TRUE(Dlg.Execute(Gas, Gas, 300, cmATP));
        EXPECT_FLOAT_EQ(Dlg.ExpGas().MolWeight, 29.5f);
        EXPECT_FLOAT_EQ(Dlg.InspGas().Temperature, 270.15f);
    }
    int Calculator = 0;
    Dlg.actnGasCalculatorExecute = [&] { ++Calculator; };
    ModalAnswer Answer([&] { Find<TIcNumSpin>(&Dlg, "eInspVisc")->SetValue(1); }, 5);
    EXPECT_FALSE(Dlg.Execute(Gas, Gas, 300, cmATP));
    EXPECT_EQ(Calculator, 1);
    EXPECT_FLOAT_EQ(Dlg.InspGas().Viscosity, 180);
    EXPECT_EQ(Dlg.CorrectionMode(), cmATP);
}

}  // namespace
