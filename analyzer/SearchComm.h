// The "Search Comm Ports" dialog: tries each port at 2,400, 19,200 and
// 38,400 baud until the analyzer answers at 38,400 baud, and leaves the
// port it found open with both streams running.
#pragma once

#include "platform/Forms.h"

#include <cstdint>
#include <vector>

class TButton;
class TLabel;

class TdlgSearchCommPorts : public TForm {
public:
    explicit TdlgSearchCommPorts(TComponent* Owner);

    // Runs the search on ZebbSer's port over the listed ports and then
    // FNamedPorts; the dialog shows its progress.
    void Search();
    // The search over the given ports, in their order.
    void SearchPorts(const std::vector<int32_t>& Ports);

    // Ports the user named that the system does not list (a
    // pseudo-terminal); searched after the listed ones.
    std::vector<int32_t> FNamedPorts;
    // How long "Device Found..." stays up.
    int FFoundPauseMs = 5000;

private:
    void ShowChecking(int32_t Port, int Baud);

    TLabel* Label1;
    TButton* CancelBtn;
};

extern TdlgSearchCommPorts* dlgSearchCommPorts;
