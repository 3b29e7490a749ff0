// What the protocol object needs of the main window, its download dialog,
// its log memo, its progress bar and whoever watches a firmware load. The
// program above implements these; the names are those of the main window's
// own members. They carry behaviour only: the state stays with the
// implementer.
#pragma once

#include "analyzer/Parameterstruct.h"
#include "analyzer/Types.h"

#include <cstdint>
#include <string>

class TMainFormLink {
public:
    virtual ~TMainFormLink() = default;

    // Read by the dispatcher for every parameter frame (the main window's
    // FDeviceKind, written by ConfigureForDevice and SetDeviceKind).
    virtual TDeviceKind DeviceKind() const = 0;

    // The raw frame ('W', 'p' or 0xF2), before it is decoded.
    virtual void RecordMessage(int RecordType, uint8_t Length, const uint8_t* Frame) = 0;
    virtual void NewWaveformSample(TWaveformSample Sample) = 0;
    virtual void NewParameters(TParameterStruct Params) = 0;
    // Kind 1 bench analyzer, 2 handheld.
    virtual void ConfigureForDevice(int Kind, const std::string& Version) = 0;

    // Status setters, called in the order the status decoders give.
    virtual void SetDeviceKind(uint8_t Kind) = 0;
    virtual void SetCorrectionMode(int Mode) = 0;
    virtual void SetInspGas(TGasProperties Gas) = 0;
    virtual void SetExpGas(TGasProperties Gas) = 0;
    virtual void SetAmbientTemp(float Kelvin) = 0;
    virtual void SetGasType(int GasType) = 0;
    virtual void SetBreathThreshold(float Threshold) = 0;
    virtual void ShowBreathDetectMode(int Mode) = 0;
    virtual void ShowZeroMode(int Mode) = 0;
    virtual void ShowSerialMode(int Mode) = 0;
    virtual void ShowFlowPort(int Port) = 0;
    virtual void StatusReceived(uint8_t Extra) = 0;
    // The analyzer's firmware version, asked for by the user, to be shown.
    virtual void ShowDeviceVersion(const std::string& Version) = 0;
};

// The handheld download dialog's directory.
class TFileDownloadLink {
public:
    virtual ~TFileDownloadLink() = default;
    // Entry Index (0 to HandheldDirectorySize - 1) of the directory.
    virtual TZRMobFileInfo FileInfo(int Index) const = 0;
    virtual void SetFileInfo(int Index, const TZRMobFileInfo& Info) = 0;
    // Rebuilds the visible list from the directory.
    virtual void UpdateFileList() = 0;
};

// The memo that shows the protocol log.
class TProtocolLogMemo {
public:
    virtual ~TProtocolLogMemo() = default;
    virtual int LineCount() const = 0;
    virtual void DeleteFirstLine() = 0;
    virtual void AddLine(const std::string& Line) = 0;
};

// The progress bar of a download (0 to 100).
class TProtocolProgressBar {
public:
    virtual ~TProtocolProgressBar() = default;
    virtual void SetPosition(int Position) = 0;
};

// What a firmware load tells while it runs (the flash-load dialog shows it).
class TFlashLoadMonitor {
public:
    virtual ~TFlashLoadMonitor() = default;
    // "Erasing Flash", "Flashing Text File", "Flashing Code File".
    virtual void ShowStatus(const std::string& Status) = 0;
    // Position 0 to Max of the present stage (erasing, then each file).
    virtual void ShowProgress(int Position, int Max) = 0;
    // After every record: NAKs so far, records acknowledged and sent.
    virtual void ShowCounts(int32_t Naks, int32_t Acked, int32_t Sent) = 0;
    // The load failed and stopped; Message says why.
    virtual void LoadFailed(const std::string& Message) = 0;
};
