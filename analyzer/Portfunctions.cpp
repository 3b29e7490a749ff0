// Opening and closing the serial port with a full set of line settings.
#include "analyzer/Serialfunctions.h"

#include "platform/ApdComPort.h"

TPortSettings TZEBBSerialProtocol::GetPortSettings() const
{
    TPortSettings S;
    if (!FComPort)
        return S;
    S.ComNumber = FComPort->Open() ? FComPort->ComNumber() : 0;
    S.Baud = FComPort->Baud();
    S.DataBits = FComPort->DataBits();
    S.StopBits = FComPort->StopBits();
    const TParity P = FComPort->Parity();
    S.Parity = P >= pOdd && P <= pSpace ? static_cast<int32_t>(P) : 0;
    if (FComPort->SWFlowOptions() != swfNone)
        S.FlowControl = 2;
    else if (!FComPort->HWFlowOptions().empty())
        S.FlowControl = 1;
    else
        S.FlowControl = 0;
    S.Reserved = 0;
    return S;
}

TOpenPortResult TZEBBSerialProtocol::OpenPort(TPortSettings Settings)
{
    if (!FComPort)
        return opFailed;
    try {
        const bool WasOpen = FComPort->Open();
        if (WasOpen) {
            FComPort->FlushInBuffer();
            FComPort->FlushOutBuffer();
        }
        FComPort->SetPromptForPort(false);
        FComPort->SetAutoOpen(false);
        FComPort->SetOpen(false);
        if (WasOpen) {
            // The main window's port-closed handler raises PromptForPort.
            // Without that handler the port is closed all the same, so the
            // wait is bounded.
            const int64_t Deadline = FClock->NowMs() + PortCloseWaitMs;
            while (!FComPort->PromptForPort() && FClock->NowMs() < Deadline) {
                FClock->ProcessMessages();
                if (FClosing)
                    return opFailed;
                FComPort->ProcessCommunications();
                if (GetCount() > 0)
                    ProcessInput(GetCount());
                if (!FComPort->PromptForPort())
                    FClock->WaitUntil(Deadline);
            }
            if (FClosing)
                return opFailed;
        }
        FComPort->SetRTS(true);
        FComPort->SetPromptForPort(false);
        FComPort->SetComNumber(Settings.ComNumber);
        FComPort->SetBaud(Settings.Baud);
        FComPort->SetDataBits(Settings.DataBits);
        FComPort->SetStopBits(Settings.StopBits);
        FComPort->SetParity(Settings.Parity >= 1 && Settings.Parity <= 4 ? static_cast<TParity>(Settings.Parity)
                                                                          : pNone);
        if (Settings.FlowControl == 1) {
            FComPort->SetSWFlowOptions(swfNone);
            FComPort->SetHWFlowOptions(THWFlowOptions{hwfUseRTS});
        } else if (Settings.FlowControl == 2) {
            FComPort->SetHWFlowOptions(THWFlowOptions{});
            FComPort->SetSWFlowOptions(swfBoth);
        } else {
            FComPort->SetSWFlowOptions(swfNone);
            FComPort->SetHWFlowOptions(THWFlowOptions{});
        }
        FComPort->SetOpen(true);
        // A new line: nothing of the old one is left to parse, and the
        // commands may wait again.
        Reset();
        return opOpened;
    } catch (const Exception& E) {
        TOpenPortResult Result = opFailed;
        if (dynamic_cast<const EAlreadyOpen*>(&E))
            Result = opInUse;
        else if (dynamic_cast<const EHardware*>(&E))
            Result = opHardwareError;
        else if (dynamic_cast<const EBadId*>(&E))
            Result = opNoSuchPort;
        AbandonPort();
        return Result;
    } catch (...) {
        AbandonPort();
        return opFailed;
    }
}

void TZEBBSerialProtocol::AbandonPort()
{
    try {
        FComPort->SetOpen(false);
    } catch (...) {
        LogCaught("Port not closed after a failed open");
    }
    FComPort->SetAutoOpen(false);
}

TOpenPortResult TZEBBSerialProtocol::OpenPortAt(int32_t Number, int32_t Baud)
{
    TPortSettings S = GetPortSettings();
    S.ComNumber = Number;
    S.Baud = Baud;
    return OpenPort(S);
}

bool TZEBBSerialProtocol::SetBaudIfOpen(int32_t Baud)
{
    if (!FComPort || !FComPort->Open())
        return false;
    FComPort->SetBaud(Baud);
    return true;
}

void TZEBBSerialProtocol::ClosePort()
{
    FClosing = true;
    if (!FComPort)
        return;
    if (FComPort->Open()) {
        FComPort->FlushInBuffer();
        FComPort->FlushOutBuffer();
    }
    FComPort->SetOpen(false);
    FComPort->SetAutoOpen(false);
}
