// The page stream of a report and the splay-tree code of its pages.
//
// TRpStream keeps its bytes in memory up to MemoryLimit and moves them into a
// temporary file ("RPF" plus a unique part, in $TMPDIR or /tmp) as soon as
// they outgrow it; the temporary file goes with the stream. A stream opened on
// a user's report file only reads it and never deletes it.
//
// TRpCompress codes one page body byte by byte with an adaptive semi-splay
// tree over 257 symbols (byte values 0..255 and symbol 256, never coded).
// Code bits fill each byte from its least significant bit; the last byte is
// padded with zero bits. Coder and decoder start from the same tree and splay
// the same leaf after every byte, so they stay in step. One coder instance
// serves exactly one page body.
#pragma once

#include "platform/Streams.h"
#include "report/Rp4const.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

// Bytes a page stream keeps in memory unless told otherwise.
constexpr int32_t RpDefaultMemoryLimit = 250000;

class TRpStream : public TStream {
public:
    // An empty stream in memory.
    explicit TRpStream(int32_t AMemoryLimit);
    // The existing file FileName, for reading (EFOpenError when it cannot
    // be opened). FileName() stays empty: the file is not the stream's own.
    explicit TRpStream(const std::string& AFileName);
    ~TRpStream() override;

    // Each under the stream's lock, on whichever stream holds the bytes. A
    // write that takes the bytes in memory past MemoryLimit moves them into
    // a temporary file; when that file cannot be made the write raises
    // ERpError and the bytes stay in memory.
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    int64_t Size() override;

    // The whole stream from its start, in blocks of 10,240 bytes; the
    // position ends at the end of the stream.
    void SaveToStream(TStream* Dest);

    // Re-entrant on one thread; a page list takes its own lock first.
    void LockStream() { FLock.lock(); }
    void UnlockStream() { FLock.unlock(); }

    bool InMemory() const { return FInMemory; }
    int32_t MemoryLimit() const { return FMemoryLimit; }
    // The temporary file after the move; empty before it and for a stream
    // opened on a file.
    const std::string& FileName() const { return FFileName; }

private:
    void MoveToFile();

    std::recursive_mutex FLock;
    std::unique_ptr<TMemoryStream> FMemoryStream;
    std::string FFileName;
    std::unique_ptr<TFileStream> FFileStream;
    bool FInMemory = true;
    int32_t FMemoryLimit = 0;
};

// The decoder ran out of coded bytes before it had all the bytes it was
// asked for.
class ERpCodeError : public ERpError {
public:
    using ERpError::ERpError;
};

class TRpCompress : public TObject {
public:
    // Coding (ACompressFlag true) writes code bytes to AStream; decoding
    // reads them from AStream's position on, at most ACodedLimit bytes of
    // them (a negative limit: up to the end of the stream).
    TRpCompress(TStream* AStream, bool ACompressFlag, int64_t ACodedLimit = -1);
    // Coding: writes what Flush has not written yet, ignoring write errors;
    // call Flush to see them.
    ~TRpCompress() override;

    void Compress(uint8_t Value);
    void CompressBuffer(const uint8_t* Data, size_t Count);
    // ERpCodeError when the coded bytes end first.
    uint8_t Expand();
    void ExpandBuffer(uint8_t* Data, size_t Count);
    // Coding: writes the coded bytes so far, the partly filled last byte
    // included; the coder takes no more bytes afterwards.
    void Flush();

    // Coded bytes written (coding) or read (decoding) so far.
    int64_t CodedBytes() const { return FCodedBytes; }

private:
    void InitializeSplay();
    void Splay(int Symbol);
    [[noreturn]] void CodeEnds();
    // Decoding: false when no byte could be had.
    bool Refill(bool Needed);
    void WriteOut();

    // Tree: inner nodes 0..255 (0 the root), leaf 256 + s for symbol s.
    // The coder's FChild[N][0] holds the left and FChild[N][1] the right
    // child of inner node N, and FUp the parents it climbs.
    uint16_t FChild[256][2] = {};
    uint8_t FUp[513] = {};
    // The decoder's copy of the same tree, addressed in bytes: inner node
    // N's left child at byte 4N, its right child at byte 4N + 2, a child held
    // as its own offset (4 times its number). A node's offset plus twice the
    // code bit is the slot to follow, so walking down takes one load a level;
    // leaves are the offsets from 1024 on.
    uint16_t FDown[512] = {};
    unsigned SlowDescent(unsigned* Slot);

    TStream* FStream;
    bool FCompressFlag;
    bool FFlushed = false;
    // Bits not yet written (coding) or not yet used (decoding), lowest first.
    uint64_t FBits = 0;
    int FBitCount = 0;
    int64_t FCodedLimit;
    int64_t FCodedBytes = 0;
    // Bytes on their way to or from the stream.
    std::array<uint8_t, 4096> FBuffer{};
    size_t FBufferPos = 0;
    size_t FBufferLen = 0;
};
