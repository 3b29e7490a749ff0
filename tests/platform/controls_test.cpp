// Controls: placement, alignment, anchors and size constraints, the backing
// image of painting controls, mouse and key messages, the tab order, what
// controls take from their parent, names, and the list controls.
#include "platform/Application.h"
#include "platform/Buttons.h"
#include "platform/CheckLst.h"
#include "platform/ComCtrls.h"
#include "platform/private/ControlsQt.h"
#include "platform/ExtCtrls.h"
#include "platform/ImgList.h"
#include "platform/Forms.h"
#include "platform/LookOut.h"
#include "platform/Mask.h"
#include "platform/StdCtrls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

void ProcessEvents()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

QRgb PixelOf(TControl* Control, int X, int Y)
{
    return Control->Handle()->grab().toImage().pixel(X, Y) & 0xFFFFFFu;
}

struct TAlignCase {
    const char* Name;
    TAlign Align;
    TRect Expected;
};

TEST(Align, PanelsShareTheClientAreaInTheClassLibraryOrder)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    // Created in an order that differs from the alignment order on purpose.
    auto make = [&](const char* Name, TAlign A, int W, int H) {
        auto* p = new TPanel(&form);
        p->SetName(Name);
        p->SetBounds(0, 0, W, H);
        p->SetParent(&form);
        p->SetAlign(A);
        return p;
    };
    make("pnlClient", alClient, 10, 10);
    make("pnlLeft", alLeft, 50, 10);
    make("pnlBottom", alBottom, 10, 20);
    make("pnlTop", alTop, 10, 30);
    make("pnlRight", alRight, 40, 10);

    const TAlignCase cases[] = {
        {"pnlTop", alTop, Rect(0, 0, 400, 30)},
        {"pnlBottom", alBottom, Rect(0, 280, 400, 300)},
        {"pnlLeft", alLeft, Rect(0, 30, 50, 280)},
        {"pnlRight", alRight, Rect(360, 30, 400, 280)},
        {"pnlClient", alClient, Rect(50, 30, 360, 280)},
    };
    for (const TAlignCase& c : cases) {
        auto* p = dynamic_cast<TControl*>(form.FindComponent(c.Name));
        ASSERT_NE(p, nullptr) << c.Name;
        EXPECT_EQ(p->BoundsRect(), c.Expected) << c.Name;
        EXPECT_EQ(p->Handle()->geometry(), QRect(c.Expected.Left, c.Expected.Top, c.Expected.Width(),
                                                 c.Expected.Height()))
            << c.Name;
    }

    // Hiding the top panel gives its room to the others; a resize of the
    // form lays everything out again.
    dynamic_cast<TControl*>(form.FindComponent("pnlTop"))->SetVisible(false);
    form.SetBounds(0, 0, 500, 300);
    EXPECT_EQ(dynamic_cast<TControl*>(form.FindComponent("pnlLeft"))->BoundsRect(), Rect(0, 0, 50, 280));
    EXPECT_EQ(dynamic_cast<TControl*>(form.FindComponent("pnlClient"))->BoundsRect(), Rect(50, 0, 460, 280));
    EXPECT_EQ(dynamic_cast<TControl*>(form.FindComponent("pnlRight"))->BoundsRect(), Rect(460, 0, 500, 280));
}

TEST(Align, ControlsOfOneAlignmentKeepTheirOrderAndStayInsideBevels)
{
    TPanel host(nullptr);
    host.SetBounds(0, 0, 200, 200);
    host.SetBevelOuter(bvRaised);   // 1 pixel
    host.SetBorderWidth(2);
    auto* lower = new TPanel(&host);
    lower->SetBounds(0, 100, 10, 40);
    lower->SetParent(&host);
    lower->SetAlign(alTop);
    auto* upper = new TPanel(&host);
    upper->SetBounds(0, 0, 10, 25);
    upper->SetParent(&host);
    upper->SetAlign(alTop);
    // The one that was higher up stays on top, whatever the creation order.
    EXPECT_EQ(upper->BoundsRect(), Rect(3, 3, 197, 28));
    EXPECT_EQ(lower->BoundsRect(), Rect(3, 28, 197, 68));
    // A changed height moves the one below.
    upper->SetHeight(35);
    EXPECT_EQ(lower->BoundsRect(), Rect(3, 38, 197, 78));
}

struct TAnchorCase {
    const char* Name;
    TAnchors Anchors;
    TRect Resized;   // in a parent grown from 200 x 100 to 300 x 160
};

TEST(Anchors, AnchoredControlsKeepTheirDistancesWhenTheParentIsResized)
{
    const TAnchorCase cases[] = {
        {"left top", {akLeft, akTop}, Bounds(20, 10, 40, 20)},
        {"right", {akTop, akRight}, Bounds(120, 10, 40, 20)},
        {"left right", {akLeft, akTop, akRight}, Bounds(20, 10, 140, 20)},
        {"bottom", {akLeft, akBottom}, Bounds(20, 70, 40, 20)},
        {"top bottom", {akLeft, akTop, akBottom}, Bounds(20, 10, 40, 80)},
        {"right bottom", {akRight, akBottom}, Bounds(120, 70, 40, 20)},
        {"all sides", {akLeft, akTop, akRight, akBottom}, Bounds(20, 10, 140, 80)},
        // The centre (40, 20) stays at the same share of the parent.
        {"none", {}, Bounds(40, 22, 40, 20)},
    };
    for (const TAnchorCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TWinControl parent(nullptr);
        parent.SetBounds(0, 0, 200, 100);
        auto* child = new TWinControl(&parent);
        child->SetParent(&parent);
        child->SetBounds(20, 10, 40, 20);
        child->SetAnchors(c.Anchors);
        parent.SetBounds(0, 0, 300, 160);
        EXPECT_EQ(child->BoundsRect(), c.Resized);
        EXPECT_EQ(child->Handle()->geometry(),
                  QRect(c.Resized.Left, c.Resized.Top, c.Resized.Width(), c.Resized.Height()));
        // Back to the first size: back to the first place, nothing lost to
        // rounding.
        parent.SetBounds(0, 0, 200, 100);
        EXPECT_EQ(child->BoundsRect(), Bounds(20, 10, 40, 20));
    }

    // A control placed anew keeps its new distances; an aligned one follows
    // its alignment.
    TWinControl parent(nullptr);
    parent.SetBounds(0, 0, 200, 100);
    auto* right = new TWinControl(&parent);
    right->SetParent(&parent);
    right->SetAnchors({akTop, akRight});
    right->SetBounds(150, 0, 30, 10);
    auto* top = new TWinControl(&parent);
    top->SetParent(&parent);
    top->SetAnchors({akTop, akRight});
    top->SetAlign(alTop);
    top->SetHeight(10);
    parent.SetWidth(400);
    EXPECT_EQ(right->Left(), 350);
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 400, 10));
    right->SetLeft(100);
    parent.SetWidth(300);
    EXPECT_EQ(right->Left(), 0);
}

struct TConstraintCase {
    const char* Name;
    int MinWidth, MinHeight, MaxWidth, MaxHeight;
    int Width, Height;      // asked for
    TRect Expected;         // from Left 5, Top 6
};

TEST(Constraints, SizesStayWithinTheBounds)
{
    const TConstraintCase cases[] = {
        {"none", 0, 0, 0, 0, 3, 900, Bounds(5, 6, 3, 900)},
        {"minimum", 50, 30, 0, 0, 10, 10, Bounds(5, 6, 50, 30)},
        {"maximum", 0, 0, 80, 40, 100, 100, Bounds(5, 6, 80, 40)},
        {"within", 50, 30, 80, 40, 60, 35, Bounds(5, 6, 60, 35)},
        {"width only", 50, 0, 80, 0, 100, 1, Bounds(5, 6, 80, 1)},
    };
    for (const TConstraintCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TWinControl control(nullptr);
        control.Constraints()->SetMinWidth(c.MinWidth);
        control.Constraints()->SetMinHeight(c.MinHeight);
        control.Constraints()->SetMaxWidth(c.MaxWidth);
        control.Constraints()->SetMaxHeight(c.MaxHeight);
        control.SetBounds(5, 6, c.Width, c.Height);
        EXPECT_EQ(control.BoundsRect(), c.Expected);
        EXPECT_EQ(control.Handle()->size(), QSize(c.Expected.Width(), c.Expected.Height()));
    }

    // A new bound applies at once, also to the window the user sizes; the
    // bounds never cross; a negative bound is none.
    TWinControl control(nullptr);
    control.SetBounds(0, 0, 100, 100);
    control.Constraints()->SetMaxWidth(60);
    EXPECT_EQ(control.Width(), 60);
    EXPECT_EQ(control.Handle()->maximumWidth(), 60);
    control.Constraints()->SetMinWidth(70);
    EXPECT_EQ(control.Constraints()->MaxWidth(), 70);
    EXPECT_EQ(control.Width(), 70);
    control.Constraints()->SetMaxWidth(20);
    EXPECT_EQ(control.Constraints()->MinWidth(), 20);
    EXPECT_EQ(control.Width(), 20);
    control.Constraints()->SetMaxWidth(-5);
    EXPECT_EQ(control.Constraints()->MaxWidth(), 0);
    EXPECT_EQ(control.Handle()->maximumWidth(), QWIDGETSIZE_MAX);

    // Alignment cannot stretch a control past its bounds.
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    auto* panel = new TPanel(&form);
    panel->Constraints()->SetMaxWidth(100);
    panel->SetParent(&form);
    panel->SetAlign(alClient);
    EXPECT_EQ(panel->Width(), 100);
}

// A custom control that fills itself in its colour and counts its paints.
class TProbeControl : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int Paints = 0;

protected:
    void Paint() override
    {
        ++Paints;
        Canvas()->Brush()->SetColor(clWhite);
        Canvas()->FillRect(ClientRect());
    }
};

TEST(CustomControl, DrawingOutsidePaintShowsAtTheNextPaintAndUpdatesOnlyThatRectangle)
{
    TForm form(nullptr);
    form.SetBounds(10, 10, 300, 200);
    auto* probe = new TProbeControl(&form);
    probe->SetBounds(0, 0, 200, 100);
    probe->SetParent(&form);
    form.Show();
    ProcessEvents();
    const int paints = probe->Paints;
    ASSERT_GE(paints, 1);
    ASSERT_EQ(PixelOf(probe, 50, 50), 0xFFFFFFu);

    // A short red line drawn at once, as a chart adds a new segment.
    probe->Canvas()->Pen()->SetColor(clRed);
    probe->Canvas()->MoveTo(40, 50);
    probe->Canvas()->LineTo(60, 50);
    ProcessEvents();
    const QRect exposed = probe->Painter()->LastExposed();
    EXPECT_TRUE(exposed.contains(QRect(40, 50, 20, 1))) << exposed.x() << "," << exposed.y() << " "
                                                         << exposed.width() << "x" << exposed.height();
    EXPECT_LT(exposed.width() * exposed.height(), 200 * 100 / 4);
    EXPECT_EQ(probe->Paints, paints) << "Paint must not run for drawing outside it";
    EXPECT_EQ(PixelOf(probe, 50, 50), 0xFF0000u);

    // Invalidate makes the next paint run Paint again, which wipes the line.
    probe->Invalidate();
    ProcessEvents();
    EXPECT_GT(probe->Paints, paints);
    EXPECT_EQ(PixelOf(probe, 50, 50), 0xFFFFFFu);

    // A resize keeps the backing image at the control's size.
    probe->SetBounds(0, 0, 250, 120);
    ProcessEvents();
    EXPECT_EQ(probe->Painter()->Image().size(), QSize(250, 120));
}

TEST(CustomControl, ABackingImageIsMadeOnlyWhenTheControlIsDrawnOn)
{
    // A report form being read sizes its page-sized panels many times and
    // never shows them.
    TProbeControl probe(nullptr);
    for (int Size : {800, 12000, 40000})
        probe.SetBounds(0, 0, Size, Size * 3 / 2);
    EXPECT_FALSE(probe.Painter()->ImageMade());
    probe.SetBounds(0, 0, 120, 80);
    EXPECT_FALSE(probe.Painter()->ImageMade());
    probe.Canvas()->FillRect(Rect(0, 0, 10, 10));
    EXPECT_TRUE(probe.Painter()->ImageMade());
    EXPECT_EQ(probe.Painter()->Image().size(), QSize(120, 80));
    probe.SetBounds(0, 0, 60, 40);
    EXPECT_FALSE(probe.Painter()->ImageMade()) << "a new size lets the old image go";
}

TEST(Control, MouseMessagesReachTheEventsWithClientCoordinates)
{
    TForm form(nullptr);
    auto* probe = new TProbeControl(&form);
    probe->SetBounds(5, 5, 100, 100);
    probe->SetParent(&form);
    form.Show();
    std::vector<std::string> log;
    probe->OnMouseDown = [&](TObject*, TMouseButton B, TShiftState S, int X, int Y) {
        log.push_back("down " + std::to_string(B) + " " + std::to_string(X) + "," + std::to_string(Y) +
                      (S.Contains(ssShift) ? " shift" : ""));
    };
    probe->OnMouseUp = [&](TObject*, TMouseButton B, TShiftState, int X, int Y) {
        log.push_back("up " + std::to_string(X) + "," + std::to_string(Y));
    };
    probe->OnClick = [&](TObject*) { log.push_back("click"); };
    probe->OnDblClick = [&](TObject*) { log.push_back("dblclick"); };

    auto send = [&](QEvent::Type T, Qt::MouseButton B, QPoint P, Qt::KeyboardModifiers M = Qt::NoModifier) {
        QMouseEvent e(T, P, probe->Handle()->mapToGlobal(P), B, T == QEvent::MouseButtonRelease ? Qt::NoButton : B, M);
        QApplication::sendEvent(probe->Handle(), &e);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(10, 20), Qt::ShiftModifier);
    send(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(11, 21));
    // Released outside: no click.
    send(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(10, 20));
    send(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(150, 20));
    send(QEvent::MouseButtonPress, Qt::RightButton, QPoint(1, 2));
    send(QEvent::MouseButtonDblClick, Qt::LeftButton, QPoint(3, 4));
    probe->OnMouseLeave = [&](TObject*) { log.push_back("leave"); };
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(probe->Handle(), &leave);

    const std::vector<std::string> expected = {
        "down 0 10,20 shift", "click", "up 11,21", "down 0 10,20", "up 150,20", "down 1 1,2", "dblclick", "down 0 3,4", "leave",
    };
    EXPECT_EQ(log, expected);
}

TEST(Control, KeyHandlersSeeAndMaySwallowKeys)
{
    TForm form(nullptr);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    form.Show();
    std::vector<std::string> log;
    edit->OnKeyDown = [&](TObject*, uint16_t& Key, TShiftState) { log.push_back("down " + std::to_string(Key)); };
    edit->OnKeyPress = [&](TObject*, char& Key) {
        log.push_back(std::string("press ") + Key);
        if (Key == 'x')
            Key = 0;      // swallowed
        else if (Key == 'a')
            Key = 'b';    // replaced
    };
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    for (const char* t : {"x", "a", "c"}) {
        QKeyEvent e(QEvent::KeyPress, Qt::Key_A + (t[0] - 'a'), Qt::NoModifier, t);
        QApplication::sendEvent(edit->Handle(), &e);
    }
    EXPECT_EQ(edit->Text(), "bc");
    EXPECT_EQ(changes, 2);
    const std::vector<std::string> expected = {"down 88", "press x", "down 65", "press a", "down 67", "press c"};
    EXPECT_EQ(log, expected);
    // Text set by code reaches OnChange too, once.
    edit->SetText("42");
    EXPECT_EQ(changes, 3);
}

TEST(Control, NamesAreObjectNamesAndChildrenAreFoundByName)
{
    TForm form(nullptr);
    auto* panel = new TPanel(&form);
    panel->SetName("pnlMain");
    panel->SetParent(&form);
    auto* label = new TLabel(&form);
    label->SetName("lblFlowMax");
    label->SetParent(panel);
    label->SetCaption("12.5");

    EXPECT_EQ(form.FindChildControl("PNLMAIN"), panel);
    EXPECT_EQ(form.FindChildControl("lblFlowMax"), nullptr) << "only direct children";
    EXPECT_EQ(panel->FindChildControl("lblFlowMax"), label);
    EXPECT_EQ(form.FindComponent("lblFlowMax"), label);
    EXPECT_EQ(form.Handle()->findChild<QWidget*>("lblFlowMax"), label->Handle());
    EXPECT_EQ(ControlOf(label->Handle()), label);
    EXPECT_EQ(GetParentForm(label), &form);
}

TEST(Control, ColourComesFromTheParentUntilSetOwn)
{
    TForm form(nullptr);
    form.SetColor(clWhite);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    auto* edit = new TEdit(&form);
    edit->SetParent(panel);
    EXPECT_TRUE(panel->ParentColor());
    EXPECT_EQ(panel->Color(), clWhite);
    form.SetColor(clYellow);
    EXPECT_EQ(panel->Color(), clYellow);
    EXPECT_EQ(edit->Color(), clWindow) << "an edit has a colour of its own";
    panel->SetColor(clRed);
    EXPECT_FALSE(panel->ParentColor());
    form.SetColor(clWhite);
    EXPECT_EQ(panel->Color(), clRed);
    form.Show();
    EXPECT_EQ(PixelOf(panel, 150, 30), 0xFF0000u);
    panel->SetParentColor(true);
    EXPECT_EQ(PixelOf(panel, 150, 30), 0xFFFFFFu);
}

// A property a control takes from its parent until it has its own.
struct TInheritedCase {
    const char* Name;
    std::function<void(TWinControl*, int)> Set;
    std::function<int(TWinControl*)> Get;
    std::function<bool(TWinControl*)> FromParent;
    std::function<void(TWinControl*, bool)> SetFromParent;
    int Parents, Own, ParentsLater;
};

TEST(Control, FontHintFlagAnd3DLookComeFromTheParentUntilSetOwn)
{
    const TInheritedCase cases[] = {
        {"Font", [](TWinControl* C, int V) { C->Font()->SetSize(V); },
         [](TWinControl* C) { return C->Font()->Size(); }, [](TWinControl* C) { return C->ParentFont(); },
         [](TWinControl* C, bool V) { C->SetParentFont(V); }, 12, 9, 14},
        {"ShowHint", [](TWinControl* C, int V) { C->SetShowHint(V != 0); },
         [](TWinControl* C) { return C->ShowHint() ? 1 : 0; }, [](TWinControl* C) { return C->ParentShowHint(); },
         [](TWinControl* C, bool V) { C->SetParentShowHint(V); }, 1, 0, 1},
        {"Ctl3D", [](TWinControl* C, int V) { C->SetCtl3D(V != 0); },
         [](TWinControl* C) { return C->Ctl3D() ? 1 : 0; }, [](TWinControl* C) { return C->ParentCtl3D(); },
         [](TWinControl* C, bool V) { C->SetParentCtl3D(V); }, 0, 1, 0},
    };
    for (const TInheritedCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TForm form(nullptr);
        auto* panel = new TPanel(&form);
        panel->SetParent(&form);
        auto* edit = new TEdit(&form);
        edit->SetParent(panel);
        // Down through every level, the panel's and the edit's alike.
        c.Set(&form, c.Parents);
        EXPECT_EQ(c.Get(edit), c.Parents);
        EXPECT_TRUE(c.FromParent(edit));
        c.Set(edit, c.Own);
        EXPECT_FALSE(c.FromParent(edit));
        c.Set(&form, c.ParentsLater);
        EXPECT_EQ(c.Get(panel), c.ParentsLater);
        EXPECT_EQ(c.Get(edit), c.Own);
        c.SetFromParent(edit, true);
        EXPECT_EQ(c.Get(edit), c.ParentsLater);
        // A control put into a parent takes the parent's.
        auto* later = new TEdit(&form);
        later->SetParent(panel);
        EXPECT_EQ(c.Get(later), c.ParentsLater);
    }

    // The followed font is the one the widget shows.
    TForm form(nullptr);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    form.Font()->SetName("Courier New");
    EXPECT_EQ(label->Handle()->font().family().toStdString(), ResolveFontFamily("Courier New"));
}

TEST(Edit, AutoSizeMakesTheHeightFollowTheFont)
{
    TForm form(nullptr);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    EXPECT_TRUE(edit->AutoSize());
    EXPECT_EQ(edit->Height(), 21) << "the default font keeps the default height";
    form.Font()->SetSize(16);
    const int tall = edit->Height();
    EXPECT_GT(tall, 21) << "a larger font of the parent";
    // A height set by hand stays until the font changes again.
    edit->SetHeight(40);
    EXPECT_EQ(edit->Height(), 40);
    form.Font()->SetSize(8);
    EXPECT_EQ(edit->Height(), 21);
    edit->SetAutoSize(false);
    form.Font()->SetSize(16);
    EXPECT_EQ(edit->Height(), 21);
    edit->SetAutoSize(true);
    EXPECT_EQ(edit->Height(), tall);
}

// Tab from the control that has the focus; the name of the control that
// has it then.
std::string PressTab(bool Forward)
{
    QWidget* focused = QApplication::focusWidget();
    EXPECT_NE(focused, nullptr);
    if (!focused)
        return "";
    QKeyEvent e(QEvent::KeyPress, Forward ? Qt::Key_Tab : Qt::Key_Backtab,
                Forward ? Qt::NoModifier : Qt::ShiftModifier);
    QApplication::sendEvent(focused, &e);
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (auto* c = dynamic_cast<TWinControl*>(ControlOf(w)))
            return c->Name();
    return "";
}

TEST(TabOrder, TabMovesTheFocusInTabOrderThroughNestedControls)
{
    TForm form(nullptr);
    auto edit = [&](const char* Name, TWinControl* Parent) {
        auto* e = new TEdit(&form);
        e->SetName(Name);
        e->SetParent(Parent);
        return e;
    };
    auto* first = edit("first", &form);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    auto* inner1 = edit("inner1", panel);
    auto* inner2 = edit("inner2", panel);
    auto* last = edit("last", &form);
    EXPECT_EQ(first->TabOrder(), 0);
    EXPECT_EQ(panel->TabOrder(), 1);
    EXPECT_EQ(last->TabOrder(), 2);
    EXPECT_EQ(TWinControl(nullptr).TabOrder(), -1);

    last->SetTabOrder(0);
    inner2->SetTabOrder(-3);   // past the start: first
    EXPECT_EQ(first->TabOrder(), 1);
    EXPECT_EQ(panel->TabOrder(), 2);
    EXPECT_EQ(inner2->TabOrder(), 0);
    EXPECT_EQ(inner1->TabOrder(), 1);

    form.Show();
    QApplication::setActiveWindow(form.Handle());
    last->SetFocus();
    ProcessEvents();
    ASSERT_TRUE(last->Focused());
    // The panel takes no focus; its controls come in its place.
    for (const char* expected : {"first", "inner2", "inner1", "last", "first"})
        EXPECT_EQ(PressTab(true), expected);
    for (const char* expected : {"last", "inner1", "inner2"})
        EXPECT_EQ(PressTab(false), expected);

    // Controls that cannot take the focus, or not by Tab, are passed over.
    inner1->SetEnabled(false);
    first->SetTabStop(false);
    inner2->SetFocus();
    EXPECT_EQ(PressTab(true), "last");
    EXPECT_EQ(PressTab(true), "inner2");
    inner2->SetTabOrder(7);   // past the end: last
    EXPECT_EQ(inner2->TabOrder(), 1);
}

TEST(Control, ParentFreesItsChildrenWhoeverOwnsThem)
{
    TForm owner(nullptr);
    auto* panel = new TPanel(&owner);
    auto* child = new TButton(&owner);
    child->SetParent(panel);
    panel->SetParent(&owner);
    EXPECT_EQ(owner.ComponentCount(), 2);
    delete panel;   // takes the button along; the owner forgets both
    EXPECT_EQ(owner.ComponentCount(), 0);
    EXPECT_EQ(owner.ControlCount(), 0);
}

struct TLinesCase {
    const char* Name;
    std::vector<std::string> Ops;   // "+text" adds, "-n" deletes line n, "i n text" inserts, "c" clears
    std::vector<std::string> Lines;
};

TEST(Memo, LinesBehaveAsAStringList)
{
    const TLinesCase cases[] = {
        {"empty", {}, {}},
        {"adds", {"+a", "+b", "+c"}, {"a", "b", "c"}},
        {"empty lines count", {"+", "+", "+x"}, {"", "", "x"}},
        {"delete first", {"+a", "+b", "+c", "-0"}, {"b", "c"}},
        {"delete middle", {"+a", "+b", "+c", "-1"}, {"a", "c"}},
        {"delete last", {"+a", "+b", "+c", "-2"}, {"a", "b"}},
        {"delete only", {"+a", "-0"}, {}},
        {"insert", {"+a", "+c", "i 1 b", "i 0 z"}, {"z", "a", "b", "c"}},
        {"clear", {"+a", "+b", "c", "+d"}, {"d"}},
    };
    for (const TLinesCase& c : cases) {
        TMemo memo(nullptr);
        TStrings* l = memo.Lines();
        for (const std::string& op : c.Ops) {
            if (op[0] == '+')
                l->Add(op.substr(1));
            else if (op[0] == '-')
                l->Delete(std::stoi(op.substr(1)));
            else if (op[0] == 'i')
                l->Insert(op[2] - '0', op.substr(4));
            else
                l->Clear();
        }
        std::vector<std::string> got;
        for (int i = 0; i < l->Count(); ++i)
            got.push_back(l->Strings(i));
        EXPECT_EQ(got, c.Lines) << c.Name;
    }
    TMemo memo(nullptr);
    memo.SetText("one\ntwo\n");
    EXPECT_EQ(memo.Lines()->Count(), 2) << "a final line break adds no line";
    memo.Lines()->Add("three");
    EXPECT_EQ(memo.Lines()->Text(), "one\ntwo\nthree\n");
    // Any string list can be copied in, and the memo's lines out.
    TStringList list;
    list.Add("a");
    list.Add("b");
    memo.SetLines(&list);
    EXPECT_EQ(memo.Text(), "a\nb\n");
    TStringList back;
    back.Assign(memo.Lines());
    EXPECT_EQ(back.Count(), 2);
    EXPECT_THROW(memo.Lines()->Delete(3), EStringListError);
}

TEST(Memo, ALogOfAThousandLinesStaysCheap)
{
    TMemo memo(nullptr);
    int changes = 0;
    memo.OnChange = [&](TObject*) { ++changes; };
    for (int i = 0; i < 3000; ++i) {
        memo.Lines()->Add("line " + std::to_string(i));
        if (memo.Lines()->Count() > 1000)
            memo.Lines()->Delete(0);
    }
    EXPECT_EQ(memo.Lines()->Count(), 1000);
    EXPECT_EQ(memo.Lines()->Strings(0), "line 2000");
    EXPECT_EQ(memo.Lines()->Strings(999), "line 2999");
    EXPECT_GE(changes, 3000);
}

TEST(Memo, SelectionSpansLinesAndSelTextReplacesIt)
{
    TMemo memo(nullptr);
    memo.SetText("ab\ncd");
    memo.SetSelStart(1);
    memo.SetSelLength(3);   // "b", the line break, "c"
    EXPECT_EQ(memo.SelText(), "b\nc");
    memo.SetSelText("+");
    EXPECT_EQ(memo.Text(), "a+d");
    EXPECT_EQ(memo.SelStart(), 2);
    EXPECT_EQ(memo.SelLength(), 0);
    memo.SetSelStart(99);   // past the end: the caret goes to the end
    memo.SetSelText("!");
    EXPECT_EQ(memo.Text(), "a+d!");
    memo.SelectAll();
    EXPECT_EQ(memo.SelLength(), 4);
}

TEST(ComboBox, ItemIndexAndTextFollowTheItemsAndOnlyTheUserFiresOnChange)
{
    TForm form(nullptr);
    auto* combo = new TComboBox(&form);
    combo->SetParent(&form);
    combo->SetStyle(csDropDownList);
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    for (const char* s : {"ATP", "BTPS", "STPD0", "STPD21"})
        combo->Items()->Add(s);
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetItemIndex(2);
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), "STPD0");
    combo->SetItemIndex(7);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(changes, 0);
    // The user picks an entry.
    static_cast<QComboBox*>(combo->Handle())->activated(1);
    EXPECT_EQ(changes, 1);

    auto* edit = new TComboBox(&form);
    edit->Items()->Add("1");
    edit->Items()->Add("3");
    edit->SetText("None");
    EXPECT_EQ(edit->Text(), "None");
    EXPECT_EQ(edit->ItemIndex(), -1);
    edit->SetText("3");
    EXPECT_EQ(edit->ItemIndex(), 1);
}

TEST(RadioGroup, ItemIndexChecksOneButtonAndClicksTheGroup)
{
    TRadioGroup group(nullptr);
    group.SetBounds(0, 0, 200, 100);
    int clicks = 0;
    group.OnClick = [&](TObject*) { ++clicks; };
    for (const char* s : {"Bi-Directional", "Inspiratory", "Expiratory"})
        group.Items()->Add(s);
    group.SetColumns(2);
    EXPECT_EQ(group.ItemIndex(), -1);
    group.SetItemIndex(1);
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_TRUE(group.Buttons(1)->Checked());
    EXPECT_EQ(clicks, 1);
    // The user clicks another button.
    static_cast<QAbstractButton*>(group.Buttons(2)->Handle())->click();
    EXPECT_EQ(group.ItemIndex(), 2);
    EXPECT_FALSE(group.Buttons(1)->Checked());
    EXPECT_EQ(clicks, 2);
    // Clicking the checked button again changes nothing.
    static_cast<QAbstractButton*>(group.Buttons(2)->Handle())->click();
    EXPECT_TRUE(group.Buttons(2)->Checked());
    EXPECT_EQ(clicks, 2);
    // Two columns: the third button starts the second column.
    EXPECT_GT(group.Buttons(2)->Left(), group.Buttons(0)->Left());
    EXPECT_EQ(group.Buttons(2)->Top(), group.Buttons(0)->Top());
}

TEST(PageControl, HiddenTabsAndTheActivePage)
{
    TForm form(nullptr);
    auto* pages = new TPageControl(&form);
    pages->SetParent(&form);
    pages->SetAlign(alClient);
    std::vector<TTabSheet*> sheets;
    for (const char* n : {"tsMonitor", "tsLoop", "tsFullTest", "tsDebug"}) {
        auto* s = new TTabSheet(&form);
        s->SetName(n);
        s->SetCaption(n + 2);
        s->SetPageControl(pages);
        sheets.push_back(s);
    }
    EXPECT_EQ(pages->ActivePage(), sheets[0]);
    EXPECT_TRUE(sheets[0]->Visible());
    EXPECT_FALSE(sheets[1]->Visible());
    sheets[3]->SetTabVisible(false);
    EXPECT_EQ(sheets[3]->TabIndex(), -1);
    EXPECT_EQ(sheets[2]->TabIndex(), 2);

    int changes = 0;
    bool allow = true;
    pages->OnChanging = [&](TObject*, bool& Allow) { Allow = allow; };
    pages->OnChange = [&](TObject*) { ++changes; };
    pages->SetActivePageIndex(1);   // by code: no events
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_EQ(changes, 0);
    pages->WidgetTabClicked(2);
    EXPECT_EQ(pages->ActivePageIndex(), 2);
    EXPECT_EQ(changes, 1);
    allow = false;
    pages->WidgetTabClicked(0);
    EXPECT_EQ(pages->ActivePageIndex(), 2);
    EXPECT_EQ(changes, 1);
    // The active page fills the area below the tabs.
    EXPECT_EQ(sheets[2]->Width(), pages->Width() - 4);
    EXPECT_GT(sheets[2]->Top(), 0);
}

TEST(StatusBar, PanelsHaveFixedWidthsTheLastOneToo)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 800, 200);
    auto* bar = new TStatusBar(&form);
    bar->SetParent(&form);
    for (int w : {350, 100, 75, 100})
        bar->Panels()->Add()->SetWidth(w);
    bar->Panels()->Items(1)->SetText("Connected");
    EXPECT_EQ(bar->Align(), alBottom);
    EXPECT_EQ(bar->Width(), 800);
    EXPECT_EQ(bar->PanelRect(0), Rect(0, 0, 350, bar->Height()));
    EXPECT_EQ(bar->PanelRect(1), Rect(350, 0, 450, bar->Height()));
    EXPECT_EQ(bar->PanelRect(3), Rect(525, 0, 625, bar->Height()));
    EXPECT_EQ(bar->Panels()->Items(1)->Text(), "Connected");
}

TEST(TabControl, HiddenTabsCannotBePickedAndCodeFiresNoEvents)
{
    TTabControl tabs(nullptr);
    for (const char* s : {"Monitor Plots", "Loop Plots", "Full Test", "Debug", "Print Test"})
        tabs.Tabs()->Add(s);
    EXPECT_EQ(tabs.TabIndex(), 0);
    tabs.SetTabVisible(3, false);
    tabs.SetTabVisible(4, false);
    int changes = 0;
    tabs.OnChange = [&](TObject*) { ++changes; };
    tabs.WidgetTabClicked(3);
    EXPECT_EQ(tabs.TabIndex(), 0);
    tabs.WidgetTabClicked(2);
    EXPECT_EQ(tabs.TabIndex(), 2);
    EXPECT_EQ(changes, 1);
    tabs.SetTabIndex(1);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(tabs.TabVisible(4));
    EXPECT_TRUE(tabs.TabVisible(1));
}

struct TMaskCase {
    const char* Mask;
    const char* Qt;
};

TEST(MaskEdit, MasksTranslateToQtInputMasks)
{
    const TMaskCase cases[] = {
        {"99:99:99", "00:00:00;_"},
        {"00:00:00;1;_", "99:99:99;_"},
        {"!99/99/0000;1; ", "00/00/9999; "},
        {">LL-aa", ">AA-nn;_"},
        {"\\Hex 0", "\\He\\x 9;_"},   // literal H, e, x and blank
        {"", ""},
    };
    for (const TMaskCase& c : cases)
        EXPECT_EQ(QtInputMask(c.Mask), c.Qt) << c.Mask;
    TMaskEdit edit(nullptr);
    edit.SetEditMask("99:99:99");
    edit.SetText("12:34:56");
    EXPECT_EQ(edit.Text(), "12:34:56");
}

TEST(CheckListBox, ChecksAndObjectsStayWithTheirLines)
{
    TCheckListBox list(nullptr);
    TObject first, second;
    list.Items()->AddObject("(0)  RUN1.ZRM", &first);
    list.Items()->AddObject("(1)  RUN2.ZRM", &second);
    int clicks = 0;
    list.OnClickCheck = [&](TObject*) { ++clicks; };
    EXPECT_FALSE(list.Checked(0));
    list.SetChecked(1, true);
    EXPECT_EQ(clicks, 0) << "by code: no OnClickCheck";
    EXPECT_TRUE(list.Checked(1));
    EXPECT_EQ(list.Items()->Objects(1), &second);
    // The user ticks the first line.
    static_cast<QListWidget*>(list.Handle())->item(0)->setCheckState(Qt::Checked);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(list.Checked(0));
    list.Items()->Delete(0);
    EXPECT_TRUE(list.Checked(0));
    EXPECT_EQ(list.Items()->Objects(0), &second);
    list.Items()->Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(LookOutBar, TheActivePageFillsTheRoomBetweenTheHeaders)
{
    TForm form(nullptr);
    auto* bar = new TLookOutBar(&form);
    bar->SetParent(&form);
    bar->SetBounds(0, 0, 150, 400);
    std::vector<TLookOutPage*> pages;
    for (const char* c : {"File Controls", "Trend Test", "Leak Test"}) {
        auto* p = new TLookOutPage(&form);
        p->SetCaption(c);
        p->SetParent(bar);
        pages.push_back(p);
    }
    const int h = bar->HeaderHeight();
    EXPECT_EQ(bar->ActivePage(), pages[0]);
    EXPECT_EQ(pages[0]->BoundsRect(), Rect(0, h, 150, 400 - 2 * h));
    EXPECT_FALSE(pages[1]->Visible());
    int changes = 0;
    bar->OnChange = [&](TObject*) { ++changes; };
    bar->WidgetHeaderClicked(1);
    EXPECT_EQ(bar->ActivePage(), pages[1]);
    EXPECT_EQ(pages[1]->BoundsRect(), Rect(0, 2 * h, 150, 400 - h));
    EXPECT_FALSE(pages[0]->Visible());
    EXPECT_EQ(changes, 1);
    bar->SetActivePage(pages[2]);
    EXPECT_EQ(pages[2]->BoundsRect(), Rect(0, 3 * h, 150, 400));
    EXPECT_EQ(changes, 1);
}

TEST(Notebook, PagesAreNamedAndShownOneAtATime)
{
    TNotebook book(nullptr);
    book.Pages()->Clear();
    book.Pages()->Add("Select Files");
    book.Pages()->Add("Status");
    ASSERT_EQ(book.Pages()->Count(), 2);
    auto* page = dynamic_cast<TPage*>(book.Pages()->Objects(1));
    ASSERT_EQ(page, book.Page(1));
    auto* label = new TLabel(&book);
    label->SetParent(page);
    book.SetActivePage("Status");
    EXPECT_EQ(book.PageIndex(), 1);
    EXPECT_TRUE(book.Page(1)->Visible());
    EXPECT_FALSE(book.Page(0)->Visible());
    book.SetActivePage("Nothing");
    EXPECT_EQ(book.ActivePage(), "Status");
}

TEST(SpeedButton, GroupedButtonsStayDownOneAtATime)
{
    TPanel panel(nullptr);
    std::vector<TSpeedButton*> buttons;
    int clicks = 0;
    for (int i = 0; i < 3; ++i) {
        auto* b = new TSpeedButton(&panel);
        b->SetParent(&panel);
        b->SetGroupIndex(1);
        b->OnClick = [&](TObject*) { ++clicks; };
        buttons.push_back(b);
    }
    static_cast<QAbstractButton*>(buttons[0]->Handle())->click();
    buttons[2]->Click();
    EXPECT_FALSE(buttons[0]->Down());
    EXPECT_TRUE(buttons[2]->Down());
    EXPECT_EQ(clicks, 2);
    // A glyph of two cells: the second is the disabled look.
    TBitmap glyph(18, 6);
    glyph.Canvas()->Brush()->SetColor(clOlive);
    glyph.Canvas()->FillRect(Rect(0, 0, 18, 6));
    buttons[1]->SetNumGlyphs(2);
    buttons[1]->SetGlyph(&glyph);
    EXPECT_EQ(static_cast<QAbstractButton*>(buttons[1]->Handle())->iconSize(), QSize(9, 6));
}

TEST(ProgressBar, PositionStaysWithinTheRange)
{
    TProgressBar bar(nullptr);
    bar.SetMax(100);
    for (int p : {-5, 40, 250}) {
        bar.SetPosition(p);
        EXPECT_EQ(bar.Position(), std::clamp(p, 0, 100));
        EXPECT_EQ(static_cast<QProgressBar*>(bar.Handle())->value(), bar.Position());
    }
    bar.SetMax(30);
    EXPECT_EQ(bar.Position(), 30);
}

TEST(ScrollBar, OnChangeFollowsEveryChangeOfThePositionByCodeAndByTheUser)
{
    TScrollBar bar(nullptr);
    bar.SetMin(1);
    bar.SetMax(20);
    bar.SetSmallChange(5);
    bar.SetLargeChange(20);
    std::vector<int> seen;
    bar.OnChange = [&](TObject*) { seen.push_back(bar.Position()); };
    for (int p : {10, 10, -3, 25})
        bar.SetPosition(p);
    EXPECT_EQ(seen, (std::vector<int>{10, 1, 20}));
    auto* qt = static_cast<QScrollBar*>(bar.Handle());
    EXPECT_EQ(qt->value(), 20);
    EXPECT_EQ(qt->singleStep(), 5);
    qt->triggerAction(QAbstractSlider::SliderSingleStepSub);   // the user's left arrow
    EXPECT_EQ(bar.Position(), 15);
    EXPECT_EQ(seen.back(), 15);
    bar.SetMax(12);
    EXPECT_EQ(bar.Position(), 12);
    EXPECT_EQ(seen.back(), 12);
}

// A click beside the thumb moves the large change, while the thumb keeps
// its usual small size however large that change is; a page size makes it
// stand for that part of the range.
TEST(ScrollBar, LargeChangeMovesWithoutWideningTheThumb)
{
    TScrollBar bar(nullptr);
    bar.SetBounds(0, 0, 200, 17);
    bar.SetMin(1);
    bar.SetMax(20);
    bar.SetPosition(10);
    bar.SetSmallChange(5);
    bar.SetLargeChange(20);
    auto* qt = static_cast<QScrollBar*>(bar.Handle());
    auto ThumbWidth = [qt] {
        QStyleOptionSlider Option;
        Option.initFrom(qt);
        Option.orientation = qt->orientation();
        Option.minimum = qt->minimum();
        Option.maximum = qt->maximum();
        Option.sliderPosition = qt->sliderPosition();
        Option.sliderValue = qt->value();
        Option.singleStep = qt->singleStep();
        Option.pageStep = qt->pageStep();
        Option.rect = QRect(0, 0, 200, 17);
        return qt->style()->subControlRect(QStyle::CC_ScrollBar, &Option, QStyle::SC_ScrollBarSlider, qt).width();
    };
    EXPECT_LT(ThumbWidth(), 40);
    qt->triggerAction(QAbstractSlider::SliderPageStepSub);   // a click left of the thumb
    EXPECT_EQ(bar.Position(), 1);
    qt->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(bar.Position(), 20);
    bar.SetLargeChange(3);
    qt->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(bar.Position(), 17);

    bar.SetPageSize(19);
    EXPECT_GT(ThumbWidth(), 60);
}

TEST(ImageList, ImagesDrawWithTheirMaskColourLeftOut)
{
    TImageList images(nullptr);
    TBitmap glyph(16, 16);   // white, a red square in the middle
    glyph.Canvas()->Brush()->SetColor(clRed);
    glyph.Canvas()->FillRect(Rect(4, 4, 12, 12));
    EXPECT_EQ(images.AddMasked(&glyph, clWhite), 0);
    EXPECT_EQ(images.Count(), 1);

    TBitmap target(20, 20);
    target.Canvas()->Brush()->SetColor(clBlue);
    target.Canvas()->FillRect(Rect(0, 0, 20, 20));
    images.Draw(target.Canvas(), 2, 2, 0);
    EXPECT_EQ(target.Canvas()->Pixels(8, 8), clRed);
    EXPECT_EQ(target.Canvas()->Pixels(3, 3), clBlue) << "the mask colour is transparent";
    images.Draw(target.Canvas(), 2, 2, 0, false);
    EXPECT_EQ(target.Canvas()->Pixels(8, 8), RGB(128, 128, 128)) << "disabled: grey";
    EXPECT_EQ(target.Canvas()->Pixels(3, 3), clBlue);
    images.Draw(target.Canvas(), 2, 2, 5);   // no such image: nothing
    images.SetWidth(24);
    EXPECT_EQ(images.Count(), 0) << "a new size empties the list";
}

TEST(Screen, CursorShowsOverEveryWindowUntilReset)
{
    Screen->SetCursor(crHourGlass);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    Screen->SetCursor(crDefault);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace

TEST(PanelAutoSize, ThePanelHoldsItsPlacedChildrenInsideItsBevels)
{
    TPanel panel(nullptr);
    panel.SetBounds(0, 0, 300, 200);   // one raised bevel of 1 pixel
    auto* a = new TPanel(&panel);
    a->SetParent(&panel);
    a->SetBounds(10, 10, 50, 40);
    auto* aligned = new TPanel(&panel);
    aligned->SetParent(&panel);
    aligned->SetAlign(alTop);
    aligned->SetHeight(5);
    EXPECT_EQ(panel.Width(), 300) << "nothing changes until AutoSize is set";

    panel.SetAutoSize(true);
    EXPECT_EQ(panel.Width(), 61);
    EXPECT_EQ(panel.Height(), 51);
    EXPECT_EQ(aligned->Width(), 59) << "an aligned child follows, it does not size the panel";

    a->SetBounds(20, 30, 100, 60);   // a child that moves or grows takes the panel along
    EXPECT_EQ(panel.Width(), 121);
    EXPECT_EQ(panel.Height(), 91);

    panel.SetAutoSize(false);
    a->SetBounds(0, 0, 10, 10);
    EXPECT_EQ(panel.Width(), 121);
}
