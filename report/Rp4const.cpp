#include "report/Rp4const.h"

#include <map>
#include <mutex>

namespace {

// Translations by id; lookups may come from a report's background thread.
std::mutex TableLock;
std::map<int, std::string>& Translations()
{
    static std::map<int, std::string> Table;
    return Table;
}

// The placeholders of Text in order ("sd" for "%s ... %d"); "%%" is none.
std::string Placeholders(std::string_view Text)
{
    std::string Kinds;
    for (size_t i = 0; i + 1 < Text.size(); ++i) {
        if (Text[i] != '%')
            continue;
        const char K = Text[i + 1];
        if (K != '%')
            Kinds += K;
        ++i;
    }
    return Kinds;
}

const TRpResString* FindString(int Id)
{
    for (const TRpResStringEntry& E : RpResStrings())
        if (E.String->Id == Id)
            return E.String;
    return nullptr;
}

}  // namespace

const std::vector<TRpResStringEntry>& RpResStrings()
{
#define RP4CONST_ENTRY(Name, Id, Text) {&Name, #Name},
    static const std::vector<TRpResStringEntry> Entries = {RP4CONST_STRINGS(RP4CONST_ENTRY)};
#undef RP4CONST_ENTRY
    return Entries;
}

const TRpResString& RpPaperSizeName(int PaperSize)
{
    static const TRpResString* const Names[RpPaperSizeCount] = {
        &SRpPaperSize0,  &SRpPaperSize1,  &SRpPaperSize2,  &SRpPaperSize3,  &SRpPaperSize4,
        &SRpPaperSize5,  &SRpPaperSize6,  &SRpPaperSize7,  &SRpPaperSize8,  &SRpPaperSize9,
        &SRpPaperSize10, &SRpPaperSize11, &SRpPaperSize12, &SRpPaperSize13, &SRpPaperSize14,
        &SRpPaperSize15, &SRpPaperSize16, &SRpPaperSize17, &SRpPaperSize18, &SRpPaperSize19,
        &SRpPaperSize20, &SRpPaperSize21, &SRpPaperSize22, &SRpPaperSize23, &SRpPaperSize24,
        &SRpPaperSize25, &SRpPaperSize26, &SRpPaperSize27,
    };
    if (PaperSize < 0 || PaperSize >= RpPaperSizeCount)
        return SRpPaperSize0;
    return *Names[PaperSize];
}

std::string LoadResString(const TRpResString& S)
{
    std::lock_guard<std::mutex> Guard(TableLock);
    const auto& Table = Translations();
    if (!Table.empty()) {
        const auto It = Table.find(S.Id);
        if (It != Table.end())
            return It->second;
    }
    return S.Text;
}

int LoadResStringTable(const TStrings& Table)
{
    std::map<int, std::string> Taken;
    for (int i = 0; i < Table.Count(); ++i) {
        const std::string Line = Table.Strings(i);
        const size_t Eq = Line.find('=');
        if (Eq == std::string::npos)
            continue;
        int Id = 0;
        if (!TryStrToInt(Line.substr(0, Eq), Id))
            continue;
        const TRpResString* S = FindString(Id);
        std::string Text = Line.substr(Eq + 1);
        if (!S || Placeholders(Text) != Placeholders(S->Text))
            continue;
        Taken[Id] = std::move(Text);
    }
    std::lock_guard<std::mutex> Guard(TableLock);
    for (auto& [Id, Text] : Taken)
        Translations()[Id] = std::move(Text);
    return static_cast<int>(Taken.size());
}

void ClearResStringTable()
{
    std::lock_guard<std::mutex> Guard(TableLock);
    Translations().clear();
}

std::string FormatResText(const std::string& Text, const std::vector<TRpFormatArg>& Args)
{
    std::string Result;
    Result.reserve(Text.size() + 16 * Args.size());
    size_t Next = 0;
    for (size_t i = 0; i < Text.size(); ++i) {
        const char C = Text[i];
        if (C != '%' || i + 1 >= Text.size()) {
            Result += C;
            continue;
        }
        const char K = Text[++i];
        if (K == '%') {
            Result += '%';
        } else if (K == 's' || K == 'd') {
            if (Next < Args.size())
                Result += Args[Next].Text();
            ++Next;
        } else {
            Result += '%';
            Result += K;
        }
    }
    return Result;
}
