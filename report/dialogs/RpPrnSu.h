// The print and printer-setup dialogs of the report library, on the
// platform's print dialog (platform/Dialogs.h). A dialog object serves one
// use: set it up, Execute, read its fields. Execute is true when the user
// confirmed; a cancelled dialog changes neither the printer nor the fields.
// The printer chosen becomes the application's printer (Printer()).
#pragma once

#include "platform/Classes.h"
#include "platform/Dialogs.h"
#include "platform/Printers.h"
#include "report/RpPrintSetup.h"

#include <cstdint>
#include <string>

class TRpCommonDialog : public TComponent {
public:
    explicit TRpCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
    virtual bool Execute() = 0;

    // Carried only.
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value) { FCtl3D = Value; }
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }

    // The dialog is about to show / has closed.
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    // Runs Dialog modally for this object, between OnShow and OnClose.
    bool TaskModalDialog(TPrintDialog& Dialog);
    virtual void DoShow();
    virtual void DoClose();

private:
    bool FCtl3D = true;
    int FHelpContext = 0;
};

class TRpBasePrintDialog : public TRpCommonDialog {
public:
    explicit TRpBasePrintDialog(TComponent* AOwner);

    // The application's printer.
    TPrinter* Printer() const { return FPrinter; }
    // Its device (queue or "PDF"), driver and port (the PDF file), as
    // chosen.
    const std::string& Device() const { return FDevice; }
    const std::string& Driver() const { return FDriver; }
    const std::string& Port() const { return FPort; }

protected:
    // Reads Device, Driver and Port from the printer.
    void GetPrinter();
    // A platform dialog named after this one.
    void NameDialog(TPrintDialog& Dialog, const std::string& Default) const;

private:
    TPrinter* FPrinter;
    std::string FDevice;
    std::string FDriver;
    std::string FPort;
};

// The printer and its settings, without a page range.
class TRpPrinterSetupDialog : public TRpBasePrintDialog {
public:
    explicit TRpPrinterSetupDialog(TComponent* AOwner) : TRpBasePrintDialog(AOwner) {}
    bool Execute() override;
};

// The printer, page range, copies and collation; on OK also the device
// settings chosen (raw device codes, as platform/Printers.h names them).
class TRpPrintDialog : public TRpBasePrintDialog {
public:
    explicit TRpPrintDialog(TComponent* AOwner) : TRpBasePrintDialog(AOwner) {}
    bool Execute() override;

    int32_t FromPage() const { return FFromPage; }
    void SetFromPage(int32_t Value) { FFromPage = Value; }
    int32_t ToPage() const { return FToPage; }
    void SetToPage(int32_t Value) { FToPage = Value; }
    // Non-zero: collate copies; after the dialog the device's collate value.
    int32_t Collate() const { return FCollate; }
    void SetCollate(int32_t Value) { FCollate = Value; }
    TPrintDialogOptions Options() const { return FOptions; }
    void SetOptions(TPrintDialogOptions Value) { FOptions = Value; }
    bool PrintToFile() const { return FPrintToFile; }
    void SetPrintToFile(bool Value) { FPrintToFile = Value; }
    TPrintRange PrintRange() const { return FPrintRange; }
    void SetPrintRange(TPrintRange Value) { FPrintRange = Value; }
    int32_t MinPage() const { return FMinPage; }
    void SetMinPage(int32_t Value) { FMinPage = Value; }
    int32_t MaxPage() const { return FMaxPage; }
    void SetMaxPage(int32_t Value) { FMaxPage = Value; }
    int32_t Copies() const { return FCopies; }
    // Also the printer's copies.
    void SetNumCopies(int32_t Value);
    int32_t PrintQuality() const { return FPrintQuality; }
    int32_t ColorOption() const { return FColorOption; }
    int32_t OutputBin() const { return FOutputBin; }
    int32_t PaperSize() const { return FPaperSize; }
    // The device is not simplex.
    bool Duplex() const { return FDuplex; }
    // 0.1 mm.
    long double Paperwidth() const { return FPaperwidth; }
    long double Paperlength() const { return FPaperlength; }
    uint32_t DeviceFields() const { return FDeviceFields; }
    // 1 portrait, 2 landscape.
    int16_t Orientation() const { return FOrientation; }
    // 1 simplex, 2 vertical (long edge), 3 horizontal (short edge).
    int32_t DuplexCode() const { return FDuplexCode; }

private:
    int32_t FFromPage = 0;
    int32_t FToPage = 0;
    int32_t FCollate = 0;
    TPrintDialogOptions FOptions;
    bool FPrintToFile = false;
    TPrintRange FPrintRange = prAllPages;
    int32_t FMinPage = 0;
    int32_t FMaxPage = 0;
    int32_t FCopies = 0;
    int32_t FPrintQuality = 0;
    int32_t FColorOption = 0;
    int32_t FOutputBin = 0;
    int32_t FPaperSize = 0;
    bool FDuplex = false;
    long double FPaperwidth = 0;
    long double FPaperlength = 0;
    uint32_t FDeviceFields = 0;
    int16_t FOrientation = 0;
    int32_t FDuplexCode = 0;
};

// The print dialog for a report's printer setup (RegisterPrintSetupDialog):
// TRpPrintDialog asked with Setup's pages and copies, pages chosen by
// number; on OK Setup takes the choice.
bool RpExecutePrintDialog(TRpPrintSetup& Setup);
