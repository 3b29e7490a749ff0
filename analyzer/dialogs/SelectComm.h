// The "Select Comm Port" dialog and the port list both port dialogs offer.
//
// Ports are known by number (platform/SerialPorts.h); the list shows the
// device behind each number, and a device path typed into the combo (a
// pseudo-terminal, say) is taken as well.
#pragma once

#include "platform/Forms.h"

#include <cstdint>
#include <string>
#include <vector>

class TButton;
class TComboBox;
class TLabel;

// The serial devices present, by number, ascending.
std::vector<int32_t> CommPortList();
// The port a text names: a device path or name, or a port number in decimal
// that stands for a device; 0 for anything else.
int32_t CommPortOfText(const std::string& Text);

class TSelectCommPortDlg : public TForm {
public:
    explicit TSelectCommPortDlg(TComponent* Owner);

    // Offers the port list and then the named ports it does not hold, with
    // Current selected ("None" when it is not offered). True when closed
    // with OK on a port; SelectedPort holds it.
    bool Execute(int32_t Current);

    int32_t SelectedPort() const { return FSelectedPort; }
    // Ports in use that the system does not list (a pseudo-terminal named
    // on the command line); offered after the listed ones.
    const std::vector<int32_t>& NamedPorts() const { return FNamedPorts; }
    void SetNamedPorts(const std::vector<int32_t>& Value) { FNamedPorts = Value; }

private:
    int32_t FSelectedPort = 0;
    std::vector<int32_t> FNamedPorts;
    TLabel* Label1;
    TComboBox* PortList;
    TButton* OKBtn;
    TButton* CancelBtn;
    std::vector<int32_t> FPorts;  // the numbers behind PortList's entries
};

extern TSelectCommPortDlg* SelectCommPortDlg;
