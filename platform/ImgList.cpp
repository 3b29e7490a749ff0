#include "platform/ImgList.h"

#include "platform/private/CanvasQt.h"
#include "platform/private/ControlsQt.h"

#include <QPainter>
#include <QSvgRenderer>

namespace {

// The colour that marks the transparent pixels of an image added with a mask.
constexpr TColor MaskKey = 0xFF00FF;

// A copy of Image at the list's size: cut, or padded with Fill.
std::unique_ptr<TBitmap> fitted(TBitmap* Image, int Width, int Height, QColor Fill)
{
    auto b = std::make_unique<TBitmap>(Width, Height);
    b->Data()->Flush();
    b->Data()->Image.fill(Fill);
    if (Image && !Image->Empty()) {
        Image->Data()->Flush();
        QPainter p(&b->Data()->Image);
        p.drawImage(0, 0, Image->Data()->Image);
    }
    return b;
}

}  // namespace

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner)
{
}

TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::SetWidth(int Value)
{
    if (Value == FWidth || Value <= 0)
        return;
    FWidth = Value;
    Clear();
}

void TCustomImageList::SetHeight(int Value)
{
    if (Value == FHeight || Value <= 0)
        return;
    FHeight = Value;
    Clear();
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask)
{
    std::unique_ptr<TBitmap> b = fitted(Image, FWidth, FHeight, ToQColor(Mask ? MaskKey : clWhite));
    if (Mask && !Mask->Empty()) {
        Mask->Data()->Flush();
        const QImage& m = Mask->Data()->Image;
        QImage& img = b->Data()->Image;
        for (int y = 0; y < std::min(FHeight, m.height()); ++y)
            for (int x = 0; x < std::min(FWidth, m.width()); ++x)
                if ((m.pixel(x, y) & 0xFFFFFFu) == 0xFFFFFFu)
                    img.setPixel(x, y, ToQColor(MaskKey).rgb());
        b->SetTransparent(true);
        b->SetTransparentColor(MaskKey);
    }
    FImages.push_back(std::move(b));
    Changed();
    return Count() - 1;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor)
{
    std::unique_ptr<TBitmap> b = fitted(Image, FWidth, FHeight, ToQColor(MaskColor == clDefault ? clWhite : MaskColor));
    b->SetTransparent(true);
    b->SetTransparentColor(MaskColor);
    FImages.push_back(std::move(b));
    Changed();
    return Count() - 1;
}

int TCustomImageList::AddSvg(const std::string& Svg)
{
    QSvgRenderer renderer(QByteArray(Svg.data(), static_cast<qsizetype>(Svg.size())));
    if (!renderer.isValid())
        return -1;
    auto b = std::make_unique<TBitmap>(FWidth, FHeight);
    b->Data()->Flush();
    QImage& img = b->Data()->Image;
    img = QImage(FWidth, FHeight, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p, QRectF(0, 0, FWidth, FHeight));
    }
    FImages.push_back(std::move(b));
    Changed();
    return Count() - 1;
}

void TCustomImageList::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    FImages.erase(FImages.begin() + Index);
    Changed();
}

void TCustomImageList::Clear()
{
    if (FImages.empty())
        return;
    FImages.clear();
    Changed();
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image) const
{
    const TBitmap* b = this->Image(Index);
    if (!b || !Image)
        return false;
    Image->Assign(const_cast<TBitmap*>(b));
    return true;
}

const TBitmap* TCustomImageList::Image(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FImages[static_cast<size_t>(Index)].get();
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) const
{
    const TBitmap* b = Image(Index);
    if (!Canvas || !b)
        return;
    if (Enabled) {
        Canvas->Draw(X, Y, const_cast<TBitmap*>(b));
        return;
    }
    // Greyed: every opaque pixel in the grey of disabled text.
    TBitmap grey;
    grey.Assign(const_cast<TBitmap*>(b));
    grey.Data()->Flush();
    QImage& img = grey.Data()->Image;
    const QRgb key = b->Transparent() ? (ToQColor(b->TransparentColor()).rgb() & 0xFFFFFFu) : 0x1000000u;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y) & 0xFFFFFFu;
            if (p == key)
                continue;
            const int g = qGray(p) < 192 ? 128 : 255;
            img.setPixel(x, y, qRgb(g, g, g));
        }
    if (!grey.Transparent()) {
        grey.SetTransparent(true);
        grey.SetTransparentColor(clWhite);
    }
    Canvas->Draw(X, Y, &grey);
}

void TCustomImageList::Changed()
{
    if (OnChange)
        OnChange(this);
}

QPixmap ImageListPixmap(const TCustomImageList* List, int Index, bool Enabled)
{
    const TBitmap* b = List ? List->Image(Index) : nullptr;
    if (!b)
        return QPixmap();
    b->Data()->Flush();
    QImage img = b->Data()->Image.convertToFormat(QImage::Format_ARGB32);
    if (b->Transparent()) {
        const QRgb key = b->TransparentColor() == clDefault ? (img.pixel(0, img.height() - 1) & 0xFFFFFFu)
                                                            : (ToQColor(b->TransparentColor()).rgb() & 0xFFFFFFu);
        for (int y = 0; y < img.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if ((line[x] & 0xFFFFFFu) == key)
                    line[x] = 0;
        }
    }
    if (!Enabled)
        for (int y = 0; y < img.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(line[x]) != 0) {
                    const int g = qGray(line[x]) < 192 ? 128 : 255;
                    line[x] = qRgb(g, g, g);
                }
        }
    return QPixmap::fromImage(img);
}
