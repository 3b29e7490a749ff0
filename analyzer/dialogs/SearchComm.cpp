#include "analyzer/dialogs/SearchComm.h"

#include "analyzer/dialogs/SelectComm.h"
#include "analyzer/Serialfunctions.h"
#include "platform/ApdComPort.h"
#include "platform/Application.h"
#include "platform/Controlbuilder.h"
#include "platform/Dialogs.h"
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

TCommSearchResult TdlgSearchCommPorts::Search()
{
    const TPortSettings Before = FLink ? FLink->GetPortSettings() : TPortSettings{};
    std::vector<int32_t> Ports = FPortLister ? FPortLister() : CommPortList();
    auto Add = [&Ports](int32_t N) {
        if (N > 0 && std::find(Ports.begin(), Ports.end(), N) == Ports.end())
            Ports.push_back(N);
    };
    for (int32_t N : FNamedPorts)
        Add(N);
    Add(Before.ComNumber);
    if (SearchPorts(Ports) == TCommSearchResult::csFound)
        return TCommSearchResult::csFound;

    // A search must not leave a working connection broken, nor a port open
    // on a device that did not answer (it would become the user's port).
    const bool Reopened = RestorePort(Before);
    std::string Searched;
    for (int32_t N : Ports)
        Searched += (Searched.empty() ? "" : ", ") + PortDisplayName(N);
    std::string Text = Ports.empty() ? std::string("No serial port was found to search.")
                                     : "No analyzer answered on the ports searched (" + Searched + ").";
    if (Before.ComNumber != 0)
        Text += "\n" + PortDisplayName(Before.ComNumber) +
                (Reopened ? " is in use again." : " could not be opened again.");
    MessageDlg(Text, mtInformation, TMsgDlgButtons{mbOK});
    return TCommSearchResult::csNothingFound;
}

TCommSearchResult TdlgSearchCommPorts::SearchPorts(const std::vector<int32_t>& Ports)
{
    Show();
    TZEBBSerialProtocol* Link = FLink;
    TCommSearchResult Result = TCommSearchResult::csNothingFound;
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
        Result = TCommSearchResult::csFound;
        break;
    }
    Hide();
    return Result;
}

bool TdlgSearchCommPorts::RestorePort(const TPortSettings& Before)
{
    if (!FLink)
        return false;
    if (Before.ComNumber != 0)
        return FLink->OpenPort(Before) == opOpened;
    TApdComPort* Port = FLink->ComPort();
    if (Port && Port->Open()) {
        Port->FlushInBuffer();
        Port->FlushOutBuffer();
        Port->SetOpen(false);
        Port->SetAutoOpen(false);
    }
    return true;
}
