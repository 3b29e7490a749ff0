// The system clipboard: text and pictures.
#pragma once

#include <string>

class TBitmap;

class TClipboard {
public:
    void SetText(const std::string& Value);
    // The clipboard's text, empty when it holds none.
    std::string AsText() const;
    // The bitmap's pixels as a picture.
    void SetBitmap(const TBitmap& Value);
    bool HasBitmap() const;
    // Copies the picture into Dest (size and pixels); false, Dest untouched,
    // when the clipboard holds no picture.
    bool GetBitmap(TBitmap& Dest) const;
};

// The application's clipboard (creates the Qt application when needed).
TClipboard* Clipboard();
