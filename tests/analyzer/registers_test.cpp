// Registers, memory, version, serial numbers and the printout header,
// against the simulator.
#include "tests/analyzer/CommandRig.h"

#include "platform/DialogHook.h"
#include "platform/Forms.h"

TEST(Registers, WriteThenReadRoundTrips)
{
    CommandRig Rig;
    Rig.Start();
    for (uint16_t Value : {uint16_t{0}, uint16_t{0x1234}, uint16_t{0xFFFE}}) {
        EXPECT_TRUE(Rig.Proto->WriteRegister(300, Value));
        EXPECT_EQ(Rig.Register(300), Value);
        EXPECT_EQ(Rig.Proto->ReadRegister(300), Value);
    }
    const auto Got = Rig.Got("E");
    ASSERT_FALSE(Got.empty());
    EXPECT_EQ(Shown(Got[0].Payload), Shown({0x01, 0x2C}));
}

TEST(Registers, SerialNumberJoinsTwoRegistersAsSigned32Bits)
{
    const struct {
        uint16_t High, Low;
        const char* Text;
    } Cases[] = {
        {1, 2, "65538"},
        {0x0001, 0xE240, "123456"},
        {0xFFFF, 0xFFFF, "-1"},
        {0x8000, 0, "-2147483648"},
    };
    CommandRig Rig;
    Rig.Start();
    for (const auto& C : Cases) {
        Rig.SetRegister(84, C.High);
        Rig.SetRegister(85, C.Low);
        EXPECT_EQ(Rig.Proto->ReadSerialNumber(), C.Text);
    }
}

TEST(Registers, HeaderTextGoesTwoCharactersPerRegisterLowByteFirst)
{
    CommandRig Rig;
    Rig.Start();
    for (uint16_t R = 49; R <= 68; ++R)
        Rig.SetRegister(R, 0x7777);
    Rig.Proto->WriteHeaderText("AB");
    EXPECT_EQ(Rig.Register(49), 0x4241);
    for (uint16_t R = 50; R <= 68; ++R)
        EXPECT_EQ(Rig.Register(R), 0) << R;
    // Only the first 40 characters go; an odd one pairs with a zero byte.
    Rig.Proto->WriteHeaderText(std::string(39, 'x') + "yz");
    EXPECT_EQ(Rig.Register(67), 'x' * 257);
    EXPECT_EQ(Rig.Register(68), 'y' * 256 + 'x');
    EXPECT_EQ(Rig.Got("W").size(), 40u);
    EXPECT_EQ(Rig.Register(69), 0);
}

TEST(Memory, HandheldSerialIsTheLeadingPrintableBytes)
{
    const struct {
        std::string Memory;
        const char* Text;
    } Cases[] = {
        {std::string("HH0123\0XYZ", 10), "HH0123"},
        {"ABCDEFGHIJKLMNOPQRS", "ABCDEFGHIJKLMNO"},
        {"AB\x1F" "CD", "AB"},
        {"", ""},
    };
    CommandRig Rig;
    Rig.Start();
    for (const auto& C : Cases) {
        {
            auto L = Rig.Sim.Lock();
            Rig.Sim.Device().Memory = sim::TextAt(9550, C.Memory);
        }
        EXPECT_EQ(Rig.Proto->ReadHandheldSerial(), C.Text);
    }
    const auto Got = Rig.Got("r");
    ASSERT_EQ(Got.size(), 4u);
    EXPECT_EQ(Shown(Got[0].Payload), Shown({0x00, 0x25, 0x4E, 15, 'P'}));
}

TEST(Memory, CountsTheReplyCannotCarryAreRefusedWithoutSending)
{
    CommandRig Rig;
    Rig.Start();
    {
        auto L = Rig.Sim.Lock();
        Rig.Sim.Device().Memory = sim::TextAt(0x012345, "abcdefghijklmnopqrstuvwxyz");
    }
    uint8_t Buffer[32];
    std::fill(std::begin(Buffer), std::end(Buffer), 0xAA);
    EXPECT_EQ(Rig.Proto->ReadMemory(9550, 0, Buffer), 0);
    EXPECT_EQ(Rig.Proto->ReadMemory(0x012345, 22, Buffer), 1);
    EXPECT_EQ(Rig.Proto->ReadMemory(0x012345, -1, Buffer), 1);
    EXPECT_EQ(Rig.Proto->ReadMemory(0x1000000, 4, Buffer), 1);
    EXPECT_TRUE(Rig.Got().empty());
    EXPECT_EQ(Buffer[0], 0xAA);
    // The longest read that fits copies exactly its count.
    EXPECT_EQ(Rig.Proto->ReadMemory(0x012345, 21, Buffer), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(Buffer), 21), "abcdefghijklmnopqrstu");
    EXPECT_EQ(Buffer[21], 0xAA);
}

TEST(Memory, NoReplyFailsEvenForAddressZero)
{
    CommandRig Rig;
    // The analyzer acknowledges the reads but never answers them.
    Rig.Sim.OnCommand('E', [](sim::AnalyzerSim&, const sim::Frame&) {});
    Rig.Sim.OnCommand('r', [](sim::AnalyzerSim&, const sim::Frame&) {});
    Rig.Start();
    EXPECT_EQ(Rig.Proto->ReadRegister(0), 0xFFFF);
    uint8_t Buffer[4] = {9, 9, 9, 9};
    EXPECT_EQ(Rig.Proto->ReadMemory(0, 4, Buffer), 1);
    EXPECT_EQ(Buffer[0], 9);
    EXPECT_EQ(Rig.Got("r").size(), 5u);
    EXPECT_EQ(Rig.Memo.CountOf("ERROR Reading Address:  0"), 5);
}

TEST(Version, QueryShowsTheVersionOnlyWhenAsked)
{
    CommandRig Rig;
    {
        auto L = Rig.Sim.Lock();
        Rig.Sim.Device().Version[0] = 2;
        Rig.Sim.Device().Version[1] = 3;
        Rig.Sim.Device().Version[2] = 14;
    }
    Rig.Start();
    ClearAnsweredDialogs();
    auto Old = SetDialogAnswerer([](const TDialogRequest&, TDialogAnswer& A) {
        A.ModalResult = mrOk;
        return true;
    });
    const auto Shows = [&Rig] {
        std::vector<std::string> Out;
        for (const std::string& C : Rig.Window.Calls)
            if (C.rfind("ShowDeviceVersion", 0) == 0)
                Out.push_back(C);
        return Out;
    };
    EXPECT_EQ(Rig.Proto->QueryVersion(false), "2.03.14");
    EXPECT_TRUE(Shows().empty());
    EXPECT_EQ(Rig.Proto->QueryVersion(true), "2.03.14");
    // The main window shows it; the link itself shows nothing.
    EXPECT_EQ(Shows(), std::vector<std::string>{"ShowDeviceVersion 2.03.14"});
    EXPECT_TRUE(AnsweredDialogs().empty());
    const auto Got = Rig.Got("V");
    ASSERT_EQ(Got.size(), 2u);
    EXPECT_EQ(Shown(Got[0].Payload), "P");

    // No answer: an empty text and nothing shown.
    Rig.Sim.SetSilent(true);
    ClearAnsweredDialogs();
    Rig.Window.Calls.clear();
    EXPECT_EQ(Rig.Proto->QueryVersion(true), "");
    EXPECT_TRUE(Shows().empty());
    SetDialogAnswerer(Old);
}
