// What instrument controls need of the window layer: the program's own
// cursor numbers, keys a control keeps for itself, multi-line tool tips.
#include "platform/Application.h"
#include "platform/private/ControlsQt.h"
#include "platform/Forms.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ScreenCursors, ANumberShowsTheShapeEnteredForIt)
{
    EnsureApplication();
    TWinControl c(nullptr);
    EXPECT_EQ(Screen->Cursors(5), crDefault);
    c.SetCursor(5);
    EXPECT_EQ(c.Handle()->cursor().shape(), Qt::ArrowCursor);

    Screen->SetCursors(5, crHandPoint);
    EXPECT_EQ(Screen->Cursors(5), crHandPoint);
    c.SetCursor(crDefault);
    c.SetCursor(5);
    EXPECT_EQ(c.Cursor(), 5);
    EXPECT_EQ(c.Handle()->cursor().shape(), Qt::PointingHandCursor);
    Screen->SetCursor(5);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    Screen->SetCursor(crDefault);

    // Stock numbers and chains are not entries; crDefault empties one.
    Screen->SetCursors(crHandPoint, crCross);
    Screen->SetCursors(6, 5);
    EXPECT_EQ(Screen->Cursors(crHandPoint), crDefault);
    EXPECT_EQ(Screen->Cursors(6), crDefault);
    Screen->SetCursors(7, crCross);
    Screen->SetCursors(7, crDefault);
    EXPECT_EQ(Screen->Cursors(7), crDefault);
}

class TKnob : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    bool WantsKey(uint16_t Key) const override { return Key == VK_UP || Key == VK_NEXT; }
};

TEST(WantedKeys, StayWithTheControlOthersTravelToTheParent)
{
    TForm form(nullptr);
    auto* panel = new TWinControl(&form);
    panel->SetParent(&form);
    auto* knob = new TKnob(&form);
    knob->SetParent(panel);
    form.Show();
    std::vector<std::string> log;
    knob->OnKeyDown = [&](TObject*, uint16_t& Key, TShiftState) { log.push_back("knob " + std::to_string(Key)); };
    panel->OnKeyDown = [&](TObject*, uint16_t& Key, TShiftState) { log.push_back("panel " + std::to_string(Key)); };
    for (int key : {Qt::Key_Up, Qt::Key_PageDown, Qt::Key_Left}) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(knob->Handle(), &e);
    }
    const std::vector<std::string> expected = {"knob 38", "knob 34", "knob 37", "panel 37"};
    EXPECT_EQ(log, expected);
}

TEST(ToolTips, AHintsCarriageReturnsStartNewLines)
{
    EnsureApplication();
    TWinControl c(nullptr);
    c.SetHint("Value= 50.0 %\rMIN= 1.0 %\r\nSignalName1|long help");
    EXPECT_EQ(c.Handle()->toolTip().toStdString(), "Value= 50.0 %\nMIN= 1.0 %\nSignalName1");
    EXPECT_EQ(c.Hint(), "Value= 50.0 %\rMIN= 1.0 %\r\nSignalName1|long help");
}

}  // namespace
