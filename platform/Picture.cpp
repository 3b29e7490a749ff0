#include "platform/Picture.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::unique_ptr<TGraphic> CopyOf(TGraphic* Source)
{
    if (auto* B = dynamic_cast<TBitmap*>(Source)) {
        auto Copy = std::make_unique<TBitmap>();
        Copy->Assign(B);
        return Copy;
    }
    if (auto* M = dynamic_cast<TMetafile*>(Source)) {
        auto Copy = std::make_unique<TMetafile>();
        Copy->Assign(M);
        return Copy;
    }
    return nullptr;
}

}  // namespace

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TPicture::Take(std::unique_ptr<TGraphic> Value)
{
    FGraphic = std::move(Value);
    if (FGraphic)
        FGraphic->OnChange = [this](TObject*) { Changed(); };
    Changed();
}

void TPicture::SetGraphic(TGraphic* Value)
{
    if (Value == FGraphic.get())
        return;
    Take(CopyOf(Value));
}

TBitmap* TPicture::Bitmap()
{
    if (!HoldsBitmap())
        Take(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(FGraphic.get());
}

TMetafile* TPicture::Metafile()
{
    if (!HoldsMetafile())
        Take(std::make_unique<TMetafile>());
    return static_cast<TMetafile*>(FGraphic.get());
}

void TPicture::LoadFromFile(const std::string& FileName)
{
    std::ifstream In(FileName, std::ios::binary);
    if (!In)
        throw EInvalidGraphicOperation("Cannot read the picture " + FileName);
    const std::vector<uint8_t> Bytes{std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
    uint32_t Stored = 0;
    if (TMetafile::StoredSize(Bytes.data(), Bytes.size(), Stored)) {
        auto M = std::make_unique<TMetafile>();
        if (!M->LoadFromBytes(Bytes))
            throw EInvalidGraphicOperation("Not a valid metafile: " + FileName);
        Take(std::move(M));
        return;
    }
    auto B = std::make_unique<TBitmap>();
    B->LoadFromFile(FileName);
    Take(std::move(B));
}

void TPicture::SaveToFile(const std::string& FileName)
{
    if (!FGraphic)
        throw EInvalidGraphicOperation("The picture is empty: " + FileName);
    FGraphic->SaveToFile(FileName);
}

void TPicture::Assign(TPersistent* Source)
{
    if (!Source) {
        Take(nullptr);
        return;
    }
    if (auto* P = dynamic_cast<TPicture*>(Source)) {
        if (P != this)
            Take(CopyOf(P->FGraphic.get()));
        return;
    }
    if (auto* G = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(G);
        return;
    }
    TPersistent::Assign(Source);
}
