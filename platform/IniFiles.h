// The settings file: sections of key=value lines. Every write goes to the
// disk at once, replacing the file atomically (temporary file in the same
// folder, flushed, renamed over the old one), so a crash never leaves a
// half-written file; writes between BeginUpdate and EndUpdate are held and
// replace the file once. Reads see changes that other objects made to the
// file (while no held write is waiting).
#pragma once

#include "platform/SysUtils.h"

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// Raised when a write cannot be stored; the file keeps its previous content.
class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

class TIniFile : public TObject {
public:
    explicit TIniFile(const std::string& FileName);
    ~TIniFile() override;

    const std::string& FileName() const { return FFileName; }

    // Section and key names are compared without regard to case; they are
    // stored as first written (spaces included). A missing file, section or
    // key gives Default.
    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default);
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    // Decimal or hexadecimal ("$1F", "0x1F"); Default when not a number.
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default);
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    // '.' as the decimal separator; Default when not a number.
    double ReadFloat(const std::string& Section, const std::string& Ident, double Default);
    void WriteFloat(const std::string& Section, const std::string& Ident, double Value);
    // Stored as "1"/"0"; any non-zero integer reads as true.
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);

    bool SectionExists(const std::string& Section);
    bool ValueExists(const std::string& Section, const std::string& Ident);
    void DeleteKey(const std::string& Section, const std::string& Ident);
    void EraseSection(const std::string& Section);
    // Names of the sections, and of the keys of one section, in file order.
    std::vector<std::string> ReadSections();
    std::vector<std::string> ReadSection(const std::string& Section);
    // Every write is already on disk; kept for callers that flush.
    void UpdateFile() {}

    // Writes up to the matching EndUpdate stay in memory (reads see them);
    // the outermost EndUpdate stores them with one replacement of the file,
    // raising EIniFileException as a write would when it cannot (nothing
    // is held afterwards either way). Freed before that, the object stores
    // what it holds and a failure goes unreported.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

    // Test hook: called with the temporary file's name after it was written
    // and before the rename; returning false fails the write there.
    static std::function<bool(const std::string& TempName)> BeforeRename;

private:
    struct TEntry {
        std::string Key;     // empty for comment and blank lines
        std::string Value;   // or the whole line for comments
    };
    struct TSection {
        std::string Name;
        std::vector<TEntry> Entries;
    };

    void Refresh();
    void Store();
    TSection* FindSection(const std::string& Section);
    TEntry* FindEntry(const std::string& Section, const std::string& Ident);

    std::string FFileName;
    std::vector<TEntry> FPreamble;   // lines before the first section
    std::vector<TSection> FSections;
    // Identity of the file content held, to notice changes made by others.
    bool FLoaded = false;
    bool FReadFailed = false;   // the file exists but could not be read
    dev_t FDev = 0;
    ino_t FIno = 0;
    off_t FSize = -1;
    int64_t FMTimeNs = -1;
    int FUpdateCount = 0;
    bool FHeldWrites = false;   // changes made in an update, not stored yet
};

// Where the program keeps its settings file and its "Signals" folder: beside
// the program (ExeName with the extension ".INI", and the folder "Signals/")
// when its folder is writable, otherwise $XDG_CONFIG_HOME/<program>/ for the
// settings and $XDG_DATA_HOME/<program>/Signals/ for the signals (with the
// usual ~/.config and ~/.local/share defaults).
struct TProgramDataPaths {
    std::string IniFileName;
    std::string SignalsDir;   // ends with '/'
};
// IsWritable decides whether a folder may be written; empty means access(2).
TProgramDataPaths ProgramDataPaths(const std::string& ExeName,
                                   const std::function<bool(const std::string& Dir)>& IsWritable = {});
