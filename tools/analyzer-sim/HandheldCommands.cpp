// The handheld unit's file directory and the download of one file. Both
// answer with a run of frames, each sent when the program acknowledged the
// one before.
#include "tools/analyzer-sim/AnalyzerSim.h"
#include "tools/analyzer-sim/SimEncode.h"

#include <algorithm>

namespace sim {

namespace {

constexpr size_t kNameBytes = 25;
constexpr size_t kBlockBytes = 25;

Bytes DirectoryEntry(const SimDevice& D, int Index, int Count)
{
    Bytes P{'l', 0, static_cast<uint8_t>(Index), static_cast<uint8_t>(Count), 0};
    P.resize(5 + kNameBytes + 6, 0);
    if (Index >= 0 && static_cast<size_t>(Index) < D.Files.size()) {
        const SimFile& F = D.Files[static_cast<size_t>(Index)];
        P[1] = 1;
        const size_t N = std::min(F.Name.size(), kNameBytes);
        P[4] = static_cast<uint8_t>(N);
        std::copy_n(F.Name.begin(), N, P.begin() + 5);
        const size_t T = 5 + kNameBytes;
        P[T + 0] = F.Hour;
        P[T + 1] = F.Minute;
        P[T + 2] = F.Second;
        P[T + 3] = F.Day;
        P[T + 4] = F.Month;
        P[T + 5] = F.Year;
    }
    return P;
}

void SendDirectory(AnalyzerSim& S)
{
    std::vector<Bytes> Entries;
    {
        auto L = S.Lock();
        const SimDevice& D = S.Device();
        const int Count = D.DirectoryCount >= 0 ? D.DirectoryCount : static_cast<int>(D.Files.size());
        for (int i = 0; i < std::max(Count, 1) && i < 256; ++i)
            Entries.push_back(DirectoryEntry(D, i, Count));
    }
    for (const Bytes& E : Entries)
        if (!S.SendFrameAcked('I', E))
            return;
}

void SendFile(AnalyzerSim& S, uint8_t Index)
{
    std::vector<Bytes> Blocks;
    {
        auto L = S.Lock();
        const SimDevice& D = S.Device();
        if (Index >= D.Files.size())
            return;
        const SimFile& File = D.Files[Index];
        const std::vector<uint8_t>& Data = File.Data;
        auto Dropped = [&](int Block) {
            return std::find(D.DropBlocks.begin(), D.DropBlocks.end(), Block) != D.DropBlocks.end() ||
                   std::find(File.DropBlocks.begin(), File.DropBlocks.end(), Block) != File.DropBlocks.end();
        };
        const size_t Count = (Data.size() + kBlockBytes - 1) / kBlockBytes;
        const uint8_t Named = D.OtherFileIndexInBlocks >= 0 ? static_cast<uint8_t>(D.OtherFileIndexInBlocks) : Index;
        for (size_t b = 1; b <= Count && b <= 0xFFFF; ++b) {
            if (Dropped(static_cast<int>(b)))
                continue;
            Bytes P{'d', Named};
            PutWord(P, static_cast<uint16_t>(b));
            PutWord(P, static_cast<uint16_t>(Count));
            const size_t From = (b - 1) * kBlockBytes;
            const size_t N = std::min(kBlockBytes, Data.size() - From);
            P.insert(P.end(), Data.begin() + static_cast<std::ptrdiff_t>(From),
                     Data.begin() + static_cast<std::ptrdiff_t>(From + N));
            P.resize(6 + kBlockBytes, 0);
            Blocks.push_back(std::move(P));
        }
    }
    for (const Bytes& B : Blocks)
        if (!S.SendFrameAcked('I', B))
            return;
}

}  // namespace

void InstallHandheldCommands(AnalyzerSim& Sim)
{
    Sim.OnCommand('I', [](AnalyzerSim& S, const Frame& F) {
        if (F.Payload.empty())
            return;
        if (F.Payload[0] == 'L')
            S.Post([&S] { SendDirectory(S); });
        else if (F.Payload[0] == 'D' && F.Payload.size() >= 2)
            S.Post([&S, Index = F.Payload[1]] { SendFile(S, Index); });
    });
}

}  // namespace sim
