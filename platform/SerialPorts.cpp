#include "platform/SerialPorts.h"

#include <QSerialPortInfo>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <system_error>

namespace {

struct TDeviceFamily {
    const char* Name;   // device name without "/dev/" and without the index
    int First;          // port number of index 0
    int MaxIndex;       // highest index the family maps
};

const TDeviceFamily Families[] = {
    {"ttyS", 1, 98},
    {"ttyUSB", 100, 99},
    {"ttyACM", 200, 99},
    {"pts/", 1000, INT_MAX - 1000},
};

const std::string DevDir = "/dev/";

// Decimal digits without sign or leading zeros (device names have none), or -1.
int ParseIndex(const std::string& Text, int MaxIndex)
{
    if (Text.empty() || (Text.size() > 1 && Text[0] == '0'))
        return -1;
    long long value = 0;
    for (char c : Text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
        if (value > MaxIndex)
            return -1;
    }
    return static_cast<int>(value);
}

int NameToPortNumber(const std::string& Device)
{
    std::string name = Device;
    if (name.compare(0, DevDir.size(), DevDir) == 0)
        name.erase(0, DevDir.size());
    for (const TDeviceFamily& f : Families) {
        const std::string prefix = f.Name;
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const int index = ParseIndex(name.substr(prefix.size()), f.MaxIndex);
        if (index >= 0)
            return f.First + index;
    }
    return 0;
}

}  // namespace

std::string PortNumberToDevice(int PortNumber)
{
    for (const TDeviceFamily& f : Families) {
        if (PortNumber >= f.First && PortNumber - f.First <= f.MaxIndex)
            return DevDir + f.Name + std::to_string(PortNumber - f.First);
    }
    return std::string();
}

bool IsPseudoTerminalPort(int PortNumber)
{
    return PortNumber >= 1000;
}

int DeviceToPortNumber(const std::string& Device)
{
    if (const int number = NameToPortNumber(Device))
        return number;
    // A link such as /dev/serial/by-id/usb-... names the device it points to.
    std::error_code ec;
    if (Device.empty() || !std::filesystem::is_symlink(Device, ec))
        return 0;
    const std::filesystem::path target = std::filesystem::canonical(Device, ec);
    if (ec)
        return 0;
    return NameToPortNumber(target.string());
}

std::string PortDisplayName(int PortNumber)
{
    const std::string device = PortNumberToDevice(PortNumber);
    return device.empty() ? std::to_string(PortNumber) : device;
}

std::vector<int> SerialPortNumbersOf(const std::vector<std::string>& Devices)
{
    std::vector<int> numbers;
    for (const std::string& d : Devices) {
        const int n = NameToPortNumber(d);
        if (n > 0 && n < 1000)   // pseudo-terminals are no serial ports
            numbers.push_back(n);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

std::vector<int> SerialPortNumbers()
{
    // Qt leaves out the ttyS entries the kernel creates without a UART behind them.
    std::vector<std::string> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.push_back(info.systemLocation().toStdString());
    return SerialPortNumbersOf(devices);
}
