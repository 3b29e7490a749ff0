#include "workbench/Filefunctions.h"

#include "analyzer/Parameterstruct.h"
#include "analyzer/Serialfunctions.h"
#include "analyzer/Units.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"
#include "workbench/ExportProgress.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <utility>

namespace {

// Code points of Windows-1252 bytes 0x80 to 0x9F; 0 where the code page
// has no character.
constexpr char32_t Cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The code point of the well-formed UTF-8 sequence of Size bytes at S, or
// a value past Unicode when it is not one.
char32_t DecodeUtf8(const unsigned char* S, size_t Size)
{
    switch (Size) {
    case 1: return S[0] < 0x80 ? S[0] : 0x110000;
    case 2: return (char32_t(S[0] & 0x1F) << 6) | (S[1] & 0x3F);
    case 3: return (char32_t(S[0] & 0x0F) << 12) | (char32_t(S[1] & 0x3F) << 6) | (S[2] & 0x3F);
    case 4:
        return (char32_t(S[0] & 0x07) << 18) | (char32_t(S[1] & 0x3F) << 12) | (char32_t(S[2] & 0x3F) << 6) |
               (S[3] & 0x3F);
    default: return 0x110000;
    }
}

char ToWindows1252(char32_t C)
{
    if (C == 0)
        return '?';   // a NUL would end the text early
    if (C < 0x80 || (C >= 0xA0 && C <= 0xFF))
        return static_cast<char>(C);
    for (int i = 0; i < 32; ++i)
        if (Cp1252High[i] != 0 && Cp1252High[i] == C)
            return static_cast<char>(0x80 + i);
    return '?';
}

void AppendUtf8(std::string& Out, char32_t C)
{
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

void PutInt32(uint8_t* P, int32_t Value)
{
    const auto U = static_cast<uint32_t>(Value);
    for (int i = 0; i < 4; ++i)
        P[i] = static_cast<uint8_t>(U >> (8 * i));
}

int32_t GetInt32(const uint8_t* P)
{
    uint32_t U = 0;
    for (int i = 0; i < 4; ++i)
        U |= uint32_t(P[i]) << (8 * i);
    return static_cast<int32_t>(U);
}

void Append(const TDataFileRecord& Record, TRecordFile* File)
{
    if (File)
        File->Write(Record);
}

}  // namespace

// ------------------------------------------------------------ code page

std::string Utf8ToWindows1252(const std::string& Text, size_t MaxChars)
{
    std::string Out;
    Out.reserve(std::min(Text.size(), MaxChars == std::string::npos ? Text.size() : MaxChars));
    size_t Pos = 0;
    while (Pos < Text.size() && Out.size() < MaxChars) {
        const size_t Size = Utf8CharSize(Text, Pos);
        Out += ToWindows1252(DecodeUtf8(reinterpret_cast<const unsigned char*>(Text.data()) + Pos, Size));
        Pos += Size;
    }
    return Out;
}

std::string Windows1252ToUtf8(const char* Text, size_t Length)
{
    std::string Out;
    Out.reserve(Length);
    for (size_t i = 0; i < Length; ++i) {
        const auto B = static_cast<unsigned char>(Text[i]);
        if (B >= 0x80 && B < 0xA0)
            AppendUtf8(Out, Cp1252High[B - 0x80] != 0 ? Cp1252High[B - 0x80] : U'?');
        else
            AppendUtf8(Out, B);
    }
    return Out;
}

// -------------------------------------------------------------- records

void TDataFileRecord::ToBytes(uint8_t (&Bytes)[Size]) const
{
    Bytes[0] = RecordType;
    std::memcpy(Bytes + 1, Payload, PayloadSize);
    Bytes[127] = Reserved;
    PutInt32(Bytes + 128, Value);
}

TDataFileRecord TDataFileRecord::FromBytes(const uint8_t (&Bytes)[Size])
{
    TDataFileRecord R;
    R.RecordType = Bytes[0];
    std::memcpy(R.Payload, Bytes + 1, PayloadSize);
    R.Reserved = Bytes[127];
    R.Value = GetInt32(Bytes + 128);
    return R;
}

void CopyTextToRecord(const std::string& Text, TDataFileRecord& Record)
{
    const std::string Coded = Utf8ToWindows1252(Text, TDataFileRecord::MaxTextLength);
    std::memset(Record.Payload, 0, TDataFileRecord::PayloadSize);
    std::memcpy(Record.Payload, Coded.data(), Coded.size());
}

TDataFileRecord MakeMarkerRecord(int32_t Value)
{
    TDataFileRecord R;
    R.RecordType = drtMarker;
    R.Value = Value;
    return R;
}

TDataFileRecord MakeTextRecord(uint8_t Type, const std::string& Text, int32_t Value)
{
    TDataFileRecord R;
    R.RecordType = Type;
    CopyTextToRecord(Text, R);
    R.Value = Value;
    return R;
}

TDataFileRecord MakeDataRecord(uint8_t Type, uint8_t Length, const uint8_t* Data, int32_t Value)
{
    TDataFileRecord R;
    R.RecordType = Type;
    const int N = std::min<int>(Length, TDataFileRecord::PayloadSize);
    if (Data && N > 0)
        std::memcpy(R.Payload, Data, static_cast<size_t>(N));
    R.Value = Value;
    return R;
}

TDataFileRecord MakeFieldsRecord(uint8_t Type, const std::string& S1, const std::string& S2,
                                 const std::string& S3, const std::string& S4, int32_t Value)
{
    TDataFileRecord R;
    R.RecordType = Type;
    R.Value = Value;
    // Room for the texts: the payload less the four NULs.
    size_t Room = TDataFileRecord::PayloadSize - 4;
    size_t Pos = 0;
    for (const std::string* S : {&S1, &S2, &S3, &S4}) {
        const std::string Coded = Utf8ToWindows1252(*S, Room);
        std::memcpy(R.Payload + Pos, Coded.data(), Coded.size());
        Pos += Coded.size() + 1;   // and its NUL, already zero
        Room -= Coded.size();
    }
    return R;
}

void WriteMarkerRecord(int32_t Value, TRecordFile* File)
{
    if (File)
        Append(MakeMarkerRecord(Value), File);
}

void WriteTextRecord(uint8_t Type, const std::string& Text, int32_t Value, TRecordFile* File)
{
    if (File)
        Append(MakeTextRecord(Type, Text, Value), File);
}

void WriteDataRecord(uint8_t Type, uint8_t Length, const uint8_t* Data, int32_t Value, TRecordFile* File)
{
    if (File)
        Append(MakeDataRecord(Type, Length, Data, Value), File);
}

void WriteFieldsRecord(uint8_t Type, const std::string& S1, const std::string& S2, const std::string& S3,
                       const std::string& S4, int32_t Value, TRecordFile* File)
{
    if (File)
        Append(MakeFieldsRecord(Type, S1, S2, S3, S4, Value), File);
}

std::string GetRecordField(const uint8_t (&Payload)[TDataFileRecord::PayloadSize], int N)
{
    const int Wanted = N >= 1 && N <= 3 ? N : 0;
    const auto* Text = reinterpret_cast<const char*>(Payload);
    size_t Pos = 0;
    for (int Field = 0;; ++Field) {
        const size_t Length = strnlen(Text + Pos, TDataFileRecord::PayloadSize - Pos);
        if (Field == Wanted)
            return Windows1252ToUtf8(Text + Pos, Length);
        Pos += Length + 1;
        if (Pos >= TDataFileRecord::PayloadSize)
            return std::string();
    }
}

// ---------------------------------------------------------- TRecordFile

std::unique_ptr<TRecordFile> TRecordFile::Create(const std::string& FileName, std::string& Error)
{
    try {
        std::unique_ptr<TFileStream> File = TFileStream::CreateBeside(FileName, ".part");
        std::string PartName = File->FileName();
        return std::unique_ptr<TRecordFile>(new TRecordFile(FileName, std::move(PartName), std::move(File)));
    } catch (const EStreamError& E) {
        Error = E.what();
        return nullptr;
    }
}

TRecordFile::TRecordFile(std::string FileName, std::string PartName, std::unique_ptr<TFileStream> File)
    : FFileName(std::move(FileName)), FPartName(std::move(PartName)), FSavedName(FPartName), FFile(std::move(File))
{
}

TRecordFile::~TRecordFile() = default;   // an unclosed file stays as ".part"

void TRecordFile::Fail(const std::string& What)
{
    FFailed = true;
    FErrorText = What;
    // A record written in part is cut off: the file ends on a whole record.
    // A cut that fails too is kept apart: the user hears of the write that
    // failed (the cause), and a reader does not play a part record.
    try {
        if (FFile)
            FFile->SetSize(FRecordCount * TDataFileRecord::Size);
    } catch (const EStreamError& E) {
        FCutErrorText = E.what();
    }
}

bool TRecordFile::Write(const TDataFileRecord& Record)
{
    if (FFailed || !FFile)
        return false;
    uint8_t Bytes[TDataFileRecord::Size];
    Record.ToBytes(Bytes);
    try {
        if (FFile->Write(Bytes, sizeof Bytes) != static_cast<int64_t>(sizeof Bytes)) {
            Fail("Cannot write file \"" + FPartName + "\": the file cannot grow");
            return false;
        }
    } catch (const EStreamError& E) {
        Fail(E.what());
        return false;
    }
    ++FRecordCount;
    return true;
}

TRecordCloseResult TRecordFile::Close()
{
    if (FClosed)
        return FCloseResult;
    FClosed = true;
    if (!FFailed) {
        try {
            FFile->Flush();
        } catch (const EStreamError& E) {
            Fail(E.what());
        }
    }
    FFile.reset();
    if (!FFailed) {
        if (RenameFile(FPartName, FFileName)) {
            FSavedName = FFileName;
            FCloseResult = TRecordCloseResult::rcSaved;
        } else {
            FErrorText = "Cannot rename \"" + FPartName + "\" to \"" + FFileName + "\"";
            FCloseResult = TRecordCloseResult::rcFailed;
        }
        return FCloseResult;
    }
    // Cut short: an older file of that name is worth more than a part of
    // this one.
    if (!FileExists(FFileName) && !DirectoryExists(FFileName) && RenameFile(FPartName, FFileName)) {
        FSavedName = FFileName;
        FCloseResult = TRecordCloseResult::rcCutShort;
    } else {
        FCloseResult = TRecordCloseResult::rcKeptAsPart;
    }
    return FCloseResult;
}

// ------------------------------------------------------ TDataFileReader

std::unique_ptr<TDataFileReader> TDataFileReader::Open(const std::string& FileName, std::string& Error)
{
    if (DirectoryExists(FileName)) {
        Error = "Cannot open file \"" + FileName + "\": it is a folder";
        return nullptr;
    }
    try {
        auto File = std::make_unique<TFileStream>(FileName, fmOpenRead);
        return std::unique_ptr<TDataFileReader>(new TDataFileReader(FileName, std::move(File)));
    } catch (const EStreamError& E) {
        Error = E.what();
        return nullptr;
    }
}

TDataFileReader::TDataFileReader(std::string FileName, std::unique_ptr<TFileStream> File)
    : FFileName(std::move(FileName)), FFile(std::move(File))
{
}

TDataFileReader::~TDataFileReader() = default;

int64_t TDataFileReader::RecordCount()
{
    try {
        return FFile->Size() / TDataFileRecord::Size;
    } catch (const EStreamError& E) {
        FErrorText = E.what();
        return 0;
    }
}

bool TDataFileReader::AtEnd()
{
    return FPosition >= RecordCount();
}

void TDataFileReader::SetPosition(int64_t Record)
{
    FPosition = std::clamp<int64_t>(Record, 0, RecordCount());
}

bool TDataFileReader::ReadRecord(TDataFileRecord& Record)
{
    FErrorText.clear();
    uint8_t Bytes[TDataFileRecord::Size];
    try {
        FFile->SetPosition(FPosition * TDataFileRecord::Size);
        if (FFile->Read(Bytes, sizeof Bytes) != static_cast<int64_t>(sizeof Bytes))
            return false;   // no whole record left: the position stays on its boundary
    } catch (const EStreamError& E) {
        FErrorText = E.what();
        return false;
    }
    Record = TDataFileRecord::FromBytes(Bytes);
    ++FPosition;
    return true;
}

namespace {

// Records a skip or an export reads at once (about half a megabyte).
constexpr int64_t RecordsPerBlock = 4096;

}  // namespace

int64_t TDataFileReader::ReadBlock(int64_t First, int64_t Count)
{
    FBlock.resize(static_cast<size_t>(Count) * TDataFileRecord::Size);
    try {
        FFile->SetPosition(First * TDataFileRecord::Size);
        return FFile->Read(FBlock.data(), static_cast<int64_t>(FBlock.size())) / TDataFileRecord::Size;
    } catch (const EStreamError& E) {
        FErrorText = E.what();
        return -1;
    }
}

size_t TDataFileReader::ReadRecords(TDataFileRecord* Records, size_t Max)
{
    FErrorText.clear();
    const int64_t Got = ReadBlock(FPosition, static_cast<int64_t>(Max));
    if (Got <= 0)
        return 0;
    uint8_t Bytes[TDataFileRecord::Size];
    for (int64_t i = 0; i < Got; ++i) {
        std::memcpy(Bytes, FBlock.data() + i * TDataFileRecord::Size, sizeof Bytes);
        Records[i] = TDataFileRecord::FromBytes(Bytes);
    }
    FPosition += Got;
    return static_cast<size_t>(Got);
}

void TDataFileReader::SkipForward()
{
    FErrorText.clear();
    const int64_t Count = RecordCount();
    while (FPosition < Count) {
        // Zeros (a hole of a sparse file) hold no marker: passed unread.
        const int64_t Data = FFile->NextDataOffset(FPosition * TDataFileRecord::Size);
        FPosition = std::min(Count, std::max(FPosition, Data / TDataFileRecord::Size));
        if (FPosition >= Count)
            return;
        const int64_t Got = ReadBlock(FPosition, std::min(RecordsPerBlock, Count - FPosition));
        if (Got <= 0)
            return;   // a read error, or the file is shorter now
        for (int64_t i = 0; i < Got; ++i) {
            if (FBlock[static_cast<size_t>(i * TDataFileRecord::Size)] == drtMarker) {
                FPosition += i + 1;
                return;
            }
        }
        FPosition += Got;
    }
}

void TDataFileReader::SkipBack()
{
    FErrorText.clear();
    // Records below End are still to be looked at, the nearest first.
    int64_t End = FPosition - 1;
    while (End > 0) {
        const int64_t First = std::max<int64_t>(0, End - RecordsPerBlock);
        if (FFile->NextDataOffset(First * TDataFileRecord::Size) >= End * TDataFileRecord::Size) {
            End = First;   // all zeros (a hole of a sparse file): no marker there
            continue;
        }
        const int64_t Got = ReadBlock(First, End - First);
        if (Got != End - First)
            return;   // a read error, or the file is shorter now: the position stays
        for (int64_t i = Got; i-- > 0;) {
            if (FBlock[static_cast<size_t>(i * TDataFileRecord::Size)] == drtMarker) {
                FPosition = First + i + 1;
                return;
            }
        }
        End = First;
    }
    FPosition = 0;
}

// --------------------------------------------------------------- export

namespace {

constexpr const char* SignalHeader =
    "Flow (lpm)\tVolume (ml)\tAirway Pressure (cmH2O)\tLow Pressure (cmH2O)\tHigh Pressure (psi)\t"
    "Barometric Pressure (mmHg)\tOxygen(%%)\tTemperature (C)\tRelative Humidity (%%)\tTime";
constexpr const char* ParameterHeader =
    "Minute Volume (lpm)\tTidal Volume (ml)\tBase Flow (lpm)\tPIF (lpm)\tPEF (lpm)\tPIP (cmH2O)\t"
    "PEEP (cmH2O)\tIPP (cmH2O)\tMAP (cmH2O)\tBreath Rate\tIn. Hold (sec)\tEx. Hold (sec)\tIn. Time (sec)\t"
    "Ex. Time (sec)\tI:E Ratio\tCompliance (ml/cmH2O)\tMin Airway Press\tAssist Press\tTime";

// The parameter ids of a parameter table, in its column order.
constexpr int32_t ParameterColumns[] = {0, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 17, 15, 19, 20};

constexpr const char* LineEnd = "\r\n";

float CelsiusOf(float Kelvin)
{
    return Kelvin == NoValue ? NoValue : KelvinToCelsius(Kelvin);
}

}  // namespace

std::string SignalSampleLine(const TWaveformSample& Sample)
{
    const std::pair<int, float> Columns[] = {
        {Sample.Flags[1] ? 3 : 2, Sample.Flow},
        {1, Sample.Volume},
        {1, Sample.AirwayPressure},
        {1, Sample.LowPressure},
        {Sample.Flags[2] ? 2 : 1, Sample.HighPressure},
        {1, Sample.BaroPressure},
        {1, Sample.Oxygen},
        {1, CelsiusOf(Sample.Temperature)},
        {1, Sample.RelHumidity},
    };
    std::string Line;
    for (const auto& [Decimals, Value] : Columns) {
        if (!Line.empty())
            Line += '\t';
        Line += FormatNumber(Decimals, Value);
    }
    return Line;
}

std::string ParameterLine(const TParameterStruct& Params)
{
    std::string Line;
    for (const int32_t Id : ParameterColumns) {
        if (!Line.empty())
            Line += '\t';
        Line += Params.ValueText(Id, false);
    }
    return Line;
}

std::string ExportHeaderLine(int Kind)
{
    std::string Header = Kind == ekSignals ? SignalHeader : Kind == ekParameters ? ParameterHeader : "";
    for (size_t Pos = Header.find("%%"); Pos != std::string::npos; Pos = Header.find("%%", Pos + 1))
        Header.erase(Pos, 1);
    return Header;
}

std::string ExportFileName(const std::string& SourceName, int Kind)
{
    return ChangeFileExt(SourceName, Kind == ekSignals ? ".sig" : ".par");
}

TExportResult WriteExportTable(const std::string& SourceName, const std::string& TargetName, int Kind,
                               std::string& Error, const TExportProgress& Progress)
{
    if ((Kind != ekSignals && Kind != ekParameters) || !FileExists(SourceName))
        return TExportResult::erNoSource;
    std::unique_ptr<TDataFileReader> Source = TDataFileReader::Open(SourceName, Error);
    if (!Source)
        return TExportResult::erFailed;
    try {
        TAtomicFileStream Target(TargetName);
        std::string Out = ExportHeaderLine(Kind) + LineEnd;
        std::string PendingTime;
        bool TimePending = false;
        const int64_t Total = Source->RecordCount();
        std::vector<TDataFileRecord> Records(RecordsPerBlock);
        while (const size_t Got = Source->ReadRecords(Records.data(), Records.size())) {
            for (size_t i = 0; i < Got; ++i) {
                const TDataFileRecord& Record = Records[i];
                std::string Line;
                switch (Record.RecordType) {
                case drtTimeStamp:
                    PendingTime = GetRecordField(Record.Payload, 0);
                    TimePending = true;
                    break;
                case drtWaveform:
                    if (Kind == ekSignals)
                        Line = SignalSampleLine(TZEBBSerialProtocol::DecodeWaveformSample(Record.Payload));
                    break;
                case drtParameters:
                case drtParametersOld:
                    if (Kind == ekParameters)
                        Line = ParameterLine(TZEBBSerialProtocol::DecodeParameters(
                            Record.Payload, Record.RecordType == drtParametersOld));
                    break;
                default:
                    break;
                }
                if (Line.empty())
                    continue;
                Out += Line;
                if (TimePending) {
                    Out += '\t';
                    Out += PendingTime;
                    TimePending = false;
                }
                Out += LineEnd;
                if (Out.size() >= 1 << 16) {
                    Target.WriteBuffer(Out.data(), static_cast<int64_t>(Out.size()));
                    Out.clear();
                }
            }
            if (Progress && !Progress(Source->Position(), Total))
                return TExportResult::erCancelled;   // the temporary file goes with Target
        }
        if (!Source->ErrorText().empty()) {
            Error = Source->ErrorText();
            return TExportResult::erFailed;   // the temporary file goes with Target
        }
        Target.WriteBuffer(Out.data(), static_cast<int64_t>(Out.size()));
        Target.Commit();
    } catch (const EStreamError& E) {
        Error = E.what();
        return TExportResult::erFailed;
    }
    return TExportResult::erExported;
}

namespace {

// Whether two names lead to one file (a link or another spelling of the
// same path among them).
bool SameFile(const std::string& A, const std::string& B)
{
    std::error_code Ec;
    if (std::filesystem::equivalent(A, B, Ec))
        return true;
    return std::filesystem::weakly_canonical(A, Ec) == std::filesystem::weakly_canonical(B, Ec);
}

}  // namespace

bool ExportDataFile(const std::string& SourceName, int Kind)
{
    if ((Kind != ekSignals && Kind != ekParameters) || !FileExists(SourceName))
        return false;
    const std::string TargetName = ExportFileName(SourceName, Kind);
    if (SameFile(SourceName, TargetName)) {
        MessageDlg("\"" + ExtractFileName(SourceName) + "\" cannot be exported onto itself.", mtError,
                   TMsgDlgButtons{mbOK});
        return false;
    }
    if (FileExists(TargetName) &&
        MessageDlg("File \"" + ExtractFileName(TargetName) + "\" already exists.  Overwrite?", mtError,
                   TMsgDlgButtons{mbOK, mbCancel}) != mrOk)
        return false;
    std::string Error;
    // A big source keeps the program painting and can be stopped.
    std::unique_ptr<TdlgExportProgress> Window;
    TExportProgress Progress;
    std::error_code Ec;
    if (const auto Bytes = std::filesystem::file_size(SourceName, Ec);
        !Ec && Bytes >= static_cast<uintmax_t>(ExportProgressFromBytes)) {
        Window = std::make_unique<TdlgExportProgress>(nullptr, SourceName);
        Progress = [&Window](int64_t Done, int64_t Total) { return Window->Step(Done, Total); };
    }
    const TExportResult Result = WriteExportTable(SourceName, TargetName, Kind, Error, Progress);
    Window.reset();
    switch (Result) {
    case TExportResult::erExported:
        return true;
    case TExportResult::erNoSource:
    case TExportResult::erCancelled:
        return false;
    case TExportResult::erFailed:
        MessageDlg("The data file \"" + SourceName + "\" could not be exported.\n" + Error, mtError,
                   TMsgDlgButtons{mbOK});
        return false;
    }
    return false;
}

// ------------------------------------------------------------- playback

void PlayDataRecord(const TDataFileRecord& Record, TPlaybackLink& Link)
{
    switch (Record.RecordType) {
    case drtComments:
        for (int i = 0; i < 4; ++i)
            Link.SetEventLine(1 + i, GetRecordField(Record.Payload, i));
        Link.UpdateEvents();
        break;
    case drtNotes:
        for (int i = 0; i < 4; ++i)
            Link.SetFileInfoLine(4 + i, GetRecordField(Record.Payload, i));
        Link.UpdateFileInfo();
        break;
    case drtInvestigator:
        Link.SetFileInfoLine(3, GetRecordField(Record.Payload, 0));
        Link.UpdateFileInfo();
        break;
    case drtSubject:
        Link.SetFileInfoLine(2, GetRecordField(Record.Payload, 0));
        Link.UpdateFileInfo();
        break;
    case drtParametersOld:
        Link.SetPlaybackDeviceKind(dkAnalyzerOldFirmware);
        [[fallthrough]];
    case drtParameters:
        Link.PlayParameters(TZEBBSerialProtocol::DecodeParameters(
            Record.Payload, Link.PlaybackDeviceKind() == dkAnalyzerOldFirmware));
        break;
    case drtBenchStatus:
        Link.PlayBenchStatus(Record.Payload);
        break;
    case drtTimeStamp: {
        const std::string Time = GetRecordField(Record.Payload, 0);
        Link.SetEventLine(0, Time);
        Link.SetEventLine(1, "Time Stamp");
        Link.UpdateEvents();
        if (Link.PlaybackStarted()) {
            Link.SetFileInfoLine(1, Time);
            Link.UpdateFileInfo();
        }
        break;
    }
    case drtWaveform:
        Link.PlayWaveformSample(TZEBBSerialProtocol::DecodeWaveformSample(Record.Payload));
        break;
    case drtHandheldStatus:
        Link.SetPlaybackDeviceKind(dkHandheld);
        Link.PlayHandheldStatus(Record.Payload);
        break;
    default:   // markers, 0xF2 and anything else
        break;
    }
}
