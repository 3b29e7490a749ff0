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

namespace {

// The decoder's tree (TRpCompress::FDown) addressed in bytes: inner node
// N's children sit at byte offsets 4N (left) and 4N + 2 (right), and a
// child is held as its own offset, 4 times its number. A node plus twice the
// code bit is the slot to follow. Leaves are the values from FirstLeaf on,
// the symbol no coder writes is UnknownLeaf.
constexpr unsigned FirstLeaf = 4 * 256;
constexpr unsigned UnknownLeaf = 4 * 512;
// Levels of the walk written out, each with its own splay; deeper codes go
// on in a loop.
constexpr int UnrolledLevels = 16;

// Slots are read and written as bytes, which may alias anything: the
// compiler then reads a slot's offset back from Slot for the splay instead
// of keeping an address made from it, which would put an addition before
// every load of the walk.
inline unsigned GetSlot(const uint16_t* Tree, unsigned Offset)
{
    uint16_t Value;
    std::memcpy(&Value, reinterpret_cast<const char*>(Tree) + Offset, 2);
    return Value;
}

inline void SetSlot(uint16_t* Tree, unsigned Offset, unsigned Value)
{
    const auto V = static_cast<uint16_t>(Value);
    std::memcpy(reinterpret_cast<char*>(Tree) + Offset, &V, 2);
}

// The slot Node + Side, read as Tree + Side indexed by Node: the code bit is
// known ahead of the walk, so the load waits only for Node, not for the sum.
// The empty asm keeps the compiler from folding the sum back into the
// address.
[[gnu::always_inline]] inline unsigned GetChild(const uint16_t* Tree, unsigned Side, unsigned Node)
{
    const char* Base = reinterpret_cast<const char*>(Tree) + Side;
    asm("" : "+r"(Base));
    uint16_t Value;
    std::memcpy(&Value, Base + Node, 2);
    return Value;
}

inline uint8_t SymbolOf(unsigned Leaf)
{
    return static_cast<uint8_t>(Leaf / 4 - 256);
}

// Semi-splaying along a walked path. Slot[k] is the slot the walk followed
// at level k, so the node at level k is Slot[k] with its side bit cleared.
// The step at level K puts the node A at level K in the place of its
// parent's sibling, which takes A's place; steps go at K = Depth, Depth - 2,
// ... down to 2 (the same steps as climbing up from the leaf). No two steps
// touch the same slot, and the walk has passed every slot they touch.
[[gnu::always_inline]] inline void SplayStep(uint16_t* Tree, const unsigned* Slot, int K, unsigned A)
{
    const unsigned Sibling = Slot[K - 2] ^ 2u;
    const unsigned B = GetSlot(Tree, Sibling);
    SetSlot(Tree, Sibling, A);
    SetSlot(Tree, Slot[K - 1], B);
}

template <int K>
[[gnu::always_inline]] inline void SplayAbove(uint16_t* Tree, const unsigned* Slot)
{
    if constexpr (K >= 2) {
        SplayStep(Tree, Slot, K, Slot[K] & ~3u);
        SplayAbove<K - 2>(Tree, Slot);
    }
}

void SplayWalked(uint16_t* Tree, const unsigned* Slot, int Depth, unsigned Leaf)
{
    unsigned A = Leaf;
    for (int K = Depth; K >= 2; K -= 2) {
        SplayStep(Tree, Slot, K, A);
        A = Slot[K - 2] & ~3u;
    }
}

// A walk's result: the leaf in the low 16 bits, the depth above them.
constexpr unsigned Walked(unsigned Leaf, int Depth)
{
    return Leaf | static_cast<unsigned>(Depth) << 16;
}

// Codes deeper than the written-out levels. Bits past the 64th are taken
// again from the low end; such a walk is longer than Avail and discarded.
unsigned WalkOn(uint16_t* Tree, unsigned* Slot, unsigned Node, uint64_t W, int Avail)
{
    int K = UnrolledLevels;
    do {
        const unsigned Side = (static_cast<unsigned>(W >> (K & 63)) & 1u) * 2;
        Slot[K] = Node + Side;
        Node = GetChild(Tree, Side, Node);
        ++K;
    } while (Node < FirstLeaf);
    if (K > Avail)
        return 0;
    SplayWalked(Tree, Slot, K, Node);
    return Walked(Node, K);
}

// Node is the inner node at level D of the code in W. Gives the leaf, splayed,
// and sets Depth; or gives 0 when the code is longer than Avail, with the
// tree unchanged. Each level's exit sets a constant depth: taking the depth
// out of a packed result instead costs a tenth of the decoding time.
template <int D>
[[gnu::always_inline]] inline unsigned WalkFrom(uint16_t* Tree, unsigned* Slot, unsigned Node, uint64_t W, int Avail,
                                                int& Depth)
{
    const unsigned Side = static_cast<unsigned>(W >> (D - 1)) & 2u;
    Slot[D] = Node + Side;
    Node = GetChild(Tree, Side, Node);
    if (Node >= FirstLeaf) {
        if (D + 1 > Avail)
            return 0;
        SplayStep(Tree, Slot, D + 1, Node);
        SplayAbove<D - 1>(Tree, Slot);
        Depth = D + 1;
        return Node;
    }
    if constexpr (D + 1 < UnrolledLevels)
        return WalkFrom<D + 1>(Tree, Slot, Node, W, Avail, Depth);
    else {
        const unsigned Result = WalkOn(Tree, Slot, Node, W, Avail);
        Depth = static_cast<int>(Result >> 16);
        return Result & 0xFFFF;
    }
}

}  // namespace

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
        FDown[2 * J] = static_cast<uint16_t>(4 * (2 * J + 1));
        FDown[2 * J + 1] = static_cast<uint16_t>(4 * (2 * J + 2));
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
// reading more coded bytes as it goes. Fills Slot from the root down and
// gives the leaf and its depth (Walked), not yet splayed.
unsigned TRpCompress::SlowDescent(unsigned* Slot)
{
    unsigned Node = 0;
    int Depth = 0;
    do {
        if (FBitCount == 0) {
            FBits = 0;
            if (!Refill(true))
                CodeEnds();
        }
        Slot[Depth] = Node + static_cast<unsigned>(FBits & 1) * 2;
        Node = GetSlot(FDown, Slot[Depth]);
        ++Depth;
        FBits >>= 1;
        --FBitCount;
    } while (Node < FirstLeaf);
    return Walked(Node, Depth);
}

// Each symbol walks from the root to its leaf, noting the slot it followed
// at each level; the splay then works on those slots instead of climbing the
// tree again. The walk is written out level by level down to UnrolledLevels,
// each level with its own exit and its own splay, so a symbol costs one
// branch on where its code ends. A leaf right under the root is never moved,
// so a run of its code bit is a run of its byte. The walk takes its bits
// from a 64-bit buffer, held in locals while it runs, without counting them;
// a code longer than the bits at hand (the walk then followed bits that are
// not there yet, and changed nothing) goes again the slow way.
void TRpCompress::ExpandBuffer(uint8_t* Data, size_t Count)
{
    uint16_t* Tree = FDown;
    unsigned Slot[258];
    uint64_t Bits = FBits;
    int BitCount = FBitCount;
    // Refill and SlowDescent work on the fields.
    auto Store = [&] {
        FBits = Bits;
        FBitCount = BitCount;
    };
    auto Load = [&] {
        Bits = FBits;
        BitCount = FBitCount;
    };
    size_t I = 0;
    while (I < Count) {
        if (BitCount < 32) {
            Store();
            Refill(false);
            if (FBitCount == 0 && !Refill(true))
                CodeEnds();
            Load();
        }
        const int Avail = BitCount;
        Slot[0] = static_cast<unsigned>(Bits & 1) * 2;
        unsigned Node = GetSlot(Tree, Slot[0]);
        if (Node >= FirstLeaf) {
            if (Node == UnknownLeaf)
                break;   // reported below
            const uint64_t Same = (Bits & 1) ? ~Bits : Bits;
            const int Ends = Same ? static_cast<int>(std::countr_zero(Same)) : 64;
            size_t Run = static_cast<size_t>(std::min(Ends, BitCount));
            Run = std::min(Run, Count - I);
            const uint8_t Value = SymbolOf(Node);
            if (Run <= 8 && Count - I >= 8) {
                const uint64_t Eight = 0x0101010101010101ull * Value;
                std::memcpy(Data + I, &Eight, 8);
            } else {
                std::memset(Data + I, Value, Run);
            }
            I += Run;
            Bits >>= Run;
            BitCount -= static_cast<int>(Run);
            // A run that ends on a differing bit is followed by a walk down
            // the root's other side: go straight into it, without branching
            // again on whether a run comes.
            if (Ends >= Avail || I == Count || BitCount < 32)
                continue;
            Slot[0] = static_cast<unsigned>(Bits & 1) * 2;
            Node = GetSlot(Tree, Slot[0]);
            if (Node >= FirstLeaf)
                continue;
        }
        int Depth = 0;
        Node = WalkFrom<1>(Tree, Slot, Node, Bits, BitCount, Depth);
        if (Node != 0) {
            Bits >>= Depth;
            BitCount -= Depth;
        } else {
            Store();
            const unsigned Result = SlowDescent(Slot);
            Load();
            Node = Result & 0xFFFF;
            SplayWalked(Tree, Slot, static_cast<int>(Result >> 16), Node);
        }
        if (Node == UnknownLeaf)
            break;
        Data[I++] = SymbolOf(Node);
    }
    Store();
    if (I < Count)   // the symbol no coder writes
        throw ERpCodeError("Coded data holds an unknown symbol");
}
