// Opening the serial port, the connect handshake, the serial output mode
// and the About box.
#include "workbench/Main.h"

#include "analyzer/dialogs/SearchComm.h"
#include "analyzer/dialogs/SelectComm.h"
#include "analyzer/Serialfunctions.h"
#include "platform/ApdComPort.h"
#include "platform/Menus.h"
#include "workbench/About.h"

TOpenPortResult TMainForm::OpenCommPort(TPortSettings Settings)
{
    if (CommPort->Open()) {
        CommPort->FlushInBuffer();
        CommPort->FlushOutBuffer();
    }
    // The protocol closes the port, waits for the close to complete and
    // opens it again with every setting.
    CommPort->SetAutoOpen(false);
    return FProtocol->OpenPort(Settings);
}

void TMainForm::CommPortPortClose(TObject* Sender)
{
    CommPort->SetPromptForPort(true);
}

void TMainForm::actnSelectPortExecute(TObject* Sender)
{
    if (!SelectCommPortDlg)
        return;
    TDeviceCommandLock Lock(*this);
    TPortSettings Settings = FProtocol->GetPortSettings();
    // The port in use is offered, also when the system does not list it
    // (a pseudo-terminal named on the command line).
    SelectCommPortDlg->SetNamedPorts({Settings.ComNumber});
    if (!SelectCommPortDlg->Execute(Settings.ComNumber))
        return;
    Settings.ComNumber = SelectCommPortDlg->SelectedPort();
    Settings.Baud = 2400;
    OpenCommPort(Settings);
    actnInitCommunicationsExecute(Sender);
}

void TMainForm::actnSearchCommExecute(TObject* Sender)
{
    if (!dlgSearchCommPorts)
        return;
    TDeviceCommandLock Lock(*this);
    if (dlgSearchCommPorts->Search() != TCommSearchResult::csFound)
        return;   // the port is as it was, and the user was told
    // Found at 38,400 baud with both streams switched on: connected as
    // after the handshake.
    FConnected = true;
    ShowSerialMode(3);
    ReadDeviceIdentity();
}

void TMainForm::actnInitCommunicationsExecute(TObject* Sender)
{
    if (!CommPort->Open())
        return;
    TDeviceCommandLock Lock(*this);
    // The analyzer is probed at 2,400 baud, at 19,200 when that was not
    // answered, and then at 38,400, the rate the connection is judged at.
    FProtocol->SetBaudIfOpen(2400);
    if (!FProtocol->ProbeConnection()) {
        FProtocol->SetBaudIfOpen(19200);
        FProtocol->ProbeConnection();
    }
    FProtocol->SetBaudIfOpen(38400);
    if (FProtocol->ProbeConnection())
        FConnected = true;
    actnSerialModeBothExecute(Sender);
    if (FConnected)
        ReadDeviceIdentity();
}

void TMainForm::ReadDeviceIdentity()
{
    SetDeviceVersion(FProtocol->QueryDeviceVersion());
    std::string Serial;
    for (int i = 0; i < 2; ++i)
        Serial = FDeviceKind == dkHandheld ? FProtocol->ReadHandheldSerial() : FProtocol->ReadSerialNumber();
    SetSerialNumber(Serial);
}

void TMainForm::SerialModeExecute(TAction* Own, char Mode)
{
    TDeviceCommandLock Lock(*this);
    if (FProtocol->SendSerialMode(Mode))
        FConnected = true;
    for (TAction* A : {actnSerialModeBoth, actnSerialModeWaveform, actnSerialModeParameters, actnSerialModeNone})
        A->SetChecked(A == Own);
}

void TMainForm::actnSerialModeBothExecute(TObject* Sender)
{
    SerialModeExecute(actnSerialModeBoth, '3');
}

void TMainForm::actnSerialModeWaveformExecute(TObject* Sender)
{
    SerialModeExecute(actnSerialModeWaveform, '1');
}

void TMainForm::actnSerialModeParametersExecute(TObject* Sender)
{
    SerialModeExecute(actnSerialModeParameters, '2');
}

void TMainForm::actnSerialModeNoneExecute(TObject* Sender)
{
    SerialModeExecute(actnSerialModeNone, '0');
}

void TMainForm::actnAboutExecute(TObject* Sender)
{
    if (dlgAbout)
        dlgAbout->Execute();
}

void TMainForm::actnLockCalDiagExecute(TObject* Sender)
{
    menuCalibration->SetVisible(false);
}
