#include "analyzer/Zrmobfileinfo.h"

#include "platform/SysUtils.h"

#include <algorithm>

void ParseFileIndexEntry(TZRMobFileInfo& Entry, const uint8_t* Bytes, size_t Length)
{
    Entry.Index = Bytes && Length >= 2 ? Bytes[1] : 0;
    Entry.Valid = Bytes && Length >= FileIndexEntrySize && Bytes[0] == 1 && Entry.Index < HandheldDirectorySize;
    Entry.Name.clear();
    if (!Entry.Valid)
        return;
    const int NameLength = std::min<int>(Bytes[3], 25);
    for (int i = 0; i < NameLength; ++i) {
        const uint8_t C = Bytes[4 + i];
        if (C > 0x20 && C < 0x7F)
            Entry.Name += static_cast<char>(C);
    }
    TDateTime T = 0, D = 0;
    if (!TryEncodeTime(Bytes[29], Bytes[30], Bytes[31], 0, T) ||
        !TryEncodeDate(static_cast<uint16_t>(2000 + Bytes[34]), Bytes[33], Bytes[32], D)) {
        T = 0;
        D = 0;
    }
    Entry.DateTime = D + T;
}

void ClearFileIndexEntry(TZRMobFileInfo& Entry)
{
    Entry.Valid = false;
    Entry.Index = 0;
    Entry.Name.clear();
    Entry.DateTime = Now();
}
