// The handheld unit's file directory and the download of one file.
#include "analyzer/Devicevalues.h"
#include "analyzer/Serialfunctions.h"
#include "analyzer/Zrmobfileinfo.h"

#include <cstring>

void TZEBBSerialProtocol::RequestFileList()
{
    const uint8_t Data[1] = {'L'};
    SendFrame('I', 1, Data);
}

bool TZEBBSerialProtocol::DownloadFile(uint8_t Index, uint8_t* Buffer, size_t BufferSize,
                                       TProtocolProgressBar* ProgressBar)
{
    if (!Buffer)
        return false;
    std::memset(Buffer, 0, BufferSize);
    FDownloadProgress = ProgressBar;
    FDownloadBuffer = Buffer;
    FDownloadSize = BufferSize;
    FDownloadIndex = Index;
    FBlocksSeen.assign(BufferSize / DownloadBlockSize + 1, false);
    FDownloadBlockCount = 0;
    FReplyReceived = false;
    FReplyAddress = 0;
    int32_t Blocks = 0;

    const uint8_t Data[2] = {'D', Index};
    SendFrame('I', 2, Data);
    WaitForFlag(16000, FReplyReceived, true);

    bool Complete = FReplyReceived && FReplyAddress == Index;
    if (Complete) {
        // The last block told the count; every block up to it must be here.
        Blocks = FDownloadBlockCount;
        for (int32_t b = 1; b <= Blocks && Complete; ++b)
            Complete = static_cast<size_t>(b) < FBlocksSeen.size() && FBlocksSeen[static_cast<size_t>(b)];
        Complete = Complete && Blocks > 0;
    }
    // Blocks that come later must not land in a buffer the caller has
    // taken back.
    FDownloadBuffer = nullptr;
    FDownloadProgress = nullptr;
    FDownloadSize = 0;
    FDownloadIndex = -1;
    FBlocksSeen.clear();
    return Complete;
}

void TZEBBSerialProtocol::HandleFileReply(const uint8_t* Payload)
{
    const uint8_t* P = Payload;
    if (P[0] == 'l') {
        const int Index = P[2];
        // The directory has 50 entries; others are not stored.
        if (FFileDownload && Index < HandheldDirectorySize) {
            TZRMobFileInfo Info = FFileDownload->FileInfo(Index);
            ParseFileIndexEntry(Info, P + 1);
            FFileDownload->SetFileInfo(Index, Info);
        }
        Log("FI idx " + IntToStr(Index));
        if (FFileDownload && Index >= P[3] - 1)
            FFileDownload->UpdateFileList();
        return;
    }
    if (P[0] != 'd' || !FDownloadBuffer)
        return;
    const int B = P[2] * 256 + P[3];
    const int N = P[4] * 256 + P[5];
    Log(IntToStr(B) + " of " + IntToStr(N));
    if (FDownloadProgress && N > 0)
        FDownloadProgress->SetPosition(B * 100 / N);
    // Block 0, a block beyond the buffer and a block of another file are
    // not stored.
    const size_t End = static_cast<size_t>(B) * DownloadBlockSize;
    if (B >= 1 && End <= FDownloadSize && P[1] == FDownloadIndex) {
        std::memcpy(FDownloadBuffer + End - DownloadBlockSize, P + 6, DownloadBlockSize);
        FBlocksSeen[static_cast<size_t>(B)] = true;
    }
    if (B == N) {
        FReplyReceived = true;
        FReplyAddress = P[1];
        FDownloadBlockCount = N;
    }
}
