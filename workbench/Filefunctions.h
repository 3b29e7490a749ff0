// Data files (".zrp"): a recording of the analyzer's stream with the user's
// annotations, a plain sequence of 132-byte records with no header and no
// trailer. Record k starts at byte 132 * k; a file cut at any record
// boundary stays valid.
//
// One record, little-endian:
//   offset   0, 1 byte    RecordType (TDataRecordType)
//   offset   1, 126 bytes Payload:
//              text    a text of at most 125 characters, NUL, zeros
//              fields  four texts, each followed by NUL, then zeros
//              frame   the first min(L, 126) bytes of a received frame
//                      (':', frame type, L, ...), then zeros
//              marker  zeros
//   offset 127, 1 byte    Reserved, always 0
//   offset 128, 4 bytes   Value, int32_t (every caller passes 0)
//
// Record texts are single-byte Windows-1252; the program's texts are UTF-8
// and are converted on the way in and out ('?' for a character the code
// page lacks).
//
// Writing: the recorder's file is a TRecordFile. Every record is one write
// of 132 bytes straight to the file, with no buffer in between, so a record
// is in the file as soon as its writer returns.
#pragma once

#include "analyzer/Parameterstruct.h"
#include "analyzer/Types.h"
#include "platform/Streams.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The record type byte.
enum TDataRecordType : uint8_t {
    drtMarker = '!',
    drtTimeStamp = 'T',
    drtSubject = 'J',
    drtInvestigator = 'I',
    drtNotes = 'H',
    drtComments = 'C',
    drtWaveform = 'W',
    drtParameters = 'p',
    drtParametersOld = 'P',
    drtBenchStatus = 'S',
    drtHandheldStatus = 's',
    drtHandheldStatusFrame = 0xF2,
};

struct TDataFileRecord {
    static constexpr int Size = 132;
    static constexpr int PayloadSize = 126;
    static constexpr int MaxTextLength = PayloadSize - 1;

    uint8_t RecordType = 0;
    uint8_t Payload[PayloadSize] = {};
    uint8_t Reserved = 0;
    int32_t Value = 0;

    // The record's 132 bytes, field by field.
    void ToBytes(uint8_t (&Bytes)[Size]) const;
    // Reads a record from 132 bytes.
    static TDataFileRecord FromBytes(const uint8_t (&Bytes)[Size]);
};

// What Close did with a recording.
enum class TRecordCloseResult {
    rcSaved,       // complete and in place under its name
    rcCutShort,    // a write failed (ErrorText); the records before it are under its name
    rcKeptAsPart,  // a write failed (ErrorText); a file of that name was there and stays,
                   // the records before the failure are in the ".part" file
    rcFailed,      // the file could not be completed (ErrorText); the data is in SavedName()
};

// The file a recording is written into: a new file beside the target named
// after it with a random part and ".part" ("run.zrp.Xq3f9TbA.part"; never
// an older file or link of that name), renamed onto FileName when it is
// closed complete, so a file of that name stays whole until the new one is.
// A killed program leaves every record it wrote in the ".part" file.
//
// A write that fails (a full disk) marks the file failed: it is cut back to
// its last whole record, and every later write is refused.
class TRecordFile {
public:
    // Creates the ".part" file. Null, with the reason in Error (the file's
    // name and the system's words), when it cannot be made.
    static std::unique_ptr<TRecordFile> Create(const std::string& FileName, std::string& Error);
    ~TRecordFile();
    TRecordFile(const TRecordFile&) = delete;
    TRecordFile& operator=(const TRecordFile&) = delete;

    // Appends one record with one write; false when it failed now or earlier.
    bool Write(const TDataFileRecord& Record);

    // Syncs and closes the file, then: complete, it is renamed onto the
    // target; failed, it replaces the target only when no file of that name
    // exists, else stays as ".part". A second call does nothing and returns
    // the first answer.
    TRecordCloseResult Close();

    bool Failed() const { return FFailed; }
    const std::string& ErrorText() const { return FErrorText; }
    // After a failed write the file is cut back to its whole records; false
    // when that failed as well (CutErrorText says why), and the file may
    // end on part of a record.
    bool EndsOnWholeRecords() const { return FCutErrorText.empty(); }
    const std::string& CutErrorText() const { return FCutErrorText; }
    int64_t RecordCount() const { return FRecordCount; }
    const std::string& FileName() const { return FFileName; }
    const std::string& PartName() const { return FPartName; }
    // Where the data is: the ".part" file until Close put it in place.
    const std::string& SavedName() const { return FSavedName; }

private:
    TRecordFile(std::string FileName, std::string PartName, std::unique_ptr<TFileStream> File);
    void Fail(const std::string& What);

    std::string FFileName;
    std::string FPartName;
    std::string FSavedName;
    std::unique_ptr<TFileStream> FFile;
    int64_t FRecordCount = 0;
    bool FFailed = false;
    bool FClosed = false;
    TRecordCloseResult FCloseResult = TRecordCloseResult::rcSaved;
    std::string FErrorText;
    std::string FCutErrorText;
};

// The writers: each appends exactly one record with one write and does
// nothing at all when File is null. A failed write shows in File->Failed().
void WriteMarkerRecord(int32_t Value, TRecordFile* File);
// Text, NUL, zeros (the text cut to 125 characters).
void WriteTextRecord(uint8_t Type, const std::string& Text, int32_t Value, TRecordFile* File);
// Payload byte i := Data[i] for i < Length, else 0 (at most 126 bytes).
void WriteDataRecord(uint8_t Type, uint8_t Length, const uint8_t* Data, int32_t Value, TRecordFile* File);
// S1 NUL S2 NUL S3 NUL S4 NUL, zeros. The texts share the payload: a text
// that does not fit is cut so the four NULs always do.
void WriteFieldsRecord(uint8_t Type, const std::string& S1, const std::string& S2, const std::string& S3,
                       const std::string& S4, int32_t Value, TRecordFile* File);

// The records the writers append, built in memory.
TDataFileRecord MakeMarkerRecord(int32_t Value);
TDataFileRecord MakeTextRecord(uint8_t Type, const std::string& Text, int32_t Value);
TDataFileRecord MakeDataRecord(uint8_t Type, uint8_t Length, const uint8_t* Data, int32_t Value);
TDataFileRecord MakeFieldsRecord(uint8_t Type, const std::string& S1, const std::string& S2,
                                 const std::string& S3, const std::string& S4, int32_t Value);

// Copies the text (Windows-1252, at most 125 characters) and its NUL into
// the payload and zero-fills the payload to its end.
void CopyTextToRecord(const std::string& Text, TDataFileRecord& Record);

// The payload as four NUL-terminated texts f0..f3: f1, f2 or f3 for N = 1,
// 2 or 3, f0 for any other N, as UTF-8. A text with no NUL ends at the end of
// the payload; nothing past byte 126 of the payload is read.
std::string GetRecordField(const uint8_t (&Payload)[TDataFileRecord::PayloadSize], int N);

// UTF-8 to Windows-1252 ('?' for a character the code page lacks or a byte
// that is not UTF-8), at most MaxChars characters; and back.
std::string Utf8ToWindows1252(const std::string& Text, size_t MaxChars = std::string::npos);
std::string Windows1252ToUtf8(const char* Text, size_t Length);

// ------------------------------------------------------------- reading

// A data file opened for reading, positioned on whole records only: a read
// either delivers a whole record or nothing, and a partial last record (a
// file cut short) is never read, so the position never straddles two
// records. Positions count records from the start of the file.
class TDataFileReader {
public:
    // Null, with the reason in Error (the file's name and the system's
    // words), when the file cannot be opened.
    static std::unique_ptr<TDataFileReader> Open(const std::string& FileName, std::string& Error);
    ~TDataFileReader();
    TDataFileReader(const TDataFileReader&) = delete;
    TDataFileReader& operator=(const TDataFileReader&) = delete;

    // The next whole record; false at the end (the position stays).
    bool ReadRecord(TDataFileRecord& Record);
    // Up to Max whole records from the position on, with one read; how many
    // (0 at the end, or after a read error: ErrorText).
    size_t ReadRecords(TDataFileRecord* Records, size_t Max);
    // No whole record is left after the position.
    bool AtEnd();
    // Whole records in the file now.
    int64_t RecordCount();
    int64_t Position() const { return FPosition; }
    // Kept within 0..RecordCount().
    void SetPosition(int64_t Record);
    void SeekStart() { SetPosition(0); }
    void SeekEnd() { SetPosition(RecordCount()); }
    // Reads on until a marker has been read or the end is reached.
    void SkipForward();
    // Steps back a record at a time until a marker has been read (the
    // position is then the record after it) or no earlier record is left
    // (the position is then the start). The record just before the
    // position is not looked at: it is the one last played.
    // Both look at the records a block at a time and dispatch none.
    void SkipBack();

    const std::string& FileName() const { return FFileName; }
    // Why the last read found no record, when it was not the end of the
    // file (the system's words); empty otherwise.
    const std::string& ErrorText() const { return FErrorText; }

private:
    TDataFileReader(std::string FileName, std::unique_ptr<TFileStream> File);
    // Records First to First + Count - 1 into FBlock, with one read; how
    // many whole ones came, or -1 after a read error (ErrorText).
    int64_t ReadBlock(int64_t First, int64_t Count);
    std::vector<uint8_t> FBlock;
    std::string FFileName;
    std::unique_ptr<TFileStream> FFile;
    int64_t FPosition = 0;
    std::string FErrorText;
};

// ------------------------------------------------------------ playback

// What a played record reaches: the event and file-information lines, the
// live-data callbacks and the status decoders, as the live stream would.
class TPlaybackLink {
public:
    virtual ~TPlaybackLink() = default;
    // Event lines 0 to 4, file-information lines 0 to 9; the update calls
    // show them.
    virtual void SetEventLine(int Line, const std::string& Text) = 0;
    virtual void SetFileInfoLine(int Line, const std::string& Text) = 0;
    virtual void UpdateEvents() = 0;
    virtual void UpdateFileInfo() = 0;
    // A time stamp also becomes the file's time stamp while set.
    virtual bool PlaybackStarted() const = 0;
    virtual TDeviceKind PlaybackDeviceKind() const = 0;
    virtual void SetPlaybackDeviceKind(TDeviceKind Kind) = 0;
    virtual void PlayWaveformSample(const TWaveformSample& Sample) = 0;
    virtual void PlayParameters(const TParameterStruct& Params) = 0;
    // The stored frame, from its ':' on (126 bytes).
    virtual void PlayBenchStatus(const uint8_t* Frame) = 0;
    virtual void PlayHandheldStatus(const uint8_t* Frame) = 0;
};

// Dispatches one record by its type byte: 'T', 'J', 'I', 'H', 'C' fill
// their lines; 'W' and 'p' decode to the live callbacks; 'P' first switches
// to old-firmware scaling, 's' to the handheld; 'S' and 's' reach the
// status decoders. '!', 0xF2 and any other type do nothing.
void PlayDataRecord(const TDataFileRecord& Record, TPlaybackLink& Link);

// ------------------------------------------------------------- export

// What a table export is: waveform samples or breath parameters.
enum TExportKind { ekSignals = 0, ekParameters = 1 };

// The nine signal values of a sample, tab-separated, temperature in degrees
// Celsius; "-----" for an absent value.
std::string SignalSampleLine(const TWaveformSample& Sample);
// The 18 parameter values of a record, tab-separated.
std::string ParameterLine(const TParameterStruct& Params);
// The heading line of an export ("%%" shown as "%").
std::string ExportHeaderLine(int Kind);
// The table name of an export: the source with ".sig" or ".par".
std::string ExportFileName(const std::string& SourceName, int Kind);

enum class TExportResult {
    erExported,   // the table is complete under its name
    erNoSource,   // the source does not exist, or the kind is none of the two
    erFailed,     // the source could not be read or the table written (Error); an older table stays
    erCancelled,  // the progress said stop; nothing was written, an older table stays
};

// Told the records of the source read so far and the source's records at
// the start, after every block of them; false stops the export.
using TExportProgress = std::function<bool(int64_t RecordsDone, int64_t RecordsTotal)>;

// Writes the table of the source into Target: a temporary file beside it,
// renamed onto it once complete. Lines end with CR LF.
TExportResult WriteExportTable(const std::string& SourceName, const std::string& TargetName, int Kind,
                               std::string& Error, const TExportProgress& Progress = {});

// A source of this many bytes or more is exported under a progress window
// with a Cancel button (TdlgExportProgress).
constexpr int64_t ExportProgressFromBytes = 8 << 20;

// Exports a data file as a signal (kind 0) or parameter table (kind 1)
// beside it. Asks before overwriting an existing table; refuses a table
// that would be the source itself; tells the user, with the reason, when
// the export fails. A big source shows its progress and may be cancelled,
// which leaves no table (an older one stays). True when the table was
// written whole.
bool ExportDataFile(const std::string& SourceName, int Kind);
