#include "report/RpPageList.h"

#include "platform/ScopeGuard.h"
#include "platform/SysUtils.h"
#include "report/RpBytes.h"

#include <cstring>
#include <vector>

namespace {

// Smallest record: page number, end offset, back link.
constexpr int64_t MinRecordSize = 12;
// A stored metafile begins with its 64-byte header.
constexpr int64_t MetafileHeaderSize = 64;
// One link without its text: area and text length.
constexpr int64_t MinLinkSize = 20;

// Holds a stream's lock for a scope (after the page list's own).
class TStreamLock {
public:
    explicit TStreamLock(TRpStream* AStream) : FStream(AStream)
    {
        if (FStream)
            FStream->LockStream();
    }
    ~TStreamLock()
    {
        if (FStream)
            FStream->UnlockStream();
    }
    TStreamLock(const TStreamLock&) = delete;
    TStreamLock& operator=(const TStreamLock&) = delete;

private:
    TRpStream* FStream;
};

void PutU16(uint8_t* P, uint16_t V)
{
    P[0] = static_cast<uint8_t>(V);
    P[1] = static_cast<uint8_t>(V >> 8);
}

void PutF64(uint8_t* P, double Value)
{
    uint64_t V = 0;
    std::memcpy(&V, &Value, sizeof V);
    for (int K = 0; K < 8; ++K)
        P[K] = static_cast<uint8_t>(V >> (8 * K));
}

// The 124-byte layout moved field by field into the 128-byte one.
void ConvertFileHeader(const uint8_t* Old, uint8_t* New)
{
    std::memset(New, 0, RpFileHeaderSize);
    std::memcpy(New + 0, Old + 0, 2);
    std::memcpy(New + 2, Old + 2, 2);
    New[4] = Old[4];
    std::memcpy(New + 8, Old + 8, 4);
    std::memcpy(New + 16, Old + 12, 8);
    New[24] = Old[20];
    New[25] = Old[21];
    std::memcpy(New + 26, Old + 22, 101);
}

}  // namespace

TRpPageList::TRpPageList() : FOutline(std::make_unique<TRpOutline>()) {}

TRpPageList::~TRpPageList() = default;

void TRpPageList::Clear()
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    FPageCount = 0;
}

void TRpPageList::SetStream(std::unique_ptr<TRpStream> Value)
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    FStream = std::move(Value);
    FHeaderSize = RpFileHeaderSize;
    FFileName.clear();
}

void TRpPageList::AddOutline(int Level, const std::string& Title, const TRect& Area, int Page)
{
    FOutline->AddNode(Title, Level, Area, Page);
}

void TRpPageList::Damaged(const std::string& Fault) const
{
    const std::string Name = FFileName.empty() ? LoadResString(SRpReportInMemory) : FFileName;
    throw ERpError(FormatResString(SRpDamagedReportFile, Name, Fault));
}

int32_t TRpPageList::ReadI32At(int64_t Position)
{
    FStream->SetPosition(Position);
    return FStream->ReadInt32();
}

// ------------------------------------------------------------------ header

void TRpPageList::WriteFileHeader()
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    if (!FStream)
        FStream = std::make_unique<TRpStream>(RpDefaultMemoryLimit);
    TStreamLock StreamGuard(FStream.get());
    uint8_t H[RpFileHeaderSize] = {};
    PutU16(H + 0, 3);
    PutU16(H + 2, 404);
    RpPutI32(H + 8, FPageCount);
    PutF64(H + 16, Now());
    H[25] = FCompression ? 1 : 0;
    try {
        FStream->SetPosition(0);
        FStream->WriteBuffer(H, RpFileHeaderSize);
    } catch (const EStreamError& E) {
        throw ERpError(FormatResString(SRpCannotWriteReport, E.what()));
    }
    FHeaderSize = RpFileHeaderSize;
}

int TRpPageList::DetectFileHeaderSize(TStream* Stream)
{
    const int64_t Size = Stream->Size();
    if (Size >= RpOldFileHeaderSize && Size < RpFileHeaderSize)
        return RpOldFileHeaderSize;   // only a 124-byte header fits
    if (Size < 177)
        return RpFileHeaderSize;
    const int64_t Kept = Stream->Position();
    TScopeExit Restore([&] { Stream->SetPosition(Kept); });
    uint8_t Probe[4];
    Stream->SetPosition(173);
    Stream->ReadBuffer(Probe, 4);
    // The probe as text up to its first zero byte.
    const bool Emf = Probe[0] == 'E' && Probe[1] == 'M' && Probe[2] == 'F' && Probe[3] == 0;
    return Emf ? RpOldFileHeaderSize : RpFileHeaderSize;
}

int TRpPageList::FileHeaderSize()
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    if (!FStream)
        return RpFileHeaderSize;
    TStreamLock StreamGuard(FStream.get());
    return DetectFileHeaderSize(FStream.get());
}

void TRpPageList::ReadFileHeader()
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    if (!FStream)
        Damaged(LoadResString(SRpBadHeader));
    TStreamLock StreamGuard(FStream.get());
    const int64_t Size = FStream->Size();
    if (Size < RpOldFileHeaderSize)
        Damaged(LoadResString(SRpBadHeader));
    const int HeaderSize = DetectFileHeaderSize(FStream.get());
    if (Size < HeaderSize)
        Damaged(LoadResString(SRpBadHeader));

    uint8_t Raw[RpFileHeaderSize];
    uint8_t H[RpFileHeaderSize];
    FStream->SetPosition(0);
    FStream->ReadBuffer(Raw, HeaderSize);
    if (HeaderSize == RpOldFileHeaderSize)
        ConvertFileHeader(Raw, H);
    else
        std::memcpy(H, Raw, RpFileHeaderSize);
    int32_t Count = RpGetI32(H + 8);
    const bool Coded = H[25] != 0;

    if (Count < 0 || (Count == 0 && Size != HeaderSize))
        Damaged(FormatResString(SRpBadPageCount, Count));
    if (Count > 0) {
        if ((Size - HeaderSize) / MinRecordSize < Count)
            Damaged(FormatResString(SRpBadPageCount, Count));
        const int64_t Last = ReadI32At(Size - 4);
        if (Last < HeaderSize || Last > Size - MinRecordSize)
            Damaged(LoadResString(SRpBadLastLink));
        const int32_t LastPage = ReadI32At(Last);
        // A run that was cut short leaves the count of its first page in
        // the header: the records, checked page by page, then tell the count.
        if (LastPage < Count || LastPage < 1 || (Size - HeaderSize) / MinRecordSize < LastPage)
            Damaged(FormatResString(SRpBadPageCount, Count));
        if (FStream->ReadInt32() != Size)
            Damaged(FormatResString(SRpBadPageEnd, LastPage));
        Count = LastPage;
    }
    FPageCount = Count;
    FCompression = Coded;
    FHeaderSize = HeaderSize;
    FStream->SetPosition(HeaderSize);
}

// ------------------------------------------------------------------ the walk

void TRpPageList::SeekToFirst()
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    if (FStream)
        FStream->SetPosition(FHeaderSize);
}

void TRpPageList::SeekToLast()
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    if (!FStream)
        return;
    TStreamLock StreamGuard(FStream.get());
    const int64_t Size = FStream->Size();
    if (Size < FHeaderSize + MinRecordSize)
        Damaged(FormatResString(SRpPageMissing, FPageCount.load()));
    const int64_t Last = ReadI32At(Size - 4);
    if (Last < FHeaderSize || Last > Size - MinRecordSize)
        Damaged(LoadResString(SRpBadLastLink));
    FStream->SetPosition(Last);
}

// Every step checks the record it reaches: page numbers run on by one, an end
// offset lies past its own record and inside the stream, a back link points
// at the record before. The position moves strictly one way, so a walk ends.
void TRpPageList::StepForward(int64_t& R, int32_t& P, int64_t Size)
{
    const int64_t E = ReadI32At(R + 4);
    if (E < R + MinRecordSize || E > Size)
        Damaged(FormatResString(SRpBadPageEnd, P));
    if (ReadI32At(E - 4) != R)
        Damaged(FormatResString(SRpBadBackLink, P));
    if (E + MinRecordSize > Size)
        Damaged(FormatResString(SRpPageMissing, P + 1));
    const int32_t Next = ReadI32At(E);
    if (Next != P + 1)
        Damaged(FormatResString(SRpBadPageNumber, Next, P + 1));
    R = E;
    P = Next;
}

void TRpPageList::StepBack(int64_t& R, int32_t& P)
{
    if (R < FHeaderSize + MinRecordSize)
        Damaged(FormatResString(SRpPageMissing, P - 1));
    const int64_t Prev = ReadI32At(R - 4);
    if (Prev < FHeaderSize || Prev > R - MinRecordSize)
        Damaged(FormatResString(SRpBadBackLink, P - 1));
    const int32_t Before = ReadI32At(Prev);
    if (Before != P - 1)
        Damaged(FormatResString(SRpBadPageNumber, Before, P - 1));
    if (ReadI32At(Prev + 4) != R)
        Damaged(FormatResString(SRpBadPageEnd, Before));
    R = Prev;
    P = Before;
}

void TRpPageList::SeekToPage(int N)
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    if (N < 1 || N > FPageCount || !FStream)
        throw ERpError(FormatResString(SRpPageMissing, N));
    TStreamLock StreamGuard(FStream.get());
    if (N == 1) {
        SeekToFirst();
        return;
    }
    const int64_t Size = FStream->Size();
    int64_t R = FStream->Position();
    if (R >= Size || R < FHeaderSize) {
        SeekToLast();
        R = FStream->Position();
    }
    int32_t P = ReadI32At(R);
    if (P < 1 || P > FPageCount)
        Damaged(FormatResString(SRpBadPageNumber, P, N));
    while (P < N)
        StepForward(R, P, Size);
    while (P > N)
        StepBack(R, P);
    FStream->SetPosition(R);
}

// The whole chain from the last record back to the first, which must start
// right after the header.
void TRpPageList::CheckRecords()
{
    if (FPageCount == 0)
        return;
    SeekToLast();
    int64_t R = FStream->Position();
    int32_t P = FPageCount;
    while (P > 1)
        StepBack(R, P);
    if (R != FHeaderSize)
        Damaged(FormatResString(SRpBadBackLink, 1));
    FStream->SetPosition(FStream->Size());
}

// ------------------------------------------------------------------ adding

void TRpPageList::AddPage(TMetafile* Metafile)
{
    AddRecord(Metafile, false, nullptr);
}

void TRpPageList::AddPageEx(TMetafile* Metafile, const THyperlinkList* Links)
{
    AddRecord(Metafile, true, Links);
}

void TRpPageList::AddRecord(TMetafile* Metafile, bool WithLinks, const THyperlinkList* Links)
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    if (!FStream)
        FStream = std::make_unique<TRpStream>(RpDefaultMemoryLimit);
    TRpStream* S = FStream.get();
    TStreamLock StreamGuard(S);
    const int OldCount = FPageCount;
    const int64_t OldSize = S->Size();
    // A failed page leaves neither a count nor bytes behind.
    TScopeExit Undo([&] {
        FPageCount = OldCount;
        try {
            S->SetSize(OldCount == 0 ? 0 : OldSize);
            S->Seek(0, soEnd);
        } catch (const Exception&) {
            // The stream cannot be cut back; its size tells where it ends.
        }
    });
    const std::vector<uint8_t> Bytes = Metafile->SaveToBytes();
    try {
        FPageCount = OldCount + 1;
        if (FPageCount == 1) {
            S->SetSize(0);   // a list cleared for a new run starts afresh
            WriteFileHeader();
        }
        const int64_t R = S->Seek(0, soEnd);
        S->WriteInt32(FPageCount);
        const int64_t X = S->Position();
        S->WriteInt32(static_cast<int32_t>(X));
        if (FCompression) {
            S->WriteInt32(static_cast<int32_t>(Bytes.size()));
            TRpCompress Coder(S, true);
            Coder.CompressBuffer(Bytes.data(), Bytes.size());
            Coder.Flush();
        } else {
            S->WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
            if (WithLinks) {
                S->WriteInt32(Links ? static_cast<int32_t>(Links->size()) : 0);
                if (Links) {
                    for (const auto& L : *Links) {
                        S->WriteInt32(L->Area().Left);
                        S->WriteInt32(L->Area().Top);
                        S->WriteInt32(L->Area().Right);
                        S->WriteInt32(L->Area().Bottom);
                        S->WriteInt32(static_cast<int32_t>(L->Link().size()));
                        S->WriteBuffer(L->Link().data(), static_cast<int64_t>(L->Link().size()));
                    }
                }
            }
        }
        S->WriteInt32(static_cast<int32_t>(R));
        const int64_t E = S->Position();
        if (E > INT32_MAX)
            throw ERpError(FormatResString(SRpCannotWriteReport, "the report exceeds 2 GB"));
        S->SetPosition(X);
        S->WriteInt32(static_cast<int32_t>(E));
        S->SetPosition(E);
    } catch (const EStreamError& E) {
        throw ERpError(FormatResString(SRpCannotWriteReport, E.what()));
    }
    Undo.Release();
}

// ------------------------------------------------------------------ reading

std::unique_ptr<TMetafile> TRpPageList::GetPage(int N)
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    std::unique_ptr<TMetafile> Metafile;
    if (N >= 1 && N <= FPageCount && FStream)
        ReadRecord(N, Metafile, nullptr);
    return Metafile;
}

void TRpPageList::GetPageEx(int N, std::unique_ptr<TMetafile>& Metafile, std::unique_ptr<THyperlinkList>& Links)
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    Metafile.reset();
    Links.reset();
    if (N >= 1 && N <= FPageCount && FStream)
        ReadRecord(N, Metafile, &Links);
}

void TRpPageList::ReadRecord(int N, std::unique_ptr<TMetafile>& Metafile, std::unique_ptr<THyperlinkList>* Links)
{
    TRpStream* S = FStream.get();
    TStreamLock StreamGuard(S);
    // A failed read leaves the position at the end, where a walk can start.
    TScopeExit ToEnd([&] {
        try {
            S->Seek(0, soEnd);
        } catch (const Exception&) {
        }
    });
    SeekToPage(N);
    const int64_t Size = S->Size();
    const int64_t R = S->Position();
    const int32_t P = S->ReadInt32();
    if (P != N)
        Damaged(FormatResString(SRpBadPageNumber, P, N));
    const int64_t E = S->ReadInt32();
    if (E < R + MinRecordSize || E > Size)
        Damaged(FormatResString(SRpBadPageEnd, N));
    if (ReadI32At(E - 4) != R)
        Damaged(FormatResString(SRpBadBackLink, N));
    S->SetPosition(R + 8);
    const int64_t BodySize = E - 4 - (R + 8);

    std::vector<uint8_t> Bytes;
    int64_t Rest = 0;   // body bytes after the metafile
    if (FCompression) {
        if (BodySize < 4)
            Damaged(FormatResString(SRpBadCode, N));
        const int64_t Length = S->ReadInt32();
        const int64_t Coded = BodySize - 4;
        // Every byte takes at least one code bit.
        if (Length < MetafileHeaderSize || Length > Coded * 8)
            Damaged(FormatResString(SRpBadCode, N));
        Bytes.resize(static_cast<size_t>(Length));
        try {
            TRpCompress Decoder(S, false, Coded);
            Decoder.ExpandBuffer(Bytes.data(), Bytes.size());
        } catch (const ERpCodeError&) {
            Damaged(FormatResString(SRpBadCode, N));
        }
    } else {
        if (BodySize < MetafileHeaderSize)
            Damaged(FormatResString(SRpBadPicture, N));
        Bytes.resize(MetafileHeaderSize);
        S->ReadBuffer(Bytes.data(), MetafileHeaderSize);
        uint32_t Total = 0;
        if (!TMetafile::StoredSize(Bytes.data(), Bytes.size(), Total) || Total > BodySize)
            Damaged(FormatResString(SRpBadPicture, N));
        Bytes.resize(Total);
        S->ReadBuffer(Bytes.data() + MetafileHeaderSize, Total - MetafileHeaderSize);
        Rest = BodySize - Total;
    }
    auto Page = std::make_unique<TMetafile>();
    if (!Page->LoadFromBytes(Bytes))
        Damaged(FormatResString(SRpBadPicture, N));

    if (Links && Rest > 0) {
        if (Rest < 4)
            Damaged(FormatResString(SRpBadLinks, N));
        const int32_t Count = S->ReadInt32();
        Rest -= 4;
        if (Count < 0 || Count > Rest / MinLinkSize)
            Damaged(FormatResString(SRpBadLinks, N));
        if (Count > 0) {
            auto List = std::make_unique<THyperlinkList>();
            List->reserve(static_cast<size_t>(Count));
            for (int32_t I = 0; I < Count; ++I) {
                uint8_t Head[MinLinkSize];
                if (Rest < MinLinkSize)
                    Damaged(FormatResString(SRpBadLinks, N));
                S->ReadBuffer(Head, MinLinkSize);
                Rest -= MinLinkSize;
                const int32_t TextLength = RpGetI32(Head + 16);
                if (TextLength < 0 || TextLength > Rest)
                    Damaged(FormatResString(SRpBadLinks, N));
                std::string Text(static_cast<size_t>(TextLength), '\0');
                S->ReadBuffer(Text.data(), TextLength);
                Rest -= TextLength;
                const TRect Area{RpGetI32(Head), RpGetI32(Head + 4), RpGetI32(Head + 8), RpGetI32(Head + 12)};
                List->push_back(std::make_unique<THyperlink>(Area, Text));
            }
            *Links = std::move(List);
        }
    }
    S->SetPosition(E);
    ToEnd.Release();
    Metafile = std::move(Page);
}

// ------------------------------------------------------------------ files

void TRpPageList::SaveToFile(const std::string& FileName)
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    if (!FStream || (FPageCount == 0 && FStream->Size() == 0))
        WriteFileHeader();   // an empty report: its header with count 0
    TStreamLock StreamGuard(FStream.get());
    try {
        TAtomicFileStream Out(FileName);
        FStream->SaveToStream(&Out);
        // A run that ended early may still announce its first page only.
        if (FPageCount > 0 && Out.Size() >= RpOldFileHeaderSize) {
            Out.SetPosition(8);
            Out.WriteInt32(FPageCount);
        }
        Out.Commit();
    } catch (const EStreamError& E) {
        throw ERpError(FormatResString(SRpCannotSaveReport, FileName, E.Reason().empty() ? E.what() : E.Reason()));
    }
}

void TRpPageList::LoadFromFile(const std::string& FileName)
{
    std::unique_ptr<TRpStream> Opened;
    try {
        Opened = std::make_unique<TRpStream>(FileName);
    } catch (const EStreamError& E) {
        throw ERpError(FormatResString(SRpCannotOpenReport, FileName, E.Reason().empty() ? E.what() : E.Reason()));
    }
    LoadFromStream(std::move(Opened), FileName);
}

void TRpPageList::LoadFromStream(std::unique_ptr<TRpStream> AStream, const std::string& Name)
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    // Until the new stream has passed, the former one waits here; on a
    // failure it comes back and the new one is freed (closing its file).
    std::unique_ptr<TRpStream> Former = std::move(FStream);
    const int FormerCount = FPageCount;
    const int FormerHeaderSize = FHeaderSize;
    const bool FormerCompression = FCompression;
    std::string FormerName = FFileName;
    TScopeExit Restore([&] {
        FStream = std::move(Former);
        FPageCount = FormerCount;
        FHeaderSize = FormerHeaderSize;
        FCompression = FormerCompression;
        FFileName = std::move(FormerName);
    });
    FStream = std::move(AStream);
    FFileName = Name;
    try {
        ReadFileHeader();
        CheckRecords();
        std::unique_ptr<TMetafile> LastPage;
        std::unique_ptr<THyperlinkList> LastLinks;
        GetPageEx(FPageCount, LastPage, LastLinks);
    } catch (const EStreamError& E) {
        Damaged(E.what());
    }
    Restore.Release();
    Former.reset();
}
