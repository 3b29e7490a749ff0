#include "report/dialogs/RpAbout.h"

#include "platform/DialogHook.h"
#include "tests/support/Components.h"

#include <gtest/gtest.h>

#include <memory>
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

TEST(AboutBox, HeadingShowsTheLibrarysNameOnAShapeBetweenTwoPictures)
{
    TRpAboutBox Box(nullptr);
    auto* Name = Find<TLabel>(&Box, "Label4");
    EXPECT_EQ(Name->Caption(), "Banded report library");
    EXPECT_EQ(Name->Font()->Color(), clWhite);
    EXPECT_EQ(Name->Font()->Height(), -24);
    EXPECT_TRUE(Name->Font()->Style().Contains(fsBold));
    std::unique_ptr<TBitmap> Shot(Box.GetFormImage());
    Shot->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/report-about.png");
    TCanvas* C = Shot->Canvas();
    EXPECT_EQ(C->Pixels(Name->Left() + Name->Width() - 4, 4), clNavy) << "the shape under the name";
    EXPECT_NE(C->Pixels(200, 100), clNavy) << "below the heading";
    for (const char* Picture : {"Picture1", "Picture2"}) {
        const TPaintBox* P = Find<TPaintBox>(&Box, Picture);
        int Drawn = 0;
        for (int Y = P->Top(); Y < P->Top() + P->Height(); ++Y)
            for (int X = P->Left(); X < P->Left() + P->Width(); ++X)
                Drawn += C->Pixels(X, Y) != clNavy ? 1 : 0;
        EXPECT_GT(Drawn, 200) << Picture << " is drawn on the shape";
    }
}
