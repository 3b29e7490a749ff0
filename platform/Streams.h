// Byte streams: the abstract stream with exact reads and writes, a stream in
// memory, a stream on a file, a temporary file that goes with its stream,
// and a file written beside its target and renamed over it when complete.
//
// Positions and sizes are 64-bit. Read and Write return how many bytes they
// moved (fewer at the end of the data) and raise on a system error;
// ReadBuffer and WriteBuffer raise when they cannot move all of them. Integers are read and
// written little-endian, field by field.
#pragma once

#include "platform/Classes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class EStreamError : public Exception {
public:
    using Exception::Exception;
    // ErrorCode: the system's error number (errno), 0 when there is none.
    EStreamError(const std::string& Message, int ErrorCode) : Exception(Message), FErrorCode(ErrorCode) {}
    int ErrorCode() const { return FErrorCode; }
    // The system's text of ErrorCode, empty when there is none.
    std::string Reason() const;

private:
    int FErrorCode = 0;
};
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
// A file that cannot be opened or created.
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    // The new position; a position before 0 is refused (EStreamError).
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;
    // Cuts or extends the data; the position stays unless it lay beyond.
    virtual void SetSize(int64_t NewSize) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t Value) { Seek(Value, soBeginning); }
    virtual int64_t Size();

    void ReadBuffer(void* Buffer, int64_t Count);          // EReadError when short
    void WriteBuffer(const void* Buffer, int64_t Count);   // EWriteError when short
    int32_t ReadInt32();
    void WriteInt32(int32_t Value);
    // Copies Count bytes of Source from its position (Count 0: from its
    // start to its end); returns the bytes copied.
    int64_t CopyFrom(TStream* Source, int64_t Count);

    // The form of Instance, and the form at the position read into Instance
    // (nil: into a new component of the stored class, which the caller then
    // owns); see platform/Filer.h.
    void WriteComponent(TComponent* Instance);
    TComponent* ReadComponent(TComponent* Instance);
};

// The bytes in memory.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    int64_t Size() override { return static_cast<int64_t>(FData.size()); }

    const uint8_t* Memory() const { return FData.data(); }
    uint8_t* Memory() { return FData.data(); }
    void Clear();
    void LoadFromStream(TStream* Source);   // the whole of Source
    void SaveToStream(TStream* Dest);       // the whole of this one

private:
    std::vector<uint8_t> FData;
    int64_t FPosition = 0;
};

// Open modes of a file stream.
enum TFileMode {
    fmOpenRead,        // an existing file, for reading (others may read and write it too)
    fmOpenWrite,       // an existing file, for writing
    fmOpenReadWrite,   // an existing file, for both
    fmCreate,          // a new or emptied file, for reading and writing
};

// A stream on a file. The file closes with the stream; it is never deleted
// (but see CreateTemporary).
class TFileStream : public TStream {
public:
    // EFOpenError / EFCreateError, naming the file and the reason.
    TFileStream(const std::string& FileName, TFileMode Mode);
    ~TFileStream() override;

    // A new, empty file made exclusively in $TMPDIR (else /tmp), named
    // Prefix plus a random part plus Suffix, open for reading and writing,
    // readable by its owner only. The file is deleted when the stream is
    // freed. EFCreateError when it cannot be made.
    static std::unique_ptr<TFileStream> CreateTemporary(const std::string& Prefix, const std::string& Suffix = "");
    // A new, empty file made exclusively in FileName's folder (so it can be
    // renamed onto FileName), named after FileName plus a random part plus
    // Suffix, and always within the folder's limit for a name however long
    // FileName is. An existing file or link is never opened. The file is
    // kept when the stream is freed. EFCreateError naming FileName when it
    // cannot be made.
    static std::unique_ptr<TFileStream> CreateBeside(const std::string& FileName, const std::string& Suffix);

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    int64_t Size() override;
    // Makes what was written durable (fsync); EWriteError naming the file
    // and the reason when the system could not.
    void Flush();
    // The first offset at or after From that may hold bytes other than
    // zeros: the end of a hole of a sparse file, the file's size when only
    // a hole follows, From itself when the system cannot tell. The
    // position stays.
    int64_t NextDataOffset(int64_t From);

    const std::string& FileName() const { return FFileName; }
    bool DeleteOnClose() const { return FDeleteOnClose; }

private:
    friend class TAtomicFileStream;
    TFileStream(int Handle, std::string FileName, bool DeleteOnClose);
    int FHandle = -1;
    std::string FFileName;
    int64_t FPosition = 0;
    bool FDeleteOnClose = false;
};

// Writes a file whole: the bytes go to a new temporary file beside FileName,
// and Commit flushes it and renames it over FileName (keeping an existing
// file's permissions). Freed without a successful Commit, it deletes its
// temporary file and FileName is left as it was. A stream still reading the
// old FileName keeps reading the old bytes.
class TAtomicFileStream : public TStream {
public:
    explicit TAtomicFileStream(const std::string& FileName);   // EFCreateError
    ~TAtomicFileStream() override;

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    int64_t Size() override;

    // EWriteError, naming the file and the reason, when the file cannot be
    // completed or put in place (the temporary file is gone then too).
    void Commit();

    const std::string& FileName() const { return FFileName; }
    const std::string& TempName() const { return FTempName; }

private:
    std::string FFileName;
    std::string FTempName;
    std::unique_ptr<TFileStream> FFile;
    bool FCommitted = false;
};
