// The program's end of the simulator's line for the simulator's own tests:
// raw bytes in and out, frames split by the simulator's frame reader, and
// the values of waveform and parameter frames read at the places the
// analyzer's frame layout gives (frame offset - 3 in a payload), so the
// simulator's encoder is checked against the layout rather than itself.
#pragma once

#include "tools/analyzer-sim/AnalyzerSim.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

namespace simtest {

using sim::Bytes;

// The program's end of the line, opened the way a serial port is.
class Line {
public:
    explicit Line(const std::string& Path, speed_t Speed = B38400)
    {
        FFd = ::open(Path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios T{};
        ::tcgetattr(FFd, &T);
        ::cfmakeraw(&T);
        ::cfsetispeed(&T, Speed);
        ::cfsetospeed(&T, Speed);
        ::tcsetattr(FFd, TCSANOW, &T);
    }
    ~Line() { ::close(FFd); }
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;
    bool IsOpen() const { return FFd >= 0; }
    void Write(const Bytes& B) { ASSERT_EQ(::write(FFd, B.data(), B.size()), static_cast<ssize_t>(B.size())); }
    // Everything that arrives until MinBytes are in or TimeoutMs passed.
    Bytes Read(size_t MinBytes, int TimeoutMs = 1000)
    {
        Bytes Out;
        const int64_t End = sim::SimNowMs() + TimeoutMs;
        while (Out.size() < MinBytes && sim::SimNowMs() < End) {
            pollfd P{FFd, POLLIN, 0};
            if (::poll(&P, 1, 5) <= 0)
                continue;
            if (P.revents & (POLLHUP | POLLERR)) {
                FHungUp = true;
                break;
            }
            uint8_t Buf[256];
            ssize_t N = ::read(FFd, Buf, sizeof Buf);
            if (N > 0)
                Out.insert(Out.end(), Buf, Buf + N);
        }
        return Out;
    }
    bool HungUp() const { return FHungUp; }

private:
    int FFd = -1;
    bool FHungUp = false;
};

inline std::vector<sim::Frame> FramesIn(const Bytes& B, int* Acks = nullptr, int* Bad = nullptr)
{
    std::vector<sim::Frame> Out;
    sim::FrameReader R;
    R.Feed(B.data(), B.size(), [&](sim::FrameReader::Event E, const sim::Frame& F) {
        if (E == sim::FrameReader::Event::Frame)
            Out.push_back(F);
        if (E == sim::FrameReader::Event::Ack && Acks)
            ++*Acks;
        if (E == sim::FrameReader::Event::BadChecksum && Bad)
            ++*Bad;
    });
    return Out;
}

inline Bytes Cat(std::initializer_list<Bytes> Parts)
{
    Bytes Out;
    for (const Bytes& P : Parts)
        Out.insert(Out.end(), P.begin(), P.end());
    return Out;
}

// Frames of one type as they arrive, the others skipped, across reads.
class FrameTap {
public:
    explicit FrameTap(Line& L) : FLine(L) {}
    // The next frame of Type within TimeoutMs; false when none came.
    bool Next(uint8_t Type, sim::Frame& Out, int TimeoutMs = 1000)
    {
        const int64_t End = sim::SimNowMs() + TimeoutMs;
        for (;;) {
            for (size_t i = 0; i < FPending.size(); ++i) {
                if (FPending[i].Type == Type) {
                    Out = FPending[i];
                    FPending.erase(FPending.begin(), FPending.begin() + static_cast<std::ptrdiff_t>(i) + 1);
                    return true;
                }
            }
            FPending.clear();
            if (sim::SimNowMs() >= End)
                return false;
            const Bytes B = FLine.Read(1, 20);
            FReader.Feed(B.data(), B.size(), [&](sim::FrameReader::Event E, const sim::Frame& F) {
                if (E == sim::FrameReader::Event::Frame)
                    FPending.push_back(F);
                else if (E == sim::FrameReader::Event::Ack)
                    ++FAcks;
            });
        }
    }
    // Drops what has arrived so far, then waits for the ACK of a command
    // just written: every frame after it was made after the command.
    bool Acked(int TimeoutMs = 1000)
    {
        const int Before = FAcks;
        const int64_t End = sim::SimNowMs() + TimeoutMs;
        while (FAcks == Before && sim::SimNowMs() < End) {
            const Bytes B = FLine.Read(1, 20);
            FReader.Feed(B.data(), B.size(), [&](sim::FrameReader::Event E, const sim::Frame&) {
                if (E == sim::FrameReader::Event::Ack)
                    ++FAcks;
            });
        }
        FPending.clear();
        return FAcks != Before;
    }

private:
    Line& FLine;
    sim::FrameReader FReader;
    std::vector<sim::Frame> FPending;
    int FAcks = 0;
};

// ------------------------------------------------ values by the frame layout

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// A big-endian sign-and-magnitude value; NaN for the "no value" magnitude.
inline double ValueAt(const Bytes& P, size_t At, int Size, double Divisor, bool Negative)
{
    uint32_t M = 0;
    for (int i = 0; i < Size; ++i)
        M = M << 8 | P.at(At + static_cast<size_t>(i));
    if ((Size == 2 && M == 0x7FFF) || (Size == 4 && M == 0x80000000u))
        return kNone;
    return (Negative ? -1.0 : 1.0) * M / Divisor;
}

struct Wave {
    double Flow, Volume, Airway, Low, High, Baro, Oxygen;
    int Counter;
    bool Breath;
};

// A waveform frame's payload (short or extended frame).
inline Wave WaveOf(const Bytes& P)
{
    const uint8_t S1 = P.at(0);
    const bool HighRes = P.size() >= 21 && (P[20] & 0x80);
    Wave W{};
    W.Flow = ValueAt(P, 2, 2, S1 & 0x80 ? 1000 : 100, S1 & 0x40);
    W.Volume = ValueAt(P, 4, 4, 10, S1 & 0x20);
    W.Airway = ValueAt(P, 8, 2, 10, S1 & 0x10);
    W.Low = ValueAt(P, 10, 2, 10, S1 & 0x08);
    W.High = ValueAt(P, 12, 2, HighRes ? 100 : 10, S1 & 0x04);
    W.Baro = ValueAt(P, 14, 2, 10, S1 & 0x02);
    W.Oxygen = ValueAt(P, 16, 2, HighRes ? 100 : 10, S1 & 0x01);
    W.Counter = P.at(18) << 8 | P.at(19);
    W.Breath = P.at(1) & 0x40;
    return W;
}

struct Record {
    double TidalExp;   // frame offset 10, parameter id 1
    double TidalInsp;  // frame offset 14, parameter id 2
    double PeakInsp, PeakExp, InspTime, ExpTime, Oxygen;
};

// A parameter frame's payload (new firmware scaling).
inline Record RecordOf(const Bytes& P)
{
    const uint8_t SA = P.at(0), SB = P.at(1), SC = P.at(2);
    Record R{};
    R.TidalExp = ValueAt(P, 7, 4, 10, SA & 0x40);
    R.TidalInsp = ValueAt(P, 11, 4, 10, SA & 0x20);
    R.PeakInsp = ValueAt(P, 17, 2, 100, SA & 0x08);
    R.PeakExp = ValueAt(P, 19, 2, 100, SA & 0x10);
    R.InspTime = ValueAt(P, 35, 2, 100, SC & 0x10);
    R.ExpTime = ValueAt(P, 37, 2, 100, SC & 0x08);
    R.Oxygen = ValueAt(P, 41, 2, 10, SB & 0x04);
    return R;
}

}  // namespace simtest
