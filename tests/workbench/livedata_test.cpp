// Samples, breath-parameter records, device identity and status reaching
// the main window: live from the simulator and through the callbacks.
#include "tests/workbench/MainRig.h"
#include "tests/support/Components.h"

#include "platform/ComCtrls.h"
#include "platform/Menus.h"

#include <cmath>

namespace {

std::string Panel(TMainForm& F, int I)
{
    return Find<TStatusBar>(&F, "StatusBar")->Panels()->Items(I)->Text();
}

}  // namespace

// The analyzer's stream reaches the statistics: every waveform value in its
// signal statistic (and four in the parameter statistics), every record's
// values in the parameter statistics and as the last record.
TEST(LiveData, StreamReachesTheStatistics)
{
    MainRig R;
    {
        auto L = R.Sim.Lock();
        sim::SimSample S;
        S.Flow = 12.5;
        S.Volume = 321;
        S.AirwayPressure = 7.5;
        S.Oxygen = 40;
        S.Temperature = 300;
        S.RelHumidity = 55;
        S.BaroPressure = 750;
        R.Sim.Device().Waveform = {S};
        R.Sim.Device().ParameterPeriodMs = 50;
        sim::SimParameters P;
        P.PIP = 23;
        P.Rate = 14;
        R.Sim.Device().Parameters = {P};
    }
    R.StartSim();
    R.ConnectAtOwnRate();
    TMainForm& F = *R.Form;
    ASSERT_TRUE(ProcessUntil(
        [&] { return Probe(F).ParamStats(parPIP).Current() != NoValue && Probe(F).SampleTime() > 5; }, 3000));
    EXPECT_NEAR(F.SignalStats(sigFlow).Current(), 12.5, 0.05);
    EXPECT_NEAR(F.SignalStats(sigVolume).Current(), 321, 0.5);
    EXPECT_NEAR(F.SignalStats(sigAirwayPressure).Current(), 7.5, 0.05);
    EXPECT_NEAR(F.SignalStats(sigOxygen).Current(), 40, 0.1);
    EXPECT_NEAR(Probe(F).ParamStats(parOxygen).Current(), 40, 0.1);
    EXPECT_NEAR(Probe(F).ParamStats(parBaroPressure).Current(), 750, 0.5);
    EXPECT_NEAR(Probe(F).ParamStats(parTemperature).Current(), 300, 0.1);
    EXPECT_NEAR(Probe(F).ParamStats(parRelHumidity).Current(), 55, 0.1);
    EXPECT_EQ(F.SignalStats(sigFlow).FormatMax(false), "12.50");
    EXPECT_EQ(F.SignalStats(sigTemperature).DisplayUnitName(), "deg C");
    EXPECT_NEAR(Probe(F).ParamStats(parPIP).Current(), 23, 0.05);
    EXPECT_NEAR(Probe(F).ParamStats(parRespiratoryRate).Current(), 14, 0.05);
    EXPECT_NEAR(F.LastParameters().GetValue(parPIP), 23, 0.05);
}

// A status frame from the analyzer sets the status fields, the checks of the
// menus and the status-bar texts.
TEST(LiveData, StatusFrameSetsChecksAndStatusBar)
{
    MainRig R;
    {
        auto L = R.Sim.Lock();
        sim::SimStatus& S = R.Sim.Device().Status;
        S.FlowPort = 0;
        S.ZeroMode = 1;
        S.Correction = 3;
        S.BreathDetect = 2;
        S.BreathThreshold = 1.5;
        S.AmbientTemp = 295;
    }
    R.StartSim();
    R.Build();
    ZebbSer->SetBaudIfOpen(38400);
    R.Sim.SendStatus();
    TMainForm& F = *R.Form;
    ASSERT_TRUE(ProcessUntil([&] { return !Panel(F, 2).empty(); }, 2000));
    EXPECT_EQ(Panel(F, 1), "Manual Zero");
    EXPECT_EQ(Panel(F, 2), "STPD21");
    EXPECT_EQ(Panel(F, 3), "Low Flow");
    EXPECT_TRUE(Find<TAction>(&F, "actnZeroManual")->Checked());
    EXPECT_FALSE(Find<TAction>(&F, "actnZeroAuto")->Checked());
    EXPECT_TRUE(Find<TAction>(&F, "actnFlowPortLow")->Checked());
    EXPECT_TRUE(Find<TAction>(&F, "actnBDUniInsp")->Checked());
    EXPECT_TRUE(Find<TAction>(&F, "actnSerialModeNone")->Checked());
    EXPECT_EQ(Probe(F).BreathDetectMode(), 2);
    EXPECT_NEAR(Probe(F).BreathThreshold(), 1.5, 0.01);
    EXPECT_NEAR(Probe(F).AmbientTemp(), 295, 0.1);
}

// Device identity: the kind from the reply and the version, and the menus
// and actions each kind enables.
TEST(DeviceKind, IdentitySwitchesMenusAndActions)
{
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    struct Case {
        int Kind;
        const char* Version;
        TDeviceKind Expected;
    };
    const Case Cases[] = {{1, "1.05.13", dkAnalyzerOldFirmware},
                          {1, "1.05.14", dkAnalyzer},
                          {2, "1.05.14", dkHandheld},
                          {2, "", dkHandheld},
                          {1, "01.08.09", dkAnalyzer}};
    for (const Case& C : Cases) {
        F.ConfigureForDevice(C.Kind, C.Version);
        SCOPED_TRACE(std::to_string(C.Kind) + " " + C.Version);
        EXPECT_EQ(F.DeviceKind(), C.Expected);
        EXPECT_EQ(F.DeviceVersion(), C.Version);
        const bool Handheld = C.Expected == dkHandheld;
        const bool Analyzer = C.Expected == dkAnalyzer;
        EXPECT_EQ(Find<TMenuItem>(&F, "mnuZRMobile")->Visible(), Handheld);
        EXPECT_EQ(F.ActionWanted(Find<TAction>(&F, "actnDownloadFiles")), Handheld);
        EXPECT_EQ(F.ActionWanted(Find<TAction>(&F, "actnLoadFirmware")), Analyzer);
        EXPECT_EQ(Find<TMenuItem>(&F, "mnuFlowPort")->Visible(), Analyzer);
        EXPECT_EQ(Find<TMenuItem>(&F, "mnuZeroingMode")->Visible(), Analyzer);
        EXPECT_EQ(Find<TMenuItem>(&F, "mnuCalibVIDuri")->Visible(), Analyzer);
        for (TAction* A : ActionsNamed(&F, {"actnFlowPortHigh", "actnFlowPortLow", "actnZeroAuto", "actnZeroManual",
                                            "actnZeroFlow", "actnZeroHPress", "actnZeroLPress", "actnZeroVolume",
                                            "actnBDBiDi", "actnBDUniInsp", "actnBDUniExp", "actnBDNone"}))
            EXPECT_EQ(F.ActionWanted(A), Analyzer) << A->Name();
        // Not switched by the kind.
        EXPECT_TRUE(F.ActionWanted(Find<TAction>(&F, "actnZeroAll")));
    }
}

// The status setters at the edges of their codes.
TEST(DeviceStatus, SettersAtTheirEdges)
{
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;

    F.ShowSerialMode(2);
    EXPECT_TRUE(Find<TAction>(&F, "actnSerialModeParameters")->Checked());
    F.ShowSerialMode(4);
    for (TAction* A : ActionsNamed(&F, {"actnSerialModeBoth", "actnSerialModeWaveform", "actnSerialModeParameters",
                                        "actnSerialModeNone"}))
        EXPECT_FALSE(A->Checked()) << A->Name();

    struct CorrectionCase {
        int Mode;
        const char* Text;
    };
    for (const CorrectionCase& C : {CorrectionCase{0, "ATP"}, {1, "STPD0"}, {2, "BTPS"}, {3, "STPD21"}, {7, "STPD21"}}) {
        F.SetCorrectionMode(C.Mode);
        EXPECT_EQ(Panel(F, 2), C.Text) << C.Mode;
    }

    struct PortCase {
        TDeviceKind Kind;
        int Port;
        const char* Text;
        bool High;
        bool Low;
    };
    const PortCase Ports[] = {{dkAnalyzer, 2, "High Flow", true, false},   {dkAnalyzer, 0, "Low Flow", false, true},
                              {dkHandheld, 1, "High Flow", false, false},  {dkHandheld, 3, "Low Press", false, false},
                              {dkHandheld, 4, "Low Flow", false, false},   {dkHandheld, 2, "No Sensor", false, false}};
    for (const PortCase& C : Ports) {
        F.SetDeviceKind(static_cast<uint8_t>(C.Kind));
        F.ShowFlowPort(C.Port);
        SCOPED_TRACE(std::to_string(C.Kind) + "/" + std::to_string(C.Port));
        EXPECT_EQ(Panel(F, 3), C.Text);
        EXPECT_EQ(Find<TAction>(&F, "actnFlowPortHigh")->Checked(), C.High);
        EXPECT_EQ(Find<TAction>(&F, "actnFlowPortLow")->Checked(), C.Low);
        EXPECT_EQ(Probe(F).FlowPort(), C.Port);
    }

    struct BreathCase {
        int Mode;
        const char* Checked;
        int Image;
    };
    const BreathCase Modes[] = {{0, "actnBDNone", 11},
                                {1, "actnBDBiDi", 8},
                                {2, "actnBDUniInsp", 9},
                                {3, "actnBDUniExp", 10},
                                {9, "actnBDBiDi", 8}};
    for (const BreathCase& C : Modes) {
        F.ShowBreathDetectMode(C.Mode);
        for (TAction* A : ActionsNamed(&F, {"actnBDBiDi", "actnBDNone", "actnBDUniInsp", "actnBDUniExp"}))
            EXPECT_EQ(A->Checked(), A->Name() == C.Checked) << C.Mode << " " << A->Name();
        EXPECT_EQ(Find<TToolButton>(&F, "btnBreathDetect")->ImageIndex(), C.Image) << C.Mode;
    }

    F.ShowZeroMode(0);
    EXPECT_EQ(Panel(F, 1), "Automatic Zero");
    EXPECT_TRUE(Find<TAction>(&F, "actnZeroAuto")->Checked());
    F.ShowZeroMode(5);
    EXPECT_EQ(Panel(F, 1), "Manual Zero");
    EXPECT_FALSE(Find<TAction>(&F, "actnZeroAuto")->Checked());
}

// While the syringe calibration takes the stream, nothing of the main
// window's statistics changes; and samples without values leave the
// statistics' extremes alone.
TEST(LiveData, SyringeCalibrationAndAbsentValues)
{
    MainRig R;
    R.Build();
    TMainForm& F = *R.Form;
    TWaveformSample S;
    S.Flow = 30;
    S.SampleCounter = 7;
    Probe(F).SetSyringeCalActive(true);
    F.NewWaveformSample(S);
    TParameterStruct P;
    F.NewParameters(P);
    EXPECT_EQ(F.SignalStats(sigFlow).Current(), 0.0f);
    EXPECT_EQ(Probe(F).SampleTime(), 0);
    EXPECT_TRUE(F.SignalStats(sigFlow).ResetPending());

    Probe(F).SetSyringeCalActive(false);
    F.NewWaveformSample(S);
    S.Flow = NoValue;
    S.Flags[0] = 1;
    S.SampleCounter = 8;
    F.NewWaveformSample(S);
    EXPECT_EQ(F.SignalStats(sigFlow).Current(), NoValue);
    EXPECT_EQ(F.SignalStats(sigFlow).FormatMax(false), "30.00");
    EXPECT_EQ(Probe(F).SampleTime(), 8);
    EXPECT_EQ(Probe(F).SampleMarker(), 1);
}
