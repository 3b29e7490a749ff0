#include "report/RpStream.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

// ------------------------------------------------------------------ TRpStream

TRpStream::TRpStream(int32_t AMemoryLimit)
    : FMemoryStream(std::make_unique<TMemoryStream>()), FInMemory(true), FMemoryLimit(AMemoryLimit)
{
}

TRpStream::TRpStream(const std::string& AFileName)
    : FFileStream(std::make_unique<TFileStream>(AFileName, fmOpenRead)), FInMemory(false), FMemoryLimit(0)
{
}

// The temporary file is deleted by its file stream; a user's file is only
// closed.
TRpStream::~TRpStream() = default;

int64_t TRpStream::Read(void* Buffer, int64_t Count)
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    return FInMemory ? FMemoryStream->Read(Buffer, Count) : FFileStream->Read(Buffer, Count);
}

int64_t TRpStream::Write(const void* Buffer, int64_t Count)
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    if (!FInMemory)
        return FFileStream->Write(Buffer, Count);
    const int64_t Written = FMemoryStream->Write(Buffer, Count);
    if (FMemoryStream->Size() > FMemoryLimit)
        MoveToFile();
    return Written;
}

void TRpStream::MoveToFile()
{
    std::unique_ptr<TFileStream> File;
    try {
        File = TFileStream::CreateTemporary("RPF");
        FMemoryStream->SaveToStream(File.get());
    } catch (const EStreamError& E) {
        throw ERpError(FormatResString(SRpCannotCreateTemp, E.what()));
    }
    File->SetPosition(FMemoryStream->Position());
    FFileName = File->FileName();
    FFileStream = std::move(File);
    FMemoryStream.reset();
    FInMemory = false;
}

int64_t TRpStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    return FInMemory ? FMemoryStream->Seek(Offset, Origin) : FFileStream->Seek(Offset, Origin);
}

void TRpStream::SetSize(int64_t NewSize)
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    if (FInMemory)
        FMemoryStream->SetSize(NewSize);
    else
        FFileStream->SetSize(NewSize);
}

int64_t TRpStream::Size()
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    return FInMemory ? FMemoryStream->Size() : FFileStream->Size();
}

void TRpStream::SaveToStream(TStream* Dest)
{
    std::lock_guard<std::recursive_mutex> Guard(FLock);
    SetPosition(0);
    std::vector<uint8_t> Block(10240);
    for (;;) {
        const int64_t N = Read(Block.data(), static_cast<int64_t>(Block.size()));
        if (N <= 0)
            break;
        Dest->WriteBuffer(Block.data(), N);
    }
}

// ---------------------------------------------------------------- TRpCompress

TRpCompress::TRpCompress(TStream* AStream, bool ACompressFlag, int64_t ACodedLimit)
    : FStream(AStream), FCompressFlag(ACompressFlag), FCodedLimit(ACodedLimit)
{
    InitializeSplay();
}

TRpCompress::~TRpCompress()
{
    if (FCompressFlag && !FFlushed) {
        try {
            Flush();
        } catch (...) {
            // A destructor must not throw; Flush reports the error to callers
            // that want it.
        }
    }
}

// Every node i > 0 hangs under (i - 1) div 2: byte values 0..254 start with
// 8-bit codes, 255 with a 9-bit code (its leaf 511 shares inner node 255 with
// leaf 512).
void TRpCompress::InitializeSplay()
{
    FUp[0] = 0;
    for (int I = 1; I <= 512; ++I)
        FUp[I] = static_cast<uint8_t>((I - 1) / 2);
    for (int J = 0; J <= 255; ++J) {
        FChild[J][0] = static_cast<uint16_t>(2 * J + 1);
        FChild[J][1] = static_cast<uint16_t>(2 * J + 2);
    }
}

// Semi-splaying: each step puts the node in the place of its parent's
// sibling (the parent's sibling takes the node's place), lifting it one
// level, then goes on from its grandparent.
void TRpCompress::Splay(int Symbol)
{
    int A = 256 + Symbol;
    for (;;) {
        const int C = FUp[A];
        if (C == 0)
            break;
        const int D = FUp[C];
        const int SideOfC = FChild[D][1] == C;
        const int B = FChild[D][!SideOfC];
        FChild[D][!SideOfC] = static_cast<uint16_t>(A);
        FChild[C][FChild[C][1] == A] = static_cast<uint16_t>(B);
        FUp[A] = static_cast<uint8_t>(D);
        FUp[B] = static_cast<uint8_t>(C);
        A = D;
    }
}

void TRpCompress::Compress(uint8_t Value)
{
    CompressBuffer(&Value, 1);
}

void TRpCompress::CompressBuffer(const uint8_t* Data, size_t Count)
{
    if (FFlushed)
        throw ERpError("Coder used after Flush");
    uint32_t Bits = static_cast<uint32_t>(FBits);
    int BitCount = FBitCount;
    for (size_t I = 0; I < Count; ++I) {
        // The path from the leaf up: 1 for a right child. A tree of 257
        // leaves is at most 256 levels deep.
        uint8_t Path[256];
        int Depth = 0;
        int A = 256 + Data[I];
        do {
            const int C = FUp[A];
            Path[Depth++] = FChild[C][1] == A;
            A = C;
        } while (A != 0);
        // Emitted from the root down, each byte filled from its lowest bit.
        while (Depth > 0) {
            Bits |= static_cast<uint32_t>(Path[--Depth]) << BitCount;
            if (++BitCount == 32) {
                if (FBufferLen + 4 > FBuffer.size())
                    WriteOut();
                for (int K = 0; K < 4; ++K)
                    FBuffer[FBufferLen++] = static_cast<uint8_t>(Bits >> (8 * K));
                Bits = 0;
                BitCount = 0;
            }
        }
        Splay(Data[I]);
    }
    FBits = Bits;
    FBitCount = BitCount;
}

void TRpCompress::WriteOut()
{
    FStream->WriteBuffer(FBuffer.data(), static_cast<int64_t>(FBufferLen));
    FCodedBytes += static_cast<int64_t>(FBufferLen);
    FBufferLen = 0;
}

void TRpCompress::Flush()
{
    if (!FCompressFlag || FFlushed)
        return;
    FFlushed = true;
    const int Tail = (FBitCount + 7) / 8;
    if (FBufferLen + static_cast<size_t>(Tail) > FBuffer.size())
        WriteOut();
    for (int K = 0; K < Tail; ++K)
        FBuffer[FBufferLen++] = static_cast<uint8_t>(FBits >> (8 * K));
    FBits = 0;
    FBitCount = 0;
    WriteOut();
}

// Tops up the bit buffer from the bytes already read, and reads the next
// block from the stream only when Needed and no byte is left: the stream is
// read exactly when the bits are wanted, as byte-by-byte reading would.
bool TRpCompress::Refill(bool Needed)
{
    if (FBufferPos == FBufferLen) {
        if (!Needed)
            return false;
        int64_t Want = static_cast<int64_t>(FBuffer.size());
        if (FCodedLimit >= 0)
            Want = std::min(Want, FCodedLimit - FCodedBytes);
        const int64_t Got = Want > 0 ? FStream->Read(FBuffer.data(), Want) : 0;
        if (Got <= 0)
            return false;
        FCodedBytes += Got;
        FBufferPos = 0;
        FBufferLen = static_cast<size_t>(Got);
    }
    if (FBufferLen - FBufferPos >= 8) {
        // Eight bytes at once; the bits above the count are the true next
        // bits, so a later top-up writes the same values over them.
        uint64_t Word;
        std::memcpy(&Word, FBuffer.data() + FBufferPos, 8);
        if constexpr (std::endian::native == std::endian::big)
            Word = __builtin_bswap64(Word);
        FBits |= Word << FBitCount;
        const int Bytes = (63 - FBitCount) >> 3;
        FBufferPos += static_cast<size_t>(Bytes);
        FBitCount += Bytes * 8;
    } else {
        while (FBitCount <= 55 && FBufferPos < FBufferLen) {
            FBits |= static_cast<uint64_t>(FBuffer[FBufferPos++]) << FBitCount;
            FBitCount += 8;
        }
    }
    return true;
}

void TRpCompress::CodeEnds()
{
    throw ERpCodeError("Coded data ends too soon");
}

uint8_t TRpCompress::Expand()
{
    uint8_t Value = 0;
    ExpandBuffer(&Value, 1);
    return Value;
}

// One symbol whose code reaches past the bits at hand: walked bit by bit,
// reading more coded bytes as it goes. Fills Path and Side from the root
// and gives the leaf and its depth.
int TRpCompress::SlowDescent(uint16_t* Path, uint8_t* Side, int& Depth)
{
    int Node = 0;
    Depth = 0;
    do {
        if (FBitCount == 0) {
            FBits = 0;
            if (!Refill(true))
                CodeEnds();
        }
        const int Bit = static_cast<int>(FBits & 1);
        Path[Depth] = static_cast<uint16_t>(Node);
        Side[Depth] = static_cast<uint8_t>(Bit);
        ++Depth;
        Node = FChild[Node][Bit];
        FBits >>= 1;
        --FBitCount;
    } while (Node < 256);
    return Node;
}

// Each symbol walks from the root to its leaf, noting the inner nodes it
// passes; the splay then works along that path (the same steps as Splay,
// with the parents known) instead of climbing the tree again. A leaf right
// under the root is never moved, so a run of its code bit is a run of its
// byte. The walk takes its bits from a 64-bit buffer without counting them;
// a code longer than the bits at hand (the walk then followed bits that are
// not there yet, and changed nothing) goes again the slow way.
void TRpCompress::ExpandBuffer(uint8_t* Data, size_t Count)
{
    uint16_t Path[256];
    uint8_t Side[256];
    size_t I = 0;
    while (I < Count) {
        if (FBitCount < 32) {
            Refill(false);
            if (FBitCount == 0 && !Refill(true))
                CodeEnds();
        }
        const uint64_t W = FBits;
        const int Avail = FBitCount;
        int Node = FChild[0][W & 1];
        if (Node >= 256) {
            if (Node == 512)
                break;   // reported below
            const uint64_t Same = (W & 1) ? ~W : W;
            size_t Run = std::min(Same ? static_cast<int>(std::countr_zero(Same)) : 64, Avail);
            Run = std::min(Run, Count - I);
            std::memset(Data + I, Node - 256, Run);
            I += Run;
            FBits >>= Run;
            FBitCount -= static_cast<int>(Run);
            continue;
        }
        // A tree of 257 leaves is at most 256 levels deep. Bits past the
        // 64th are taken again from the low end; such a walk is discarded.
        Path[0] = 0;
        int Depth = 1;
        do {
            Path[Depth] = static_cast<uint16_t>(Node);
            Node = FChild[Node][(W >> (Depth & 63)) & 1];
            ++Depth;
        } while (Node < 256);
        // A = the node at depth K, C = Path[K - 1], D = Path[K - 2]; the
        // root as C ends the splay.
        int A = Node;
        if (Depth <= Avail) {
            if (Node == 512)
                break;
            FBits >>= Depth;
            FBitCount -= Depth;
            for (int K = Depth; K >= 2; K -= 2) {
                const int C = Path[K - 1];
                const int D = Path[K - 2];
                const int SideOfC = static_cast<int>((W >> (K - 2)) & 1);
                const int B = FChild[D][!SideOfC];
                FChild[D][!SideOfC] = static_cast<uint16_t>(A);
                FChild[C][(W >> (K - 1)) & 1] = static_cast<uint16_t>(B);
                A = D;
            }
        } else {
            Node = SlowDescent(Path, Side, Depth);
            if (Node == 512)
                break;
            A = Node;
            for (int K = Depth; K >= 2; K -= 2) {
                const int C = Path[K - 1];
                const int D = Path[K - 2];
                const int SideOfC = Side[K - 2];
                const int B = FChild[D][!SideOfC];
                FChild[D][!SideOfC] = static_cast<uint16_t>(A);
                FChild[C][Side[K - 1]] = static_cast<uint16_t>(B);
                A = D;
            }
        }
        Data[I++] = static_cast<uint8_t>(Node - 256);
    }
    if (I < Count)   // the symbol no coder writes
        throw ERpCodeError("Coded data holds an unknown symbol");
}
