// The splay-tree code of report pages and the page stream that moves from
// memory into a temporary file.
#include "tests/report/RpRig.h"

#include "report/RpStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

using rprig::Bytes;

namespace {

Bytes Code(const Bytes& Data)
{
    TMemoryStream Out;
    {
        TRpCompress Coder(&Out, true);
        Coder.CompressBuffer(Data.data(), Data.size());
        Coder.Flush();
    }
    return Bytes(Out.Memory(), Out.Memory() + Out.Size());
}

Bytes Decode(const Bytes& Code, size_t Length)
{
    TMemoryStream In;
    In.WriteBuffer(Code.data(), static_cast<int64_t>(Code.size()));
    In.SetPosition(0);
    TRpCompress Decoder(&In, false, static_cast<int64_t>(Code.size()));
    Bytes Data(Length);
    Decoder.ExpandBuffer(Data.data(), Data.size());
    return Data;
}

Bytes Of(const std::string& S)
{
    return Bytes(S.begin(), S.end());
}

// Sets $TMPDIR for a scope.
class TTmpDirEnv {
public:
    explicit TTmpDirEnv(const std::string& Dir)
    {
        if (const char* Old = std::getenv("TMPDIR"))
            FOld = Old, FHadOld = true;
        ::setenv("TMPDIR", Dir.c_str(), 1);
    }
    ~TTmpDirEnv()
    {
        if (FHadOld)
            ::setenv("TMPDIR", FOld.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

private:
    std::string FOld;
    bool FHadOld = false;
};

}  // namespace

TEST(RpCompress, CodesKnownInputsAndDecodesThemGivenTheLength)
{
    struct Case {
        Bytes Input;
        Bytes Code;
    };
    const Case Cases[] = {
        {Of("AAAA"), {0x42, 0x47}},
        {Of("report"), {0xCE, 0xB3, 0x7D, 0x2A, 0x17}},
        {Bytes{0, 0}, {0x80, 0x0F}},
        {Of("abc"), {0x46, 0x3D, 0x01}},
        {Bytes{}, {}},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(Code(C.Input), C.Code) << std::string(C.Input.begin(), C.Input.end());
        EXPECT_EQ(Decode(C.Code, C.Input.size()), C.Input);
    }
}

TEST(RpCompress, RandomAndSkewedBuffersRoundTrip)
{
    std::mt19937 Rng(1234);
    for (size_t Size : {1u, 7u, 255u, 4096u, 70001u}) {
        Bytes Uniform(Size), Skewed(Size);
        std::uniform_int_distribution<int> Any(0, 255);
        std::geometric_distribution<int> Few(0.3);
        for (size_t I = 0; I < Size; ++I) {
            Uniform[I] = static_cast<uint8_t>(Any(Rng));
            Skewed[I] = static_cast<uint8_t>(std::min(Few(Rng), 255));
        }
        EXPECT_EQ(Decode(Code(Uniform), Size), Uniform) << Size;
        const Bytes SkewedCode = Code(Skewed);
        EXPECT_EQ(Decode(SkewedCode, Size), Skewed) << Size;
        if (Size > 1000) {
            EXPECT_LT(SkewedCode.size(), Size / 2) << "frequent bytes get short codes";
        }
    }
    // Runs of one value, every byte value (255 starts with a 9-bit code).
    Bytes Runs;
    for (int V = 0; V < 256; ++V)
        Runs.insert(Runs.end(), 40, static_cast<uint8_t>(V));
    EXPECT_EQ(Decode(Code(Runs), Runs.size()), Runs);
}

TEST(RpCompress, DecodingPastTheCodedBytesFails)
{
    const Bytes C = Code(Of("report"));
    EXPECT_THROW(Decode(C, 40), ERpCodeError);
    // The limit stops the decoder even when the stream holds more bytes.
    TMemoryStream In;
    In.WriteBuffer(C.data(), static_cast<int64_t>(C.size()));
    In.WriteBuffer(C.data(), static_cast<int64_t>(C.size()));
    In.SetPosition(0);
    TRpCompress Decoder(&In, false, 2);
    Bytes Out(6);
    EXPECT_THROW(Decoder.ExpandBuffer(Out.data(), Out.size()), ERpCodeError);
}

namespace {

// The decoder as first written: one bit at a time, climbing from the leaf to
// splay. The fast decoder must give what it gives, byte for byte, and fail
// where it fails. Returns the bytes decoded before a failure, if any.
struct TReferenceDecoder {
    uint16_t Child[2][256];
    uint8_t Up[513];
    const Bytes& Code;
    size_t Pos = 0;

    explicit TReferenceDecoder(const Bytes& ACode) : Code(ACode)
    {
        Up[0] = 0;
        for (int I = 1; I <= 512; ++I)
            Up[I] = static_cast<uint8_t>((I - 1) / 2);
        for (int J = 0; J <= 255; ++J) {
            Child[0][J] = static_cast<uint16_t>(2 * J + 1);
            Child[1][J] = static_cast<uint16_t>(2 * J + 2);
        }
    }
    void Splay(int Symbol)
    {
        int A = 256 + Symbol;
        for (;;) {
            const int C = Up[A];
            if (C == 0)
                break;
            const int D = Up[C];
            const int SideOfC = Child[1][D] == C;
            const int B = Child[!SideOfC][D];
            Child[!SideOfC][D] = static_cast<uint16_t>(A);
            Child[Child[1][C] == A][C] = static_cast<uint16_t>(B);
            Up[A] = static_cast<uint8_t>(D);
            Up[B] = static_cast<uint8_t>(C);
            A = D;
        }
    }
    // Count bytes, or fewer with Failed set.
    Bytes Decode(size_t Count, bool& Failed)
    {
        Bytes Out;
        uint32_t Bits = 0;
        int BitCount = 0;
        Failed = false;
        while (Out.size() < Count) {
            int Node = 0;
            do {
                if (BitCount == 0) {
                    if (Pos == Code.size()) {
                        Failed = true;
                        return Out;
                    }
                    Bits = Code[Pos++];
                    BitCount = 8;
                }
                Node = Child[Bits & 1][Node];
                Bits >>= 1;
                --BitCount;
            } while (Node < 256);
            if (Node == 512) {
                Failed = true;
                return Out;
            }
            Splay(Node - 256);
            Out.push_back(static_cast<uint8_t>(Node - 256));
        }
        return Out;
    }
};

}  // namespace

TEST(RpCompress, DecodesAsTheBitByBitDecoderOnRandomCodesAndPieces)
{
    std::mt19937 Rng(20240611);
    for (int Round = 0; Round < 300; ++Round) {
        // Coded pages of all kinds of skew, and plain noise taken as code
        // (it may end early or hold the symbol no coder writes).
        const size_t Size = std::uniform_int_distribution<size_t>(0, Round % 10 == 0 ? 20000 : 700)(Rng);
        Bytes Code;
        size_t Count = Size;
        if (Round % 3 == 2) {
            Code.resize(Size);
            for (uint8_t& B : Code)
                B = static_cast<uint8_t>(Rng());
            Count = Size * 3 + 1;
        } else {
            std::geometric_distribution<int> Few(Round % 3 == 0 ? 0.05 : 0.6);
            Bytes Data(Size);
            for (uint8_t& B : Data)
                B = static_cast<uint8_t>(Round % 7 == 0 ? Rng() : std::min(Few(Rng), 255));
            Code = ::Code(Data);
        }
        bool RefFailed = false;
        const Bytes Expected = TReferenceDecoder(Code).Decode(Count, RefFailed);

        // Whole, and in pieces of random sizes (single bytes among them).
        for (bool Pieces : {false, true}) {
            TMemoryStream In;
            In.WriteBuffer(Code.data(), static_cast<int64_t>(Code.size()));
            In.SetPosition(0);
            TRpCompress Decoder(&In, false, static_cast<int64_t>(Code.size()));
            Bytes Out(Count);
            size_t Done = 0;
            bool Failed = false;
            try {
                while (Done < Count) {
                    const size_t Piece =
                        Pieces ? std::min(Count - Done, std::uniform_int_distribution<size_t>(1, 90)(Rng)) : Count;
                    if (Piece == 1)
                        Out[Done] = Decoder.Expand();
                    else
                        Decoder.ExpandBuffer(Out.data() + Done, Piece);
                    Done += Piece;
                }
            } catch (const ERpCodeError&) {
                Failed = true;
            }
            ASSERT_EQ(Failed, RefFailed) << "round " << Round;
            if (!Failed) {
                ASSERT_EQ(Out, Expected) << "round " << Round;
                EXPECT_EQ(Decoder.CodedBytes(), static_cast<int64_t>(Code.size())) << "round " << Round;
            } else {
                // What came before the failure matches.
                const size_t Same = std::min(Done, Expected.size());
                ASSERT_TRUE(std::equal(Out.begin(), Out.begin() + static_cast<long>(Same), Expected.begin()))
                    << "round " << Round;
            }
        }
    }
}

TEST(RpStream, MovesIntoATemporaryRpfFileThatGoesWithTheStream)
{
    rprig::TTempDir Dir;
    TTmpDirEnv Env(Dir.Path());
    Bytes Data(250001);
    for (size_t I = 0; I < Data.size(); ++I)
        Data[I] = static_cast<uint8_t>(I * 7);
    std::string TempName;
    {
        TRpStream S(RpDefaultMemoryLimit);
        S.WriteBuffer(Data.data(), 250000);
        EXPECT_TRUE(S.InMemory()) << "the limit itself still fits";
        EXPECT_TRUE(Dir.Entries().empty());
        S.WriteBuffer(Data.data() + 250000, 1);
        EXPECT_FALSE(S.InMemory());
        TempName = S.FileName();
        EXPECT_EQ(ExtractFilePath(TempName), IncludeTrailingPathDelimiter(Dir.Path()));
        EXPECT_EQ(ExtractFileName(TempName).substr(0, 3), "RPF");
        EXPECT_TRUE(FileExists(TempName));
        EXPECT_EQ(S.Position(), 250001);
        EXPECT_EQ(S.Size(), 250001);
        // The bytes moved whole.
        Bytes Back(Data.size());
        S.SetPosition(0);
        S.ReadBuffer(Back.data(), static_cast<int64_t>(Back.size()));
        EXPECT_EQ(Back, Data);
        TMemoryStream Copy;
        S.SaveToStream(&Copy);
        EXPECT_EQ(Copy.Size(), 250001);
        EXPECT_EQ(S.Position(), S.Size());
    }
    EXPECT_FALSE(FileExists(TempName));
    EXPECT_TRUE(Dir.Entries().empty());
}

TEST(RpStream, AStreamOnAUsersFileReadsItAndNeverDeletesIt)
{
    rprig::TTempDir Dir;
    const std::string Name = Dir / "kept.rpf";
    rprig::WriteFile(Name, Of("0123456789"));
    {
        TRpStream S(Name);
        EXPECT_FALSE(S.InMemory());
        EXPECT_TRUE(S.FileName().empty());
        char Buf[4] = {};
        S.SetPosition(6);
        S.ReadBuffer(Buf, 4);
        EXPECT_EQ(std::string(Buf, 4), "6789");
        EXPECT_THROW(S.WriteBuffer("x", 1), EStreamError);
    }
    EXPECT_TRUE(FileExists(Name));
    EXPECT_THROW(TRpStream(Dir / "missing.rpf"), EFOpenError);
}

TEST(RpStream, ATemporaryFileThatCannotBeMadeFailsTheWriteAndKeepsTheBytes)
{
    TTmpDirEnv Env("/nonexistent-folder-for-rpf");
    TRpStream S(8);
    S.WriteBuffer("12345678", 8);
    EXPECT_THROW(S.WriteBuffer("9", 1), ERpError);
    EXPECT_TRUE(S.InMemory());
    EXPECT_EQ(S.Size(), 9);
}
