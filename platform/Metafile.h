// Recorded pictures: a TMetafile holds the list of canvas operations drawn
// on a TMetafileCanvas, in its own coordinates (pixels at the reference
// device's resolution). It plays back stretched into any rectangle of any
// canvas, fonts and pens scaled with it, and stores itself as bytes.
//
// Stored form (little-endian), a 64-byte header followed by the records:
//   0  u32 1                 8  i32 x4 bounds of what was drawn
//   4  u32 64 (header size) 24  i32 Width, i32 Height
//  32  i32 PixelsPerInch X, Y
//  40  u32 0x464D4520 (" EMF", where page stores look for the signature)
//  44  u32 format version   48  u32 total size in bytes, header included
//  52  u32 record count     56  u32 0, u32 0 (reserved)
// Each record: u16 type, u32 size of the record in bytes (these 6 included),
// then its fields. A reader checks every size and count against the bytes
// it has before it uses them and refuses what does not add up.
#pragma once

#include "platform/Graphics.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TMetafile : public TGraphic {
public:
    TMetafile();
    ~TMetafile() override;

    // Size in the metafile's own pixels; 0 until set or recorded (a
    // finished recording on a metafile without a size takes the bounds of
    // what was drawn).
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    // Size in 0.01 mm, through PixelsPerInch.
    int MMWidth() const;
    int MMHeight() const;
    void SetMMWidth(int Value);
    void SetMMHeight(int Value);
    // Resolution of the metafile's coordinates (the reference device's).
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value);
    bool Enhanced() const { return true; }
    void SetEnhanced(bool) {}

    bool Empty() const override;
    int RecordCount() const;
    // The bounds of everything drawn, in metafile coordinates.
    TRect DrawnBounds() const { return FBounds; }
    void Clear();

    // Plays the records into Rect of ACanvas, scaled from Width x Height.
    // The canvas's pen, brush, font, background, alignment, transform and
    // clip are as before afterwards; the metafile draws only inside the
    // clip that was in force. Raster pen modes play as copy.
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;

    std::vector<uint8_t> SaveToBytes() const;
    // False, and the metafile unchanged, when Data is not a whole stored
    // metafile (truncated, a size or count that does not fit, an unknown
    // record). Bytes after the stored size are ignored.
    bool LoadFromBytes(const uint8_t* Data, size_t Size);
    bool LoadFromBytes(const std::vector<uint8_t>& Data) { return LoadFromBytes(Data.data(), Data.size()); }
    // The total size a stored metafile claims in its header (offset 48);
    // false when Data does not start with a metafile header.
    static bool StoredSize(const uint8_t* Data, size_t Size, uint32_t& Bytes);
    // Raise EInvalidGraphicOperation on failure.
    void SaveToFile(const std::string& FileName) override;
    void LoadFromFile(const std::string& FileName) override;
    void Assign(TPersistent* Source) override;

    // The texts drawn, in drawing order, with their approximate bounds in
    // metafile coordinates.
    struct TTextItem {
        std::string Text;
        TRect Bounds;
    };
    std::vector<TTextItem> TextItems() const;
    // True when a drawn text contains Text (ignoring case unless asked).
    bool ContainsText(const std::string& Text, bool CaseSensitive = false) const;

    struct TRecord;

private:
    friend class TMetafileCanvas;
    std::vector<TRecord> FRecords;
    int FWidth = 0;
    int FHeight = 0;
    int FPixelsPerInch = 96;
    TRect FBounds;
};

// Records what is drawn on it into a metafile. The records replace the
// metafile's content when the canvas is destroyed. ReferenceDevice (may be
// nullptr: the screen, 96 dpi) gives the resolution of the coordinates.
class TMetafileCanvas : public TCanvas {
public:
    TMetafileCanvas(TMetafile* AMetafile, TCanvas* ReferenceDevice);
    ~TMetafileCanvas() override;

    void Perform(const TCanvasOp& Op) override;
    TSize SurfaceSize() const override;
    int PixelsPerInchX() const override { return FPixelsPerInch; }
    int PixelsPerInchY() const override { return FPixelsPerInch; }
    bool SupportsRasterModes() const override { return false; }

private:
    void RecordState();

    TMetafile* FMetafile;
    int FPixelsPerInch = 96;
    std::vector<TMetafile::TRecord> FRecords;
    TRect FBounds;
    bool FAnyBounds = false;
    // The state the records describe so far.
    bool FStateRecorded = false;
    TPen FLastPen;
    TBrush FLastBrush;
    TFont FLastFont;
    TBackgroundMode FLastBkMode = bkOpaque;
    TColor FLastBkColor = clWhite;
    unsigned FLastTextAlign = 0;
    int FLastCharExtra = 0;
    TCanvasTransform FLastTransform;
};
