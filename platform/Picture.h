// A picture that holds one graphic: a bitmap (read from a PNG, JPEG or BMP
// file) or a recorded metafile. Owns its graphic; OnChange runs after every
// change of the graphic or of what it holds.
#pragma once

#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "platform/Metafile.h"

#include <memory>
#include <string>

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;

    // nil while empty.
    TGraphic* Graphic() const { return FGraphic.get(); }
    // A copy of Value (a bitmap or a metafile); nil empties the picture.
    void SetGraphic(TGraphic* Value);
    // The bitmap held; an empty bitmap replaces any other graphic first.
    TBitmap* Bitmap();
    // The metafile held; an empty metafile replaces any other graphic first.
    TMetafile* Metafile();
    bool HoldsBitmap() const { return dynamic_cast<TBitmap*>(FGraphic.get()) != nullptr; }
    bool HoldsMetafile() const { return dynamic_cast<TMetafile*>(FGraphic.get()) != nullptr; }

    // Pixels of the graphic; 0 when empty.
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }
    bool Empty() const { return !FGraphic || FGraphic->Empty(); }

    // A stored metafile is recognised by its header, anything else is read
    // as an image; raises EInvalidGraphicOperation when it cannot be read
    // (the picture is then unchanged).
    void LoadFromFile(const std::string& FileName);
    // Raises EInvalidGraphicOperation when empty or on failure.
    void SaveToFile(const std::string& FileName);
    // A picture, a bitmap, a metafile, or nil.
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    void Take(std::unique_ptr<TGraphic> Value);
    void Changed();

    std::unique_ptr<TGraphic> FGraphic;
};
