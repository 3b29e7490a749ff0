#include "tools/analyzer-sim/AnalyzerSim.h"

#include "tools/analyzer-sim/SimEncode.h"
#include "tools/analyzer-sim/SimStream.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

int64_t SimNowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

namespace {

int SpeedToBaud(speed_t S)
{
    switch (S) {
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}

// Writes all of Data to a non-blocking descriptor; what the other side
// does not take within a moment is lost, as on a real line.
void WriteAll(int Fd, const uint8_t* Data, size_t Count)
{
    const int64_t GiveUp = SimNowMs() + 500;
    while (Count > 0) {
        ssize_t N = ::write(Fd, Data, Count);
        if (N > 0) {
            Data += N;
            Count -= static_cast<size_t>(N);
            continue;
        }
        if (N < 0 && errno != EAGAIN && errno != EINTR)
            return;
        if (SimNowMs() >= GiveUp)
            return;
        pollfd P{Fd, POLLOUT, 0};
        ::poll(&P, 1, 5);
    }
}

}  // namespace

AnalyzerSim::AnalyzerSim()
{
    InstallStandardCommands(*this);
}

AnalyzerSim::~AnalyzerSim()
{
    Stop();
}

bool AnalyzerSim::Start()
{
    Stop();
    int M = -1, S = -1;
    if (::openpty(&M, &S, nullptr, nullptr, nullptr) != 0)
        return false;
    termios T{};
    ::tcgetattr(S, &T);
    ::cfmakeraw(&T);
    // Not the connect rate: the program has to set it before it is understood.
    ::cfsetispeed(&T, B9600);
    ::cfsetospeed(&T, B9600);
    ::tcsetattr(S, TCSANOW, &T);
    ::fcntl(M, F_SETFL, ::fcntl(M, F_GETFL) | O_NONBLOCK);
    const char* Name = ::ttyname(S);
    FSlavePath = Name ? Name : "";
    FMaster = M;
    FSlave = S;
    FReaderState = FrameReader();
    FBootLoader.Restart();
    FStop = false;
    FHangUpRequest = false;
    FNextWaveformMs = FNextParametersMs = FNextStatusMs = SimNowMs();
    FReader = std::thread([this] { ReaderLoop(); });
    FWorker = std::thread([this] { WorkerLoop(); });
    return true;
}

void AnalyzerSim::Stop()
{
    FStop = true;
    FWorkCv.notify_all();
    {
        std::lock_guard<std::mutex> L(FRecvMu);
        FAnswerCv.notify_all();
    }
    if (FReader.joinable())
        FReader.join();
    if (FWorker.joinable())
        FWorker.join();
    CloseLine();
    std::lock_guard<std::mutex> L(FWorkMu);
    FWork.clear();
}

void AnalyzerSim::CloseLine()
{
    std::lock_guard<std::mutex> L(FWriteMu);
    if (FMaster >= 0)
        ::close(FMaster);
    if (FSlave >= 0)
        ::close(FSlave);
    FMaster = FSlave = -1;
}

void AnalyzerSim::HangUp()
{
    FHangUpRequest = true;
    WaitFor([this] { return !FHangUpRequest; }, 1000);
}

void AnalyzerSim::OnCommand(uint8_t Type, CommandHandler Handler)
{
    FHandlers[Type] = std::move(Handler);
}

std::vector<int> AnalyzerSim::RatesHeard() const
{
    std::lock_guard<std::mutex> L(FRecvMu);
    return FRatesHeard;
}

void AnalyzerSim::ClearRatesHeard()
{
    std::lock_guard<std::mutex> L(FRecvMu);
    FRatesHeard.clear();
}

int AnalyzerSim::CurrentBaud() const
{
    auto* Self = const_cast<AnalyzerSim*>(this);
    std::lock_guard<std::mutex> L(Self->FWriteMu);
    if (FSlave < 0)
        return 0;
    termios T{};
    if (::tcgetattr(FSlave, &T) != 0)
        return 0;
    return SpeedToBaud(::cfgetospeed(&T));
}

// ------------------------------------------------------------------ sending

Bytes AnalyzerSim::Framed(uint8_t Type, const Bytes& Payload)
{
    Bytes F = BuildFrame(Type, Payload);
    int Bad = FBadChecksums.load();
    while (Bad > 0 && !FBadChecksums.compare_exchange_weak(Bad, Bad - 1)) {
    }
    if (Bad > 0)
        F[F.size() - 2] = static_cast<uint8_t>(F[F.size() - 2] + 1);
    if (FGarbage) {
        static const uint8_t Junk[] = {0x00, 0xFF, 'x', 0x0D, 0x0A, 0x7E};
        F.insert(F.begin(), std::begin(Junk), std::end(Junk));
    }
    ++FFramesSent;
    if (FKeepSent) {
        std::lock_guard<std::mutex> L(FRecvMu);
        FSent.push_back(BuildFrame(Type, Payload));
    }
    return F;
}

void AnalyzerSim::SetKeepSent(bool On)
{
    std::lock_guard<std::mutex> L(FRecvMu);
    FKeepSent = On;
    if (On)
        FSent.clear();
}

std::vector<Bytes> AnalyzerSim::Sent() const
{
    std::lock_guard<std::mutex> L(FRecvMu);
    return FSent;
}

void AnalyzerSim::Write(const Bytes& Data)
{
    std::lock_guard<std::mutex> L(FWriteMu);
    if (FMaster < 0)
        return;
    if (!FSplit) {
        WriteAll(FMaster, Data.data(), Data.size());
        return;
    }
    constexpr size_t Chunk = 3;
    for (size_t i = 0; i < Data.size(); i += Chunk) {
        WriteAll(FMaster, Data.data() + i, std::min(Chunk, Data.size() - i));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void AnalyzerSim::SendFrame(uint8_t Type, const Bytes& Payload)
{
    Write(Framed(Type, Payload));
}

void AnalyzerSim::SendRaw(const Bytes& Data)
{
    Write(Data);
}

void AnalyzerSim::Reply(uint8_t Type, const Bytes& Payload)
{
    if (std::this_thread::get_id() == FReaderId.load() && FBurst) {
        Bytes F = Framed(Type, Payload);
        FBurst->insert(FBurst->end(), F.begin(), F.end());
    } else {
        SendFrame(Type, Payload);
    }
}

bool AnalyzerSim::SendFrameAcked(uint8_t Type, const Bytes& Payload, int TimeoutMs, int Attempts)
{
    for (int a = 0; a < Attempts && !FStop; ++a) {
        const int Acks = FAcksReceived, Naks = FNaksReceived;
        SendFrame(Type, Payload);
        std::unique_lock<std::mutex> L(FRecvMu);
        FAnswerCv.wait_for(L, std::chrono::milliseconds(TimeoutMs), [&] {
            return FStop || FAcksReceived != Acks || FNaksReceived != Naks;
        });
        if (FAcksReceived != Acks)
            return true;
    }
    return false;
}

void AnalyzerSim::Post(std::function<void()> Task)
{
    if (std::this_thread::get_id() == FReaderId.load() && FBurst) {
        FDeferred.push_back(std::move(Task));  // after the ACK has gone out
        return;
    }
    {
        std::lock_guard<std::mutex> L(FWorkMu);
        FWork.push_back(std::move(Task));
    }
    FWorkCv.notify_one();
}

void AnalyzerSim::SendStatus()
{
    uint8_t Type;
    Bytes Payload;
    {
        auto L = Lock();
        Type = FDevice.Kind == DeviceKind::Handheld ? 0xF2 : 'r';
        Payload = StatusPayload(FDevice.Status, FDevice.SerialMode);
    }
    SendFrame(Type, Payload);
}

// ------------------------------------------------------------- observations

std::vector<Frame> AnalyzerSim::Received() const
{
    std::lock_guard<std::mutex> L(FRecvMu);
    return FReceived;
}

void AnalyzerSim::ClearReceived()
{
    std::lock_guard<std::mutex> L(FRecvMu);
    FReceived.clear();
}

bool AnalyzerSim::WaitFor(const std::function<bool()>& Pred, int TimeoutMs)
{
    const int64_t End = SimNowMs() + TimeoutMs;
    for (;;) {
        if (Pred())
            return true;
        if (SimNowMs() >= End)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// ------------------------------------------------------------------ threads

void AnalyzerSim::ReaderLoop()
{
    FReaderId = std::this_thread::get_id();
    uint8_t Buf[512];
    while (!FStop) {
        if (FHangUpRequest) {
            CloseLine();
            FHangUpRequest = false;
        }
        if (FMaster < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        pollfd P{FMaster, POLLIN, 0};
        if (::poll(&P, 1, 1) > 0 && (P.revents & POLLIN)) {
            ssize_t N = ::read(FMaster, Buf, sizeof Buf);
            int Want;
            {
                auto L = Lock();
                Want = FDevice.ConnectBaud;
            }
            const int Baud = CurrentBaud();
            if (N > 0) {
                std::lock_guard<std::mutex> L(FRecvMu);
                if (FRatesHeard.empty() || FRatesHeard.back() != Baud)
                    FRatesHeard.push_back(Baud);
            }
            Bytes Answer;
            // At another rate than its own the analyzer hears only noise,
            // unless its boot loader listens there.
            if (N > 0 && FBootLoader.Feed(Baud, Want, Buf, static_cast<size_t>(N), Answer)) {
                if (!Answer.empty() && !FSilent) {
                    Write(Answer);
                } else if (Baud != Want && FNakOtherRates && !FSilent && !FBootLoader.Active()) {
                    for (ssize_t i = 0; i < N; ++i)   // one NAK for each frame begun
                        if (Buf[i] == kStart)
                            Write(Bytes{kNak});
                }
            } else if (N > 0 && Baud == Want) {
                FReaderState.Feed(Buf, static_cast<size_t>(N),
                                  [this](FrameReader::Event E, const Frame& F) { HandleEvent(E, F); });
            }
        }
        TickStreams();
    }
}

void AnalyzerSim::HandleEvent(FrameReader::Event E, const Frame& F)
{
    switch (E) {
    case FrameReader::Event::Ack:
    case FrameReader::Event::Nak: {
        std::lock_guard<std::mutex> L(FRecvMu);
        ++(E == FrameReader::Event::Ack ? FAcksReceived : FNaksReceived);
        FAnswerCv.notify_all();
        return;
    }
    case FrameReader::Event::Garbage:
        return;
    case FrameReader::Event::BadChecksum:
    case FrameReader::Event::BadLength:
        ++FBadReceived;
        if (!FSilent)
            Write(Bytes{kNak});
        return;
    case FrameReader::Event::Frame:
        break;
    }
    {
        std::lock_guard<std::mutex> L(FRecvMu);
        FReceived.push_back(F);
    }
    if (FSilent)
        return;
    int Nak = FNakFrames.load();
    while (Nak > 0 && !FNakFrames.compare_exchange_weak(Nak, Nak - 1)) {
    }
    if (Nak > 0) {
        Write(Bytes{kNak});
        return;
    }
    Bytes Burst{kAck};
    auto H = FHandlers.find(F.Type);
    if (H != FHandlers.end()) {
        FBurst = &Burst;
        H->second(*this, F);
        FBurst = nullptr;
    }
    Write(Burst);
    for (auto& Task : FDeferred)
        Post(std::move(Task));
    FDeferred.clear();
}

void AnalyzerSim::TickStreams()
{
    if (FSilent || FMaster < 0 || FBootLoader.Active())
        return;
    const int64_t Now = SimNowMs();
    std::vector<std::pair<uint8_t, Bytes>> Out;
    bool Status = false;
    {
        auto L = Lock();
        SimDevice& D = FDevice;
        if (CurrentBaud() != D.ConnectBaud)
            return;
        const bool Wave = D.SerialMode == '1' || D.SerialMode == '3';
        const bool Params = D.SerialMode == '2' || D.SerialMode == '3';
        if (!Wave || D.WaveformPeriodMs <= 0)
            FNextWaveformMs = Now;
        // Catch up a few samples at most; a long stall is not replayed.
        for (int k = 0; Wave && D.WaveformPeriodMs > 0 && Now >= FNextWaveformMs && k < 4; ++k) {
            SimSample S;
            std::optional<SimParameters> Stroke;
            if (!NextWaveform(D, S, Stroke))
                break;  // the script is done
            Out.emplace_back('?', WaveformPayload(S, D.SampleCounter++, D.ExtendedFrames));
            if (Stroke && Params)
                Out.emplace_back('P', ParametersPayload(*Stroke, D.ExtendedFrames, D.OldFirmwareScaling));
            FNextWaveformMs += D.WaveformPeriodMs;
        }
        if (Now - FNextWaveformMs > 100)
            FNextWaveformMs = Now;
        // Syringe strokes bring their own records.
        if (!Params || D.ParameterPeriodMs <= 0 || D.Syringe.Active) {
            FNextParametersMs = Now + D.ParameterPeriodMs;
        } else if (Now >= FNextParametersMs) {
            SimParameters P;
            if (NextParameters(D, P))
                Out.emplace_back('P', ParametersPayload(P, D.ExtendedFrames, D.OldFirmwareScaling));
            FNextParametersMs = Now + D.ParameterPeriodMs;
        }
        if (D.StatusPeriodMs <= 0) {
            FNextStatusMs = Now + D.StatusPeriodMs;
        } else if (Now >= FNextStatusMs) {
            Status = true;
            FNextStatusMs = Now + D.StatusPeriodMs;
        }
    }
    for (auto& [Type, Payload] : Out)
        SendFrame(Type, Payload);
    if (Status)
        SendStatus();
}

void AnalyzerSim::WorkerLoop()
{
    for (;;) {
        std::function<void()> Task;
        {
            std::unique_lock<std::mutex> L(FWorkMu);
            FWorkCv.wait(L, [this] { return FStop || !FWork.empty(); });
            if (FStop)
                return;
            Task = std::move(FWork.front());
            FWork.pop_front();
        }
        Task();
    }
}

void InstallStandardCommands(AnalyzerSim& Sim)
{
    InstallLinkCommands(Sim);
    InstallHandheldCommands(Sim);
    InstallMemoryCommands(Sim);
    InstallSettingsCommands(Sim);
    InstallCalibrationCommands(Sim);
}

}  // namespace sim
