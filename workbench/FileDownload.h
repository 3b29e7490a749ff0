// The handheld unit's file directory and the download of its records: a
// dialog that stays on top while the main window goes on. The protocol
// object fills the directory entries and asks the dialog to rebuild its
// list; each checked entry is downloaded and written as a handheld file
// (".zrm") in a folder the user chooses.
#pragma once

#include "analyzer/Mainformlink.h"
#include "analyzer/Types.h"
#include "platform/Forms.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TBrowseForFolderDialog;
class TButton;
class TCheckListBox;
class TProgressBar;
class TZEBBSerialProtocol;

// How writing one downloaded image ended.
enum TSaveImageResult : int {
    siSaved,     // the file was written (and dated when the record's date was known)
    siSkipped,   // the user kept the file that was there
    siFailed,    // the file could not be written; the user was told
};

// The file name (without folder) a handheld record is written under: its
// name, '/' turned into '_', an empty name, "." or ".." as "handheld-" and
// the index, with the extension (after the last dot) replaced by ".zrm".
std::string HandheldFileName(const TZRMobFileInfo& Entry);

class TdlgFileDownload : public TForm, public TFileDownloadLink {
public:
    // Protocol: the link the directory and the files come through (may be
    // null: nothing is asked of the handheld then).
    TdlgFileDownload(TComponent* Owner, TZEBBSerialProtocol* Protocol);
    ~TdlgFileDownload() override;

    // Empties the list and the directory, asks the handheld for its
    // directory and shows the dialog without waiting.
    void Execute();
    // The directory, as the protocol fills it.
    TZRMobFileInfo FileInfo(int Index) const override;
    void SetFileInfo(int Index, const TZRMobFileInfo& Info) override;
    // One line per valid entry in index order: "(i)  name  dd/mmm/yyyy hh:nn a/p",
    // none checked.
    void UpdateFileList() override;
    // Downloads the checked lines into the folder the user chooses.
    void btnDownloadClick(TObject* Sender);
    void btnCloseClick(TObject* Sender);
    // Writes Image (ZrmImageSize bytes at least) as the entry's handheld
    // file in Folder: asks before replacing a file, writes a temporary file
    // and renames it, and dates the file with the record's date and time.
    TSaveImageResult SaveImage(const std::vector<uint8_t>& Image, const TZRMobFileInfo& Entry,
                               const std::string& Folder);

    // The folder proposed to the folder browser.
    const std::string& Directory() const { return FDirectory; }
    void SetDirectory(const std::string& Value) { FDirectory = Value; }
    // A download runs (its waits keep the dialog usable).
    bool Downloading() const { return FDownloading; }
    // The directory entry shown on list line Line.
    int LineEntry(int Line) const { return FLineEntries[static_cast<size_t>(Line)]; }

private:
    TCheckListBox* FileList = nullptr;
    TButton* btnDownload = nullptr;
    TButton* btnClose = nullptr;
    TProgressBar* ProgressBar = nullptr;
    TBrowseForFolderDialog* SelectDirectory = nullptr;

    TZEBBSerialProtocol* FProtocol = nullptr;
    std::string FDirectory;
    TZRMobFileInfo FFileInfos[HandheldDirectorySize];
    std::vector<int> FLineEntries;
    bool FDownloading = false;
    std::unique_ptr<TProtocolProgressBar> FProgressLink;
};

extern TdlgFileDownload* dlgFileDownload;
