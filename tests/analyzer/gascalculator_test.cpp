// The "Gas Calculator" driven offscreen through the dialog-answer hook:
// presets, the balance gas, sums over 100 %, custom gases and the results
// returned on OK.
#include "analyzer/dialogs/CalculatorGasSettings.h"

#include "platform/Application.h"
#include "platform/ComCtrls.h"
#include "platform/DialogHook.h"
#include "platform/Graphics.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "tests/support/Components.h"
#include "widgets/IcNumEdit.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const PercentError = "ERROR:  Gas Percentages Cannot Exceed 100%";

// Runs the calculator with Act driving it while it is shown; Act returns the
// modal result (a refused OK asks again, with Round counting the runs).
class Calculator : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        Dlg = std::make_unique<TdlgGasCalculator>(nullptr);
    }

    bool Run(std::function<int(int Round)> Act, float Baro = 760)
    {
        Runs = 0;
        Boxes.clear();
        TDialogAnswerer Old = SetDialogAnswerer([&](const TDialogRequest& R, TDialogAnswer& A) {
            if (R.Kind == TDialogKind::MessageBox) {
                Boxes.push_back(R.Text);
                A.ModalResult = mrOk;
                return true;
            }
            if (R.Kind != TDialogKind::ModalForm)
                return false;
            A.ModalResult = Act(Runs++);
            return true;
        });
        const bool Ok = Dlg->Execute(Baro);
        SetDialogAnswerer(Old);
        return Ok;
    }

    TIcNumSpin* Spin(const std::string& Name) { return Find<TIcNumSpin>(Name); }
    TLabel* Label(const std::string& Name) { return Find<TLabel>(Name); }
    template <class T>
    T* Find(const std::string& Name)
    {
        return ::Find<T>(Dlg.get(), Name);
    }
    void Pick(const std::string& Combo, int Index) { ::Pick(Find<TComboBox>(Combo), Index); }
    void Check(const std::string& Radio) { Find<TRadioButton>(Radio)->SetChecked(true); }
    std::string Shown(const std::string& Name) { return Label(Name)->Caption(); }
    void Screenshot(const std::string& File)
    {
        std::unique_ptr<TBitmap> Shot(Dlg->GetFormImage());
        Shot->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/" + File);
    }

    std::unique_ptr<TdlgGasCalculator> Dlg;
    int Runs = 0;
    std::vector<std::string> Boxes;
};

TEST_F(Calculator, PresetsGiveTheMixturesWorkedOutByHand)
{
    struct PresetCase {
        int Index;
        const char* InspVisc;
        const char* InspMW;
        const char* ExpVisc;
        const char* ExpMW;
        float ExpKelvin, ExpRH;
    };
    const PresetCase Cases[] = {
        {1, "182.1", "28.73", "182.1", "28.73", 295.15f, 35},   // "Room Air"
        {2, "181.9", "28.69", "181.6", "28.82", 307.15f, 100},  // "Respiration"
    };
    for (const PresetCase& C : Cases) {
        ASSERT_TRUE(Run([&](int) {
            Pick("eSettings", C.Index);
            EXPECT_NEAR(Spin("eInspN2")->Value(), 79.07, 1e-4);
            EXPECT_EQ(Shown("eInspVisc"), C.InspVisc);
            EXPECT_EQ(Shown("eInspMW"), C.InspMW);
            EXPECT_EQ(Shown("eExpVisc"), C.ExpVisc);
            EXPECT_EQ(Shown("eExpMW"), C.ExpMW);
            if (C.Index == 2)
                Screenshot("analyzer_gascalculator_respiration.png");
            return mrOk;
        }));
        EXPECT_TRUE(Boxes.empty());
        EXPECT_FLOAT_EQ(Dlg->InspResult().Temperature, 295.15f);
        EXPECT_FLOAT_EQ(Dlg->ExpResult().Temperature, C.ExpKelvin);
        EXPECT_FLOAT_EQ(Dlg->ExpResult().RelHumidity, C.ExpRH);
        EXPECT_EQ(FormatFloat("0.0", Dlg->InspResult().Viscosity), C.InspVisc);
        EXPECT_EQ(FormatFloat("0.00", Dlg->ExpResult().MolWeight), C.ExpMW);
    }
}

TEST_F(Calculator, PresetOverAnotherBalanceShowsNoErrorHalfWay)
{
    ASSERT_TRUE(Run([&](int) {
        Check("rbO2");
        Spin("eInspN2")->SetValue(0);
        Spin("eInspCO2")->SetValue(50);
        Spin("eInspHE")->SetValue(40);
        EXPECT_NEAR(Spin("eInspO2")->Value(), 10, 1e-6);
        Pick("eSettings", 2);   // "Respiration": balance back to N2
        return mrOk;
    }));
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(Dlg->BalanceGas(), gcN2);
    EXPECT_NEAR(Spin("eInspN2")->Value(), 79.07, 1e-4);
    EXPECT_EQ(Spin("eInspCO2")->Value(), 0);
    EXPECT_EQ(Spin("eInspHE")->Value(), 0);
    EXPECT_FALSE(Spin("eInspN2")->Enabled());
    EXPECT_TRUE(Spin("eInspO2")->Enabled());
}

TEST_F(Calculator, BalanceMovesToAnotherGas)
{
    ASSERT_TRUE(Run([&](int) {
        Spin("eInspO2")->SetValue(30);
        Spin("eExpCO2")->SetValue(5);
        EXPECT_NEAR(Spin("eInspN2")->Value(), 70, 1e-6);
        Check("rbO2");
        Spin("eInspN2")->SetValue(20);
        Spin("eExpN2")->SetValue(60);
        return mrOk;
    }));
    EXPECT_EQ(Dlg->BalanceGas(), gcO2);
    EXPECT_TRUE(Spin("eInspN2")->Enabled());
    EXPECT_FALSE(Spin("eInspO2")->Enabled());
    EXPECT_FALSE(Spin("eExpO2")->Enabled());
    EXPECT_NEAR(Spin("eInspO2")->Value(), 80, 1e-6);
    EXPECT_NEAR(Spin("eExpO2")->Value(), 35, 1e-6);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(Calculator, SumsOver100AreRefused)
{
    // O2 60 and CO2 50: one box, balance 0, and OK stays refused (one box
    // each time) until the dialog is cancelled.
    EXPECT_FALSE(Run([&](int Round) {
        if (Round == 0) {
            Spin("eInspO2")->SetValue(60);
            Spin("eInspCO2")->SetValue(50);
            EXPECT_EQ(Boxes.size(), 1u);
            EXPECT_EQ(Spin("eInspN2")->Value(), 0);
            EXPECT_EQ(Spin("eInspCO2")->Value(), 50);
            return mrOk;
        }
        if (Round == 1) {
            EXPECT_EQ(Boxes.size(), 2u) << "OK refused with one box";
            Spin("eInspCO2")->SetText(std::string("70"));   // typed: committing it tells of it
            return mrOk;
        }
        EXPECT_EQ(Boxes.size(), 3u) << "one box for the typed sum, not two";
        Spin("eInspCO2")->SetValue(10);
        Spin("eExpO2")->SetValue(60);
        Spin("eExpCO2")->SetValue(50);
        EXPECT_EQ(Boxes.size(), 4u);
        Spin("eInspCO2")->SetValue(50);   // both sides over: a box for each
        EXPECT_EQ(Boxes.size(), 6u);
        return mrCancel;
    }));
    EXPECT_EQ(Runs, 3);
    for (const std::string& Text : Boxes)
        EXPECT_EQ(Text, PercentError);

    // Opened again with both sides over 100: one box for each side.
    ASSERT_TRUE(Run([&](int) {
        EXPECT_EQ(Boxes.size(), 2u);
        Spin("eInspCO2")->SetValue(10);
        Spin("eExpCO2")->SetValue(10);
        return mrOk;
    }));
    EXPECT_EQ(Boxes.size(), 3u) << "mending one side still tells of the other";
    EXPECT_EQ(Runs, 1);
    EXPECT_NEAR(Spin("eInspN2")->Value(), 30, 1e-6);
    EXPECT_NEAR(Spin("eExpN2")->Value(), 30, 1e-6);
    EXPECT_EQ(Dlg->InspResult().MolWeight, Dlg->MixMolWeight(0));
}

TEST_F(Calculator, CustomGasComesAndGoes)
{
    ASSERT_TRUE(Run([&](int) {
        EXPECT_FALSE(Find<TRadioButton>("rbUG1")->Enabled());
        EXPECT_FALSE(Spin("eUG1MW")->Enabled());
        Pick("eUG1Select", 6);   // "Argon"
        EXPECT_TRUE(Find<TRadioButton>("rbUG1")->Enabled());
        EXPECT_TRUE(Spin("eInspUG1")->Enabled());
        EXPECT_TRUE(Spin("eUG1ViscInt")->Enabled());
        EXPECT_NEAR(Spin("eUG1MW")->Value(), 39.948, 1e-9);
        EXPECT_EQ(Spin("eUG1ViscCoef")->Value(), 0);
        EXPECT_NEAR(Spin("eUG1ViscInt")->Value(), 209.9, 1e-9);
        Find<TPageControl>("pcPages")->SetActivePage(Find<TTabSheet>("tsCustomGases"));
        Screenshot("analyzer_gascalculator_custom.png");
        Spin("eInspTemperature")->SetValue(37);
        Spin("eInspUG1")->SetValue(100);
        EXPECT_EQ(Spin("eInspN2")->Value(), 0);
        EXPECT_EQ(Shown("eInspVisc"), "209.9");
        EXPECT_EQ(Shown("eInspMW"), "39.95");
        Pick("eUG1Select", 0);   // "None"
        EXPECT_FALSE(Find<TRadioButton>("rbUG1")->Enabled());
        EXPECT_FALSE(Spin("eInspUG1")->Enabled());
        EXPECT_FALSE(Spin("eUG1MW")->Enabled());
        EXPECT_EQ(Spin("eInspUG1")->Value(), 0);
        EXPECT_EQ(Spin("eInspN2")->Value(), 100);
        EXPECT_EQ(Dlg->MolWeight(gcCustom1), 0);
        EXPECT_EQ(Shown("eInspMW"), "28.00");
        return mrOk;
    }));
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(Calculator, CustomBalanceGasSetToNoneFallsBackToN2)
{
    ASSERT_TRUE(Run([&](int) {
        Pick("eUG2Select", 1);   // "User Defined "
        Spin("eUG2MW")->SetValue(50);
        Spin("eUG2ViscInt")->SetValue(150);
        Check("rbUG2");
        Spin("eInspN2")->SetValue(0);
        Spin("eInspO2")->SetValue(21);
        EXPECT_NEAR(Spin("eInspUG2")->Value(), 79, 1e-6);
        Pick("eUG2Select", 0);
        return mrOk;
    }));
    EXPECT_EQ(Dlg->BalanceGas(), gcN2);
    EXPECT_TRUE(Find<TRadioButton>("rbN2")->Checked());
    EXPECT_FALSE(Find<TRadioButton>("rbUG2")->Enabled());
    EXPECT_FALSE(Spin("eInspUG2")->Enabled());
    EXPECT_FALSE(Spin("eInspN2")->Enabled());
    EXPECT_EQ(Spin("eInspUG2")->Value(), 0);
    EXPECT_NEAR(Spin("eInspN2")->Value(), 79, 1e-6);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(Calculator, CancelKeepsTheResults)
{
    ASSERT_TRUE(Run([&](int) { return mrOk; }));
    const TGasProperties Insp = Dlg->InspResult();
    const TGasProperties Exp = Dlg->ExpResult();
    EXPECT_FALSE(Run([&](int) {
        Pick("eSettings", 1);
        Spin("eInspTemperature")->SetValue(30);
        Spin("eInspHumidity")->SetValue(50);
        return mrCancel;
    }));
    for (const auto& [Got, Kept] : {std::pair{Dlg->InspResult(), Insp}, std::pair{Dlg->ExpResult(), Exp}}) {
        EXPECT_EQ(Got.Temperature, Kept.Temperature);
        EXPECT_EQ(Got.RelHumidity, Kept.RelHumidity);
        EXPECT_EQ(Got.Viscosity, Kept.Viscosity);
        EXPECT_EQ(Got.MolWeight, Kept.MolWeight);
    }
}

TEST_F(Calculator, NoBarometricPressureStillGivesNumbers)
{
    ASSERT_TRUE(Run(
        [&](int) {
            Spin("eInspHumidity")->SetValue(50);
            Spin("eInspTemperature")->SetValue(20);
            return mrOk;
        },
        0));
    EXPECT_EQ(Shown("eInspVisc"), "175.7");
    EXPECT_EQ(Shown("eInspMW"), "28.00");
}

}  // namespace
