// Image lists: pictures of one size, addressed by index, that tool buttons,
// menus and actions show.
#pragma once

#include "platform/Classes.h"
#include "platform/Graphics.h"

#include <memory>
#include <string>
#include <vector>

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* AOwner);
    ~TCustomImageList() override;

    int Width() const { return FWidth; }
    // Changing the size empties the list.
    void SetWidth(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    int Count() const { return static_cast<int>(FImages.size()); }

    // Adds a copy of Image (cut or padded to the list's size); Mask, when
    // given, marks the transparent pixels in white. Returns the index.
    int Add(TBitmap* Image, TBitmap* Mask);
    // Pixels of MaskColor are transparent.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    // An image drawn from an SVG document at the list's size, with its
    // smooth, partly transparent edges. Returns the index, or -1 (nothing
    // added) when Svg is not a document the renderer can draw.
    int AddSvg(const std::string& Svg);
    void Delete(int Index);
    void Clear();
    // A copy of image Index into Image (sized to the list).
    bool GetBitmap(int Index, TBitmap* Image) const;
    // Draws image Index at (X, Y); a disabled image is drawn greyed.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true) const;

    TNotifyEvent OnChange;

    // The image with transparent pixels as alpha (platform code only).
    const TBitmap* Image(int Index) const;

private:
    void Changed();
    int FWidth = 16;
    int FHeight = 16;
    std::vector<std::unique_ptr<TBitmap>> FImages;
};

class TImageList : public TCustomImageList {
public:
    explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
};
