// Port numbers and the serial devices behind them.
//
// The program numbers its serial ports (the settings file keeps the number,
// the port dialogs show and return numbers). On Linux a number stands for a
// device by one fixed, reversible rule:
//     1 ..  99   <->  /dev/ttyS0   .. /dev/ttyS98
//   100 .. 199   <->  /dev/ttyUSB0 .. /dev/ttyUSB99
//   200 .. 299   <->  /dev/ttyACM0 .. /dev/ttyACM99
//   1000 + N     <->  /dev/pts/N        (pseudo-terminals, e.g. the simulator)
// Every other number (0 included) stands for no device.
#pragma once

#include <string>
#include <vector>

// "/dev/ttyUSB0" for 100; "" for a number the rule does not cover.
std::string PortNumberToDevice(int PortNumber);

// The number of a device: "/dev/ttyUSB0" or "ttyUSB0" give 100, "/dev/pts/3"
// or "pts/3" give 1003. A path that is a symbolic link to such a device
// (/dev/serial/by-id/...) gives the number of its target. 0 for anything else.
int DeviceToPortNumber(const std::string& Device);

// The number stands for a pseudo-terminal (1000 + N): a line that lives as
// long as the program at its other end, and whose number the next such
// program gets; it is no port to remember.
bool IsPseudoTerminalPort(int PortNumber);

// What the user sees for a port: its device path, or the number in decimal
// when the number stands for no device.
std::string PortDisplayName(int PortNumber);

// Numbers of the serial devices present (ttyS that have hardware behind
// them, ttyUSB, ttyACM), ascending.
std::vector<int> SerialPortNumbers();

// The numbers of the given device names or paths, ascending, each once;
// names outside the rule are left out.
std::vector<int> SerialPortNumbersOf(const std::vector<std::string>& Devices);
