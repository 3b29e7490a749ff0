// Frames as they cross the serial line in both directions:
//   ':' type L payload checksum CR, L = payload + 5, checksum = 8-bit sum of
//   every byte before it; ACK and NAK travel as single bytes between frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace sim {

constexpr uint8_t kStart = 0x3A;  // ':'
constexpr uint8_t kAck = 0x06;
constexpr uint8_t kNak = 0x15;
constexpr uint8_t kCR = 0x0D;
constexpr int kMinFrameLength = 5;
constexpr int kMaxFrameLength = 100;

using Bytes = std::vector<uint8_t>;

struct Frame {
    uint8_t Type = 0;
    Bytes Payload;
};

uint8_t Checksum(const uint8_t* Data, size_t Count);
// A whole frame ready for the wire.
Bytes BuildFrame(uint8_t Type, const Bytes& Payload);

// Splits a received byte stream into control bytes and frames. Bytes may
// arrive in any chunks; whatever is incomplete waits for the next Feed.
class FrameReader {
public:
    enum class Event { Ack, Nak, Frame, BadChecksum, BadLength, Garbage };
    using Sink = std::function<void(Event, const Frame&)>;

    void Feed(const uint8_t* Data, size_t Count, const Sink& OnEvent);
    size_t Pending() const { return FBuffer.size() - FHead; }

private:
    Bytes FBuffer;
    size_t FHead = 0;
};

}  // namespace sim
