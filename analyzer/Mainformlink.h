// What the protocol object needs of the main window, its download dialog,
// its log memo and its progress bar. The workbench implements these; the
// names are those of the main window's own members.
#pragma once

#include "analyzer/Parameterstruct.h"
#include "analyzer/Types.h"

#include <cstdint>
#include <string>

class TMainFormLink {
public:
    virtual ~TMainFormLink() = default;

    // Read by the dispatcher for every parameter frame; written by
    // ConfigureForDevice and SetDeviceKind.
    TDeviceKind FDeviceKind = dkAnalyzerOldFirmware;

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
};

// The handheld download dialog's directory.
class TFileDownloadLink {
public:
    virtual ~TFileDownloadLink() = default;
    TZRMobFileInfo FFileInfos[HandheldDirectorySize];
    // Rebuilds the visible list from FFileInfos.
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
