// Numbers, strings, dates and files the way the rest of the program expects
// them of its class library: '.' as the decimal separator in every locale,
// TDateTime as days since 30 Dec 1899, conversion errors as EConvertError.
#pragma once

#include "platform/Classes.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

// ---------------------------------------------------------------- date-time

// Days since 30 Dec 1899 00:00; the fraction is the time of day.
using TDateTime = double;

constexpr double MSecsPerDay = 86400000.0;
constexpr double SecsPerDay = 86400.0;

// Wall-clock date and time (local time), or the test clock when one is set.
TDateTime Now();
TDateTime Date();   // today, time 00:00
TDateTime Time();   // time of day only

// Tests set the wall clock here; an empty function brings the real clock back.
void SetNowOverride(std::function<TDateTime()> Clock);

// Year 1..9999, Month 1..12, Day valid for the month; false (Result untouched)
// otherwise.
bool TryEncodeDate(uint16_t Year, uint16_t Month, uint16_t Day, TDateTime& Result);
// Hour 0..23, Min 0..59, Sec 0..59, MSec 0..999.
bool TryEncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec, TDateTime& Result);
// As the Try forms, raising EConvertError on an invalid value.
TDateTime EncodeDate(uint16_t Year, uint16_t Month, uint16_t Day);
TDateTime EncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec);

void DecodeDate(TDateTime DateTime, uint16_t& Year, uint16_t& Month, uint16_t& Day);
void DecodeTime(TDateTime DateTime, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime DateTime);
bool IsLeapYear(uint16_t Year);

// Pattern letters: d dd ddd dddd, m mm mmm mmmm (minutes right after h/hh),
// yy yyyy, h hh, n nn, s ss, z zzz, am/pm a/p ampm (12-hour clock when
// present), c (short date and long time), '/' and ':' separators, text in
// '...' or "..." copied as it stands.
std::string FormatDateTime(const std::string& Format, TDateTime DateTime);
// "dd/mm/yyyy hh:nn:ss" style default rendering, without the time when it is 00:00.
std::string DateTimeToStr(TDateTime DateTime);
std::string DateToStr(TDateTime DateTime);
std::string TimeToStr(TDateTime DateTime);

// Monotonic milliseconds since an arbitrary start; waits and time-outs use
// this so a change of the wall clock never hangs or cuts them short.
int64_t MonotonicMs();
// The low 32 bits of MonotonicMs(): wraps after about 49.7 days.
uint32_t GetTickCount();
// Tests move the monotonic clock forward (or back) by this many ms.
void SetMonotonicOffsetMs(int64_t OffsetMs);
int64_t MonotonicOffsetMs();
// Tests hold the real part of the monotonic clock where it stands, so only
// the offset moves it; false lets it run again.
void SetMonotonicHeld(bool Held);

// ------------------------------------------------------------------ random numbers

// One uniform generator for the program (single-threaded use). Randomize
// seeds it from the clock; SetRandSeed makes its sequence repeatable.
void Randomize();
void SetRandSeed(uint32_t Seed);
// A uniform integer from 0 to Range - 1; 0 when Range is 0 or less.
int Random(int Range);

// ------------------------------------------------------------------ numbers

// Pattern syntax: '0' digit, '#' optional digit, '.' decimal point, ','
// thousands separators, "E+00"/"e-0" exponent, '...'/"..." literal text,
// up to three ';'-separated sections (positive;negative;zero). Rounds half
// away from zero on the shortest decimal form of Value; never prints "-0".
std::string FormatFloat(const std::string& Format, double Value);

std::string IntToStr(int64_t Value);
std::string IntToHex(int64_t Value, int Digits);
// Shortest text that reads back as the same double, '.' as separator,
// exponent form for very large or small values.
std::string FloatToStr(double Value);

// Decimal, or hexadecimal with a leading '$' or "0x"; surrounding blanks are
// allowed. StrToInt raises EConvertError on anything else or on overflow.
int StrToInt(const std::string& S);
int StrToIntDef(const std::string& S, int Default);
bool TryStrToInt(const std::string& S, int& Value);
// '.' as separator; raises EConvertError / returns false on bad text.
double StrToFloat(const std::string& S);
double StrToFloatDef(const std::string& S, double Default);
bool TryStrToFloat(const std::string& S, double& Value);

// printf style into a std::string, '.' as decimal separator in every locale.
std::string Format(const char* Fmt, ...) __attribute__((format(printf, 1, 2)));

// ------------------------------------------------------------------ strings

std::string Trim(const std::string& S);
std::string TrimLeft(const std::string& S);
std::string TrimRight(const std::string& S);
std::string UpperCase(const std::string& S);   // ASCII letters only
std::string LowerCase(const std::string& S);
int CompareText(const std::string& A, const std::string& B);   // case-insensitive, <0 / 0 / >0
bool SameText(const std::string& A, const std::string& B);

// The system locale measures in inches (the US measurement system, as
// LC_MEASUREMENT or the locale above it tells), not in metric units.
bool LocaleMeasuresInInches();

// Upper and lower case of every letter by Unicode rules, UTF-8 in and out. A
// letter may change its length (the German sharp s upper-cases to "SS");
// bytes that are not well-formed UTF-8 stay as they are.
std::string AnsiUpperCase(const std::string& S);
std::string AnsiLowerCase(const std::string& S);

// UTF-8 texts counted in characters (code points). A byte that does not start
// a well-formed sequence counts as one character of its own, so every text,
// however damaged, splits into characters of 1 to 4 bytes, and a cut made at
// a character boundary never splits a sequence.
// Bytes of the character that starts at byte Pos; 0 at or past the end.
size_t Utf8CharSize(std::string_view S, size_t Pos);
size_t Utf8Length(std::string_view S);
// Bytes taken by the first Count characters of S (all of S when it has fewer).
size_t Utf8PrefixBytes(std::string_view S, size_t Count);

// -------------------------------------------------------------------- files

// "/a/b/c.txt" -> "/a/b/" (with the trailing '/'), "c.txt" -> "".
std::string ExtractFilePath(const std::string& FileName);
// "/a/b/c.txt" -> "c.txt".
std::string ExtractFileName(const std::string& FileName);
// ".txt" of "/a/b/c.txt"; "" when there is none.
std::string ExtractFileExt(const std::string& FileName);
// Replaces (or adds, or with "" removes) the extension; Ext includes the '.'.
std::string ChangeFileExt(const std::string& FileName, const std::string& Ext);
// Adds a trailing '/' when missing.
std::string IncludeTrailingPathDelimiter(const std::string& Path);

bool FileExists(const std::string& FileName);        // a file, not a folder
bool DirectoryExists(const std::string& Directory);
// Creates the folder and its missing parents; true when it exists afterwards.
bool ForceDirectories(const std::string& Directory);
bool DeleteFile(const std::string& FileName);
// Makes a new, empty file, exclusively: Directory (with its trailing '/', or
// "" for the current folder) + Stem + a random part + Suffix, opened for
// reading and writing (close-on-exec) with permissions Mode (less the umask).
// An existing file or link of that name is never opened: another random
// part is tried. Stem is shortened (on a character boundary) so the name
// stays within the folder's limit for one name, whatever its length.
// Returns the descriptor and the name in Name; -1 with errno set when no
// file could be made.
int CreateUniqueFile(const std::string& Directory, const std::string& Stem, const std::string& Suffix,
                     unsigned Mode, std::string& Name);
// Replaces (or creates) FileName with Data: a temporary file in the same
// folder is written, flushed and renamed over it, so the old content stays
// whole until the new one is complete. The old file's permissions are kept.
// BeforeRename (a test hook) may stop the write just before the rename by
// returning false. Returns false with a reason in Error when nothing was
// replaced.
bool WriteFileAtomic(const std::string& FileName, const std::string& Data, std::string& Error,
                     const std::function<bool(const std::string& TempName)>& BeforeRename = {});
// Reads the whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& FileName, std::string& Data);
bool RenameFile(const std::string& OldName, const std::string& NewName);
// Sets the file's modification time to DateTime, a local date-time (to the
// whole second); the access time stays. False when the date-time cannot be
// expressed (before 1970 or after 9999) or the file cannot be changed.
bool FileSetDate(const std::string& FileName, TDateTime DateTime);
// The file's modification time as a local date-time; false when the file
// cannot be looked at.
bool FileAge(const std::string& FileName, TDateTime& DateTime);
