#include "analyzer/dialogs/SearchComm.h"

#include "analyzer/dialogs/SelectComm.h"
#include "analyzer/Serialfunctions.h"
#include "platform/Application.h"
#include "platform/Controlbuilder.h"
#include "platform/SerialPorts.h"
#include "platform/StdCtrls.h"

#include <algorithm>

TdlgSearchCommPorts* dlgSearchCommPorts = nullptr;

TdlgSearchCommPorts::TdlgSearchCommPorts(TComponent* Owner, TZEBBSerialProtocol* Link) : TForm(Owner), FLink(Link)
{
    SetName("dlgSearchCommPorts");
    SetCaption("Search Comm Ports");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(320);
    SetClientHeight(100);

    Label1 = NewControl<TLabel>(this, this, "Label1", "");
    Label1->SetBounds(12, 18, 296, 16);

    CancelBtn = NewControl<TButton>(this, this, "CancelBtn", "Cancel");
    CancelBtn->SetModalResult(mrCancel);
    CancelBtn->SetCancel(true);
    CancelBtn->SetBounds(120, 60, 80, 26);

    DoCreate();
}

void TdlgSearchCommPorts::ShowChecking(int32_t Port, int Baud)
{
    Label1->SetCaption("Checking Comm(" + IntToStr(Port) + ")  Baud(" + IntToStr(Baud) + ")  " +
                       PortDisplayName(Port));
    Application->ProcessMessages();
}

void TdlgSearchCommPorts::Search()
{
    std::vector<int32_t> Ports = CommPortList();
    for (int32_t N : FNamedPorts)
        if (N > 0 && std::find(Ports.begin(), Ports.end(), N) == Ports.end())
            Ports.push_back(N);
    SearchPorts(Ports);
}

void TdlgSearchCommPorts::SearchPorts(const std::vector<int32_t>& Ports)
{
    Show();
    TZEBBSerialProtocol* Link = FLink;
    for (int32_t N : Ports) {
        if (!Link)
            break;
        ShowChecking(N, 2400);
        if (Link->OpenPortAt(N, 2400) != opOpened)
            continue;
        if (!Link->ProbeConnection()) {
            Link->SetBaudIfOpen(19200);
            ShowChecking(N, 19200);
            Link->ProbeConnection();
        }
        ShowChecking(N, 38400);
        Link->SetBaudIfOpen(38400);
        if (!Link->ProbeConnection())
            continue;
        Link->SendSerialMode('3');
        Label1->SetCaption("Device Found...");
        Link->Delay(FFoundPauseMs);
        break;
    }
    Hide();
}
