#include "platform/Clipbrd.h"

#include "platform/Application.h"
#include "platform/Graphics.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <cstring>

namespace {

QClipboard* System()
{
    EnsureApplication();
    return QGuiApplication::clipboard();
}

}  // namespace

void TClipboard::SetText(const std::string& Value)
{
    System()->setText(QString::fromStdString(Value));
}

std::string TClipboard::AsText() const
{
    return System()->text().toStdString();
}

void TClipboard::SetBitmap(const TBitmap& Value)
{
    QImage Image(Value.Width(), Value.Height(), QImage::Format_RGB32);
    for (int Y = 0; Y < Value.Height(); ++Y)
        std::memcpy(Image.scanLine(Y), Value.ScanLine(Y), sizeof(uint32_t) * static_cast<size_t>(Value.Width()));
    System()->setImage(Image);
}

bool TClipboard::HasBitmap() const
{
    const QMimeData* Data = System()->mimeData();
    return Data != nullptr && Data->hasImage();
}

bool TClipboard::GetBitmap(TBitmap& Dest) const
{
    if (!HasBitmap())
        return false;
    const QImage Image = System()->image().convertToFormat(QImage::Format_RGB32);
    if (Image.isNull())
        return false;
    Dest.SetSize(Image.width(), Image.height());
    for (int Y = 0; Y < Image.height(); ++Y)
        std::memcpy(Dest.ScanLine(Y), Image.constScanLine(Y), sizeof(uint32_t) * static_cast<size_t>(Image.width()));
    return true;
}

TClipboard* Clipboard()
{
    static TClipboard Instance;
    return &Instance;
}
