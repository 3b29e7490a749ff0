#include "platform/IniFiles.h"

#include <cstdlib>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

std::function<bool(const std::string& TempName)> TIniFile::BeforeRename;

namespace {

// A line break inside a name or value would start a new line of the file.
std::string oneLine(const std::string& s)
{
    std::string r = s;
    for (char& c : r)
        if (c == '\r' || c == '\n')
            c = ' ';
    return r;
}

// Values keep surrounding blanks and quotes by being written in quotes.
std::string quoteValue(const std::string& v)
{
    const std::string t = oneLine(v);
    if (t.empty())
        return t;
    const bool blankEdge = static_cast<unsigned char>(t.front()) <= ' ' ||
                           static_cast<unsigned char>(t.back()) <= ' ';
    const bool quoted = t.size() >= 2 && t.front() == '"' && t.back() == '"';
    return blankEdge || quoted ? '"' + t + '"' : t;
}

std::string unquoteValue(const std::string& v)
{
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        return v.substr(1, v.size() - 2);
    return v;
}

}  // namespace

TIniFile::TIniFile(const std::string& FileName) : FFileName(FileName)
{
}

TIniFile::~TIniFile()
{
    if (!FHeldWrites)
        return;
    try {
        FUpdateCount = 0;
        Store();
    } catch (...) {
        // nobody left to tell
    }
}

void TIniFile::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FHeldWrites)
        Store();
}

// Loads the file again when it is not the one held (first use, or another
// writer replaced or changed it); held writes are kept over the disk's.
void TIniFile::Refresh()
{
    if (FHeldWrites)
        return;
    struct stat st {};
    if (::stat(FFileName.c_str(), &st) != 0) {
        // no file (yet): nothing to read
        FPreamble.clear();
        FSections.clear();
        FLoaded = true;
        FReadFailed = false;
        FDev = 0;
        FIno = 0;
        FSize = -1;
        FMTimeNs = -1;
        return;
    }
    const int64_t mtime = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    if (FLoaded && !FReadFailed && st.st_dev == FDev && st.st_ino == FIno && st.st_size == FSize &&
        mtime == FMTimeNs)
        return;
    FPreamble.clear();
    FSections.clear();
    FLoaded = true;
    FDev = st.st_dev;
    FIno = st.st_ino;
    FSize = st.st_size;
    FMTimeNs = mtime;
    std::string text;
    FReadFailed = !ReadWholeFile(FFileName, text);
    if (FReadFailed)
        return;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos)
            eol = text.size();
        std::string line = text.substr(pos, eol - pos);
        pos = eol + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string t = Trim(line);
        if (t.empty())
            continue;
        std::vector<TEntry>& entries = FSections.empty() ? FPreamble : FSections.back().Entries;
        if (t[0] == ';' || t[0] == '#') {
            entries.push_back({std::string(), line});
        } else if (t[0] == '[' && t.find(']') != std::string::npos) {
            FSections.push_back({Trim(t.substr(1, t.rfind(']') - 1)), {}});
        } else {
            const size_t eq = t.find('=');
            if (eq == std::string::npos || eq == 0) {
                entries.push_back({std::string(), line});   // kept as it stands
            } else {
                entries.push_back({TrimRight(t.substr(0, eq)), unquoteValue(Trim(t.substr(eq + 1)))});
            }
        }
    }
}

void TIniFile::Store()
{
    if (FUpdateCount > 0) {
        FHeldWrites = true;
        return;
    }
    FHeldWrites = false;
    if (FReadFailed) {
        FLoaded = false;
        throw EIniFileException("Unable to write to " + FFileName + ": the file cannot be read");
    }
    std::string text;
    for (const TEntry& e : FPreamble)
        text += (e.Key.empty() ? e.Value : e.Key + '=' + quoteValue(e.Value)) + '\n';
    for (size_t s = 0; s < FSections.size(); ++s) {
        if (s > 0 || !FPreamble.empty())
            text += '\n';
        text += '[' + FSections[s].Name + "]\n";
        for (const TEntry& e : FSections[s].Entries)
            text += (e.Key.empty() ? e.Value : e.Key + '=' + quoteValue(e.Value)) + '\n';
    }

    std::string error;
    if (!WriteFileAtomic(FFileName, text, error, BeforeRename)) {
        FLoaded = false;   // what is held may differ from the disk now
        throw EIniFileException("Unable to write to " + FFileName + ": " + error);
    }
    struct stat st {};
    if (::stat(FFileName.c_str(), &st) == 0) {
        FDev = st.st_dev;
        FIno = st.st_ino;
        FSize = st.st_size;
        FMTimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    } else {
        FLoaded = false;
    }
}

TIniFile::TSection* TIniFile::FindSection(const std::string& Section)
{
    const std::string name = Trim(oneLine(Section));
    for (TSection& s : FSections)
        if (SameText(s.Name, name))
            return &s;
    return nullptr;
}

TIniFile::TEntry* TIniFile::FindEntry(const std::string& Section, const std::string& Ident)
{
    TSection* s = FindSection(Section);
    if (!s)
        return nullptr;
    const std::string key = Trim(oneLine(Ident));
    for (TEntry& e : s->Entries)
        if (!e.Key.empty() && SameText(e.Key, key))
            return &e;
    return nullptr;
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default)
{
    Refresh();
    const TEntry* e = FindEntry(Section, Ident);
    return e ? e->Value : Default;
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value)
{
    Refresh();
    if (TEntry* e = FindEntry(Section, Ident)) {
        e->Value = oneLine(Value);
    } else {
        TSection* s = FindSection(Section);
        if (!s) {
            FSections.push_back({Trim(oneLine(Section)), {}});
            s = &FSections.back();
        }
        s->Entries.push_back({Trim(oneLine(Ident)), oneLine(Value)});
    }
    Store();
}

int TIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default)
{
    return StrToIntDef(ReadString(Section, Ident, std::string()), Default);
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

double TIniFile::ReadFloat(const std::string& Section, const std::string& Ident, double Default)
{
    return StrToFloatDef(ReadString(Section, Ident, std::string()), Default);
}

void TIniFile::WriteFloat(const std::string& Section, const std::string& Ident, double Value)
{
    WriteString(Section, Ident, FloatToStr(Value));
}

bool TIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default)
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value)
{
    WriteString(Section, Ident, Value ? "1" : "0");
}

bool TIniFile::SectionExists(const std::string& Section)
{
    Refresh();
    return FindSection(Section) != nullptr;
}

bool TIniFile::ValueExists(const std::string& Section, const std::string& Ident)
{
    Refresh();
    return FindEntry(Section, Ident) != nullptr;
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident)
{
    Refresh();
    TSection* s = FindSection(Section);
    const TEntry* e = FindEntry(Section, Ident);
    if (!s || !e)
        return;
    s->Entries.erase(s->Entries.begin() + (e - s->Entries.data()));
    Store();
}

void TIniFile::EraseSection(const std::string& Section)
{
    Refresh();
    bool erased = false;
    const std::string name = Trim(oneLine(Section));
    for (size_t i = FSections.size(); i-- > 0;) {
        if (SameText(FSections[i].Name, name)) {
            FSections.erase(FSections.begin() + static_cast<std::ptrdiff_t>(i));
            erased = true;
        }
    }
    if (erased)
        Store();
}

std::vector<std::string> TIniFile::ReadSections()
{
    Refresh();
    std::vector<std::string> names;
    for (const TSection& s : FSections)
        names.push_back(s.Name);
    return names;
}

std::vector<std::string> TIniFile::ReadSection(const std::string& Section)
{
    Refresh();
    std::vector<std::string> keys;
    if (const TSection* s = FindSection(Section))
        for (const TEntry& e : s->Entries)
            if (!e.Key.empty())
                keys.push_back(e.Key);
    return keys;
}

// ------------------------------------------------------------ data paths

namespace {

std::string xdgDir(const char* variable, const char* fallbackBelowHome)
{
    const char* v = std::getenv(variable);
    if (v && v[0] == '/')   // relative values are to be ignored
        return v;
    std::string home;
    if (const char* h = std::getenv("HOME"); h && h[0])
        home = h;
    else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    else
        home = "/tmp";
    return IncludeTrailingPathDelimiter(home) + fallbackBelowHome;
}

}  // namespace

TProgramDataPaths ProgramDataPaths(const std::string& ExeName,
                                   const std::function<bool(const std::string& Dir)>& IsWritable)
{
    std::string dir = ExtractFilePath(ExeName);
    if (dir.empty())
        dir = "./";
    const std::string iniName = ExtractFileName(ChangeFileExt(ExeName, ".INI"));
    const bool writable =
        IsWritable ? IsWritable(dir) : ::access(dir.c_str(), W_OK | X_OK) == 0;
    if (writable)
        return {dir + iniName, dir + "Signals/"};
    std::string program = ChangeFileExt(ExtractFileName(ExeName), "");
    if (program.empty())
        program = "ozezudo";
    return {IncludeTrailingPathDelimiter(xdgDir("XDG_CONFIG_HOME", ".config")) + program + '/' + iniName,
            IncludeTrailingPathDelimiter(xdgDir("XDG_DATA_HOME", ".local/share")) + program + "/Signals/"};
}
