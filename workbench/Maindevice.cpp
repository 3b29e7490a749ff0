// Single commands to the analyzer: zeroing, flow port, breath detection and
// its threshold, barometric pressure, the flow linearization tables, the
// firmware loader and the gas settings. Each holds the device-command lock
// while it waits for the analyzer.
#include "workbench/Main.h"

#include "analyzer/Gasfunctions.h"
#include "analyzer/Serialfunctions.h"
#include "analyzer/dialogs/AdvancedGasSettings.h"
#include "analyzer/dialogs/BasicGasSettings.h"
#include "analyzer/dialogs/CalculatorGasSettings.h"
#include "analyzer/dialogs/FlashLoadDialog.h"
#include "platform/Dialogs.h"
#include "workbench/Entrydialogs.h"
#include "workbench/Threshold.h"

#include <cmath>

namespace {

// Whole kelvin or percent as the gas dialogs are handed them.
int32_t Whole(float Value)
{
    return std::isfinite(Value) ? static_cast<int32_t>(std::trunc(Value)) : 0;
}

bool GasChanged(const TGasProperties& Stored, const TGasProperties& Chosen)
{
    return GasPropertiesChanged(Stored, Chosen.Temperature, Chosen.RelHumidity, Chosen.Viscosity, Chosen.MolWeight);
}

void SendGasRecord(TZEBBSerialProtocol& Protocol, uint8_t Channel, const TGasProperties& Gas)
{
    Protocol.SendGasProperties(Channel, Gas.Temperature, Gas.RelHumidity, Gas.Viscosity, Gas.MolWeight);
}

}  // namespace

// ------------------------------------------------------------------ zeroing

void TMainForm::ZeroExecute(const char* Confirmation, std::initializer_list<char> Codes)
{
    if (Confirmation &&
        MessageDlg(Confirmation, mtInformation, TMsgDlgButtons{mbOK, mbCancel}) != mrOk)
        return;
    TDeviceCommandLock Lock(*this);
    for (char Code : Codes)
        FProtocol->SendZero(Code);
}

void TMainForm::actnZeroAutoExecute(TObject* Sender)
{
    ZeroExecute(nullptr, {'1'});
}

void TMainForm::actnZeroManualExecute(TObject* Sender)
{
    ZeroExecute(nullptr, {'0'});
}

void TMainForm::actnZeroAllExecute(TObject* Sender)
{
    ZeroExecute("Disconnect pressure from the High and \r\nLow Pressure ports.  Click Ok to zero.", {'2', 'b'});
}

void TMainForm::actnZeroFlowExecute(TObject* Sender)
{
    ZeroExecute(nullptr, {'F'});
}

void TMainForm::actnZeroHPressExecute(TObject* Sender)
{
    ZeroExecute("Disconnect pressure from the High Pressure port.  \r\nClick Ok to zero.", {'H'});
}

void TMainForm::actnZeroLPressExecute(TObject* Sender)
{
    ZeroExecute("Disconnect pressure from the Low Pressure port.  \r\nClick Ok to zero.", {'L'});
}

void TMainForm::actnZeroVolumeExecute(TObject* Sender)
{
    ZeroExecute(nullptr, {'V'});
}

void TMainForm::actnZeroOxygen21Execute(TObject* Sender)
{
    ZeroExecute(nullptr, {'O'});
}

void TMainForm::actnZeroOxygen100Execute(TObject* Sender)
{
    ZeroExecute(nullptr, {'C'});
}

// ------------------------------------------------ flow port, breath detect

void TMainForm::actnFlowPortHighExecute(TObject* Sender)
{
    TDeviceCommandLock Lock(*this);
    FProtocol->SendFlowPort('2');
}

void TMainForm::actnFlowPortLowExecute(TObject* Sender)
{
    TDeviceCommandLock Lock(*this);
    FProtocol->SendFlowPort('1');
}

void TMainForm::BreathDetectExecute(char Mode)
{
    TDeviceCommandLock Lock(*this);
    FProtocol->SendBreathDetectMode(Mode);
}

void TMainForm::actnBDBiDiExecute(TObject* Sender)
{
    BreathDetectExecute('1');
}

void TMainForm::actnBDUniInspExecute(TObject* Sender)
{
    BreathDetectExecute('2');
}

void TMainForm::actnBDUniExpExecute(TObject* Sender)
{
    BreathDetectExecute('3');
}

void TMainForm::actnBDNoneExecute(TObject* Sender)
{
    BreathDetectExecute('0');
}

void TMainForm::actnBDThresholdExecute(TObject* Sender)
{
    if (!dlgThreshold)
        return;
    TDeviceCommandLock Lock(*this);
    if (!dlgThreshold->Execute(FFlowPort, FDeviceKind, FBreathThreshold))
        return;
    // The analyzer takes hundredths of L/min in 16 bits: a value that does
    // not fit would arrive as another threshold.
    const float Threshold = dlgThreshold->Threshold();
    if (!(Threshold >= 0 && Threshold <= MaxBreathThreshold)) {
        MessageDlg("The breath detect threshold must be between 0 and 655.35 Lpm.", mtError, TMsgDlgButtons{mbOK});
        return;
    }
    FProtocol->SendBreathThreshold(static_cast<int32_t>(std::trunc(Threshold * 100.0f)));
}

// ------------------------------------------------------ barometric pressure

void TMainForm::actnBarometricPressureExecute(TObject* Sender)
{
    if (!dlgValueEntry)
        return;
    TDeviceCommandLock Lock(*this);
    const TSignalStats& Baro = FSignalStats[sigBaroPressure];
    dlgValueEntry->SetCaption("Barometric Pressure");
    dlgValueEntry->SetLabel("Barometric Pressure (mmHg):");
    dlgValueEntry->SetValue(Baro.CurrentIn(Baro.DisplayUnit()));
    if (!dlgValueEntry->Execute())
        return;
    const float V = dlgValueEntry->Value();
    if (V > 500 && V < 800)
        FProtocol->SendCalibration('B', dlgValueEntry->GetRoundedValue());
}

// ------------------------------------------------- linearization tables

void TMainForm::ReadFlowTableExecute(char Table, const std::string& Title, const std::string& Suffix)
{
    if (FDeviceKind == dkHandheld || !FConnected)
        return;
    TDeviceCommandLock Lock(*this);
    dlgSaveTable->SetTitle(Title);
    dlgSaveTable->SetFileName(FSerialNumber + Suffix);
    if (!dlgSaveTable->Execute())
        return;
    const std::string Chosen = dlgSaveTable->FileName();
    const std::string FileName = ChangeFileExt(Chosen, ".zrb");
    // The dialog asked about the name chosen; the name written may differ.
    if (FileName != Chosen && FileExists(FileName) &&
        MessageDlg(ExtractFileName(FileName) + " already exists.\nDo you want to replace it?", mtWarning,
                   mbYesNo) != mrYes)
        return;
    if (FProtocol->ReadFlowTable(Table, FileName) == ftWritten)
        MessageDlg("Linearization Table Saved.", mtInformation, TMsgDlgButtons{mbOK});
    else
        MessageDlg("Error Reading Linearization Table", mtError, TMsgDlgButtons{mbOK});
}

void TMainForm::LoadFlowTableExecute(char Table, const std::string& Title)
{
    if (FDeviceKind == dkHandheld || !FConnected)
        return;
    TDeviceCommandLock Lock(*this);
    dlgOpenTable->SetTitle(Title);
    if (!dlgOpenTable->Execute())
        return;
    if (FProtocol->LoadFlowTable(Table, dlgOpenTable->FileName()))
        MessageDlg("Linearization Table Loaded.", mtInformation, TMsgDlgButtons{mbOK});
    else
        MessageDlg("Error Loading Linearization Table", mtError, TMsgDlgButtons{mbOK});
}

void TMainForm::actnReadLowFlowTableExecute(TObject* Sender)
{
    ReadFlowTableExecute('1', "Save Low Flow Linearization Table As", " LF.zrb");
}

void TMainForm::actnReadHighFlowTableExecute(TObject* Sender)
{
    ReadFlowTableExecute('2', "Save High Flow Linearization Table As", " HF.zrb");
}

void TMainForm::actnLoadLowFlowTableExecute(TObject* Sender)
{
    LoadFlowTableExecute('1', "Open Low Flow Linearization Table");
}

void TMainForm::actnLoadHighFlowTableExecute(TObject* Sender)
{
    LoadFlowTableExecute('2', "Open High Flow Linearization Table");
}

void TMainForm::SetupTableDialogs()
{
    dlgSaveTable->SetFilter("VI Duri Linearization Table|*.zrb");
    dlgSaveTable->SetFileName("noname.zrb");
    dlgSaveTable->SetDefaultExt("zrb");
    TOpenOptions Save = dlgSaveTable->Options();
    Save << ofOverwritePrompt;
    dlgSaveTable->SetOptions(Save);
    dlgOpenTable->SetFilter("VI Duri Linearization Table|*.zrb|All Files|*.*");
    TOpenOptions Open = dlgOpenTable->Options();
    Open << ofFileMustExist;
    dlgOpenTable->SetOptions(Open);
}

// ------------------------------------------------------------- firmware

void TMainForm::actnLoadFirmwareExecute(TObject* Sender)
{
    if (!dlgFlashLoad)
        return;
    TDeviceCommandLock Lock(*this);
    dlgFlashLoad->Execute();
}

// ------------------------------------------------------------ gas settings

void TMainForm::actnGasSettingsExecute(TObject* Sender)
{
    if (!dlgGasSettings)
        return;
    TDeviceCommandLock Lock(*this);
    dlgGasSettings->actnAdvancedGasSettingsExecute = [this] { actnAdvancedGasSettings->Execute(); };
    // The dialog is handed whole numbers; its answer is compared with what
    // it was handed, so confirming it unchanged sends nothing.
    const int32_t GasTemp = Whole(FInspGas.Temperature);
    const int32_t RelHum = Whole(FInspGas.RelHumidity);
    const int32_t Ambient = Whole(FAmbientTemp);
    if (!dlgGasSettings->Execute(FGasType, GasTemp, RelHum, Ambient, FCorrectionMode))
        return;
    if (dlgGasSettings->GasType() != FGasType)
        FProtocol->SendGasType(dlgGasSettings->GasType());
    if (dlgGasSettings->CorrectionMode() != CorrectionModeComboIndex(FCorrectionMode))
        FProtocol->SendCorrectionMode(dlgGasSettings->CorrectionMode());
    if (dlgGasSettings->GasTemp() != GasTemp) {
        FProtocol->SendGasTemperature(TZEBBSerialProtocol::ChannelInsp, dlgGasSettings->GasTemp());
        FProtocol->SendGasTemperature(TZEBBSerialProtocol::ChannelExp, dlgGasSettings->GasTemp());
    }
    if (dlgGasSettings->AmbientTemp() != Ambient)
        FProtocol->SendGasTemperature(TZEBBSerialProtocol::ChannelAmbient, dlgGasSettings->AmbientTemp());
    if (dlgGasSettings->RelHumidity() != RelHum) {
        FProtocol->SendGasHumidity(TZEBBSerialProtocol::ChannelInsp, dlgGasSettings->RelHumidity());
        FProtocol->SendGasHumidity(TZEBBSerialProtocol::ChannelExp, dlgGasSettings->RelHumidity());
    }
}

void TMainForm::actnAdvancedGasSettingsExecute(TObject* Sender)
{
    if (!dlgAdvGasSettings)
        return;
    TDeviceCommandLock Lock(*this);
    dlgAdvGasSettings->actnGasCalculatorExecute = [this] { actnGasCalculator->Execute(); };
    const int32_t Ambient = Whole(FAmbientTemp);
    if (!dlgAdvGasSettings->Execute(FInspGas, FExpGas, Ambient, FCorrectionMode))
        return;
    const bool InspChanged = GasChanged(FInspGas, dlgAdvGasSettings->InspGas());
    const bool ExpChanged = GasChanged(FExpGas, dlgAdvGasSettings->ExpGas());
    if (InspChanged)
        SendGasRecord(*FProtocol, TZEBBSerialProtocol::ChannelInsp, dlgAdvGasSettings->InspGas());
    if (ExpChanged)
        SendGasRecord(*FProtocol, TZEBBSerialProtocol::ChannelExp, dlgAdvGasSettings->ExpGas());
    if (dlgAdvGasSettings->AmbientTemp() != Ambient)
        FProtocol->SendGasTemperature(TZEBBSerialProtocol::ChannelAmbient, dlgAdvGasSettings->AmbientTemp());
    if (dlgAdvGasSettings->CorrectionMode() != CorrectionModeComboIndex(FCorrectionMode))
        FProtocol->SendCorrectionMode(dlgAdvGasSettings->CorrectionMode());
    if (InspChanged || ExpChanged)
        FProtocol->SendGasLetter('U');
}

void TMainForm::actnGasCalculatorExecute(TObject* Sender)
{
    if (!dlgGasCalculator)
        return;
    TDeviceCommandLock Lock(*this);
    if (!dlgGasCalculator->Execute(760))
        return;
    SendChangedGasRecords(dlgGasCalculator->InspResult(), dlgGasCalculator->ExpResult());
}

void TMainForm::SendChangedGasRecords(const TGasProperties& Insp, const TGasProperties& Exp)
{
    const bool InspChanged = GasChanged(FInspGas, Insp);
    const bool ExpChanged = GasChanged(FExpGas, Exp);
    if (InspChanged)
        SendGasRecord(*FProtocol, TZEBBSerialProtocol::ChannelInsp, Insp);
    if (ExpChanged)
        SendGasRecord(*FProtocol, TZEBBSerialProtocol::ChannelExp, Exp);
    if (InspChanged || ExpChanged)
        FProtocol->SendGasLetter('U');
}
