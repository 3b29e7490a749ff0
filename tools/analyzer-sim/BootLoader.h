// The analyzer's boot loader as the simulator plays it.
//
// Off: the application firmware runs; at 2,400 baud the loader listens for
// the wake-up string "~8 \n\r". Woken: at 19,200 baud it waits for the erase
// string "~8~1~3 \n\r", which erases the flash. Erased: it takes binary
// records (':' n address-high address-low type n data bytes checksum, the
// checksum making the sum of all bytes after the ':' zero) at 19,200 baud
// and answers each with ACK, or NAK when the checksum is wrong or a test
// asked for it; "~2 \n\r" ends the load (Done) and the application firmware
// runs again. Bytes at any other rate are noise to it.
#pragma once

#include "tools/analyzer-sim/SimFrame.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace sim {

class SimBootLoader {
public:
    enum class Phase { Off, Woken, Erased, Done };

    // The reader thread hands every chunk of received bytes here first, with
    // the rate the line runs at. True when the loader took them (the
    // application firmware then hears nothing); Answer gets what to send.
    bool Feed(int Baud, int ConnectBaud, const uint8_t* Data, size_t Count, Bytes& Answer);
    // A new line: back to Off, nothing half received. Records, strings and
    // the NAK plan stay for the test to read.
    void Restart();
    // True while the loader, not the application firmware, runs.
    bool Active() const;

    // ------------------------------------------------------------- faults
    // The record at this position of the load (0-based, counted over both
    // files as they are accepted) is answered with NAK Times times before it
    // is accepted.
    void NakRecord(int Index, int Times);

    // ------------------------------------------------------- observations
    Phase CurrentPhase() const;
    // Every boot-loader string recognised, with the rate it came at.
    std::vector<std::pair<int, std::string>> ControlStrings() const;
    // The records accepted since the last erase, byte for byte as received.
    std::vector<Bytes> Records() const;
    int RecordsReceived() const;  // every record that arrived whole, resends included
    int NaksSent() const;

private:
    void TakeOff(int Baud);
    void TakeWoken(int Baud);
    void TakeErased(int Baud, Bytes& Answer);
    void Recognised(int Baud, const std::string& Text);

    mutable std::mutex FMu;
    Phase FPhase = Phase::Off;
    Bytes FPending;
    std::map<int, int> FNakPlan;
    std::vector<std::pair<int, std::string>> FControlStrings;
    std::vector<Bytes> FRecords;
    int FRecordsReceived = 0;
    int FNaksSent = 0;
};

}  // namespace sim
