// The main window's printing: the report dispatch and the printout header.
#include "workbench/Main.h"

#include "analyzer/Serialfunctions.h"
#include "platform/IniFiles.h"
#include "workbench/Entrydialogs.h"
#include "workbench/Filefunctions.h"

namespace {

const char* const SettingsSection = "Settings";
// The analyzer keeps this many characters of the header.
constexpr size_t DeviceHeaderChars = 40;

}  // namespace

void TMainForm::actnPrintHeaderExecute(TObject* Sender)
{
    dlgStringEntry->SetCaption("Print Header");
    dlgStringEntry->SetLabel("Printout Header");
    dlgStringEntry->SetText(FPrintHeader);
    if (!dlgStringEntry->Execute())
        return;
    FPrintHeader = dlgStringEntry->Text();
    FIniFile->WriteString(SettingsSection, "Print Header", FPrintHeader);
    if (FDeviceKind != dkHandheld && FConnected) {
        TDeviceCommandLock Lock(*this);
        FProtocol->WriteHeaderText(Utf8ToWindows1252(FPrintHeader, DeviceHeaderChars));
    }
}
