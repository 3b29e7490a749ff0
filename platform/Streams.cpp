#include "platform/Streams.h"

#include "platform/Filer.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Reason(int Err)
{
    return std::strerror(Err);
}

}  // namespace

std::string EStreamError::Reason() const
{
    return FErrorCode ? std::strerror(FErrorCode) : "";
}

// ------------------------------------------------------------------ TStream

int64_t TStream::Size()
{
    const int64_t Pos = Seek(0, soCurrent);
    const int64_t End = Seek(0, soEnd);
    Seek(Pos, soBeginning);
    return End;
}

void TStream::ReadBuffer(void* Buffer, int64_t Count)
{
    if (Count > 0 && Read(Buffer, Count) != Count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count)
{
    if (Count > 0 && Write(Buffer, Count) != Count)
        throw EWriteError("Stream write error");
}

int32_t TStream::ReadInt32()
{
    uint8_t B[4];
    ReadBuffer(B, 4);
    return static_cast<int32_t>(static_cast<uint32_t>(B[0]) | static_cast<uint32_t>(B[1]) << 8 |
                                static_cast<uint32_t>(B[2]) << 16 | static_cast<uint32_t>(B[3]) << 24);
}

void TStream::WriteInt32(int32_t Value)
{
    const uint32_t V = static_cast<uint32_t>(Value);
    const uint8_t B[4] = {static_cast<uint8_t>(V), static_cast<uint8_t>(V >> 8), static_cast<uint8_t>(V >> 16),
                          static_cast<uint8_t>(V >> 24)};
    WriteBuffer(B, 4);
}

int64_t TStream::CopyFrom(TStream* Source, int64_t Count)
{
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    constexpr int64_t BlockSize = 61440;
    std::vector<uint8_t> Block(static_cast<size_t>(std::min(Count, BlockSize)));
    int64_t Done = 0;
    while (Done < Count) {
        const int64_t N = std::min(Count - Done, BlockSize);
        Source->ReadBuffer(Block.data(), N);
        WriteBuffer(Block.data(), N);
        Done += N;
    }
    return Done;
}

void TStream::WriteComponent(TComponent* Instance)
{
    TWriter Writer(this);
    Writer.WriteRootComponent(Instance);
}

TComponent* TStream::ReadComponent(TComponent* Instance)
{
    TReader Reader(this);
    return Reader.ReadRootComponent(Instance);
}

// ------------------------------------------------------------ TMemoryStream

int64_t TMemoryStream::Read(void* Buffer, int64_t Count)
{
    const int64_t Avail = Size() - FPosition;
    if (Count <= 0 || Avail <= 0)
        return 0;
    const int64_t N = std::min(Count, Avail);
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(N));
    FPosition += N;
    return N;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count)
{
    if (Count <= 0)
        return 0;
    const int64_t End = FPosition + Count;
    if (End > Size()) {
        // Grow geometrically so that appending stays linear.
        if (static_cast<size_t>(End) > FData.capacity())
            FData.reserve(std::max(static_cast<size_t>(End), FData.capacity() * 2));
        FData.resize(static_cast<size_t>(End));
    }
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = End;
    return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    const int64_t Base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : Size();
    if (Base + Offset < 0)
        throw EStreamError("Stream seek before its start");
    FPosition = Base + Offset;
    return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize)
{
    FData.resize(static_cast<size_t>(std::max<int64_t>(NewSize, 0)));
    FPosition = std::min(FPosition, Size());
}

void TMemoryStream::Clear()
{
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Source)
{
    Source->SetPosition(0);
    const int64_t N = Source->Size();
    FData.resize(static_cast<size_t>(N));
    FPosition = 0;
    Source->ReadBuffer(FData.data(), N);
}

void TMemoryStream::SaveToStream(TStream* Dest)
{
    Dest->WriteBuffer(FData.data(), Size());
}

// -------------------------------------------------------------- TFileStream

TFileStream::TFileStream(const std::string& FileName, TFileMode Mode) : FFileName(FileName)
{
    int Flags = O_CLOEXEC;
    switch (Mode) {
    case fmOpenRead: Flags |= O_RDONLY; break;
    case fmOpenWrite: Flags |= O_WRONLY; break;
    case fmOpenReadWrite: Flags |= O_RDWR; break;
    case fmCreate: Flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    }
    FHandle = ::open(FileName.c_str(), Flags, 0666);
    if (FHandle < 0) {
        const int Err = errno;
        if (Mode == fmCreate)
            throw EFCreateError("Cannot create file \"" + FileName + "\": " + Reason(Err), Err);
        throw EFOpenError("Cannot open file \"" + FileName + "\": " + Reason(Err), Err);
    }
    struct stat St {};
    if (::fstat(FHandle, &St) == 0 && S_ISDIR(St.st_mode)) {
        ::close(FHandle);
        FHandle = -1;
        throw EFOpenError("Cannot open file \"" + FileName + "\": " + Reason(EISDIR), EISDIR);
    }
}

TFileStream::TFileStream(int Handle, std::string FileName, bool DeleteOnClose)
    : FHandle(Handle), FFileName(std::move(FileName)), FDeleteOnClose(DeleteOnClose)
{
}

TFileStream::~TFileStream()
{
    if (FHandle >= 0)
        ::close(FHandle);
    if (FDeleteOnClose)
        ::unlink(FFileName.c_str());
}

std::unique_ptr<TFileStream> TFileStream::CreateTemporary(const std::string& Prefix, const std::string& Suffix)
{
    const char* Dir = std::getenv("TMPDIR");
    const std::string Folder = IncludeTrailingPathDelimiter(Dir && *Dir ? Dir : "/tmp");
    std::string Name;
    const int Fd = CreateUniqueFile(Folder, Prefix, Suffix, 0600, Name);
    if (Fd < 0) {
        const int Err = errno;
        throw EFCreateError("Cannot create a temporary file in \"" + Folder + "\": " + Reason(Err), Err);
    }
    return std::unique_ptr<TFileStream>(new TFileStream(Fd, Name, true));
}

std::unique_ptr<TFileStream> TFileStream::CreateBeside(const std::string& FileName, const std::string& Suffix)
{
    std::string Name;
    const int Fd = CreateUniqueFile(ExtractFilePath(FileName), ExtractFileName(FileName) + ".", Suffix, 0666, Name);
    if (Fd < 0) {
        const int Err = errno;
        throw EFCreateError("Cannot create file \"" + FileName + "\": " + Reason(Err), Err);
    }
    return std::unique_ptr<TFileStream>(new TFileStream(Fd, Name, false));
}

int64_t TFileStream::Read(void* Buffer, int64_t Count)
{
    int64_t Done = 0;
    auto* P = static_cast<uint8_t*>(Buffer);
    while (Done < Count) {
        const ssize_t N = ::pread(FHandle, P + Done, static_cast<size_t>(Count - Done), FPosition + Done);
        if (N < 0 && errno == EINTR)
            continue;
        if (N < 0) {
            const int Err = errno;
            throw EReadError("Cannot read file \"" + FFileName + "\": " + Reason(Err), Err);
        }
        if (N == 0)
            break;
        Done += N;
    }
    FPosition += Done;
    return Done;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count)
{
    int64_t Done = 0;
    const auto* P = static_cast<const uint8_t*>(Buffer);
    while (Done < Count) {
        const ssize_t N = ::pwrite(FHandle, P + Done, static_cast<size_t>(Count - Done), FPosition + Done);
        if (N < 0 && errno == EINTR)
            continue;
        if (N < 0) {
            const int Err = errno;
            throw EWriteError("Cannot write file \"" + FFileName + "\": " + Reason(Err), Err);
        }
        if (N == 0)
            break;
        Done += N;
    }
    FPosition += Done;
    return Done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    const int64_t Base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : Size();
    if (Base + Offset < 0)
        throw EStreamError("Stream seek before its start");
    FPosition = Base + Offset;
    return FPosition;
}

void TFileStream::SetSize(int64_t NewSize)
{
    if (::ftruncate(FHandle, std::max<int64_t>(NewSize, 0)) != 0) {
        const int Err = errno;
        throw EWriteError("Cannot set the size of \"" + FFileName + "\": " + Reason(Err), Err);
    }
    FPosition = std::min(FPosition, Size());
}

int64_t TFileStream::Size()
{
    struct stat St {};
    if (::fstat(FHandle, &St) != 0) {
        const int Err = errno;
        throw EReadError("Cannot read the size of \"" + FFileName + "\": " + Reason(Err), Err);
    }
    return St.st_size;
}

int64_t TFileStream::NextDataOffset(int64_t From)
{
    const off_t Data = ::lseek(FHandle, static_cast<off_t>(std::max<int64_t>(From, 0)), SEEK_DATA);
    if (Data >= 0)
        return std::max<int64_t>(Data, From);
    if (errno == ENXIO) {   // no data at or after From
        struct stat St {};
        if (::fstat(FHandle, &St) == 0)
            return std::max<int64_t>(St.st_size, From);
    }
    return From;
}

void TFileStream::Flush()
{
    if (::fsync(FHandle) != 0) {
        const int Err = errno;
        throw EWriteError("Cannot write file \"" + FFileName + "\": " + Reason(Err), Err);
    }
}

// -------------------------------------------------------- TAtomicFileStream

TAtomicFileStream::TAtomicFileStream(const std::string& FileName) : FFileName(FileName)
{
    FFile = TFileStream::CreateBeside(FileName, ".tmp");
    FFile->FDeleteOnClose = true;
    FTempName = FFile->FileName();
    struct stat Old {};
    if (::stat(FileName.c_str(), &Old) == 0 && S_ISREG(Old.st_mode))
        ::fchmod(FFile->FHandle, Old.st_mode & 07777);
}

TAtomicFileStream::~TAtomicFileStream() = default;   // the temporary file goes unless committed

int64_t TAtomicFileStream::Read(void* Buffer, int64_t Count) { return FFile ? FFile->Read(Buffer, Count) : 0; }
int64_t TAtomicFileStream::Write(const void* Buffer, int64_t Count) { return FFile ? FFile->Write(Buffer, Count) : 0; }
int64_t TAtomicFileStream::Seek(int64_t Offset, TSeekOrigin Origin) { return FFile ? FFile->Seek(Offset, Origin) : 0; }
void TAtomicFileStream::SetSize(int64_t NewSize)
{
    if (FFile)
        FFile->SetSize(NewSize);
}
int64_t TAtomicFileStream::Size() { return FFile ? FFile->Size() : 0; }

void TAtomicFileStream::Commit()
{
    if (FCommitted || !FFile)
        throw EWriteError("Cannot write file \"" + FFileName + "\": it is closed");
    const auto Fail = [&](const char* What, int Err) {
        FFile.reset();   // closes and deletes the temporary file
        throw EWriteError("Cannot write file \"" + FFileName + "\": " + What + " (" + Reason(Err) + ")", Err);
    };
    if (::fsync(FFile->FHandle) != 0)
        Fail("flush failed", errno);
    if (::close(FFile->FHandle) != 0) {
        FFile->FHandle = -1;
        Fail("close failed", errno);
    }
    FFile->FHandle = -1;
    if (::rename(FTempName.c_str(), FFileName.c_str()) != 0)
        Fail("rename failed", errno);
    FFile->FDeleteOnClose = false;
    FFile.reset();
    FCommitted = true;
    // Make the rename itself durable.
    std::string Dir = ExtractFilePath(FFileName);
    if (Dir.empty())
        Dir = ".";
    const int DirFd = ::open(Dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (DirFd >= 0) {
        ::fsync(DirFd);
        ::close(DirFd);
    }
}
