// Syringe calibration and verification: end to end against the simulator's
// syringe strokes, and the dialog's plot and labels fed directly.
#include "tests/workbench/MainRig.h"
#include "tests/support/Components.h"
#include "tests/workbench/DialogRig.h"

#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/Dialogs.h"
#include "platform/Graphics.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "widgets/IcNumEdit.h"
#include "workbench/SyrCalDialog.h"

#include <functional>

namespace {

// Modal forms answered by name and run count (from 1), message boxes with
// OK; what was asked is kept.
struct Answers {
    std::function<int(TComponent*, const std::string&, int)> OnForm;
    std::vector<std::string> Forms;
    std::vector<std::string> Boxes;
    std::map<std::string, int> Runs;
    TDialogAnswerer Old;

    Answers()
    {
        Old = SetDialogAnswerer([this](const TDialogRequest& Q, TDialogAnswer& A) {
            if (Q.Kind == TDialogKind::ModalForm) {
                Forms.push_back(Q.Name);
                A.ModalResult = OnForm ? OnForm(dynamic_cast<TComponent*>(Q.Dialog), Q.Name, ++Runs[Q.Name])
                                       : mrCancel;
                return true;
            }
            if (Q.Kind == TDialogKind::MessageBox) {
                Boxes.push_back(Q.Text);
                A.ModalResult = mrOk;
                return true;
            }
            return false;
        });
    }
    ~Answers() { SetDialogAnswerer(Old); }
};

std::string Text(const sim::Frame& F)
{
    return std::string(1, static_cast<char>(F.Type)) + std::string(F.Payload.begin(), F.Payload.end());
}

struct SyringeRig {
    MainRig R;
    std::unique_ptr<WorkbenchDialogs> D;
    std::unique_ptr<TdlgSyrCal> SyrCal;

    SyringeRig()
    {
        {
            auto L = R.Sim.Lock();
            R.Sim.Device().Syringe.ErrorPercent = -1;
        }
        R.StartSim();
        R.ConnectAtOwnRate();
        D = std::make_unique<WorkbenchDialogs>();
        SyrCal.reset(new TdlgSyrCal(nullptr, ZebbSer));
        dlgSyrCal = SyrCal.get();
        ProcessFor(100);
        R.Sim.ClearReceived();
    }
    ~SyringeRig() { dlgSyrCal = nullptr; }
    TAction* Action(const std::string& Name) { return Find<TAction>(R.Form.get(), Name); }
    // The frames sent since the last call, as type and payload.
    std::vector<std::string> Sent()
    {
        std::vector<std::string> Out;
        for (const sim::Frame& F : R.Sim.Received())
            Out.push_back(Text(F));
        R.Sim.ClearReceived();
        return Out;
    }
    int SizeEntered(TComponent* F, const char* Size)
    {
        Find<TIcNumSpin>(F, "eValue")->SetText(Size);
        return mrOk;
    }
};

const std::string ZeroFlow = "ZF";
const std::string Size3000 = std::string("CF\x0B\xB8", 4);

}  // namespace

// A 3000 mL calibration with strokes 1 % short: zero flow, the size, both
// outputs, the dialog showing 2970.0 and -1.0 % while the main window stands
// still, and Accept applying the correction.
TEST(SyringeCalibration, AcceptedCalibrationAgainstTheSimulator)
{
    SyringeRig G;
    std::string TVi, PDiff, Caption, OkCaption;
    bool MainStill = false;
    Answers A;
    A.OnForm = [&](TComponent* F, const std::string& Name, int) {
        if (Name == "dlgValueEntry") {
            EXPECT_EQ(dynamic_cast<TForm*>(F)->Caption(), "Calibration");
            EXPECT_EQ(Find<TLabel>(F, "lblValLabel")->Caption(), "Syringe Size (ml):");
            EXPECT_EQ(Find<TIcNumSpin>(F, "eValue")->Value(), 3000);
            return G.SizeEntered(F, "3000");
        }
        EXPECT_TRUE(Probe(*G.R.Form).SyringeCalActive());
        const int32_t Sample = Probe(*G.R.Form).SampleTime();
        const std::string Label = Find<TLabel>(G.R.Form.get(), "lblCurrMonitor1")->Caption();
        const float Flow = G.R.Form->SignalStats(sigFlow).Current();
        EXPECT_TRUE(ProcessUntil([&] { return G.SyrCal->Strokes() >= 2; }, 20000));
        TVi = Find<TEdit>(F, "eTVi")->Text();
        PDiff = Find<TLabel>(F, "lblInspPDiff")->Caption();
        Caption = dynamic_cast<TForm*>(F)->Caption();
        OkCaption = Find<TButton>(F, "OKBtn")->Caption();
        MainStill = Probe(*G.R.Form).SampleTime() == Sample &&
                    Find<TLabel>(G.R.Form.get(), "lblCurrMonitor1")->Caption() == Label &&
                    G.R.Form->SignalStats(sigFlow).Current() == Flow;
        // For a person to look at: the dialog during the strokes.
        auto* Form = dynamic_cast<TForm*>(F);
        Form->Show();
        ProcessFor(150);
        std::unique_ptr<TBitmap> Image(Form->GetFormImage());
        if (Image)
            Image->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/workbench-syringe-calibration.png");
        Form->Hide();
        return mrOk;
    };
    G.Action("actnSyringeCalibration")->Execute();
    EXPECT_EQ(A.Forms, (std::vector<std::string>{"dlgValueEntry", "dlgSyrCal"}));
    EXPECT_EQ(TVi, "2970.0");
    EXPECT_EQ(PDiff, "-1.0 % diff");
    EXPECT_EQ(Caption, "Syringe Calibration");
    EXPECT_EQ(OkCaption, "Accept");
    EXPECT_TRUE(MainStill);
    EXPECT_FALSE(Probe(*G.R.Form).SyringeCalActive());
    EXPECT_EQ(G.Sent(), (std::vector<std::string>{ZeroFlow, Size3000, "M3", "C1"}));
    auto L = G.R.Sim.Lock();
    EXPECT_TRUE(G.R.Sim.Device().Syringe.Corrected);
}

// Cancelling the size entry sends only the zero; a size that does not fit
// 1 to 65,535 mL is refused with a message and the dialog never runs.
TEST(SyringeCalibration, SizeCancelledOrOutOfRange)
{
    SyringeRig G;
    for (const char* Size : {"", "0.5", "65536", "70000"}) {
        Answers A;
        A.OnForm = [&](TComponent* F, const std::string& Name, int) {
            return *Size ? G.SizeEntered(F, Size) : mrCancel;
        };
        G.Action("actnSyringeCalibration")->Execute();
        EXPECT_EQ(A.Forms, std::vector<std::string>{"dlgValueEntry"}) << Size;
        EXPECT_EQ(A.Boxes.size(), *Size ? 1u : 0u) << Size;
        EXPECT_EQ(G.Sent(), std::vector<std::string>{ZeroFlow}) << Size;
        EXPECT_FALSE(Probe(*G.R.Form).SyringeCalActive());
    }
}

// Verification: "Calibrate" runs the calibration (here rejected: 'C' '0');
// closed by its window button it just ends.
TEST(SyringeCalibration, VerificationCalibratesOnlyOnItsButton)
{
    SyringeRig G;
    {
        Answers A;
        std::string Caption, CancelCaption, ZeroCaption;
        std::vector<std::string> ZeroFrames;
        A.OnForm = [&](TComponent* F, const std::string& Name, int Run) {
            if (Name == "dlgValueEntry")
                return G.SizeEntered(F, "3000");
            if (Run == 1) {
                Caption = dynamic_cast<TForm*>(F)->Caption();
                CancelCaption = Find<TButton>(F, "CancelBtn")->Caption();
                // Escape does not press "Calibrate".
                EXPECT_FALSE(Find<TButton>(F, "CancelBtn")->Cancel());
                // Zero: confirmed, both zero codes, the button waits for
                // the next sample.
                TButton* Zero = Find<TButton>(F, "btnZero");
                G.Sent();
                Zero->Click();
                ZeroFrames = G.Sent();
                ZeroCaption = Zero->Caption();
                EXPECT_TRUE(ProcessUntil([&] { return Zero->Enabled() && Zero->Caption() == "Zero"; }));
                return Find<TButton>(F, "CancelBtn")->ModalResult();
            }
            return static_cast<int>(mrCancel);
        };
        G.Action("actnSyringeVerification")->Execute();
        EXPECT_EQ(Caption, "Syringe Verification");
        EXPECT_EQ(CancelCaption, "Calibrate");
        EXPECT_EQ(A.Forms, (std::vector<std::string>{"dlgSyrCal", "dlgValueEntry", "dlgSyrCal"}));
        EXPECT_EQ(A.Boxes, std::vector<std::string>{"Disconnect flow.  Click Ok to zero."});
        EXPECT_EQ(ZeroFrames, (std::vector<std::string>{"Z2", "Zb"}));
        EXPECT_EQ(ZeroCaption, "Please Wait");
        EXPECT_EQ(G.Sent(), (std::vector<std::string>{ZeroFlow, Size3000, "M3", "C0"}));
    }
    {
        // The window's close button (or Escape) gives mrCancel.
        Answers A;
        A.OnForm = [](TComponent*, const std::string&, int) { return static_cast<int>(mrCancel); };
        G.Action("actnSyringeVerification")->Execute();
        EXPECT_EQ(A.Forms, std::vector<std::string>{"dlgSyrCal"});
        EXPECT_EQ(G.Sent(), std::vector<std::string>{ZeroFlow});
        EXPECT_FALSE(Probe(*G.R.Form).SyringeCalActive());
    }
    // Verification starts from the last calibration's size.
    EXPECT_FLOAT_EQ(G.SyrCal->SyringeVolume(), 3000);
}

namespace {

struct DialogOnly {
    DialogOnly() { EnsureApplication(); }
    WorkbenchDialogs D;
    std::unique_ptr<TdlgSyrCal> Dlg{new TdlgSyrCal(nullptr, nullptr)};
    TFastLineSeries* Series() { return Find<TFastLineSeries>(Dlg.get(), "seriesMonitor1_1"); }
    std::string Label(const char* Name) { return Find<TLabel>(Dlg.get(), Name)->Caption(); }
    void Run(float Volume)
    {
        ModalAnswer A(nullptr, mrOk);
        Dlg->Execute(Volume, true);
    }
    static TWaveformSample Sample(float Flow, bool Marker = false)
    {
        TWaveformSample S;
        S.Flow = Flow;
        S.Flags[0] = Marker ? 1 : 0;
        return S;
    }
};

}  // namespace

// Peak flow per time reads "-----" for an absent peak, an absent time or a
// time of 0; otherwise the peak divided by the time.
TEST(SyringeDialog, FlowPerTimeLabels)
{
    DialogOnly T;
    T.Run(3000);
    struct Case {
        float Peak, Time;
        const char* Max;
        const char* Avg;
    };
    const Case Cases[] = {
        {60, 1.5f, "60.0", "40.0"},
        {NoValue, 1.5f, "-----", "-----"},
        {60, NoValue, "60.0", "-----"},
        {60, 0, "60.0", "-----"},
    };
    for (const Case& C : Cases) {
        TParameterStruct P;
        P.Clear();
        P.SetSlot(TParameterStruct::SlotOf(parPeakInspFlow), C.Peak);
        P.SetSlot(TParameterStruct::SlotOf(parInspTime), C.Time);
        T.Dlg->AddParameters(P);
        EXPECT_EQ(T.Label("lblPosMax"), C.Max) << C.Peak << " " << C.Time;
        EXPECT_EQ(T.Label("lblPosAvg"), C.Avg) << C.Peak << " " << C.Time;
        EXPECT_EQ(T.Label("lblNegMax"), "-----");
        EXPECT_EQ(T.Label("lblNegAvg"), "-----");
    }
    EXPECT_EQ(T.Label("lblNStrokes"), "4");
    EXPECT_EQ(T.Label("lblInspPDiff"), "----- % diff");
}

// Flows within 0.5 L/min of zero count in neither statistic; a breath marker
// with manual scaling keeps the axes but replots the last ten samples from
// x = 0.1 s; without markers the plot keeps its newest points only.
TEST(SyringeDialog, PlotAndFlowStatistics)
{
    DialogOnly T;
    T.Run(1000);
    T.Dlg->AddSample(DialogOnly::Sample(0.4f));
    T.Dlg->AddSample(DialogOnly::Sample(-0.5f));
    EXPECT_EQ(T.Dlg->FlowStats(0).MaxValue(), NoValue);
    EXPECT_EQ(T.Dlg->FlowStats(1).MinValue(), NoValue);
    T.Dlg->AddSample(DialogOnly::Sample(30));
    T.Dlg->AddSample(DialogOnly::Sample(-20));
    EXPECT_FLOAT_EQ(T.Dlg->FlowStats(0).MaxValue(), 30);
    EXPECT_FLOAT_EQ(T.Dlg->FlowStats(1).MinValue(), -20);

    {
        ModalAnswer A(
            [](TComponent* F) {
                Find<TIcNumSpin>(F, "eYMax")->SetText("50");
                Find<TIcNumSpin>(F, "eYMin")->SetText("-50");
            },
            mrOk);
        T.Dlg->mnitManualScaleClick(nullptr);
    }
    ASSERT_TRUE(T.Dlg->ManualScale());
    TChart* Chart = Find<TChart>(T.Dlg.get(), "chartMonitor1");
    for (int i = 1; i <= 12; ++i)
        T.Dlg->AddSample(DialogOnly::Sample(static_cast<float>(i)));
    T.Dlg->AddSample(DialogOnly::Sample(100, true));
    EXPECT_DOUBLE_EQ(Chart->LeftAxis()->Minimum(), -50);
    EXPECT_DOUBLE_EQ(Chart->LeftAxis()->Maximum(), 50);
    TFastLineSeries* S = T.Series();
    ASSERT_EQ(S->Count(), 11);
    EXPECT_NEAR(S->XValue(0), 0.1, 1e-6);
    EXPECT_DOUBLE_EQ(S->YValue(0), 3);   // the tenth newest
    EXPECT_DOUBLE_EQ(S->YValue(9), 12);  // the newest before the marker
    EXPECT_DOUBLE_EQ(S->YValue(10), 100);
    // The peaks restart with each breath.
    EXPECT_EQ(T.Dlg->FlowStats(0).MaxValue(), NoValue);

    for (int i = 0; i < TdlgSyrCal::MaxPlotPoints + 200; ++i)
        T.Dlg->AddSample(DialogOnly::Sample(10));
    EXPECT_LE(S->Count(), TdlgSyrCal::MaxPlotPoints);
    EXPECT_GT(S->Count(), TdlgSyrCal::MaxPlotPoints - TdlgSyrCal::PlotPointsDropped);
}

// At a breath marker the axes follow the flows (x 1.5) and the breath's
// times (five breaths) until the user scales them; the time span chosen by
// hand scales manually too.
TEST(SyringeDialog, AxesFollowTheBreathUntilScaledByHand)
{
    DialogOnly T;
    T.Run(1000);
    TChart* Chart = Find<TChart>(T.Dlg.get(), "chartMonitor1");
    TParameterStruct P;
    P.Clear();
    P.SetSlot(TParameterStruct::SlotOf(parInspTime), 1);
    P.SetSlot(TParameterStruct::SlotOf(parExpTime), 2);
    T.Dlg->AddParameters(P);
    T.Dlg->AddSample(DialogOnly::Sample(30));
    T.Dlg->AddSample(DialogOnly::Sample(-20));
    T.Dlg->AddSample(DialogOnly::Sample(5, true));
    EXPECT_DOUBLE_EQ(Chart->LeftAxis()->Minimum(), -30);
    EXPECT_DOUBLE_EQ(Chart->LeftAxis()->Maximum(), 45);
    EXPECT_DOUBLE_EQ(Chart->BottomAxis()->Maximum(), 15);
    EXPECT_FLOAT_EQ(T.Dlg->TimeSpan(), 15);

    TPopupMenu* Menu = Find<TPopupMenu>(T.Dlg.get(), "menuPopup");
    Menu->OnPopup(Menu);
    EXPECT_TRUE(Find<TMenuItem>(T.Dlg.get(), "mnitAutoScale")->Checked());
    {
        ModalAnswer A([](TComponent* F) { Find<TIcNumSpin>(F, "eTime")->SetText("30"); }, mrOk);
        Find<TMenuItem>(T.Dlg.get(), "mnitTimeScale")->Click();
    }
    EXPECT_TRUE(T.Dlg->ManualScale());
    EXPECT_DOUBLE_EQ(Chart->BottomAxis()->Maximum(), 30);
    Menu->OnPopup(Menu);
    EXPECT_FALSE(Find<TMenuItem>(T.Dlg.get(), "mnitAutoScale")->Checked());
    EXPECT_TRUE(Find<TMenuItem>(T.Dlg.get(), "mnitTimeScale")->Checked());
    // Scaled by hand, a marker leaves the axes alone.
    T.Dlg->AddSample(DialogOnly::Sample(80));
    T.Dlg->AddSample(DialogOnly::Sample(5, true));
    EXPECT_DOUBLE_EQ(Chart->BottomAxis()->Maximum(), 30);
    EXPECT_DOUBLE_EQ(Chart->LeftAxis()->Maximum(), 45);
    Find<TMenuItem>(T.Dlg.get(), "mnitAutoScale")->Click();
    EXPECT_FALSE(T.Dlg->ManualScale());
}
