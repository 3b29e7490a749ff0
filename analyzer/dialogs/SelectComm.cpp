#include "analyzer/dialogs/SelectComm.h"

#include "platform/Controlbuilder.h"
#include "platform/SerialPorts.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"

#include <algorithm>

TSelectCommPortDlg* SelectCommPortDlg = nullptr;

std::vector<int32_t> CommPortList()
{
    std::vector<int32_t> Ports;
    for (int N : SerialPortNumbers())
        Ports.push_back(N);
    return Ports;
}

int32_t CommPortOfText(const std::string& Text)
{
    const std::string T = Trim(Text);
    if (T.empty())
        return 0;
    int N = 0;
    if (TryStrToInt(T, N))
        return PortNumberToDevice(N).empty() ? 0 : N;
    return DeviceToPortNumber(T);
}

TSelectCommPortDlg::TSelectCommPortDlg(TComponent* Owner) : TForm(Owner)
{
    SetName("SelectCommPortDlg");
    SetCaption("Select Comm Port");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(260);
    SetClientHeight(110);

    Label1 = NewControl<TLabel>(this, this, "Label1", "Comm Number:");
    Label1->SetBounds(12, 20, 90, 16);

    PortList = NewControl<TComboBox>(this, this, "PortList", "");
    PortList->SetBounds(104, 16, 144, 24);

    OKBtn = NewControl<TButton>(this, this, "OKBtn", "OK");
    OKBtn->SetModalResult(mrOk);
    OKBtn->SetDefault(true);
    OKBtn->SetBounds(44, 68, 80, 26);

    CancelBtn = NewControl<TButton>(this, this, "CancelBtn", "Cancel");
    CancelBtn->SetModalResult(mrCancel);
    CancelBtn->SetCancel(true);
    CancelBtn->SetBounds(136, 68, 80, 26);

    DoCreate();
}

bool TSelectCommPortDlg::Execute(int32_t Current)
{
    PortList->SetEnabled(true);
    PortList->Clear();
    FPorts = CommPortList();
    for (int32_t N : FNamedPorts)
        if (!PortNumberToDevice(N).empty() && std::find(FPorts.begin(), FPorts.end(), N) == FPorts.end())
            FPorts.push_back(N);
    int Selected = -1;
    for (size_t i = 0; i < FPorts.size(); ++i) {
        PortList->Items()->Add(PortDisplayName(FPorts[i]));
        if (FPorts[i] == Current)
            Selected = static_cast<int>(i);
    }
    if (Selected >= 0)
        PortList->SetItemIndex(Selected);
    else
        PortList->SetText("None");

    FSelectedPort = Current;
    if (ShowModal() != mrOk)
        return false;
    const std::string Text = PortList->Text();
    if (Text == "None")
        return false;
    // A text that names no port is not taken for one.
    const int32_t Port = CommPortOfText(Text);
    if (Port == 0)
        return false;
    FSelectedPort = Port;
    return true;
}
