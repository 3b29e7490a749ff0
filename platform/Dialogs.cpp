#include "platform/Dialogs.h"

#include "platform/Application.h"
#include "platform/private/CanvasQt.h"
#include "platform/DialogHook.h"
#include "platform/Printers.h"
#include "platform/SysUtils.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cmath>
#include <utility>
#include <vector>

namespace {

std::string captionOf(TMsgDlgType Type)
{
    switch (Type) {
    case mtWarning:
        return "Warning";
    case mtError:
        return "Error";
    case mtInformation:
        return "Information";
    case mtConfirmation:
        return "Confirmation";
    default:
        return Application->Title();
    }
}

struct TButtonInfo {
    TMsgDlgBtn Button;
    const char* Caption;
    int Result;
};

const TButtonInfo ButtonInfos[] = {
    {mbYes, "&Yes", mrYes},          {mbNo, "&No", mrNo},          {mbOK, "OK", mrOk},
    {mbCancel, "Cancel", mrCancel},  {mbAbort, "&Abort", mrAbort}, {mbRetry, "&Retry", mrRetry},
    {mbIgnore, "&Ignore", mrIgnore}, {mbAll, "&All", mrAll},       {mbNoToAll, "N&o to All", mrNoToAll},
    {mbYesToAll, "Yes to &All", mrYesToAll}, {mbHelp, "&Help", mrNone},
};

// "Desc|*.a;*.b|..." as Qt's name filters "Desc (*.a *.b)".
QStringList nameFilters(const std::string& Filter)
{
    QStringList out;
    const QStringList parts = qs(Filter).split('|');
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        out << parts[i] + " (" + patterns.trimmed() + ")";
    }
    return out;
}

}  // namespace

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx)
{
    TDialogRequest request;
    request.Kind = TDialogKind::MessageBox;
    request.Caption = captionOf(DlgType);
    request.Text = Msg;
    request.Buttons = Buttons.Bits();
    TDialogAnswer answer;
    if (AnswerDialog(request, answer))
        return answer.ModalResult == mrNone ? mrCancel : answer.ModalResult;

    EnsureApplication();
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (DlgType) {
    case mtWarning:
        icon = QMessageBox::Warning;
        break;
    case mtError:
        icon = QMessageBox::Critical;
        break;
    case mtInformation:
        icon = QMessageBox::Information;
        break;
    case mtConfirmation:
        icon = QMessageBox::Question;
        break;
    default:
        break;
    }
    QMessageBox box(icon, qs(request.Caption), qs(Msg));
    std::vector<std::pair<QAbstractButton*, int>> results;
    for (const TButtonInfo& b : ButtonInfos) {
        if (!Buttons.Contains(b.Button) || b.Button == mbHelp)
            continue;
        QString text = b.Caption;
        QPushButton* pb = box.addButton(text, b.Result == mrCancel || b.Result == mrNo ? QMessageBox::RejectRole
                                                                                      : QMessageBox::AcceptRole);
        results.emplace_back(pb, b.Result);
    }
    if (results.empty())
        results.emplace_back(box.addButton("OK", QMessageBox::AcceptRole), mrOk);
    box.exec();
    for (const auto& r : results)
        if (box.clickedButton() == r.first)
            return r.second;
    return mrCancel;
}

void ShowMessage(const std::string& Msg)
{
    MessageDlg(Msg, mtCustom, {mbOK});
}

bool InputQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value)
{
    TDialogRequest request;
    request.Kind = TDialogKind::InputBox;
    request.Caption = ACaption;
    request.Text = Value;
    request.Name = APrompt;
    TDialogAnswer answer;
    if (AnswerDialog(request, answer)) {
        if (answer.ModalResult != mrOk)
            return false;
        Value = answer.Text;
        return true;
    }
    EnsureApplication();
    bool ok = false;
    const QString text = QInputDialog::getText(nullptr, qs(ACaption), qs(APrompt), QLineEdit::Normal, qs(Value), &ok);
    if (!ok)
        return false;
    Value = text.toStdString();
    return true;
}

std::string InputBox(const std::string& ACaption, const std::string& APrompt, const std::string& Default)
{
    std::string Value = Default;
    return InputQuery(ACaption, APrompt, Value) ? Value : Default;
}

// ------------------------------------------------------------------ file dialogs

bool TOpenDialog::Execute()
{
    TDialogRequest request;
    request.Kind = Saving() ? TDialogKind::SaveFile : TDialogKind::OpenFile;
    request.Dialog = this;
    request.Name = Name();
    request.Caption = FTitle;
    request.Text = FFileName;
    request.Filter = FFilter;
    request.InitialDir = FInitialDir;

    std::string chosen;
    int filterIndex = FFilterIndex;
    TDialogAnswer answer;
    if (AnswerDialog(request, answer)) {
        if (answer.ModalResult == mrCancel || answer.FileName.empty())
            return false;
        chosen = answer.FileName;
        if (chosen[0] != '/' && !FInitialDir.empty())
            chosen = IncludeTrailingPathDelimiter(FInitialDir) + chosen;
    } else {
        EnsureApplication();
        QFileDialog dlg(nullptr, qs(FTitle), qs(FInitialDir));
        dlg.setAcceptMode(Saving() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dlg.setFileMode(!Saving() && FOptions.Contains(ofFileMustExist) ? QFileDialog::ExistingFile
                                                                        : QFileDialog::AnyFile);
        // The overwrite question is asked below, the same way as when answered.
        dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
        const QStringList filters = nameFilters(FFilter);
        if (!filters.isEmpty()) {
            dlg.setNameFilters(filters);
            if (FFilterIndex >= 1 && FFilterIndex <= filters.size())
                dlg.selectNameFilter(filters[FFilterIndex - 1]);
        }
        if (!FDefaultExt.empty())
            dlg.setDefaultSuffix(qs(FDefaultExt));
        if (!FFileName.empty())
            dlg.selectFile(qs(FFileName));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return false;
        chosen = dlg.selectedFiles().first().toStdString();
        const int i = filters.indexOf(dlg.selectedNameFilter());
        if (i >= 0)
            filterIndex = i + 1;
    }

    if (!FDefaultExt.empty() && ExtractFileExt(chosen).empty())
        chosen += "." + FDefaultExt;
    if (FOptions.Contains(ofFileMustExist) && !FileExists(chosen))
        return false;
    if ((FOptions.Contains(ofPathMustExist) || FOptions.Contains(ofFileMustExist)) &&
        !DirectoryExists(ExtractFilePath(chosen)))
        return false;
    if (Saving() && FOptions.Contains(ofOverwritePrompt) && FileExists(chosen) &&
        MessageDlg(ExtractFileName(chosen) + " already exists.\nDo you want to replace it?", mtWarning, mbYesNo) !=
            mrYes)
        return false;
    FFileName = chosen;
    FFilterIndex = filterIndex;
    return true;
}

bool TBrowseForFolderDialog::Execute()
{
    TDialogRequest request;
    request.Kind = TDialogKind::BrowseFolder;
    request.Dialog = this;
    request.Name = Name();
    request.Caption = FTitle;
    request.Text = FStatusText;
    request.InitialDir = FDirectory;
    TDialogAnswer answer;
    std::string chosen;
    if (AnswerDialog(request, answer)) {
        if (answer.ModalResult == mrCancel || answer.FileName.empty())
            return false;
        chosen = answer.FileName;
    } else {
        EnsureApplication();
        const QString dir = QFileDialog::getExistingDirectory(nullptr, qs(FTitle), qs(FDirectory));
        if (dir.isEmpty())
            return false;
        chosen = dir.toStdString();
    }
    if (!DirectoryExists(chosen))
        return false;
    FDirectory = chosen;
    return true;
}

TColorDialog::TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner), FCustomColors(std::make_unique<TStringList>())
{
}

TColorDialog::~TColorDialog() = default;

void TColorDialog::SetCustomColors(TStrings* Value) { FCustomColors->Assign(Value); }

namespace {

constexpr int CustomColorCount = 16;

std::string CustomColorName(int Index) { return std::string("Color") + static_cast<char>('A' + Index); }

// The colour of entry "ColorX=BBGGRR"; false when missing or not a number.
bool CustomColorOf(const TStrings& List, int Index, TColor& Color)
{
    const std::string Text = List.Values(CustomColorName(Index));
    if (Text.empty() || Text.size() > 8)
        return false;
    uint32_t V = 0;
    for (char Ch : Text) {
        const int Digit = std::isdigit(static_cast<unsigned char>(Ch)) ? Ch - '0'
                          : (Ch >= 'A' && Ch <= 'F')                   ? Ch - 'A' + 10
                          : (Ch >= 'a' && Ch <= 'f')                   ? Ch - 'a' + 10
                                                                        : -1;
        if (Digit < 0)
            return false;
        V = V * 16 + static_cast<uint32_t>(Digit);
    }
    Color = static_cast<TColor>(V & 0xFFFFFF);
    return true;
}

std::string CustomColorEntry(int Index, TColor Color)
{
    char Hex[8];
    std::snprintf(Hex, sizeof Hex, "%06X", static_cast<unsigned>(Color) & 0xFFFFFFu);
    return CustomColorName(Index) + "=" + Hex;
}

} // namespace

bool TColorDialog::Execute()
{
    TDialogRequest request;
    request.Kind = TDialogKind::Color;
    request.Dialog = this;
    request.Name = Name();
    for (int i = 0; i < FCustomColors->Count(); ++i)
        request.CustomColors.push_back(FCustomColors->Get(i));
    TDialogAnswer answer;
    answer.Color = static_cast<unsigned>(FColor);
    answer.CustomColors = request.CustomColors;
    if (AnswerDialog(request, answer)) {
        if (answer.ModalResult == mrCancel)
            return false;
        FColor = static_cast<TColor>(answer.Color);
        FCustomColors->Clear();
        for (const std::string& Line : answer.CustomColors)
            FCustomColors->Add(Line);
        return true;
    }
    EnsureApplication();
    // The custom colours are the dialog's shared ones: those of this
    // dialog go in, what the user left there comes back.
    for (int i = 0; i < CustomColorCount; ++i) {
        TColor C = clWhite;
        CustomColorOf(*FCustomColors, i, C);
        QColorDialog::setCustomColor(i, ToQColor(C));
    }
    QColorDialog dialog(ToQColor(FColor));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    FColor = FromQColor(dialog.selectedColor());
    FCustomColors->Clear();
    for (int i = 0; i < CustomColorCount; ++i)
        FCustomColors->Add(CustomColorEntry(i, FromQColor(QColorDialog::customColor(i))));
    return true;
}

void TPrintDialog::TakeOver()
{
    // The copies and collation chosen are the device's too.
    FDeviceMode.dmCopies = static_cast<int16_t>(std::clamp(FCopies, 1, 32767));
    FDeviceMode.dmCollate = static_cast<int16_t>(FCollate ? DMCOLLATE_TRUE : DMCOLLATE_FALSE);
    TPrinter* printer = Printer();
    if (FPrintToFile && !FFileName.empty())
        printer->SetFileName(FFileName);
    printer->SetDeviceMode(FDeviceMode);
    printer->SetCopies(std::max(FCopies, 1));
}

bool TPrintDialog::Execute()
{
    TPrinter* printer = Printer();
    FDeviceMode = printer->DeviceMode();
    TDialogRequest request;
    request.Kind = TDialogKind::Print;
    request.Dialog = this;
    request.Name = Name();
    request.Caption = printer->Title();
    TDialogAnswer answer;
    if (AnswerDialog(request, answer)) {
        if (answer.ModalResult == mrCancel)
            return false;
        TakeOver();
        return true;
    }

    EnsureApplication();
    QPrinter qp(QPrinter::HighResolution);
    const std::vector<std::string>& names = printer->Printers();
    const int index = printer->PrinterIndex();
    if (index >= 0 && index < static_cast<int>(names.size()))
        qp.setPrinterName(qs(names[static_cast<size_t>(index)]));
    if (printer->PrintsToFile()) {
        qp.setOutputFormat(QPrinter::PdfFormat);
        qp.setOutputFileName(qs(printer->Port()));
    }
    // The dialog names a PDF file after the document.
    qp.setDocName(qs(printer->Title()));
    qp.setCopyCount(std::max(FCopies, 1));
    qp.setCollateCopies(FCollate);
    qp.setPageSize(QPageSize(QSizeF(printer->PaperWidth() / 10.0, printer->PaperLength() / 10.0), QPageSize::Millimeter,
                             QString(), QPageSize::ExactMatch));
    qp.setPageOrientation(printer->Orientation() == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    qp.setDuplex(FDeviceMode.dmDuplex == DMDUP_VERTICAL     ? QPrinter::DuplexLongSide
                 : FDeviceMode.dmDuplex == DMDUP_HORIZONTAL ? QPrinter::DuplexShortSide
                                                            : QPrinter::DuplexNone);
    qp.setColorMode(FDeviceMode.dmColor == DMCOLOR_MONOCHROME ? QPrinter::GrayScale : QPrinter::Color);
    QPrintDialog dlg(&qp);
    const bool toFile = FOptions.Contains(poPrintToFile) && !FOptions.Contains(poDisablePrintToFile);
    dlg.setOption(QAbstractPrintDialog::PrintToFile, toFile || printer->PrintsToFile());
    dlg.setOption(QAbstractPrintDialog::PrintSelection, !FSetupOnly && FOptions.Contains(poSelection));
    dlg.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    dlg.setOption(QAbstractPrintDialog::PrintShowPageSize, true);
    if (!FSetupOnly && FMaxPage > 0) {
        dlg.setMinMax(FMinPage, FMaxPage);
        dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
        if (FPrintRange == prPageNums)
            qp.setFromTo(FFromPage, FToPage);
    }
    if (dlg.exec() != QDialog::Accepted)
        return false;

    FPrintToFile = qp.outputFormat() == QPrinter::PdfFormat && !qp.outputFileName().isEmpty();
    if (FPrintToFile) {
        FFileName = qp.outputFileName().toStdString();
    } else {
        printer->SetFileName("");
        for (size_t i = 0; i < names.size(); ++i)
            if (qs(names[i]) == qp.printerName())
                printer->SetPrinterIndex(static_cast<int>(i));
    }
    FCopies = qp.copyCount();
    FCollate = qp.collateCopies();
    if (!FSetupOnly) {
        if (qp.printRange() == QPrinter::PageRange) {
            FPrintRange = prPageNums;
            FFromPage = qp.fromPage();
            FToPage = qp.toPage();
        } else {
            FPrintRange = qp.printRange() == QPrinter::Selection ? prSelection : prAllPages;
        }
    }
    // The settings chosen, as a device-mode record.
    const QSizeF mm = qp.pageLayout().pageSize().size(QPageSize::Millimeter);
    TDeviceMode& dm = FDeviceMode;
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES | DM_COLLATE | DM_COLOR |
                  DM_DUPLEX;
    dm.dmOrientation = static_cast<int16_t>(
        qp.pageLayout().orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
    dm.dmPaperWidth = static_cast<int16_t>(std::lround(mm.width() * 10));
    dm.dmPaperLength = static_cast<int16_t>(std::lround(mm.height() * 10));
    const int code = TPrinter::PaperCode(dm.dmPaperWidth, dm.dmPaperLength);
    dm.dmPaperSize = static_cast<int16_t>(code != 0 ? code : DMPAPER_USER);
    dm.dmCopies = static_cast<int16_t>(FCopies);
    dm.dmCollate = static_cast<int16_t>(FCollate ? DMCOLLATE_TRUE : DMCOLLATE_FALSE);
    dm.dmColor = static_cast<int16_t>(qp.colorMode() == QPrinter::GrayScale ? DMCOLOR_MONOCHROME : DMCOLOR_COLOR);
    dm.dmDuplex = static_cast<int16_t>(qp.duplex() == QPrinter::DuplexLongSide    ? DMDUP_VERTICAL
                                       : qp.duplex() == QPrinter::DuplexShortSide ? DMDUP_HORIZONTAL
                                                                                  : DMDUP_SIMPLEX);
    TakeOver();
    return true;
}
