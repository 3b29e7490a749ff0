#include "platform/LookOut.h"

#include "platform/private/ControlsQt.h"
#include "platform/Menus.h"

#include <QPushButton>

#include <algorithm>

TLookOutPage::TLookOutPage(TComponent* AOwner) : TWinControl(AOwner)
{
}

TLookOutBar* TLookOutPage::Bar() const
{
    return dynamic_cast<TLookOutBar*>(Parent());
}

void TLookOutPage::TextChanged()
{
    if (TLookOutBar* bar = Bar())
        bar->UpdateHeaders();
}

struct TLookOutBar::TData {
    std::vector<QPushButton*> Headers;
};

TLookOutBar::TLookOutBar(TComponent* AOwner) : TWinControl(AOwner), FData(std::make_unique<TData>())
{
    SetBounds(0, 0, 100, 200);
}

TLookOutBar::~TLookOutBar()
{
    // The pages go before the headers' window does.
    while (ControlCount() > 0)
        delete Controls(ControlCount() - 1);
}

int TLookOutBar::PageCount() const
{
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (dynamic_cast<TLookOutPage*>(Controls(i)))
            ++n;
    return n;
}

TLookOutPage* TLookOutBar::Pages(int Index) const
{
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* p = dynamic_cast<TLookOutPage*>(Controls(i)))
            if (Index-- == 0)
                return p;
    return nullptr;
}

int TLookOutBar::HeaderHeight() const
{
    return QFontMetrics(Handle()->font()).height() + 8;
}

void TLookOutBar::UpdateHeaders()
{
    auto& headers = FData->Headers;
    const int n = PageCount();
    while (static_cast<int>(headers.size()) > n) {
        delete headers.back();
        headers.pop_back();
    }
    while (static_cast<int>(headers.size()) < n) {
        auto* b = new QPushButton(Handle());
        const int index = static_cast<int>(headers.size());
        QObject::connect(b, &QPushButton::clicked, [this, index] { InvokeGuarded([this, index] { WidgetHeaderClicked(index); }); });
        b->show();
        headers.push_back(b);
    }
    for (int i = 0; i < n; ++i)
        headers[static_cast<size_t>(i)]->setText(QString::fromStdString(StripHotkey(Pages(i)->Caption())));
    Realign();
}

void TLookOutBar::ControlsChanged()
{
    if (!FActivePage && PageCount() > 0)
        FActivePage = Pages(0);
    bool stillHere = false;
    for (int i = 0; i < PageCount(); ++i)
        stillHere = stillHere || Pages(i) == FActivePage;
    if (!stillHere)
        FActivePage = PageCount() > 0 ? Pages(0) : nullptr;
    UpdateHeaders();
}

void TLookOutBar::SetActivePage(TLookOutPage* Value)
{
    if (!Value || Value->Parent() != this || Value == FActivePage)
        return;
    FActivePage = Value;
    Realign();
}

void TLookOutBar::WidgetHeaderClicked(int Index)
{
    TLookOutPage* p = Pages(Index);
    if (!p || p == FActivePage)
        return;
    SetActivePage(p);
    if (OnChange)
        OnChange(this);
}

void TLookOutBar::AlignControls(TControl* AControl, TRect& Rect)
{
    const int n = PageCount();
    const int h = HeaderHeight();
    int active = 0;
    for (int i = 0; i < n; ++i)
        if (Pages(i) == FActivePage)
            active = i;
    int y = Rect.Top;
    const int bottomHeaders = n - 1 - active;
    for (int i = 0; i < n; ++i) {
        TLookOutPage* p = Pages(i);
        QPushButton* header = i < static_cast<int>(FData->Headers.size()) ? FData->Headers[static_cast<size_t>(i)] : nullptr;
        if (i <= active) {
            if (header)
                header->setGeometry(Rect.Left, y, Rect.Width(), h);
            y += h;
        } else if (header) {
            header->setGeometry(Rect.Left, Rect.Bottom - (n - i) * h, Rect.Width(), h);
        }
        if (i == active) {
            const int bottom = std::max(y, Rect.Bottom - bottomHeaders * h);
            p->SetBounds(Rect.Left, y, Rect.Width(), bottom - y);
            p->SetVisible(true);
        } else {
            p->SetVisible(false);
        }
    }
}
