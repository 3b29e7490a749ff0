#include "platform/Buttons.h"

#include "platform/private/ControlsQt.h"
#include "platform/Menus.h"

#include <QIcon>
#include <QToolButton>

#include <algorithm>

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner, NewWidget<TBridged<QToolButton>>(), false), FGlyph(std::make_unique<TBitmap>())
{
    auto* b = static_cast<QToolButton*>(Handle());
    b->setFocusPolicy(Qt::NoFocus);
    QObject::connect(b, &QToolButton::clicked, [this](bool) { InvokeGuarded([this] { Click(); }); });
    FGlyph->OnChange = [this](TObject*) { UpdateButton(); };
    SetBounds(0, 0, 23, 22);
    UpdateButton();
}

TSpeedButton::~TSpeedButton()
{
    FGlyph->OnChange = nullptr;
}

void TSpeedButton::SetGlyph(TBitmap* Value)
{
    FGlyph->Assign(Value);
    UpdateButton();
}

void TSpeedButton::SetNumGlyphs(int Value)
{
    FNumGlyphs = std::clamp(Value, 1, 4);
    UpdateButton();
}

void TSpeedButton::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (FDown == Value)
        return;
    FDown = Value;
    if (Value && Parent())
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* s = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
                s && s != this && s->FGroupIndex == FGroupIndex)
                s->SetDown(false);
    UpdateButton();
}

void TSpeedButton::SetFlat(bool Value)
{
    FFlat = Value;
    UpdateButton();
}

void TSpeedButton::Click()
{
    if (FGroupIndex > 0)
        SetDown(FAllowAllUp ? !FDown : true);
    UpdateButton();
    TGraphicControl::Click();
}

void TSpeedButton::TextChanged()
{
    UpdateButton();
}

void TSpeedButton::EnabledChanged()
{
    TGraphicControl::EnabledChanged();
    UpdateButton();
}

void TSpeedButton::UpdateButton()
{
    auto* b = static_cast<QToolButton*>(Handle());
    if (!b)
        return;
    b->setAutoRaise(FFlat);
    b->setCheckable(FGroupIndex > 0);
    b->setChecked(FDown);
    b->setText(QString::fromStdString(StripHotkey(Caption())));
    QIcon icon;
    if (!FGlyph->Empty()) {
        FGlyph->Data()->Flush();
        QImage all = FGlyph->Data()->Image.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = all.pixel(0, all.height() - 1) & 0xFFFFFFu;
        for (int y = 0; y < all.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(all.scanLine(y));
            for (int x = 0; x < all.width(); ++x)
                if ((line[x] & 0xFFFFFFu) == key)
                    line[x] = 0;
        }
        const int w = all.width() / FNumGlyphs;
        icon.addPixmap(QPixmap::fromImage(all.copy(0, 0, w, all.height())), QIcon::Normal);
        if (FNumGlyphs >= 2)
            icon.addPixmap(QPixmap::fromImage(all.copy(w, 0, w, all.height())), QIcon::Disabled);
        b->setIconSize(QSize(w, all.height()));
    }
    b->setIcon(icon);
    b->setToolButtonStyle(Caption().empty() ? Qt::ToolButtonIconOnly
                                            : icon.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonTextBesideIcon);
}

void TToolSpeedButton::SetToolType(TToolType Value)
{
    if (FToolType == Value)
        return;
    FToolType = Value;
    // A 10 x 10 glyph drawn in black on the transparent key colour (the
    // bottom-left pixel).
    TBitmap Glyph(10, 10);
    TCanvas* C = Glyph.Canvas();
    C->Brush()->SetColor(clOlive);
    C->FillRect(TRect{0, 0, 10, 10});
    C->Pen()->SetColor(clBlack);
    switch (Value) {
    case ttClose:
        for (int d = 0; d < 2; ++d) {
            C->MoveTo(1 + d, 1);
            C->LineTo(9 + d, 9);
            C->MoveTo(8 + d, 1);
            C->LineTo(0 + d, 9);
        }
        break;
    case ttMaximize:
        C->Brush()->SetColor(clBlack);
        C->FrameRect(TRect{0, 0, 10, 9});
        C->FillRect(TRect{0, 0, 10, 2});
        break;
    case ttNone:
        Glyph.SetSize(0, 0);
        break;
    }
    SetGlyph(&Glyph);
}
