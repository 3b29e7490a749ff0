#include "report/dialogs/RpAbout.h"

#include "platform/DialogHook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(AboutBox, ShowsTheVersionAndTheLinkOpensThroughTheShell)
{
    std::vector<std::string> Opened;
    SetShellOpenHook([&](const std::string& Url) {
        Opened.push_back(Url);
        return true;
    });
    TRpAboutBox Box(nullptr);
    EXPECT_EQ(Box.Label1->Caption(), "Version 4.04");
    EXPECT_EQ(Box.VisitLabel->Caption(), "Visit our web site for news, updates and help");
    Box.Label3->OnClick(Box.Label3);
    EXPECT_TRUE(Opened.empty()) << "no address, nothing opened";
    Box.WebAddress = "https://reports.invalid/";
    Box.Label3->OnClick(Box.Label3);
    EXPECT_EQ(Opened, std::vector<std::string>{"https://reports.invalid/"});
    SetShellOpenHook(nullptr);

    SetDialogAnswerer([](const TDialogRequest& R, TDialogAnswer& A) {
        A.ModalResult = R.Dialog ? 1 : 0;
        return true;
    });
    EXPECT_EQ(Box.ShowModal(), 1);
    SetDialogAnswerer(nullptr);
}
