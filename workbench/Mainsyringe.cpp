// Syringe calibration and verification, and the service password that
// shows the Calibration menu.
#include "workbench/Main.h"

#include "analyzer/Serialfunctions.h"
#include "platform/Dialogs.h"
#include "platform/Menus.h"
#include "platform/ScopeGuard.h"
#include "workbench/Entrydialogs.h"
#include "workbench/SyrCalDialog.h"

#include <cmath>

namespace {

// The syringe size travels as 16-bit whole millilitres.
constexpr double MinSyringeSize = 1;
constexpr double MaxSyringeSize = 65535;

}  // namespace

void TMainForm::actnSyringeCalibrationExecute(TObject* Sender)
{
    if (!dlgValueEntry || !dlgSyrCal)
        return;
    TDeviceCommandLock Lock(*this);
    dlgValueEntry->SetCaption("Calibration");
    dlgValueEntry->SetLabel("Syringe Size (ml):");
    dlgValueEntry->SetValue(3000);
    FProtocol->SendZero('F');
    if (!dlgValueEntry->Execute())
        return;
    const float Size = dlgValueEntry->Value();
    const double Whole = std::trunc(static_cast<double>(Size));
    if (!(Whole >= MinSyringeSize && Whole <= MaxSyringeSize)) {
        MessageDlg("The syringe size must be between 1 and 65535 ml.", mtError, TMsgDlgButtons{mbOK});
        return;
    }
    const TValueRollback<bool> Active(FSyringeCalActive, true);
    FProtocol->SendCalibration('F', static_cast<int32_t>(Whole));
    FProtocol->SendSerialMode('3');
    const bool Accepted = dlgSyrCal->Execute(Size, true) == scOK;
    FProtocol->SendCalibration(Accepted ? '1' : '0', 0);
}

void TMainForm::actnSyringeVerificationExecute(TObject* Sender)
{
    if (!dlgSyrCal)
        return;
    TDeviceCommandLock Lock(*this);
    FProtocol->SendZero('F');
    TSyrCalClose Closed = scClosed;
    {
        const TValueRollback<bool> Active(FSyringeCalActive, true);
        Closed = dlgSyrCal->Execute(-1, false);
    }
    if (Closed == scCalibrate)
        actnSyringeCalibrationExecute(Sender);
}

void TMainForm::actnUnlockCalDiagExecute(TObject* Sender)
{
    if (!dlgPassword || !dlgPassword->Execute())
        return;
    if (dlgPassword->Text() == CalibrationPassword)
        menuCalibration->SetVisible(true);
    else
        MessageDlg("Incorrect password.", mtError, TMsgDlgButtons{mbOK});
}
