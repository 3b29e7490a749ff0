#include "report/dialogs/RpAbout.h"

#include "platform/DialogHook.h"
#include "tests/support/Components.h"

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
    EXPECT_EQ(Find<TLabel>(&Box, "Label1")->Caption(), "Version 4.04");
    EXPECT_EQ(Find<TLabel>(&Box, "VisitLabel")->Caption(), "Visit our web site for news, updates and help");
    auto* Link = Find<TLabel>(&Box, "Label3");
    Link->OnClick(Link);
    EXPECT_TRUE(Opened.empty()) << "no address, nothing opened";
    Box.SetWebAddress("https://reports.invalid/");
    EXPECT_EQ(Link->Caption(), "https://reports.invalid/");
    Link->OnClick(Link);
    EXPECT_EQ(Opened, std::vector<std::string>{"https://reports.invalid/"});
    SetShellOpenHook(nullptr);

    SetDialogAnswerer([](const TDialogRequest& R, TDialogAnswer& A) {
        A.ModalResult = R.Dialog ? 1 : 0;
        return true;
    });
    EXPECT_EQ(Box.ShowModal(), 1);
    SetDialogAnswerer(nullptr);
}
