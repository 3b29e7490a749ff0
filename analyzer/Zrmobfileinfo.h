// Filling and clearing one entry of the handheld unit's file directory.
#pragma once

#include "analyzer/Types.h"

#include <cstddef>
#include <cstdint>

// Bytes of one directory entry: in use (1), index, entry count, name length,
// 25 name characters, hour, minute, second, day, month, year - 2000.
constexpr size_t FileIndexEntrySize = 35;

// Fills Entry from the Length bytes of a directory reply that follow its
// sub-command letter. An entry shorter than its layout or with an index
// outside the directory is not valid; DateTime is only written for a valid
// entry (0 when its time or date does not exist).
void ParseFileIndexEntry(TZRMobFileInfo& Entry, const uint8_t* Bytes, size_t Length = FileIndexEntrySize);
// Not valid, index 0, no name, the current date-time.
void ClearFileIndexEntry(TZRMobFileInfo& Entry);
