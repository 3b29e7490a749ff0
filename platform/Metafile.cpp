#include "platform/Metafile.h"

#include "platform/private/CanvasQt.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstring>

struct TMetafile::TRecord {
    enum TType : uint16_t {
        rtOp = 1,
        rtPen = 2,
        rtBrush = 3,
        rtFont = 4,
        rtBackground = 5,
        rtTextAlign = 6,
        rtCharExtra = 7,
        rtTransform = 8,
    };
    TType Type = rtOp;
    TCanvasOp Op;                            // rtOp
    int32_t I[3] = {};                       // colours, widths, heights, alignment
    uint8_t U[4] = {};                       // styles and modes
    std::string S;                           // font name
    std::shared_ptr<const TBitmap> Image;    // brush pattern
    double D[4] = {};                        // transform
};

namespace {

constexpr uint32_t HeaderSize = 64;
constexpr uint32_t Signature = 0x464D4520u;   // " EMF"
// The low byte stays 0: readers of page stores take the signature as text.
constexpr uint32_t FormatVersion = 0x00010000u;
constexpr int MaxImageSide = 32767;
constexpr uint16_t LastOpKind = TCanvasOp::opWidenPath;

using TRecord = TMetafile::TRecord;

// ---- writing

struct TMetaWriter {
    std::vector<uint8_t>& B;
    void U8(uint8_t V) { B.push_back(V); }
    void U16(uint16_t V)
    {
        B.push_back(static_cast<uint8_t>(V));
        B.push_back(static_cast<uint8_t>(V >> 8));
    }
    void U32(uint32_t V)
    {
        for (int I = 0; I < 4; ++I)
            B.push_back(static_cast<uint8_t>(V >> (8 * I)));
    }
    void I32(int32_t V) { U32(static_cast<uint32_t>(V)); }
    void F64(double V)
    {
        uint64_t Bits;
        std::memcpy(&Bits, &V, sizeof Bits);
        for (int I = 0; I < 8; ++I)
            B.push_back(static_cast<uint8_t>(Bits >> (8 * I)));
    }
    void Str(const std::string& S)
    {
        U32(static_cast<uint32_t>(S.size()));
        B.insert(B.end(), S.begin(), S.end());
    }
    void PatchU32(size_t At, uint32_t V)
    {
        for (int I = 0; I < 4; ++I)
            B[At + I] = static_cast<uint8_t>(V >> (8 * I));
    }
    void Image(const TBitmap* Bmp)
    {
        if (!Bmp || Bmp->Empty()) {
            U8(0);
            return;
        }
        U8(1);
        I32(Bmp->Width());
        I32(Bmp->Height());
        for (int Y = 0; Y < Bmp->Height(); ++Y) {
            const uint32_t* Line = Bmp->ScanLine(Y);
            for (int X = 0; X < Bmp->Width(); ++X)
                U32(Line[X] & 0xFFFFFFu);
        }
    }
};

// ---- reading

struct TMetaReader {
    const uint8_t* P;
    size_t N;
    size_t Pos = 0;
    bool Ok = true;

    bool Need(size_t Count)
    {
        if (!Ok || N - Pos < Count)
            Ok = false;
        return Ok;
    }
    uint8_t U8() { return Need(1) ? P[Pos++] : 0; }
    uint16_t U16()
    {
        if (!Need(2))
            return 0;
        const uint16_t V = static_cast<uint16_t>(P[Pos] | (P[Pos + 1] << 8));
        Pos += 2;
        return V;
    }
    uint32_t U32()
    {
        if (!Need(4))
            return 0;
        uint32_t V = 0;
        for (int I = 0; I < 4; ++I)
            V |= static_cast<uint32_t>(P[Pos + I]) << (8 * I);
        Pos += 4;
        return V;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    double F64()
    {
        if (!Need(8))
            return 0;
        uint64_t Bits = 0;
        for (int I = 0; I < 8; ++I)
            Bits |= static_cast<uint64_t>(P[Pos + I]) << (8 * I);
        Pos += 8;
        double V;
        std::memcpy(&V, &Bits, sizeof V);
        if (!std::isfinite(V))
            Ok = false;
        return V;
    }
    std::string Str()
    {
        const uint32_t Len = U32();
        if (!Need(Len))
            return {};
        std::string S(reinterpret_cast<const char*>(P + Pos), Len);
        Pos += Len;
        return S;
    }
    std::shared_ptr<const TBitmap> Image()
    {
        const uint8_t Has = U8();
        if (!Ok || Has == 0)
            return nullptr;
        if (Has != 1) {
            Ok = false;
            return nullptr;
        }
        const int32_t W = I32(), H = I32();
        if (!Ok || W < 1 || H < 1 || W > MaxImageSide || H > MaxImageSide ||
            static_cast<uint64_t>(W) * static_cast<uint64_t>(H) * 4u > N - Pos) {
            Ok = false;
            return nullptr;
        }
        auto Bmp = std::make_shared<TBitmap>(W, H);
        for (int Y = 0; Y < H; ++Y) {
            uint32_t* Line = Bmp->ScanLine(Y);
            for (int X = 0; X < W; ++X)
                Line[X] = 0xFF000000u | U32();
        }
        return Bmp;
    }
};

bool ValidRegionRect(int32_t L, int32_t T, int32_t R, int32_t B) { return R > L && B > T; }

void WriteRecord(TMetaWriter& W, const TRecord& R)
{
    const size_t Start = W.B.size();
    W.U16(R.Type);
    W.U32(0);   // size, patched below
    switch (R.Type) {
    case TRecord::rtOp: {
        const TCanvasOp& Op = R.Op;
        W.U16(Op.Kind);
        W.I32(Op.R.Left);
        W.I32(Op.R.Top);
        W.I32(Op.R.Right);
        W.I32(Op.R.Bottom);
        W.I32(Op.A);
        W.I32(Op.B);
        W.I32(Op.C);
        W.U32(static_cast<uint32_t>(Op.Pts.size()));
        for (const TPoint& P : Op.Pts) {
            W.I32(P.X);
            W.I32(P.Y);
        }
        W.Str(Op.Text);
        W.Image(Op.Image.get());
        if (Op.Region) {
            const QRegion& Q = Op.Region->Data()->Region;
            W.U8(1);
            W.U32(static_cast<uint32_t>(Q.rectCount()));
            for (const QRect& Rc : Q) {
                W.I32(Rc.left());
                W.I32(Rc.top());
                W.I32(Rc.left() + Rc.width());
                W.I32(Rc.top() + Rc.height());
            }
        } else {
            W.U8(0);
        }
        break;
    }
    case TRecord::rtPen:
        W.I32(R.I[0]);
        W.I32(R.I[1]);
        for (int I = 0; I < 4; ++I)
            W.U8(R.U[I]);
        break;
    case TRecord::rtBrush:
        W.I32(R.I[0]);
        W.U8(R.U[0]);
        W.Image(R.Image.get());
        break;
    case TRecord::rtFont:
        W.Str(R.S);
        W.I32(R.I[0]);
        W.I32(R.I[1]);
        W.I32(R.I[2]);
        W.U8(R.U[0]);
        W.U8(R.U[1]);
        W.U8(R.U[2]);
        break;
    case TRecord::rtBackground:
        W.U8(R.U[0]);
        W.I32(R.I[0]);
        break;
    case TRecord::rtTextAlign:
    case TRecord::rtCharExtra:
        W.I32(R.I[0]);
        break;
    case TRecord::rtTransform:
        for (double D : R.D)
            W.F64(D);
        break;
    }
    W.PatchU32(Start + 2, static_cast<uint32_t>(W.B.size() - Start));
}

// Minimum number of points an operation needs.
size_t PointsNeeded(uint16_t Kind)
{
    switch (Kind) {
    case TCanvasOp::opLine:
    case TCanvasOp::opArc:
    case TCanvasOp::opPie:
    case TCanvasOp::opChord:
        return 2;
    case TCanvasOp::opPolyline:
    case TCanvasOp::opPolygon:
    case TCanvasOp::opTextOut:
    case TCanvasOp::opTextRect:
    case TCanvasOp::opSetPixel:
        return 1;
    case TCanvasOp::opPolyBezier:
        return 4;
    default:
        return 0;
    }
}

bool ReadRecord(TMetaReader& In, TRecord& R)
{
    const size_t Start = In.Pos;
    const uint16_t Type = In.U16();
    const uint32_t Size = In.U32();
    if (!In.Ok || Size < 6 || Size > In.N - Start)
        return false;
    // Fields are read from exactly this record's bytes.
    TMetaReader Body{In.P, Start + Size, In.Pos};
    switch (Type) {
    case TRecord::rtOp: {
        TCanvasOp& Op = R.Op;
        const uint16_t Kind = Body.U16();
        if (Kind > LastOpKind)
            return false;
        Op.Kind = static_cast<TCanvasOp::TKind>(Kind);
        Op.R.Left = Body.I32();
        Op.R.Top = Body.I32();
        Op.R.Right = Body.I32();
        Op.R.Bottom = Body.I32();
        Op.A = Body.I32();
        Op.B = Body.I32();
        Op.C = Body.I32();
        const uint32_t Count = Body.U32();
        if (!Body.Ok || static_cast<uint64_t>(Count) * 8u > Body.N - Body.Pos)
            return false;
        Op.Pts.resize(Count);
        for (TPoint& P : Op.Pts) {
            P.X = Body.I32();
            P.Y = Body.I32();
        }
        if (Op.Pts.size() < PointsNeeded(Kind))
            return false;
        if (Kind == TCanvasOp::opPolyBezier && (Count - 1) % 3 != 0)
            return false;
        Op.Text = Body.Str();
        Op.Image = Body.Image();
        if (Kind == TCanvasOp::opStretchDraw && !Op.Image)
            return false;
        const uint8_t HasRegion = Body.U8();
        if (HasRegion > 1)
            return false;
        if (HasRegion) {
            const uint32_t Rects = Body.U32();
            if (!Body.Ok || static_cast<uint64_t>(Rects) * 16u > Body.N - Body.Pos)
                return false;
            QRegion Q;
            for (uint32_t I = 0; I < Rects; ++I) {
                const int32_t L = Body.I32(), T = Body.I32(), Rr = Body.I32(), B = Body.I32();
                if (!ValidRegionRect(L, T, Rr, B))
                    return false;
                Q += QRect(L, T, Rr - L, B - T);
            }
            Op.Region = std::make_shared<TRegion>(FromQRegion(Q));
        }
        if (Kind == TCanvasOp::opClipRegion && (!Op.Region || Op.A < RGN_AND || Op.A > RGN_COPY))
            return false;
        if (Kind == TCanvasOp::opClipPath && (Op.A < RGN_AND || Op.A > RGN_COPY))
            return false;
        break;
    }
    case TRecord::rtPen:
        R.I[0] = Body.I32();
        R.I[1] = Body.I32();
        for (int I = 0; I < 4; ++I)
            R.U[I] = Body.U8();
        if (R.U[0] > psAlternate || R.U[1] > pmNotXor || R.U[2] > pecFlat || R.U[3] > pjsMiter)
            return false;
        break;
    case TRecord::rtBrush:
        R.I[0] = Body.I32();
        R.U[0] = Body.U8();
        R.Image = Body.Image();
        if (R.U[0] > bsDiagCross)
            return false;
        break;
    case TRecord::rtFont:
        R.S = Body.Str();
        R.I[0] = Body.I32();
        R.I[1] = Body.I32();
        R.I[2] = Body.I32();
        R.U[0] = Body.U8();
        R.U[1] = Body.U8();
        R.U[2] = Body.U8();
        if (R.U[0] > 0x0F || R.U[1] > fpFixed)
            return false;
        break;
    case TRecord::rtBackground:
        R.U[0] = Body.U8();
        R.I[0] = Body.I32();
        if (R.U[0] != bkTransparent && R.U[0] != bkOpaque)
            return false;
        break;
    case TRecord::rtTextAlign:
    case TRecord::rtCharExtra:
        R.I[0] = Body.I32();
        break;
    case TRecord::rtTransform:
        for (double& D : R.D)
            D = Body.F64();
        if (R.D[0] == 0 || R.D[1] == 0)
            return false;
        break;
    default:
        return false;
    }
    R.Type = static_cast<TRecord::TType>(Type);
    // The record must end exactly where its size says.
    if (!Body.Ok || Body.Pos != Start + Size)
        return false;
    In.Pos = Start + Size;
    return true;
}

TRecord PenRecord(TPen& Pen)
{
    TRecord R;
    R.Type = TRecord::rtPen;
    R.I[0] = Pen.Color();
    R.I[1] = Pen.Width();
    R.U[0] = static_cast<uint8_t>(Pen.Style());
    R.U[1] = static_cast<uint8_t>(pmCopy);   // raster modes play as copy
    R.U[2] = static_cast<uint8_t>(Pen.EndCap());
    R.U[3] = static_cast<uint8_t>(Pen.JoinStyle());
    return R;
}

TRecord BrushRecord(TBrush& Brush)
{
    TRecord R;
    R.Type = TRecord::rtBrush;
    R.I[0] = Brush.Color();
    R.U[0] = static_cast<uint8_t>(Brush.Style());
    if (Brush.Bitmap()) {
        auto Copy = std::make_shared<TBitmap>();
        Copy->Assign(Brush.Bitmap());
        R.Image = Copy;
    }
    return R;
}

TRecord FontRecord(TFont& Font)
{
    TRecord R;
    R.Type = TRecord::rtFont;
    R.S = Font.Name();
    R.I[0] = Font.Height();
    R.I[1] = Font.Color();
    R.I[2] = Font.Orientation();
    R.U[0] = Font.Style().Bits();
    R.U[1] = static_cast<uint8_t>(Font.Pitch());
    R.U[2] = Font.Charset();
    return R;
}

void ApplyFont(TFont& Font, const TRecord& R)
{
    Font.SetName(R.S);
    Font.SetHeight(R.I[0]);
    Font.SetColor(R.I[1]);
    Font.SetOrientation(R.I[2]);
    Font.SetStyle(TFontStyles::FromBits(R.U[0]));
    Font.SetPitch(static_cast<TFontPitch>(R.U[1]));
    Font.SetCharset(R.U[2]);
}

}  // namespace

// ------------------------------------------------------------------ TMetafile

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

bool TMetafile::Empty() const { return FRecords.empty(); }
int TMetafile::RecordCount() const { return static_cast<int>(FRecords.size()); }

void TMetafile::SetWidth(int Value) { FWidth = std::max(0, Value); }
void TMetafile::SetHeight(int Value) { FHeight = std::max(0, Value); }
int TMetafile::MMWidth() const { return static_cast<int>(std::lround(FWidth * 2540.0 / FPixelsPerInch)); }
int TMetafile::MMHeight() const { return static_cast<int>(std::lround(FHeight * 2540.0 / FPixelsPerInch)); }
void TMetafile::SetMMWidth(int Value) { SetWidth(static_cast<int>(std::lround(Value * FPixelsPerInch / 2540.0))); }
void TMetafile::SetMMHeight(int Value) { SetHeight(static_cast<int>(std::lround(Value * FPixelsPerInch / 2540.0))); }

void TMetafile::SetPixelsPerInch(int Value)
{
    if (Value > 0)
        FPixelsPerInch = Value;
}

void TMetafile::Clear()
{
    FRecords.clear();
    FBounds = {};
}

void TMetafile::Assign(TPersistent* Source)
{
    if (auto* M = dynamic_cast<TMetafile*>(Source)) {
        if (M == this)
            return;
        FRecords = M->FRecords;   // images are shared read-only
        FWidth = M->FWidth;
        FHeight = M->FHeight;
        FPixelsPerInch = M->FPixelsPerInch;
        FBounds = M->FBounds;
        if (OnChange)
            OnChange(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TMetafile::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    if (!ACanvas || FRecords.empty())
        return;
    const int W = FWidth > 0 ? FWidth : FBounds.Right;
    const int H = FHeight > 0 ? FHeight : FBounds.Bottom;
    if (W <= 0 || H <= 0 || Rect.Width() == 0 || Rect.Height() == 0)
        return;
    TCanvas& C = *ACanvas;

    // Save the target's state.
    TPen SavedPen;
    SavedPen.Assign(C.Pen());
    TBrush SavedBrush;
    SavedBrush.Assign(C.Brush());
    TFont SavedFont;
    SavedFont.SetPixelsPerInch(C.Font()->PixelsPerInch());
    SavedFont.Assign(C.Font());
    const TBackgroundMode SavedBkMode = C.BackgroundMode();
    const TColor SavedBkColor = C.BackgroundColor();
    const unsigned SavedAlign = C.TextAlign();
    const int SavedExtra = C.TextCharacterExtra();
    const TCanvasTransform SavedTransform = C.Transform();
    const TPoint SavedPenPos = C.PenPos();
    const TCanvas::TClipState SavedClip = C.SaveClip();

    const TCanvasTransform Base =
        TCanvasTransform{static_cast<double>(Rect.Width()) / W, static_cast<double>(Rect.Height()) / H,
                         static_cast<double>(Rect.Left), static_cast<double>(Rect.Top)}
            .Then(SavedTransform);
    C.LimitClip();
    C.SetTransform(Base);
    {
        TPen P;
        C.Pen()->Assign(&P);
        TBrush B;
        C.Brush()->Assign(&B);
    }

    for (const TRecord& R : FRecords) {
        switch (R.Type) {
        case TRecord::rtPen: {
            TPen& P = *C.Pen();
            P.SetColor(R.I[0]);
            P.SetWidth(R.I[1]);
            P.SetStyle(static_cast<TPenStyle>(R.U[0]));
            P.SetMode(pmCopy);
            P.SetEndCap(static_cast<TPenEndCap>(R.U[2]));
            P.SetJoinStyle(static_cast<TPenJoinStyle>(R.U[3]));
            break;
        }
        case TRecord::rtBrush: {
            TBrush& B = *C.Brush();
            B.SetColor(R.I[0]);
            B.SetStyle(static_cast<TBrushStyle>(R.U[0]));
            B.SetBitmap(const_cast<TBitmap*>(R.Image.get()));
            break;
        }
        case TRecord::rtFont:
            ApplyFont(*C.Font(), R);
            break;
        case TRecord::rtBackground:
            C.SetBackgroundMode(static_cast<TBackgroundMode>(R.U[0]));
            C.SetBackgroundColor(R.I[0]);
            break;
        case TRecord::rtTextAlign:
            C.SetTextAlign(static_cast<unsigned>(R.I[0]));
            break;
        case TRecord::rtCharExtra:
            C.SetTextCharacterExtra(R.I[0]);
            break;
        case TRecord::rtTransform:
            C.SetTransform(TCanvasTransform{R.D[0], R.D[1], R.D[2], R.D[3]}.Then(Base));
            break;
        case TRecord::rtOp: {
            const TCanvasOp& Op = R.Op;
            if (Op.Kind == TCanvasOp::opClipRegion) {
                // Recorded in metafile coordinates.
                const TCanvasTransform Current = C.Transform();
                C.SetTransform(Base);
                C.ClipWithLogicalRegion(*Op.Region, static_cast<TRegionCombine>(Op.A));
                C.SetTransform(Current);
            } else if (Op.Kind == TCanvasOp::opClipNone) {
                C.SelectClipRegion(nullptr);
            } else {
                C.Perform(Op);
            }
            break;
        }
        }
    }

    C.SetTransform(SavedTransform);
    C.Pen()->Assign(&SavedPen);
    C.Brush()->Assign(&SavedBrush);
    C.Font()->Assign(&SavedFont);
    C.SetBackgroundMode(SavedBkMode);
    C.SetBackgroundColor(SavedBkColor);
    C.SetTextAlign(SavedAlign);
    C.SetTextCharacterExtra(SavedExtra);
    C.SetPenPos(SavedPenPos);
    C.RestoreClip(SavedClip);
}

std::vector<uint8_t> TMetafile::SaveToBytes() const
{
    std::vector<uint8_t> Out;
    TMetaWriter W{Out};
    W.U32(1);
    W.U32(HeaderSize);
    W.I32(FBounds.Left);
    W.I32(FBounds.Top);
    W.I32(FBounds.Right);
    W.I32(FBounds.Bottom);
    W.I32(FWidth);
    W.I32(FHeight);
    W.I32(FPixelsPerInch);
    W.I32(FPixelsPerInch);
    W.U32(Signature);
    W.U32(FormatVersion);
    W.U32(0);   // total size, patched below
    W.U32(static_cast<uint32_t>(FRecords.size()));
    W.U32(0);
    W.U32(0);
    for (const TRecord& R : FRecords)
        WriteRecord(W, R);
    W.PatchU32(48, static_cast<uint32_t>(Out.size()));
    return Out;
}

bool TMetafile::StoredSize(const uint8_t* Data, size_t Size, uint32_t& Bytes)
{
    if (!Data || Size < HeaderSize)
        return false;
    TMetaReader In{Data, Size};
    if (In.U32() != 1 || In.U32() != HeaderSize)
        return false;
    In.Pos = 40;
    if (In.U32() != Signature || In.U32() != FormatVersion)
        return false;
    Bytes = In.U32();
    return Bytes >= HeaderSize;
}

bool TMetafile::LoadFromBytes(const uint8_t* Data, size_t Size)
{
    uint32_t Total = 0;
    if (!StoredSize(Data, Size, Total) || Total > Size)
        return false;
    TMetaReader In{Data, Total};
    In.Pos = 8;
    TRect Bounds;
    Bounds.Left = In.I32();
    Bounds.Top = In.I32();
    Bounds.Right = In.I32();
    Bounds.Bottom = In.I32();
    const int32_t W = In.I32(), H = In.I32(), PpiX = In.I32(), PpiY = In.I32();
    In.Pos = 52;
    const uint32_t Count = In.U32();
    In.Pos = HeaderSize;
    if (!In.Ok || W < 0 || H < 0 || PpiX <= 0 || PpiX > 100000 || PpiY <= 0 || PpiY > 100000)
        return false;
    // Every record takes at least its 6-byte head.
    if (static_cast<uint64_t>(Count) * 6u > Total - HeaderSize)
        return false;
    std::vector<TRecord> Records;
    Records.reserve(Count);
    for (uint32_t I = 0; I < Count; ++I) {
        TRecord R;
        if (!ReadRecord(In, R))
            return false;
        Records.push_back(std::move(R));
    }
    if (In.Pos != Total)
        return false;
    FRecords = std::move(Records);
    FBounds = Bounds;
    FWidth = W;
    FHeight = H;
    FPixelsPerInch = PpiX;
    if (OnChange)
        OnChange(this);
    return true;
}

void TMetafile::SaveToFile(const std::string& FileName)
{
    const std::vector<uint8_t> Bytes = SaveToBytes();
    QFile F(QString::fromStdString(FileName));
    if (!F.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        F.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<qint64>(Bytes.size())) != static_cast<qint64>(Bytes.size()) ||
        !F.flush())
        throw EInvalidGraphicOperation("Cannot write the metafile " + FileName);
}

void TMetafile::LoadFromFile(const std::string& FileName)
{
    QFile F(QString::fromStdString(FileName));
    if (!F.open(QIODevice::ReadOnly))
        throw EInvalidGraphicOperation("Cannot read the metafile " + FileName);
    const QByteArray Bytes = F.readAll();
    if (!LoadFromBytes(reinterpret_cast<const uint8_t*>(Bytes.constData()), static_cast<size_t>(Bytes.size())))
        throw EInvalidGraphicOperation("Not a valid metafile: " + FileName);
}

std::vector<TMetafile::TTextItem> TMetafile::TextItems() const
{
    std::vector<TTextItem> Items;
    TCanvas Probe;   // no surface: measures only
    Probe.Font()->SetPixelsPerInch(FPixelsPerInch);
    TCanvasTransform T;
    for (const TRecord& R : FRecords) {
        if (R.Type == TRecord::rtFont) {
            ApplyFont(*Probe.Font(), R);
        } else if (R.Type == TRecord::rtTextAlign) {
            Probe.SetTextAlign(static_cast<unsigned>(R.I[0]));
        } else if (R.Type == TRecord::rtCharExtra) {
            Probe.SetTextCharacterExtra(R.I[0]);
        } else if (R.Type == TRecord::rtTransform) {
            T = {R.D[0], R.D[1], R.D[2], R.D[3]};
        } else if (R.Type == TRecord::rtOp && !R.Op.Text.empty() &&
                   (R.Op.Kind == TCanvasOp::opTextOut || R.Op.Kind == TCanvasOp::opTextRect ||
                    R.Op.Kind == TCanvasOp::opTextRectFormat)) {
            const TCanvasOp& Op = R.Op;
            TRect B;
            if (Op.Kind == TCanvasOp::opTextRectFormat) {
                B = Op.R;
            } else {
                const TSize E = Probe.TextExtent(Op.Text);
                const unsigned A = Probe.TextAlign();
                int X = Op.Pts[0].X, Y = Op.Pts[0].Y;
                if ((A & TA_CENTER) == TA_CENTER)
                    X -= E.cx / 2;
                else if (A & TA_RIGHT)
                    X -= E.cx;
                if ((A & TA_BASELINE) == TA_BASELINE)
                    Y -= Probe.TextAscent();
                else if (A & TA_BOTTOM)
                    Y -= E.cy;
                B = Bounds(X, Y, E.cx, E.cy);
            }
            auto Map = [&](double V, double S, double D) { return static_cast<int>(std::lround(V * S + D)); };
            B = {Map(B.Left, T.ScaleX, T.DX), Map(B.Top, T.ScaleY, T.DY), Map(B.Right, T.ScaleX, T.DX), Map(B.Bottom, T.ScaleY, T.DY)};
            Items.push_back({Op.Text, B});
        }
    }
    return Items;
}

bool TMetafile::ContainsText(const std::string& Text, bool CaseSensitive) const
{
    const QString Needle = QString::fromStdString(Text);
    const Qt::CaseSensitivity Cs = CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (const TRecord& R : FRecords)
        if (R.Type == TRecord::rtOp && !R.Op.Text.empty() && QString::fromStdString(R.Op.Text).contains(Needle, Cs))
            return true;
    return false;
}

// ------------------------------------------------------------------ TMetafileCanvas

TMetafileCanvas::TMetafileCanvas(TMetafile* AMetafile, TCanvas* ReferenceDevice) : FMetafile(AMetafile)
{
    if (ReferenceDevice)
        FPixelsPerInch = ReferenceDevice->PixelsPerInchY();
    if (Font()->PixelsPerInch() != FPixelsPerInch) {
        const int Points = Font()->Size();
        Font()->SetPixelsPerInch(FPixelsPerInch);
        Font()->SetSize(Points);
    }
    FLastFont.SetPixelsPerInch(FPixelsPerInch);
}

TMetafileCanvas::~TMetafileCanvas()
{
    if (!FMetafile)
        return;
    FMetafile->FRecords = std::move(FRecords);
    FMetafile->FPixelsPerInch = FPixelsPerInch;
    FMetafile->FBounds = FAnyBounds ? FBounds : TRect{};
    if (FMetafile->FWidth <= 0)
        FMetafile->FWidth = std::max(0, FMetafile->FBounds.Right);
    if (FMetafile->FHeight <= 0)
        FMetafile->FHeight = std::max(0, FMetafile->FBounds.Bottom);
    if (FMetafile->OnChange)
        FMetafile->OnChange(FMetafile);
}

TSize TMetafileCanvas::SurfaceSize() const
{
    if (FMetafile && FMetafile->Width() > 0 && FMetafile->Height() > 0)
        return {FMetafile->Width(), FMetafile->Height()};
    return {0x3FFFFFFF, 0x3FFFFFFF};
}

void TMetafileCanvas::RecordState()
{
    const bool All = !FStateRecorded;
    FStateRecorded = true;
    if (All || !FLastPen.SameAs(*Pen())) {
        FLastPen.Assign(Pen());
        FRecords.push_back(PenRecord(*Pen()));
    }
    bool BrushChanged = false;
    if (All || !FLastBrush.SameAs(*Brush())) {
        FLastBrush.Assign(Brush());
        FRecords.push_back(BrushRecord(*Brush()));
        BrushChanged = true;
    }
    if (All || !FLastFont.SameAs(*Font())) {
        FLastFont.Assign(Font());
        FRecords.push_back(FontRecord(*Font()));
    }
    // After a brush: playing the brush back resets the background.
    if (All || BrushChanged || FLastBkMode != BackgroundMode() || FLastBkColor != BackgroundColor()) {
        FLastBkMode = BackgroundMode();
        FLastBkColor = BackgroundColor();
        TMetafile::TRecord R;
        R.Type = TMetafile::TRecord::rtBackground;
        R.U[0] = static_cast<uint8_t>(FLastBkMode);
        R.I[0] = FLastBkColor;
        FRecords.push_back(R);
    }
    if (All || FLastTextAlign != TextAlign()) {
        FLastTextAlign = TextAlign();
        TMetafile::TRecord R;
        R.Type = TMetafile::TRecord::rtTextAlign;
        R.I[0] = static_cast<int32_t>(FLastTextAlign);
        FRecords.push_back(R);
    }
    if (All || FLastCharExtra != TextCharacterExtra()) {
        FLastCharExtra = TextCharacterExtra();
        TMetafile::TRecord R;
        R.Type = TMetafile::TRecord::rtCharExtra;
        R.I[0] = FLastCharExtra;
        FRecords.push_back(R);
    }
    if ((All && !Transform().IsIdentity()) || (!All && !(FLastTransform == Transform()))) {
        FLastTransform = Transform();
        TMetafile::TRecord R;
        R.Type = TMetafile::TRecord::rtTransform;
        R.D[0] = FLastTransform.ScaleX;
        R.D[1] = FLastTransform.ScaleY;
        R.D[2] = FLastTransform.DX;
        R.D[3] = FLastTransform.DY;
        FRecords.push_back(R);
    }
}

void TMetafileCanvas::Perform(const TCanvasOp& Op)
{
    RecordState();
    TMetafile::TRecord R;
    R.Type = TMetafile::TRecord::rtOp;
    R.Op = Op;
    if (Op.Image) {
        // The caller's bitmap may change or go; keep a copy.
        auto Copy = std::make_shared<TBitmap>();
        Copy->Assign(const_cast<TBitmap*>(Op.Image.get()));
        R.Op.Image = Copy;
    }
    FRecords.push_back(std::move(R));

    // Bounds of what is drawn, in metafile coordinates.
    TRect B;
    bool Has = false;
    if (Op.Kind == TCanvasOp::opTextOut || Op.Kind == TCanvasOp::opTextRect) {
        const TSize E = TextExtent(Op.Text);
        const int X = Op.Pts[0].X, Y = Op.Pts[0].Y;
        B = {X - E.cx, Y - E.cy, X + E.cx, Y + E.cy};
        if (Op.Kind == TCanvasOp::opTextRect)
            IntersectRect(B, B, Op.R);
        Has = true;
    } else if (Op.Kind <= TCanvasOp::opPolyBezier) {
        if (!Op.Pts.empty() && Op.Kind != TCanvasOp::opArc && Op.Kind != TCanvasOp::opPie && Op.Kind != TCanvasOp::opChord) {
            B = {Op.Pts[0].X, Op.Pts[0].Y, Op.Pts[0].X + 1, Op.Pts[0].Y + 1};
            for (const TPoint& P : Op.Pts)
                UnionRect(B, B, TRect{P.X, P.Y, P.X + 1, P.Y + 1});
        } else {
            B = {std::min(Op.R.Left, Op.R.Right), std::min(Op.R.Top, Op.R.Bottom), std::max(Op.R.Left, Op.R.Right),
                 std::max(Op.R.Top, Op.R.Bottom)};
        }
        Has = true;
    }
    if (Has) {
        const TCanvasTransform& T = Transform();
        auto Map = [](double V, double S, double D) { return static_cast<int>(std::lround(V * S + D)); };
        TRect M{Map(B.Left, T.ScaleX, T.DX), Map(B.Top, T.ScaleY, T.DY), Map(B.Right, T.ScaleX, T.DX), Map(B.Bottom, T.ScaleY, T.DY)};
        M = {std::min(M.Left, M.Right), std::min(M.Top, M.Bottom), std::max(M.Left, M.Right), std::max(M.Top, M.Bottom)};
        if (!FAnyBounds) {
            FBounds = M;
            FAnyBounds = true;
        } else {
            FBounds = {std::min(FBounds.Left, M.Left), std::min(FBounds.Top, M.Top), std::max(FBounds.Right, M.Right),
                       std::max(FBounds.Bottom, M.Bottom)};
        }
    }
}
