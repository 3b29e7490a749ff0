#include "platform/SerialPorts.h"

#include "tests/support/PtyPeer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

TEST(PortNumbers, MapToDevicesAndBack)
{
    const struct {
        int Number;
        const char* Device;
    } cases[] = {
        {1, "/dev/ttyS0"},       {2, "/dev/ttyS1"},       {99, "/dev/ttyS98"},
        {100, "/dev/ttyUSB0"},   {199, "/dev/ttyUSB99"},  {200, "/dev/ttyACM0"},
        {299, "/dev/ttyACM99"},  {1000, "/dev/pts/0"},    {1042, "/dev/pts/42"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Device);
        EXPECT_EQ(PortNumberToDevice(c.Number), c.Device);
        EXPECT_EQ(DeviceToPortNumber(c.Device), c.Number);
        EXPECT_EQ(DeviceToPortNumber(std::string(c.Device).substr(5)), c.Number);   // without "/dev/"
        EXPECT_EQ(PortDisplayName(c.Number), c.Device);
        EXPECT_EQ(IsPseudoTerminalPort(c.Number), c.Number >= 1000);
    }
}

TEST(PortNumbers, OutsideTheRuleMapToNothing)
{
    for (int n : {0, -1, 300, 999}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(PortNumberToDevice(n), "");
        EXPECT_EQ(PortDisplayName(n), std::to_string(n));
    }
    for (const char* d : {"", "/dev/ttyS99", "/dev/ttyS01", "/dev/ttyUSB", "/dev/ttyUSB100",
                          "/dev/ttyACM-1", "/dev/tty0", "/dev/ttySAC0", "/dev/pts/x",
                          "/dev/pts/99999999999", "/dev/ttyUSB0 ", "COM3", "/tmp/ttyUSB0"}) {
        SCOPED_TRACE(d);
        EXPECT_EQ(DeviceToPortNumber(d), 0);
    }
}

TEST(PortNumbers, LinkNamesTheDeviceItPointsTo)
{
    TPtyPeer peer;
    ASSERT_TRUE(peer.Ok());
    const std::string link = std::string(OZ_TEST_ARTIFACTS) + "/serialports-link-" +
                             std::to_string(::getpid());
    std::filesystem::remove(link);
    std::filesystem::create_symlink(peer.DevicePath(), link);
    EXPECT_EQ(DeviceToPortNumber(link), DeviceToPortNumber(peer.DevicePath()));
    EXPECT_GE(DeviceToPortNumber(link), 1000);
    std::filesystem::remove(link);
}

TEST(PortList, KeepsSerialDevicesInOrderOnce)
{
    EXPECT_EQ(SerialPortNumbersOf({"/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyUSB1", "/dev/pts/3",
                                   "/dev/ttyAMA0", "/dev/ttyACM0", "ttyS4"}),
              (std::vector<int>{1, 5, 101, 200}));
    EXPECT_TRUE(SerialPortNumbersOf({}).empty());
}

TEST(PortList, ListsOnlyDevicesThatExist)
{
    const std::vector<int> ports = SerialPortNumbers();
    for (size_t i = 0; i < ports.size(); ++i) {
        SCOPED_TRACE(ports[i]);
        EXPECT_TRUE(std::filesystem::exists(PortNumberToDevice(ports[i])));
        if (i > 0) {
            EXPECT_LT(ports[i - 1], ports[i]);
        }
    }
}

}  // namespace
