// The "Search Comm Ports" dialog: tries each port at 2,400, 19,200 and
// 38,400 baud until the analyzer answers at 38,400 baud, and leaves the
// port it found open with both streams running. A search that finds
// nothing says so and leaves the port as it was before the search.
#pragma once

#include "analyzer/Types.h"
#include "platform/Forms.h"

#include <cstdint>
#include <functional>
#include <vector>

class TButton;
class TLabel;
class TZEBBSerialProtocol;

enum class TCommSearchResult { csFound, csNothingFound };

// The serial devices the machine has, by port number.
using TCommPortLister = std::function<std::vector<int32_t>()>;

class TdlgSearchCommPorts : public TForm {
public:
    // Link: the protocol object whose port is searched (may be null: the
    // search then finds nothing).
    TdlgSearchCommPorts(TComponent* Owner, TZEBBSerialProtocol* Link);

    // Searches the serial devices the machine has, then the named ports,
    // then the port open now (a pseudo-terminal is no device the machine
    // lists), each once; the dialog shows its progress. When nothing
    // answers, the user is told, and the port open before is opened again
    // with its settings (none open before: none is left open).
    TCommSearchResult Search();
    // The search over the given ports, in their order. When nothing
    // answers, the port is left as the last attempt left it.
    TCommSearchResult SearchPorts(const std::vector<int32_t>& Ports);

    // Where Search finds the machine's serial devices (CommPortList when
    // not set).
    void SetPortLister(TCommPortLister Value) { FPortLister = std::move(Value); }
    // Ports the user named that the system does not list (a
    // pseudo-terminal); searched after the listed ones.
    const std::vector<int32_t>& NamedPorts() const { return FNamedPorts; }
    void SetNamedPorts(const std::vector<int32_t>& Value) { FNamedPorts = Value; }
    // How long "Device Found..." stays up.
    int FoundPauseMs() const { return FFoundPauseMs; }
    void SetFoundPauseMs(int Value) { FFoundPauseMs = Value; }

private:
    void ShowChecking(int32_t Port, int Baud);
    // After a search that found nothing: the port as it was before; false
    // when the port open before could not be opened again.
    bool RestorePort(const TPortSettings& Before);

    TZEBBSerialProtocol* FLink;
    TCommPortLister FPortLister;
    std::vector<int32_t> FNamedPorts;
    int FFoundPauseMs = 5000;

    TLabel* Label1;
    TButton* CancelBtn;
};

extern TdlgSearchCommPorts* dlgSearchCommPorts;
