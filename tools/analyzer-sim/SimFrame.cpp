#include "tools/analyzer-sim/SimFrame.h"

namespace sim {

uint8_t Checksum(const uint8_t* Data, size_t Count)
{
    uint8_t Sum = 0;
    for (size_t i = 0; i < Count; ++i)
        Sum = static_cast<uint8_t>(Sum + Data[i]);
    return Sum;
}

Bytes BuildFrame(uint8_t Type, const Bytes& Payload)
{
    Bytes F;
    F.reserve(Payload.size() + 5);
    F.push_back(kStart);
    F.push_back(Type);
    F.push_back(static_cast<uint8_t>(Payload.size() + 5));
    F.insert(F.end(), Payload.begin(), Payload.end());
    F.push_back(Checksum(F.data(), F.size()));
    F.push_back(kCR);
    return F;
}

void FrameReader::Feed(const uint8_t* Data, size_t Count, const Sink& OnEvent)
{
    FBuffer.insert(FBuffer.end(), Data, Data + Count);
    Frame Empty;
    for (;;) {
        size_t Avail = FBuffer.size() - FHead;
        if (Avail == 0)
            break;
        const uint8_t* P = FBuffer.data() + FHead;
        if (P[0] == kAck || P[0] == kNak) {
            ++FHead;
            OnEvent(P[0] == kAck ? Event::Ack : Event::Nak, Empty);
            continue;
        }
        if (P[0] != kStart) {
            ++FHead;
            OnEvent(Event::Garbage, Empty);
            continue;
        }
        if (Avail < 3)
            break;
        const int L = P[2];
        if (L < kMinFrameLength || L > kMaxFrameLength) {
            ++FHead;  // drop the start byte and look for the next one
            OnEvent(Event::BadLength, Empty);
            continue;
        }
        if (Avail < static_cast<size_t>(L))
            break;
        if (Checksum(P, static_cast<size_t>(L - 2)) != P[L - 2]) {
            ++FHead;
            OnEvent(Event::BadChecksum, Empty);
            continue;
        }
        Frame F;
        F.Type = P[1];
        F.Payload.assign(P + 3, P + L - 2);
        FHead += static_cast<size_t>(L);
        OnEvent(Event::Frame, F);
    }
    if (FHead > 0 && FHead == FBuffer.size()) {
        FBuffer.clear();
        FHead = 0;
    } else if (FHead > 4096) {
        FBuffer.erase(FBuffer.begin(), FBuffer.begin() + static_cast<std::ptrdiff_t>(FHead));
        FHead = 0;
    }
}

}  // namespace sim
