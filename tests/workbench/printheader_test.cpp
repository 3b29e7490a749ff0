// "Printout Header": the string-entry dialog, the settings file and the
// analyzer's header registers, against the simulator on a pseudo-terminal.
#include "tests/workbench/DialogRig.h"
#include "tests/workbench/MainRig.h"

#include "platform/StdCtrls.h"

namespace {

// Registers 49 to 68 of the simulated analyzer.
std::vector<uint16_t> HeaderRegisters(MainRig& R)
{
    auto L = R.Sim.Lock();
    std::vector<uint16_t> Values;
    for (uint16_t Reg = 49; Reg <= 68; ++Reg) {
        const auto It = R.Sim.Device().Registers.find(Reg);
        Values.push_back(It == R.Sim.Device().Registers.end() ? 0xFFFF : It->second);
    }
    return Values;
}

// Sets every header register to a mark the header would not write.
void MarkHeaderRegisters(MainRig& R)
{
    auto L = R.Sim.Lock();
    for (uint16_t Reg = 49; Reg <= 68; ++Reg)
        R.Sim.Device().Registers[Reg] = 0x7777;
}

// The registers as the analyzer should hold Bytes (Windows-1252): two
// characters per register, the first in the low byte, zero-filled.
std::vector<uint16_t> Packed(const std::string& Bytes)
{
    std::vector<uint16_t> Values;
    for (size_t i = 0; i < 40; i += 2) {
        const auto Lo = static_cast<uint8_t>(i < Bytes.size() ? Bytes[i] : 0);
        const auto Hi = static_cast<uint8_t>(i + 1 < Bytes.size() ? Bytes[i + 1] : 0);
        Values.push_back(static_cast<uint16_t>(Hi << 8 | Lo));
    }
    return Values;
}

void EnterHeader(MainRig& R, const std::string& Text, int Result, std::string* Shown = nullptr)
{
    ModalAnswer A(
        [&](TComponent* D) {
            if (Shown)
                *Shown = dynamic_cast<TForm*>(D)->Caption() + "|" + Find<TLabel>(D, "Label")->Caption() + "|" +
                         Find<TEdit>(D, "eString")->Text();
            Find<TEdit>(D, "eString")->SetText(Text);
        },
        Result);
    Find<TAction>(R.Form.get(), "actnPrintHeader")->Execute();
    EXPECT_EQ(A.Runs, 1);
}

}  // namespace

// A 44-character header is stored whole; the analyzer gets its first 40
// characters in Windows-1252 ('?' for one the code page lacks).
TEST(PrintHeader, StoredWholeAndFirstFortySentToTheAnalyzer)
{
    WorkbenchDialogs D;
    MainRig R;
    R.Ini("Settings", "Print Header", "Old header");
    R.StartSim();
    R.ConnectAtOwnRate();
    ASSERT_TRUE(Probe(*R.Form).Connected());
    ASSERT_NE(R.Form->DeviceKind(), dkHandheld);
    MarkHeaderRegisters(R);

    // 44 characters: "é" and "€" are in the code page, "Ω" is not.
    const std::string Header = "Caf\xC3\xA9 \xE2\x82\xAC" "5 \xCE\xA9 Ward 7 / Bench 12 / 0123456789ABCD";
    ASSERT_EQ(Utf8Length(Header), 44u);
    std::string Shown;
    EnterHeader(R, Header, mrOk, &Shown);
    EXPECT_EQ(Shown, "Print Header|Printout Header|Old header");
    EXPECT_EQ(R.Form->PrintHeader(), Header);
    EXPECT_EQ(R.IniValue("Settings", "Print Header"), Header);
    EXPECT_EQ(HeaderRegisters(R), Packed("Caf\xE9 \x80" "5 ? Ward 7 / Bench 12 / 0123456789"));
}

// A handheld, or no analyzer at all: the header is only stored. Cancel
// changes nothing anywhere.
TEST(PrintHeader, HandheldOrNoConnectionStoresOnlyAndCancelChangesNothing)
{
    const struct {
        const char* Name;
        bool Sim;
        bool Handheld;
    } Cases[] = {{"handheld", true, true}, {"no analyzer", false, false}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        WorkbenchDialogs D;
        MainRig R;
        if (C.Sim) {
            {
                auto L = R.Sim.Lock();
                R.Sim.Device().Kind = sim::DeviceKind::Handheld;
            }
            R.StartSim();
            R.Connect();
            ASSERT_TRUE(Probe(*R.Form).Connected());
            ASSERT_EQ(R.Form->DeviceKind(), dkHandheld);
            MarkHeaderRegisters(R);
            R.Sim.ClearReceived();
        } else {
            R.Build();
        }
        EnterHeader(R, "Ward 9", mrOk);
        EXPECT_EQ(R.Form->PrintHeader(), "Ward 9");
        EXPECT_EQ(R.IniValue("Settings", "Print Header"), "Ward 9");
        if (C.Sim) {
            EXPECT_TRUE(R.Got('W').empty());
            EXPECT_EQ(HeaderRegisters(R), std::vector<uint16_t>(20, 0x7777));
        }

        EnterHeader(R, "Ward 10", mrCancel);
        EXPECT_EQ(R.Form->PrintHeader(), "Ward 9");
        EXPECT_EQ(R.IniValue("Settings", "Print Header"), "Ward 9");
    }
}
