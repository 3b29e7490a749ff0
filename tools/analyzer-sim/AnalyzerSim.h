// The analyzer's side of the serial link on a pseudo-terminal.
//
// Start() opens a pseudo-terminal; the program under test opens SlavePath()
// like any serial device. A reader thread answers every frame with ACK (or
// NAK for a bad one), hands good frames to the command handler registered
// for their type and streams waveform, parameter and status frames as the
// device's serial mode asks. Work that has to wait for the program's ACK
// (a download) runs on a second thread through Post().
//
// Bytes at another rate than the analyzer's own, or while its boot loader
// runs, go to the boot loader (BootLoader.h) instead.
//
// New commands are added in files of their own: a function that calls
// OnCommand() for its frame types, listed in InstallStandardCommands().
#pragma once

#include "tools/analyzer-sim/BootLoader.h"
#include "tools/analyzer-sim/SimDevice.h"
#include "tools/analyzer-sim/SimFrame.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sim {

class AnalyzerSim;
using CommandHandler = std::function<void(AnalyzerSim&, const Frame&)>;

class AnalyzerSim {
public:
    AnalyzerSim();  // with the standard command set installed
    ~AnalyzerSim();
    AnalyzerSim(const AnalyzerSim&) = delete;
    AnalyzerSim& operator=(const AnalyzerSim&) = delete;

    // Opens the pseudo-terminal and starts the threads; false when no
    // pseudo-terminal could be had.
    bool Start();
    void Stop();
    const std::string& SlavePath() const { return FSlavePath; }

    // The device state; hold the lock while reading or changing it.
    std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(FDeviceMu); }
    SimDevice& Device() { return FDevice; }

    // The boot loader that takes over the line for a firmware load.
    SimBootLoader& BootLoader() { return FBootLoader; }

    // Before Start(): the reader thread reads the table without a lock.
    void OnCommand(uint8_t Type, CommandHandler Handler);

    // ------------------------------------------------------------ sending
    // Any thread. Faults set below apply.
    void SendFrame(uint8_t Type, const Bytes& Payload);
    void SendRaw(const Bytes& Data);
    // Inside a command handler: the frame goes out in the same write as the
    // ACK of the command.
    void Reply(uint8_t Type, const Bytes& Payload);
    // Sends and waits for the program's ACK, resending on NAK or time-out.
    // Never call it on the reader thread (from a handler); use Post().
    bool SendFrameAcked(uint8_t Type, const Bytes& Payload, int TimeoutMs = 1000, int Attempts = 3);
    // Runs Task on the worker thread.
    void Post(std::function<void()> Task);

    // The status frame of the device's kind, from its current settings.
    void SendStatus();

    // ------------------------------------------------------------- faults
    void SetBadChecksums(int Count) { FBadChecksums = Count; }  // next frames sent
    void SetNakFrames(int Count) { FNakFrames = Count; }        // next frames received
    void SetSilent(bool On) { FSilent = On; }                   // answer nothing
    void SetGarbage(bool On) { FGarbage = On; }                 // junk before each frame
    void SetSplitWrites(bool On) { FSplit = On; }               // frames in small chunks
    // A frame sent at another rate than the analyzer's is answered with a
    // NAK, as by a line that garbles it (off: it is not heard at all).
    void SetNakOtherRates(bool On) { FNakOtherRates = On; }
    // Closes the line as an unplugged device does; the simulator stays
    // stopped until Start() is called again.
    void HangUp();

    // ------------------------------------------------------- observations
    std::vector<Frame> Received() const;  // every complete frame, good ones
    void ClearReceived();
    int AcksReceived() const { return FAcksReceived; }
    int NaksReceived() const { return FNaksReceived; }
    int BadFramesReceived() const { return FBadReceived; }
    int FramesSent() const { return FFramesSent; }
    // Keeps every frame sent from now on (off at start): Sent() lists them
    // in the order they went out, whole as they went (':' to CR).
    void SetKeepSent(bool On);
    std::vector<Bytes> Sent() const;
    // The baud rate the program set on its side of the line.
    int CurrentBaud() const;
    // The rates at which bytes arrived, each change of rate once, in order
    // (taken when the bytes are read, so no rate the program tried is missed).
    std::vector<int> RatesHeard() const;
    void ClearRatesHeard();
    // Polls Pred every millisecond until it holds or TimeoutMs passed.
    static bool WaitFor(const std::function<bool()>& Pred, int TimeoutMs);

private:
    void ReaderLoop();
    void WorkerLoop();
    void HandleEvent(FrameReader::Event E, const Frame& F);
    void TickStreams();
    void Write(const Bytes& Data);  // applies the split fault
    Bytes Framed(uint8_t Type, const Bytes& Payload);  // applies checksum and garbage faults
    void CloseLine();

    std::string FSlavePath;
    int FMaster = -1;
    int FSlave = -1;  // kept open so the line stays up while the program reopens it
    std::thread FReader;
    std::atomic<std::thread::id> FReaderId{};
    std::thread FWorker;
    std::atomic<bool> FStop{false};
    std::atomic<bool> FHangUpRequest{false};

    std::mutex FWriteMu;
    mutable std::mutex FDeviceMu;
    SimDevice FDevice;
    std::map<uint8_t, CommandHandler> FHandlers;

    FrameReader FReaderState;
    SimBootLoader FBootLoader;
    Bytes* FBurst = nullptr;  // the ACK write a handler's Reply joins
    std::vector<std::function<void()>> FDeferred;  // posted by a handler

    std::mutex FWorkMu;
    std::condition_variable FWorkCv;
    std::deque<std::function<void()>> FWork;

    mutable std::mutex FRecvMu;
    std::condition_variable FAnswerCv;
    std::vector<Frame> FReceived;
    std::vector<int> FRatesHeard;
    std::atomic<int> FAcksReceived{0};
    std::atomic<int> FNaksReceived{0};
    std::atomic<int> FBadReceived{0};
    std::atomic<int> FFramesSent{0};
    std::atomic<bool> FKeepSent{false};
    std::vector<Bytes> FSent;   // under FRecvMu

    std::atomic<int> FBadChecksums{0};
    std::atomic<int> FNakFrames{0};
    std::atomic<bool> FSilent{false};
    std::atomic<bool> FGarbage{false};
    std::atomic<bool> FSplit{false};
    std::atomic<bool> FNakOtherRates{false};

    int64_t FNextWaveformMs = 0;
    int64_t FNextParametersMs = 0;
    int64_t FNextStatusMs = 0;
};

// Connect reply, version queries, serial mode and the streams.
void InstallLinkCommands(AnalyzerSim& Sim);
// Handheld directory and download.
void InstallHandheldCommands(AnalyzerSim& Sim);
// Registers and memory.
void InstallMemoryCommands(AnalyzerSim& Sim);
// Flow port, breath detection, gas and correction settings (after the link
// commands: it also answers the version query 'V').
void InstallSettingsCommands(AnalyzerSim& Sim);
// Zeroing ('Z': the mode and the sensors' zero offsets) and calibration
// ('C': barometric pressure, syringe strokes and their correction).
void InstallCalibrationCommands(AnalyzerSim& Sim);
// Every command set above; the constructor calls it.
void InstallStandardCommands(AnalyzerSim& Sim);

int64_t SimNowMs();  // monotonic

}  // namespace sim
