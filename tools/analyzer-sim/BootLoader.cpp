#include "tools/analyzer-sim/BootLoader.h"

#include <algorithm>

namespace sim {

namespace {

const std::string WakeUp = "~8 \n\r";
const std::string Erase = "~8~1~3 \n\r";
const std::string End = "~2 \n\r";
constexpr int WakeUpBaud = 2400;
constexpr int LoadBaud = 19200;
constexpr size_t MaxControlString = 16;

// Where Text starts in Data, or npos.
size_t Find(const Bytes& Data, const std::string& Text)
{
    auto It = std::search(Data.begin(), Data.end(), Text.begin(), Text.end());
    return It == Data.end() ? std::string::npos : static_cast<size_t>(It - Data.begin());
}

// Keeps the tail that may still begin a string being looked for.
void KeepTail(Bytes& Data)
{
    if (Data.size() > MaxControlString)
        Data.erase(Data.begin(), Data.end() - MaxControlString);
}

}  // namespace

bool SimBootLoader::Feed(int Baud, int ConnectBaud, const uint8_t* Data, size_t Count, Bytes& Answer)
{
    std::lock_guard<std::mutex> L(FMu);
    const bool Running = FPhase == Phase::Woken || FPhase == Phase::Erased;
    if (Baud == ConnectBaud && !Running)
        return false;
    const bool Expected = (Running ? Baud == LoadBaud : Baud == WakeUpBaud);
    if (!Expected) {
        FPending.clear();  // noise at another rate breaks whatever was coming
        return true;
    }
    FPending.insert(FPending.end(), Data, Data + Count);
    switch (FPhase) {
    case Phase::Off:
    case Phase::Done:
        TakeOff(Baud);
        break;
    case Phase::Woken:
        TakeWoken(Baud);
        break;
    case Phase::Erased:
        TakeErased(Baud, Answer);
        break;
    }
    return true;
}

void SimBootLoader::TakeOff(int Baud)
{
    const size_t At = Find(FPending, WakeUp);
    if (At == std::string::npos) {
        KeepTail(FPending);
        return;
    }
    Recognised(Baud, WakeUp);
    FPhase = Phase::Woken;
    FPending.erase(FPending.begin(), FPending.begin() + static_cast<long>(At + WakeUp.size()));
}

void SimBootLoader::TakeWoken(int Baud)
{
    const size_t At = Find(FPending, Erase);
    if (At == std::string::npos) {
        KeepTail(FPending);
        return;
    }
    Recognised(Baud, Erase);
    FPhase = Phase::Erased;
    FRecords.clear();
    FPending.erase(FPending.begin(), FPending.begin() + static_cast<long>(At + Erase.size()));
    Bytes Ignored;
    TakeErased(Baud, Ignored);
}

void SimBootLoader::TakeErased(int Baud, Bytes& Answer)
{
    size_t Pos = 0;
    while (Pos < FPending.size() && FPhase == Phase::Erased) {
        const uint8_t Head = FPending[Pos];
        if (Head == '~') {
            const auto Cr = std::find(FPending.begin() + static_cast<long>(Pos), FPending.end(), kCR);
            if (Cr == FPending.end()) {
                if (FPending.size() - Pos > MaxControlString)
                    ++Pos;  // not a string of ours
                else
                    break;  // the rest is still coming
                continue;
            }
            const std::string Text(FPending.begin() + static_cast<long>(Pos), Cr + 1);
            Pos = static_cast<size_t>(Cr - FPending.begin()) + 1;
            if (Text == End) {
                Recognised(Baud, End);
                FPhase = Phase::Done;
            }
            continue;
        }
        if (Head != kStart) {
            ++Pos;  // between records the loader skips anything else
            continue;
        }
        if (FPending.size() - Pos < 2)
            break;
        const size_t Length = static_cast<size_t>(FPending[Pos + 1]) + 6;
        if (FPending.size() - Pos < Length)
            break;
        const Bytes Record(FPending.begin() + static_cast<long>(Pos), FPending.begin() + static_cast<long>(Pos + Length));
        Pos += Length;
        ++FRecordsReceived;
        uint8_t Sum = 0;
        for (size_t i = 1; i < Record.size(); ++i)
            Sum = static_cast<uint8_t>(Sum + Record[i]);
        auto Plan = FNakPlan.find(static_cast<int>(FRecords.size()));
        if (Sum != 0 || (Plan != FNakPlan.end() && Plan->second > 0)) {
            if (Sum == 0)
                --Plan->second;
            ++FNaksSent;
            Answer.push_back(kNak);
            continue;
        }
        FRecords.push_back(Record);
        Answer.push_back(kAck);
    }
    FPending.erase(FPending.begin(), FPending.begin() + static_cast<long>(Pos));
}

void SimBootLoader::Recognised(int Baud, const std::string& Text)
{
    FControlStrings.emplace_back(Baud, Text);
}

void SimBootLoader::Restart()
{
    std::lock_guard<std::mutex> L(FMu);
    FPhase = Phase::Off;
    FPending.clear();
}

bool SimBootLoader::Active() const
{
    std::lock_guard<std::mutex> L(FMu);
    return FPhase == Phase::Woken || FPhase == Phase::Erased;
}

void SimBootLoader::NakRecord(int Index, int Times)
{
    std::lock_guard<std::mutex> L(FMu);
    FNakPlan[Index] = Times;
}

SimBootLoader::Phase SimBootLoader::CurrentPhase() const
{
    std::lock_guard<std::mutex> L(FMu);
    return FPhase;
}

std::vector<std::pair<int, std::string>> SimBootLoader::ControlStrings() const
{
    std::lock_guard<std::mutex> L(FMu);
    return FControlStrings;
}

std::vector<Bytes> SimBootLoader::Records() const
{
    std::lock_guard<std::mutex> L(FMu);
    return FRecords;
}

int SimBootLoader::RecordsReceived() const
{
    std::lock_guard<std::mutex> L(FMu);
    return FRecordsReceived;
}

int SimBootLoader::NaksSent() const
{
    std::lock_guard<std::mutex> L(FMu);
    return FNaksSent;
}

}  // namespace sim
