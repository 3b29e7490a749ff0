// Pages, files and folders for the page-list tests.
#pragma once

#include "platform/Metafile.h"
#include "platform/SysUtils.h"
#include "report/RpPageList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace rprig {

using Bytes = std::vector<uint8_t>;

// A page with Shapes rectangles: different page numbers give different
// metafiles (and sizes).
inline std::unique_ptr<TMetafile> MakePage(int Number, int Shapes = 0)
{
    auto M = std::make_unique<TMetafile>();
    M->SetWidth(794);
    M->SetHeight(1123);
    {
        TMetafileCanvas C(M.get(), nullptr);
        C.Pen()->SetColor(clNavy);
        const int Count = Shapes > 0 ? Shapes : Number;
        for (int I = 0; I < Count; ++I) {
            C.Brush()->SetColor(RGB(I * 37, Number * 11, 90));
            C.Rectangle(10 + I * 3, 20 + Number, 200 + I * 5, 60 + I);
            C.MoveTo(I, Number);
            C.LineTo(700 - I, 1000 - Number);
        }
    }
    return M;
}

inline Bytes StoredBytes(TMetafile* M)
{
    return M->SaveToBytes();
}

inline int32_t I32(const Bytes& B, size_t At)
{
    return static_cast<int32_t>(static_cast<uint32_t>(B.at(At)) | static_cast<uint32_t>(B.at(At + 1)) << 8 |
                                static_cast<uint32_t>(B.at(At + 2)) << 16 | static_cast<uint32_t>(B.at(At + 3)) << 24);
}

inline void PutI32(Bytes& B, size_t At, int32_t Value)
{
    const uint32_t V = static_cast<uint32_t>(Value);
    for (int K = 0; K < 4; ++K)
        B.at(At + K) = static_cast<uint8_t>(V >> (8 * K));
}

inline Bytes ReadFile(const std::string& Name)
{
    std::ifstream In(Name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& Name, const Bytes& B)
{
    std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(B.data()), static_cast<std::streamsize>(B.size()));
}

// A page list of Pages pages (page n drawn by MakePage(n)).
inline std::unique_ptr<TRpPageList> MakeList(int Pages, bool Coded = false)
{
    auto L = std::make_unique<TRpPageList>();
    L->SetStream(std::make_unique<TRpStream>(RpDefaultMemoryLimit));
    L->SetCompression(Coded);
    for (int N = 1; N <= Pages; ++N)
        L->AddPage(MakePage(N).get());
    L->Finish();
    return L;
}

// The stored bytes of page N of L.
inline Bytes PageBytes(TRpPageList& L, int N)
{
    const std::unique_ptr<TMetafile> M = L.GetPage(N);
    return M ? M->SaveToBytes() : Bytes();
}

// A folder of its own for each test, removed afterwards.
class TTempDir {
public:
    TTempDir()
    {
        const std::string Base = std::filesystem::temp_directory_path() / "rptestXXXXXX";
        std::vector<char> T(Base.begin(), Base.end());
        T.push_back('\0');
        FPath = ::mkdtemp(T.data());
    }
    ~TTempDir()
    {
        std::error_code Ignored;
        std::filesystem::remove_all(FPath, Ignored);
    }
    std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }
    const std::string& Path() const { return FPath; }
    // The names in the folder.
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> Names;
        for (const auto& E : std::filesystem::directory_iterator(FPath))
            Names.push_back(E.path().filename().string());
        return Names;
    }

private:
    std::string FPath;
};

}  // namespace rprig
