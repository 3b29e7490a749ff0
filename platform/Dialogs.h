// Message boxes and the common dialogs (open, save, folder, colour). Each one
// asks the dialog-answer hook (platform/DialogHook.h) before it shows
// anything, so tests answer them.
#pragma once

#include "platform/Classes.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Printers.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };

// A set of buttons: `TMsgDlgButtons{mbYes, mbNo}`; Bits() is what the hook's
// request carries (bit n = button n of TMsgDlgBtn).
class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> Buttons)
    {
        for (TMsgDlgBtn B : Buttons)
            FBits = static_cast<uint16_t>(FBits | (1u << static_cast<unsigned>(B)));
    }
    constexpr bool Contains(TMsgDlgBtn B) const { return (FBits & (1u << static_cast<unsigned>(B))) != 0; }
    constexpr int Bits() const { return FBits; }
    constexpr bool operator==(const TMsgDlgButtons&) const = default;

private:
    uint16_t FBits = 0;
};

constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
constexpr TMsgDlgButtons mbYesNo{mbYes, mbNo};
constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
constexpr TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};

// The modal result of the button pressed (mrYes, mrOk, ...). The caption is
// "Warning", "Error", "Information" or "Confirmation" after the type (the
// application's title for mtCustom). Closing the box without a button gives
// mrCancel.
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);
// An information box with an OK button and the application's title.
void ShowMessage(const std::string& Msg);
// A box that asks for one line of text: Value is proposed and, on OK,
// replaced by what was entered (true); Cancel leaves it (false). An answerer
// of the dialog hook (kind InputBox) answers with mrOk and Text.
bool InputQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value);
// InputQuery's text, or Default when cancelled.
std::string InputBox(const std::string& ACaption, const std::string& APrompt, const std::string& Default);

enum TOpenOption {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
    ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
    ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify,
    ofEnableSizing, ofDontAddToRecent, ofForceShowHidden
};

class TOpenOptions {
public:
    constexpr TOpenOptions() = default;
    constexpr TOpenOptions(std::initializer_list<TOpenOption> Options)
    {
        for (TOpenOption O : Options)
            FBits |= 1u << static_cast<unsigned>(O);
    }
    constexpr bool Contains(TOpenOption O) const { return (FBits & (1u << static_cast<unsigned>(O))) != 0; }
    TOpenOptions& operator<<(TOpenOption O) { FBits |= 1u << static_cast<unsigned>(O); return *this; }
    TOpenOptions& operator>>(TOpenOption O) { FBits &= ~(1u << static_cast<unsigned>(O)); return *this; }
    constexpr bool operator==(const TOpenOptions&) const = default;

private:
    uint32_t FBits = 0;
};

// Common base of the dialog components.
class TCommonDialog : public TComponent {
public:
    explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
    virtual bool Execute() = 0;
};

// The open-file dialog. Filter: "Text files|*.txt|All files|*.*" (a pattern
// may list several masks with ';'); FilterIndex counts from 1. Execute is
// true when the user chose a file; FileName then holds its full path, with
// DefaultExt added when the name has no extension. With ofFileMustExist (or
// ofPathMustExist) a file (or folder) that is not there is refused.
class TOpenDialog : public TCommonDialog {
public:
    explicit TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value) { FFileName = Value; }
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& Value) { FFilter = Value; }
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    const std::string& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const std::string& Value) { FInitialDir = Value; }
    // Without the dot ("zrp").
    const std::string& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& Value) { FDefaultExt = Value; }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }

    bool Execute() override;

protected:
    virtual bool Saving() const { return false; }

private:
    std::string FFileName;
    std::string FFilter;
    int FFilterIndex = 1;
    std::string FInitialDir;
    std::string FDefaultExt;
    std::string FTitle;
    TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
};

// The save-file dialog. With ofOverwritePrompt an existing file is only
// taken after the user confirmed replacing it (a message box).
class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
    bool Saving() const override { return true; }
};

// Choosing a folder. Directory is proposed and, after Execute returned true,
// holds the folder chosen.
class TBrowseForFolderDialog : public TCommonDialog {
public:
    explicit TBrowseForFolderDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    const std::string& Directory() const { return FDirectory; }
    void SetDirectory(const std::string& Value) { FDirectory = Value; }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }
    // A text shown while browsing.
    const std::string& StatusText() const { return FStatusText; }
    void SetStatusText(const std::string& Value) { FStatusText = Value; }
    bool Execute() override;

private:
    std::string FDirectory;
    std::string FTitle;
    std::string FStatusText;
};

// The colour dialog. CustomColors holds the dialog's sixteen custom colours
// as "ColorA=BBGGRR" ... "ColorP=BBGGRR" (hexadecimal, blue first); the
// dialog starts with them and, on OK, they hold what the user left there.
class TColorDialog : public TCommonDialog {
public:
    explicit TColorDialog(TComponent* AOwner);
    ~TColorDialog() override;
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TStrings* CustomColors() const { return FCustomColors.get(); }
    void SetCustomColors(TStrings* Value);
    bool Execute() override;

private:
    TColor FColor = clBlack;
    std::unique_ptr<TStrings> FCustomColors;
};

enum TPrintRange { prAllPages, prSelection, prPageNums };
enum TPrintDialogOption { poPrintToFile, poPageNums, poSelection, poWarning, poHelp, poDisablePrintToFile };

class TPrintDialogOptions {
public:
    constexpr TPrintDialogOptions() = default;
    constexpr TPrintDialogOptions(std::initializer_list<TPrintDialogOption> Options)
    {
        for (TPrintDialogOption O : Options)
            FBits = static_cast<uint8_t>(FBits | (1u << static_cast<unsigned>(O)));
    }
    constexpr bool Contains(TPrintDialogOption O) const { return (FBits & (1u << static_cast<unsigned>(O))) != 0; }
    constexpr bool operator==(const TPrintDialogOptions&) const = default;

private:
    uint8_t FBits = 0;
};

// The print dialog for the application's printer (Printer()): the printer
// (a queue, or a PDF file when printing to a file), copies, collation, the
// page range and the device settings chosen are taken over on OK. Options
// offer page numbers, the selection and printing to a file. Execute starts
// DeviceMode from the printer's; on OK it holds the settings chosen, which
// go to the printer as far as it honours them.
//
// The hook's request names the dialog (Dialog is this object); an answerer
// may set the dialog's fields (page range, copies, DeviceMode, PrintToFile,
// FileName...) before it answers. ModalResult mrCancel cancels; any other
// answer takes the fields as they stand.
class TPrintDialog : public TCommonDialog {
public:
    explicit TPrintDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    int Copies() const { return FCopies; }
    void SetCopies(int Value) { FCopies = Value; }
    bool Collate() const { return FCollate; }
    void SetCollate(bool Value) { FCollate = Value; }
    int FromPage() const { return FFromPage; }
    void SetFromPage(int Value) { FFromPage = Value; }
    int ToPage() const { return FToPage; }
    void SetToPage(int Value) { FToPage = Value; }
    int MinPage() const { return FMinPage; }
    void SetMinPage(int Value) { FMinPage = Value; }
    int MaxPage() const { return FMaxPage; }
    void SetMaxPage(int Value) { FMaxPage = Value; }
    TPrintRange PrintRange() const { return FPrintRange; }
    void SetPrintRange(TPrintRange Value) { FPrintRange = Value; }
    TPrintDialogOptions Options() const { return FOptions; }
    void SetOptions(TPrintDialogOptions Value) { FOptions = Value; }
    bool PrintToFile() const { return FPrintToFile; }
    void SetPrintToFile(bool Value) { FPrintToFile = Value; }
    // The PDF file when printing to a file ("" keeps the printer's).
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value) { FFileName = Value; }
    // Only the printer and its settings are asked for (no page range).
    bool SetupOnly() const { return FSetupOnly; }
    void SetSetupOnly(bool Value) { FSetupOnly = Value; }
    const TDeviceMode& DeviceMode() const { return FDeviceMode; }
    TDeviceMode& DeviceMode() { return FDeviceMode; }
    bool Execute() override;

private:
    void TakeOver();

    int FCopies = 1;
    bool FCollate = false;
    int FFromPage = 0;
    int FToPage = 0;
    int FMinPage = 0;
    int FMaxPage = 0;
    TPrintRange FPrintRange = prAllPages;
    TPrintDialogOptions FOptions;
    bool FPrintToFile = false;
    std::string FFileName;
    bool FSetupOnly = false;
    TDeviceMode FDeviceMode;
};
