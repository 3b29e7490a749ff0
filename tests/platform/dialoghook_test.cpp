#include "platform/DialogHook.h"

#include <gtest/gtest.h>

namespace {

TDialogRequest Request(TDialogKind Kind)
{
    TDialogRequest r;
    r.Kind = Kind;
    return r;
}

class DialogHookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDialogAnswerer(nullptr);
        ClearAnsweredDialogs();
    }
    void TearDown() override { SetDialogAnswerer(nullptr); }
};

TEST_F(DialogHookTest, AnswererSeesTheRequestAndItsAnswerComesBack)
{
    TDialogRequest seen;
    SetDialogAnswerer([&](const TDialogRequest& r, TDialogAnswer& a) {
        seen = r;
        a.ModalResult = 6;
        a.FileName = "/tmp/run 1.zrp";
        return true;
    });
    TDialogRequest req = Request(TDialogKind::SaveFile);
    req.Name = "dlgSave";
    req.Caption = "Save Recording";
    req.Filter = "Data files|*.zrp";
    req.InitialDir = "/tmp";
    TDialogAnswer answer;
    EXPECT_TRUE(AnswerDialog(req, answer));
    EXPECT_EQ(seen.Kind, TDialogKind::SaveFile);
    EXPECT_EQ(seen.Name, "dlgSave");
    EXPECT_EQ(seen.Filter, "Data files|*.zrp");
    EXPECT_EQ(answer.ModalResult, 6);
    EXPECT_EQ(answer.FileName, "/tmp/run 1.zrp");
    ASSERT_EQ(AnsweredDialogs().size(), 1u);
    EXPECT_EQ(AnsweredDialogs()[0].Caption, "Save Recording");
    ClearAnsweredDialogs();
    EXPECT_TRUE(AnsweredDialogs().empty());
}

TEST_F(DialogHookTest, WithoutAnAnswerTheDialogFallsThrough)
{
    TDialogAnswer answer;
    EXPECT_FALSE(AnswerDialog(Request(TDialogKind::MessageBox), answer));   // no answerer at all

    int asked = 0;
    SetDialogAnswerer([&](const TDialogRequest& r, TDialogAnswer&) {
        ++asked;
        return r.Kind == TDialogKind::MessageBox;   // answers message boxes only
    });
    EXPECT_FALSE(AnswerDialog(Request(TDialogKind::OpenFile), answer));
    EXPECT_TRUE(AnswerDialog(Request(TDialogKind::MessageBox), answer));
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(AnsweredDialogs().size(), 1u);   // only what was answered is listed
    EXPECT_EQ(AnsweredDialogs()[0].Kind, TDialogKind::MessageBox);
}

TEST_F(DialogHookTest, AnswererMayReplaceItselfWhileAnswering)
{
    std::vector<int> order;
    TDialogAnswerer second = [&](const TDialogRequest&, TDialogAnswer& a) {
        order.push_back(2);
        a.ModalResult = 2;
        return true;
    };
    EXPECT_FALSE(SetDialogAnswerer([&](const TDialogRequest&, TDialogAnswer& a) {
        order.push_back(1);
        SetDialogAnswerer(second);   // destroys the running answerer's stored copy
        a.ModalResult = 1;
        return true;
    }));
    TDialogAnswer a1, a2;
    EXPECT_TRUE(AnswerDialog(Request(TDialogKind::ModalForm), a1));
    EXPECT_TRUE(AnswerDialog(Request(TDialogKind::ModalForm), a2));
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(a1.ModalResult, 1);
    EXPECT_EQ(a2.ModalResult, 2);
    EXPECT_TRUE(static_cast<bool>(SetDialogAnswerer(nullptr)));   // hands back the one installed
}

}  // namespace
