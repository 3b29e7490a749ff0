#include "report/dialogs/RpPrnSu.h"

#include "platform/Application.h"

bool TRpCommonDialog::TaskModalDialog(TPrintDialog& Dialog)
{
    DoShow();
    const bool Confirmed = Dialog.Execute();
    DoClose();
    return Confirmed;
}

void TRpCommonDialog::DoShow()
{
    if (const TNotifyEvent Handler = OnShow)
        Handler(this);
}

void TRpCommonDialog::DoClose()
{
    if (const TNotifyEvent Handler = OnClose)
        Handler(this);
}

TRpBasePrintDialog::TRpBasePrintDialog(TComponent* AOwner) : TRpCommonDialog(AOwner), FPrinter(::Printer()) {}

void TRpBasePrintDialog::GetPrinter()
{
    FDevice = FPrinter->Device();
    FDriver = FPrinter->Driver();
    FPort = FPrinter->Port();
}

void TRpBasePrintDialog::NameDialog(TPrintDialog& Dialog, const std::string& Default) const
{
    Dialog.SetName(Name().empty() ? Default : Name());
}

bool TRpPrinterSetupDialog::Execute()
{
    TPrintDialog Dialog(nullptr);
    NameDialog(Dialog, "RpPrinterSetupDialog");
    Dialog.SetSetupOnly(true);
    GetPrinter();
    if (!TaskModalDialog(Dialog))
        return false;
    GetPrinter();
    return true;
}

bool TRpPrintDialog::Execute()
{
    TPrintDialog Dialog(nullptr);
    NameDialog(Dialog, "RpPrintDialog");
    Dialog.SetOptions(FOptions);
    Dialog.SetPrintRange(FPrintRange);
    Dialog.SetFromPage(FFromPage);
    Dialog.SetToPage(FToPage);
    Dialog.SetMinPage(FMinPage);
    Dialog.SetMaxPage(FMaxPage);
    Dialog.SetCopies(FCopies);
    Dialog.SetCollate(FCollate != 0);
    Dialog.SetPrintToFile(FPrintToFile);
    GetPrinter();
    if (!TaskModalDialog(Dialog))
        return false;

    GetPrinter();
    FPrintToFile = Dialog.PrintToFile();
    FPrintRange = Dialog.PrintRange();
    FFromPage = Dialog.FromPage();
    FToPage = Dialog.ToPage();
    // A dialog that says one copy leaves the count to the printer's settings.
    SetNumCopies(Dialog.Copies() == 1 ? Printer()->Copies() : Dialog.Copies());
    const TDeviceMode& DM = Dialog.DeviceMode();
    FDeviceFields = DM.dmFields;
    FOutputBin = DM.dmDefaultSource;
    FPaperSize = DM.dmPaperSize;
    FPaperwidth = DM.dmPaperWidth;
    FPaperlength = DM.dmPaperLength;
    FOrientation = DM.dmOrientation;
    FPrintQuality = DM.dmPrintQuality;
    FColorOption = DM.dmColor;
    FDuplexCode = DM.dmDuplex;
    FDuplex = DM.dmDuplex != DMDUP_SIMPLEX;
    FCollate = DM.dmCollate;
    return true;
}

void TRpPrintDialog::SetNumCopies(int32_t Value)
{
    FCopies = Value;
    Printer()->SetCopies(Value);
}

bool RpExecutePrintDialog(TRpPrintSetup& Setup)
{
    TRpPrintDialog Dialog(Application);
    Dialog.SetMinPage(Setup.MinPage);
    Dialog.SetMaxPage(Setup.MaxPage);
    Dialog.SetToPage(Setup.ToPage);
    Dialog.SetFromPage(Setup.FromPage);
    Dialog.SetOptions({poPageNums, poWarning});
    Dialog.SetNumCopies(Setup.Copies);
    if (!Dialog.Execute())
        return false;
    Setup.Copies = Dialog.Copies();
    Setup.PageRange = Dialog.PrintRange() == prPageNums;
    Setup.FromPage = Dialog.FromPage();
    Setup.ToPage = Dialog.ToPage();
    Setup.OutputBin = Dialog.OutputBin();
    Setup.PaperSize = Dialog.PaperSize();
    Setup.PrintQuality = Dialog.PrintQuality();
    Setup.Collate = Dialog.Collate();
    Setup.ColorOption = Dialog.ColorOption();
    Setup.DuplexCode = Dialog.DuplexCode();
    Setup.Duplex = Dialog.Duplex();
    return true;
}
