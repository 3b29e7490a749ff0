// The clipboard within one process, and the desktop-open hook.
#include "platform/Application.h"
#include "platform/Clipbrd.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Clipboard, TextAndPictureReplaceEachOther)
{
    EnsureApplication();
    Clipboard()->SetText("Flow 12.5 L/min \xC2\xB5");
    EXPECT_EQ(Clipboard()->AsText(), "Flow 12.5 L/min \xC2\xB5");
    EXPECT_FALSE(Clipboard()->HasBitmap());
    TBitmap Untouched(3, 2);
    EXPECT_FALSE(Clipboard()->GetBitmap(Untouched));
    EXPECT_EQ(Untouched.Width(), 3);
    EXPECT_EQ(Untouched.Height(), 2);

    // Every pixel distinct, and a size that is not square, so a swapped
    // channel, row or axis shows.
    TBitmap Source(7, 5);
    for (int Y = 0; Y < 5; ++Y)
        for (int X = 0; X < 7; ++X)
            Source.ScanLine(Y)[X] = 0xFF000000u | static_cast<uint32_t>(X * 30) << 16 | static_cast<uint32_t>(Y * 50) << 8 |
                                    static_cast<uint32_t>(X * 7 + Y);
    Clipboard()->SetBitmap(Source);
    EXPECT_TRUE(Clipboard()->HasBitmap());
    TBitmap Copy;
    ASSERT_TRUE(Clipboard()->GetBitmap(Copy));
    EXPECT_TRUE(Copy.SameImage(Source));

    Clipboard()->SetText("again");
    EXPECT_FALSE(Clipboard()->HasBitmap());
}

TEST(ShellOpen, HookReceivesRequestsUntilRemoved)
{
    std::vector<std::string> Asked;
    bool Answer = true;
    const TShellOpenHook Old = SetShellOpenHook([&](const std::string& S) {
        Asked.push_back(S);
        return Answer;
    });
    EXPECT_FALSE(Old);
    EXPECT_TRUE(ShellOpen("/tmp/report.pdf"));
    Answer = false;
    EXPECT_FALSE(ShellOpen("https://example.org/a b"));
    EXPECT_EQ(Asked, (std::vector<std::string>{"/tmp/report.pdf", "https://example.org/a b"}));
    EXPECT_TRUE(SetShellOpenHook(nullptr));
    // Without a hook an empty request is refused before the desktop is asked.
    EXPECT_FALSE(ShellOpen(""));
}

}  // namespace
