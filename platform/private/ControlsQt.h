// The Qt side of the controls, for platform code only: the widget template
// that hands Qt's events to its control, the backing image of painting
// controls, and conversions of keys, buttons and cursors.
#pragma once

#include "platform/Application.h"
#include "platform/private/CanvasQt.h"
#include "platform/Controls.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPixmap>
#include <QPointer>
#include <QResizeEvent>
#include <QWheelEvent>
#include <QWidget>

#include <functional>

// What a widget knows of its control. Cleared before the control goes.
class TWidgetLink {
public:
    virtual ~TWidgetLink() = default;
    TControl* Control = nullptr;
};

// The control a widget belongs to, nullptr for foreign widgets.
TControl* ControlOf(const QWidget* Widget);

TShiftState ShiftFromQt(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons);
TMouseButton ButtonFromQt(Qt::MouseButton Button);
// Virtual key code of a Qt key, 0 when there is none.
uint16_t VirtualKeyFromQt(int Key);
// Qt key of a virtual key code, 0 when there is none.
int QtKeyFromVirtualKey(uint16_t Key);
Qt::CursorShape CursorShapeOf(TCursor Cursor);

class TCustomImageList;
// Image Index of List with its transparent pixels clear; null when absent.
QPixmap ImageListPixmap(const TCustomImageList* List, int Index, bool Enabled = true);

// Creates a widget once the Qt application exists.
template <class W, class... Args>
W* NewWidget(Args&&... A)
{
    EnsureApplication();
    return new W(std::forward<Args>(A)...);
}

// Runs Call guarded (exceptions go to the application) and tells whether
// Widget still exists afterwards: a handler may free the control.
inline bool GuardedAlive(QWidget* Widget, const std::function<void()>& Call)
{
    QPointer<QWidget> alive(Widget);
    InvokeGuarded(Call);
    return !alive.isNull();
}

// The backing image of a painting control. Paint draws on it through
// Canvas; a paint event copies the exposed rectangle to the screen. Drawing
// outside Paint asks the window to show just the rectangle it touched.
class TControlPainter {
public:
    explicit TControlPainter(TControl* AControl);
    TCanvas* Canvas()
    {
        EnsureImage();
        return &FCanvas;
    }
    // Keeps the image at the control's size, filled with its colour. The
    // image is made when it is first drawn on, painted or read, so that a
    // control sized and never shown (a report form being read) costs none.
    void Resize(int AWidth, int AHeight);
    // The next paint event runs Paint on the whole image.
    void Invalidate() { FStale = true; }
    bool Stale() const { return FStale; }
    void PaintEvent(QWidget* Widget, const QRect& Exposed);
    // What the last paint event copied to the screen, and how often Paint ran.
    QRect LastExposed() const { return FLastExposed; }
    // The image exists (it is made when first needed).
    bool ImageMade() const { return !FImage.isNull(); }
    int PaintCount() const { return FPaintCount; }
    const QImage& Image()
    {
        EnsureImage();
        FCanvas.Flush();
        return FImage;
    }

private:
    // The image at the size asked for, filled with the control's colour.
    void EnsureImage();

    TControl* FControl;
    QImage FImage;
    QSize FSize{0, 0};
    TQtCanvas FCanvas;
    bool FStale = true;
    bool FInPaint = false;
    QRect FLastExposed;
    int FPaintCount = 0;
};

// A Qt widget class W whose events go to its control first.
template <class W>
class TBridged : public W, public TWidgetLink {
public:
    using W::W;

protected:
    TWinControl* WinControl() const { return dynamic_cast<TWinControl*>(Control); }

    void mousePressEvent(QMouseEvent* E) override
    {
        // Qt's double click calls the press handler again; the control has
        // had its message already.
        if (FInDoubleClick) {
            W::mousePressEvent(E);
            return;
        }
        if (Control && !GuardedAlive(this, [&] {
                Control->WidgetMouseDown(ButtonFromQt(E->button()), ShiftFromQt(E->modifiers(), E->buttons()),
                                         E->position().toPoint().x(), E->position().toPoint().y(), false);
            }))
            return;
        W::mousePressEvent(E);
    }
    void mouseDoubleClickEvent(QMouseEvent* E) override
    {
        if (Control && !GuardedAlive(this, [&] {
                TShiftState s = ShiftFromQt(E->modifiers(), E->buttons());
                s << ssDouble;
                Control->WidgetMouseDown(ButtonFromQt(E->button()), s, E->position().toPoint().x(),
                                         E->position().toPoint().y(), true);
            }))
            return;
        FInDoubleClick = true;
        QPointer<QWidget> alive(this);
        W::mouseDoubleClickEvent(E);
        if (alive)
            FInDoubleClick = false;
    }
    void mouseReleaseEvent(QMouseEvent* E) override
    {
        if (Control && !GuardedAlive(this, [&] {
                Control->WidgetMouseUp(ButtonFromQt(E->button()), ShiftFromQt(E->modifiers(), E->buttons()),
                                       E->position().toPoint().x(), E->position().toPoint().y());
            }))
            return;
        W::mouseReleaseEvent(E);
    }
    void mouseMoveEvent(QMouseEvent* E) override
    {
        if (Control && !GuardedAlive(this, [&] {
                Control->WidgetMouseMove(ShiftFromQt(E->modifiers(), E->buttons()), E->position().toPoint().x(),
                                         E->position().toPoint().y());
            }))
            return;
        W::mouseMoveEvent(E);
    }
    void wheelEvent(QWheelEvent* E) override
    {
        bool handled = false;
        if (Control && !GuardedAlive(this, [&] {
                const QPoint p = E->position().toPoint();
                handled = Control->WidgetMouseWheel(ShiftFromQt(E->modifiers(), E->buttons()), E->angleDelta().y(),
                                                    TPoint{p.x(), p.y()});
            }))
            return;
        if (handled)
            E->accept();
        else
            W::wheelEvent(E);
    }
    void keyPressEvent(QKeyEvent* E) override
    {
        TWinControl* wc = WinControl();
        if (!wc) {
            W::keyPressEvent(E);
            return;
        }
        uint16_t key = VirtualKeyFromQt(E->key());
        bool swallowed = false;
        if (!GuardedAlive(this, [&] {
                if (key != 0)
                    swallowed = wc->WidgetKeyDown(key, ShiftFromQt(E->modifiers(), Qt::NoButton));
            }))
            return;
        if (swallowed) {
            E->accept();
            return;
        }
        const QString text = E->text();
        if (text.size() == 1 && text.at(0).unicode() < 0x80) {
            char c = static_cast<char>(text.at(0).unicode());
            const char typed = c;
            if (!GuardedAlive(this, [&] { swallowed = WinControl() && WinControl()->WidgetKeyPress(c); }))
                return;
            if (swallowed || c == 0) {
                E->accept();
                return;
            }
            if (c != typed) {
                QKeyEvent changed(E->type(), E->key(), E->modifiers(), QString(QChar(c)));
                W::keyPressEvent(&changed);
                return;
            }
        }
        const uint16_t pressed = VirtualKeyFromQt(E->key());
        const bool wanted = WinControl() && pressed != 0 && WinControl()->WantsKey(pressed);
        W::keyPressEvent(E);
        // A key the control wants stays with it.
        if (wanted)
            E->accept();
    }
    void keyReleaseEvent(QKeyEvent* E) override
    {
        TWinControl* wc = WinControl();
        uint16_t key = VirtualKeyFromQt(E->key());
        bool swallowed = false;
        if (wc && key != 0 &&
            !GuardedAlive(this, [&] { swallowed = wc->WidgetKeyUp(key, ShiftFromQt(E->modifiers(), Qt::NoButton)); }))
            return;
        if (!swallowed)
            W::keyReleaseEvent(E);
    }
    void focusInEvent(QFocusEvent* E) override
    {
        W::focusInEvent(E);
        if (TWinControl* wc = WinControl())
            GuardedAlive(this, [&] { wc->WidgetFocusIn(); });
    }
    void focusOutEvent(QFocusEvent* E) override
    {
        W::focusOutEvent(E);
        if (TWinControl* wc = WinControl())
            GuardedAlive(this, [&] { wc->WidgetFocusOut(); });
    }
    void resizeEvent(QResizeEvent* E) override
    {
        W::resizeEvent(E);
        if (Control)
            GuardedAlive(this, [&] { Control->WidgetResized(E->size().width(), E->size().height()); });
    }
    void enterEvent(QEnterEvent* E) override
    {
        W::enterEvent(E);
        if (Control)
            GuardedAlive(this, [&] { Control->WidgetMouseEnter(); });
    }
    void leaveEvent(QEvent* E) override
    {
        W::leaveEvent(E);
        if (Control)
            GuardedAlive(this, [&] { Control->WidgetMouseLeave(); });
    }
    void contextMenuEvent(QContextMenuEvent* E) override
    {
        if (Control && Control->PopupMenu()) {
            GuardedAlive(this, [&] { Control->WidgetContextMenu(E->globalPos().x(), E->globalPos().y()); });
            E->accept();
            return;
        }
        W::contextMenuEvent(E);
    }
    void paintEvent(QPaintEvent* E) override
    {
        if (Control && Control->Painter())
            Control->Painter()->PaintEvent(this, E->rect());
        else
            W::paintEvent(E);
    }
    // Tab and Shift+Tab reach the window unless a widget keeps them (a memo
    // that takes tabs); the window moves the focus in the controls' tab
    // order, or Qt's when none of its controls takes it.
    bool focusNextPrevChild(bool Next) override
    {
        if (this->isWindow())
            if (TWinControl* wc = WinControl()) {
                bool moved = false;
                if (!GuardedAlive(this, [&] { moved = wc->WidgetTabKey(Next); }) || moved)
                    return true;
            }
        return W::focusNextPrevChild(Next);
    }

private:
    bool FInDoubleClick = false;
};
