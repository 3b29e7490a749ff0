// The "Search Comm Ports" dialog: tries each port at 2,400, 19,200 and
// 38,400 baud until the analyzer answers at 38,400 baud, and leaves the
// port it found open with both streams running.
#pragma once

#include "platform/Forms.h"

#include <cstdint>
#include <vector>

class TButton;
class TLabel;
class TZEBBSerialProtocol;

class TdlgSearchCommPorts : public TForm {
public:
    // Link: the protocol object whose port is searched (may be null: the
    // search then finds nothing).
    TdlgSearchCommPorts(TComponent* Owner, TZEBBSerialProtocol* Link);

    // Runs the search over the listed ports and then the named ports; the
    // dialog shows its progress.
    void Search();
    // The search over the given ports, in their order.
    void SearchPorts(const std::vector<int32_t>& Ports);

    // Ports the user named that the system does not list (a
    // pseudo-terminal); searched after the listed ones.
    const std::vector<int32_t>& NamedPorts() const { return FNamedPorts; }
    void SetNamedPorts(const std::vector<int32_t>& Value) { FNamedPorts = Value; }
    // How long "Device Found..." stays up.
    int FoundPauseMs() const { return FFoundPauseMs; }
    void SetFoundPauseMs(int Value) { FFoundPauseMs = Value; }

private:
    void ShowChecking(int32_t Port, int Baud);

    TZEBBSerialProtocol* FLink;
    std::vector<int32_t> FNamedPorts;
    int FFoundPauseMs = 5000;

    TLabel* Label1;
    TButton* CancelBtn;
};

extern TdlgSearchCommPorts* dlgSearchCommPorts;
