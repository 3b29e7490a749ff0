// The pages of a report run, kept as consecutive records in one TRpStream.
// The stream's bytes are, unchanged, the saved-report file (".RPF").
//
// File header, 128 bytes (little-endian; i32 signed 32-bit, f64 IEEE double):
//    0  u16 3          2  u16 404        4  0, 3 bytes 0
//    8  i32 number of pages             12  4 bytes 0
//   16  f64 date-time of writing (days since 30 Dec 1899)
//   24  0             25  1 = pages coded, 0 = plain
//   26  101 bytes 0  127  0
// An older 124-byte header holds the same fields packed tighter (count at 8,
// date at 12, byte at 20, coded flag at 21, reserved 22..122); it is told
// apart by "EMF" at offset 173, where the first page's metafile signature
// stands behind a 124-byte header (41 bytes into the metafile).
//
// Page records follow back to back, page 1 first:
//   R      i32 page number (1-based)
//   R + 4  i32 offset E of the end of the record (the next record's start)
//   R + 8  body
//   E - 4  i32 R (the back link); the stream ends with the last one.
// Body, plain: the page's stored metafile (platform/Metafile.h, its size in
// its own header); AddPageEx adds i32 N links, each four i32 left, top,
// right, bottom, i32 K, K bytes of UTF-8 text. Body, coded: i32 L = the
// metafile's size, then its L bytes coded by TRpCompress (no links).
//
// A saved report is untrusted: every count, number, offset and length read
// from it is checked against the stream's size and the records around it
// before it is used; a mismatch raises ERpError naming the file and the
// fault. Opening a report checks its header, the chain of records (a few
// bytes of each) and its last page. Pages are reached one at a time through
// the stream position, which stays at a record start or at the end; finding
// a page walks the records from there.
//
// Locks: the page list's lock, then the stream's (both re-entrant). AddPage,
// AddPageEx, GetPage, GetPageEx, SaveToFile and LoadFromFile hold both, so a
// report run may add pages on one thread while another shows them.
#pragma once

#include "platform/Metafile.h"
#include "report/Rp4const.h"
#include "report/RpHyperlink.h"
#include "report/RpOutline.h"
#include "report/RpStream.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

constexpr int RpFileHeaderSize = 128;
constexpr int RpOldFileHeaderSize = 124;

class TRpPageList : public TObject {
public:
    TRpPageList();
    ~TRpPageList() override;

    // PageCount := 0; the stream stays (the next AddPage starts it afresh).
    void Clear();
    void LockList() { FLock.lock(); }
    void UnlockList() { FLock.unlock(); }

    // Append one record; without a stream the list makes one in memory
    // (RpDefaultMemoryLimit). The first page writes the file header (count
    // 1). On a failure (ERpError) the list and its stream are as before.
    void AddPage(TMetafile* Metafile);
    // With the links (plain pages only; nullptr writes a count of 0).
    void AddPageEx(TMetafile* Metafile, const THyperlinkList* Links);

    // Page N as a new metafile; nullptr when N is outside 1..PageCount.
    // ERpError when the stored page is damaged.
    std::unique_ptr<TMetafile> GetPage(int N);
    // The same and the page's links (nullptr when it has none or the pages
    // are coded); both nullptr when N is outside 1..PageCount.
    void GetPageEx(int N, std::unique_ptr<TMetafile>& Metafile, std::unique_ptr<THyperlinkList>& Links);

    // Position the stream at a record start.
    void SeekToFirst();
    void SeekToLast();
    void SeekToPage(int N);

    // The 128-byte header with PageCount, the current time and Compression;
    // the position is 128 afterwards.
    void WriteFileHeader();
    // Reads the header (124 or 128 bytes) and checks the page count against
    // the stream's records; the position is the start of page 1 afterwards.
    void ReadFileHeader();
    void Finish() { WriteFileHeader(); }
    int FileHeaderSize();
    // 124 or 128 for the bytes of Stream; the position stays.
    static int DetectFileHeaderSize(TStream* Stream);

    // Writes the whole stream to a temporary file beside FileName and
    // renames it over FileName (saving onto the file being shown works; a
    // failed save leaves FileName as it was). The copy announces PageCount.
    void SaveToFile(const std::string& FileName);
    // Opens FileName as the page stream and checks its header, its chain of
    // records and its last page. On a failure (ERpError) the list keeps its former stream
    // and pages, and the file is closed.
    void LoadFromFile(const std::string& FileName);
    // As LoadFromFile for a stream already open; Name names it in messages.
    void LoadFromStream(std::unique_ptr<TRpStream> AStream, const std::string& Name);

    void AddOutline(int Level, const std::string& Title, const TRect& Area, int Page);

    bool Compression() const { return FCompression; }
    void SetCompression(bool Value) { FCompression = Value; }
    int PageCount() const { return FPageCount; }
    // The page stream, owned by the list; nullptr when there is none.
    TRpStream* Stream() const { return FStream.get(); }
    // Replaces (and frees) the stream, which holds no loaded file from then
    // on; the page count stays as it is.
    void SetStream(std::unique_ptr<TRpStream> Value);
    TRpOutline* Outline() const { return FOutline.get(); }
    // The report file loaded last, empty for pages recorded here.
    const std::string& FileName() const { return FFileName; }

private:
    void AddRecord(TMetafile* Metafile, bool WithLinks, const THyperlinkList* Links);
    void ReadRecord(int N, std::unique_ptr<TMetafile>& Metafile, std::unique_ptr<THyperlinkList>* Links);
    void StepForward(int64_t& R, int32_t& P, int64_t Size);
    void StepBack(int64_t& R, int32_t& P);
    void CheckRecords();
    int32_t ReadI32At(int64_t Position);
    [[noreturn]] void Damaged(const std::string& Fault) const;

    std::recursive_mutex FLock;
    bool FCompression = false;
    std::atomic<int> FPageCount{0};
    std::unique_ptr<TRpStream> FStream;
    std::unique_ptr<TRpOutline> FOutline;
    int FHeaderSize = RpFileHeaderSize;
    std::string FFileName;
};
