#include "workbench/FileDownload.h"

#include "analyzer/Serialfunctions.h"
#include "analyzer/Zrmobfileinfo.h"
#include "platform/Application.h"
#include "platform/CheckLst.h"
#include "platform/ComCtrls.h"
#include "platform/Controlbuilder.h"
#include "platform/Dialogs.h"
#include "platform/ScopeGuard.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "workbench/Main.h"
#include "workbench/Zrmobilefilerecord.h"

#include <algorithm>
#include <optional>

TdlgFileDownload* dlgFileDownload = nullptr;

namespace {

// Room the protocol fills while a file downloads: the image and more.
constexpr size_t DownloadBufferSize = 20000;

class TProgressLink : public TProtocolProgressBar {
public:
    explicit TProgressLink(TProgressBar* Bar) : FBar(Bar) {}
    void SetPosition(int Position) override { FBar->SetPosition(Position); }

private:
    TProgressBar* FBar;
};

}  // namespace

std::string HandheldFileName(const TZRMobFileInfo& Entry)
{
    std::string Name = Entry.Name;
    std::replace(Name.begin(), Name.end(), '/', '_');
    if (Name.empty() || Name == "." || Name == "..")
        Name = "handheld-" + IntToStr(Entry.Index);
    return ChangeFileExt(Name, ".zrm");
}

TdlgFileDownload::TdlgFileDownload(TComponent* Owner, TZEBBSerialProtocol* Protocol)
    : TForm(Owner), FProtocol(Protocol)
{
    SetName("dlgFileDownload");
    SetCaption("File Download");
    SetBorderStyle(bsDialog);
    SetFormStyle(fsStayOnTop);
    // Over the main window, clear of its menu bar.
    SetPosition(poMainFormCenter);
    SetClientWidth(330);
    SetClientHeight(290);

    FileList = NewControl<TCheckListBox>(this, this, "FileList", "", 8, 8, 314, 200);
    ProgressBar = NewControl<TProgressBar>(this, this, "ProgressBar", "", 8, 216, 314, 16);
    ProgressBar->SetMin(0);
    ProgressBar->SetMax(100);
    ProgressBar->SetVisible(false);
    btnDownload = NewControl<TButton>(this, this, "btnDownload", "Download", 8, 250, 100, 27);
    btnClose = NewControl<TButton>(this, this, "btnClose", "Close", 222, 250, 100, 27);
    btnDownload->OnClick = [this](TObject* Sender) { btnDownloadClick(Sender); };
    btnClose->OnClick = [this](TObject* Sender) { btnCloseClick(Sender); };

    SelectDirectory = new TBrowseForFolderDialog(this);
    SelectDirectory->SetName("SelectDirectory");
    SelectDirectory->SetTitle("Download Files To");
    SelectDirectory->SetStatusText("Choose the folder for the handheld files");

    FProgressLink = std::make_unique<TProgressLink>(ProgressBar);
    FDirectory = MainForm ? MainForm->ProgramDir() : ExtractFilePath(Application->ExeName());
    for (TZRMobFileInfo& Info : FFileInfos)
        ClearFileIndexEntry(Info);
    if (FProtocol)
        FProtocol->SetFileDownloadDialog(this);

    DoCreate();
}

TdlgFileDownload::~TdlgFileDownload()
{
    // The protocol object may be gone already (the main window owns it).
    if (FProtocol && ZebbSer == FProtocol)
        FProtocol->SetFileDownloadDialog(nullptr);
    if (dlgFileDownload == this)
        dlgFileDownload = nullptr;
}

void TdlgFileDownload::Execute()
{
    FileList->Clear();
    FLineEntries.clear();
    for (TZRMobFileInfo& Info : FFileInfos)
        ClearFileIndexEntry(Info);
    if (FProtocol)
        FProtocol->RequestFileList();
    Show();
}

TZRMobFileInfo TdlgFileDownload::FileInfo(int Index) const
{
    if (Index < 0 || Index >= HandheldDirectorySize)
        return TZRMobFileInfo{};
    return FFileInfos[Index];
}

void TdlgFileDownload::SetFileInfo(int Index, const TZRMobFileInfo& Info)
{
    if (Index >= 0 && Index < HandheldDirectorySize)
        FFileInfos[Index] = Info;
}

void TdlgFileDownload::UpdateFileList()
{
    FileList->Clear();
    FLineEntries.clear();
    for (int i = 0; i < HandheldDirectorySize; ++i) {
        const TZRMobFileInfo& Info = FFileInfos[i];
        if (!Info.Valid)
            continue;
        FileList->Items()->Add("(" + IntToStr(Info.Index) + ")  " + Info.Name + "  " +
                               FormatDateTime("dd/mmm/yyyy hh:nn a/p", Info.DateTime));
        FLineEntries.push_back(i);
    }
}

void TdlgFileDownload::btnCloseClick(TObject* Sender)
{
    Hide();
}

void TdlgFileDownload::btnDownloadClick(TObject* Sender)
{
    if (FDownloading)
        return;
    // A device command still waiting for its acknowledgement would take the
    // download's replies for its own: the download waits until it is done.
    if (MainForm && MainForm->DeviceCommandRunning())
        return;
    SelectDirectory->SetDirectory(FDirectory);

    // Nothing else may talk to the handheld while its files come in.
    std::optional<TMainForm::TDeviceCommandLock> Lock;
    if (MainForm)
        Lock.emplace(*MainForm);
    TValueRollback<bool> Running(FDownloading, true);
    btnDownload->SetEnabled(false);
    FileList->SetEnabled(false);
    ProgressBar->SetPosition(0);
    ProgressBar->SetVisible(true);
    TScopeExit Ready([this] {
        ProgressBar->SetVisible(false);
        btnDownload->SetEnabled(true);
        FileList->SetEnabled(true);
    });

    std::vector<int> Checked;
    for (int Line = 0; Line < FileList->Count(); ++Line)
        if (FileList->Checked(Line))
            Checked.push_back(FLineEntries[static_cast<size_t>(Line)]);
    if (Checked.empty() || !FProtocol || !SelectDirectory->Execute())
        return;
    const std::string Folder = SelectDirectory->Directory();

    std::vector<uint8_t> Buffer(DownloadBufferSize);
    for (int Entry : Checked) {
        const TZRMobFileInfo Info = FFileInfos[Entry];
        if (FProtocol->DownloadFile(static_cast<uint8_t>(Info.Index), Buffer.data(), Buffer.size(),
                                    FProgressLink.get()))
            SaveImage(Buffer, Info, Folder);
        else
            MessageDlg("ERROR: Could Not Download File", mtError, TMsgDlgButtons{mbOK});
    }
}

TSaveImageResult TdlgFileDownload::SaveImage(const std::vector<uint8_t>& Image, const TZRMobFileInfo& Entry,
                                             const std::string& Folder)
{
    const std::string Name = HandheldFileName(Entry);
    const std::string Path = IncludeTrailingPathDelimiter(Folder) + Name;
    if (FileExists(Path) && MessageDlg("File already exists.  '" + Name + "' Overwrite?", mtError,
                                       TMsgDlgButtons{mbOK, mbCancel}) == mrCancel)
        return siSkipped;
    std::string Error;
    if (!WriteFileAtomic(Path, ZrmFileText(Image), Error)) {
        MessageDlg("The handheld file '" + Path + "' could not be written: " + Error + ".", mtError,
                   TMsgDlgButtons{mbOK});
        return siFailed;
    }
    // A record without a valid date keeps the time it was written.
    if (Entry.DateTime != 0)
        FileSetDate(Path, Entry.DateTime);
    return siSaved;
}
