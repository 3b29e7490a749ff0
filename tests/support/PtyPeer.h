// The far end of a pseudo-terminal, for tests of code that opens a serial
// device: the code under test opens DevicePath(), the test reads and writes
// raw bytes here, reads the line settings the code set, and can hang up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TPtyPeer {
public:
    // Opens the pair; Ok() tells whether that worked.
    TPtyPeer();
    ~TPtyPeer();
    TPtyPeer(const TPtyPeer&) = delete;
    TPtyPeer& operator=(const TPtyPeer&) = delete;

    bool Ok() const { return FMaster >= 0; }
    // "/dev/pts/N": the device the code under test opens.
    const std::string& DevicePath() const { return FDevicePath; }

    // Writes all bytes, waiting up to TimeoutMs for room; false when they did
    // not all go.
    bool Write(const void* Data, size_t Len, int TimeoutMs = 2000);
    bool Write(const std::string& Bytes, int TimeoutMs = 2000);
    bool Write(const std::vector<uint8_t>& Bytes, int TimeoutMs = 2000);

    // The bytes that arrive within TimeoutMs, at most MaxLen; returns as soon
    // as MaxLen bytes are in.
    std::vector<uint8_t> Read(size_t MaxLen, int TimeoutMs);
    // Whatever has arrived by now, without waiting.
    std::vector<uint8_t> ReadAvailable();

    // The baud rate and stop bits the device side is set to now; 0 when
    // unknown. (A pseudo-terminal always runs 8 data bits without parity,
    // whatever is asked of it, so those cannot be seen here.)
    int Baud() const;
    int StopBits() const;

    // Closes the far end, as an unplugged cable or a simulator that quits:
    // the device side sees a hang-up.
    void HangUp();

private:
    int FMaster = -1;
    int FSlave = -1;   // kept open so the line settings can be read
    std::string FDevicePath;
};
