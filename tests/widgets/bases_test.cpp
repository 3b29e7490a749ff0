// Control bases, settings-object change chain, the shared info record and
// form positions in the per-user settings.
#include "widgets/_IcClass.h"
#include "widgets/_icproc.h"

#include "platform/Application.h"
#include "platform/Forms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

class TCountingGraphic : public TIcGraphicControl {
public:
    using TIcGraphicControl::TIcGraphicControl;
    int Changes = 0;

protected:
    void ParamChange(TObject*) override { ++Changes; }
};

TEST(IcControlBases, UpdatesFoldIntoOneChangeAndUnmatchedEndsAreAbsorbed)
{
    EnsureApplication();
    TWinControl owner(nullptr);
    TCountingGraphic g(&owner);
    EXPECT_EQ(g.Parent(), &owner);
    EXPECT_EQ(g.IcInfo(), LoadIcInfo());
    g.BeginUpdate();
    g.BeginUpdate();
    g.Change();   // folded
    g.EndUpdate();
    EXPECT_EQ(g.Changes, 0);
    g.EndUpdate();
    EXPECT_EQ(g.Changes, 1);
    g.EndUpdate();
    EXPECT_EQ(g.Changes, 1);
    EXPECT_EQ(g.UpdateCount(), 0);
    g.Change();
    EXPECT_EQ(g.Changes, 2);
}

TEST(IcControlBases, GraphicControlNeedsAWindowedOwner)
{
    EnsureApplication();
    TComponent plain(nullptr);
    EXPECT_THROW(TCountingGraphic g(&plain), EConvertError);
    TCountingGraphic orphan(nullptr);
    EXPECT_EQ(orphan.Parent(), nullptr);
}

TEST(IcPersistent, ChangeReachesTheOwnerWithTheChangedObject)
{
    TIcPersistent settings, pen;
    TObject* sender = nullptr;
    settings.OnChange = [&](TObject* S) { sender = S; };
    pen.OnChange = [&](TObject* S) { settings.ChangeObject(S); };
    pen.Change();
    EXPECT_EQ(sender, &pen);
    settings.Change();
    EXPECT_EQ(sender, &settings);
}

TEST(IcInfo, OneSharedRecordWithTheLibraryTexts)
{
    EXPECT_EQ(LoadIcInfo(), LoadIcInfo());
    EXPECT_EQ(LoadIcInfo()->pName(), "IcWidgets");
    EXPECT_EQ(LoadIcInfo()->pVersion(), "1.4.0.0");
}

class TdlgPlaced : public TForm {
public:
    explicit TdlgPlaced(TComponent* Owner) : TForm(Owner) { DoCreate(); }
};

TEST(IcFormPositions, SavedPerUserAndClippedToTheScreen)
{
    EnsureApplication();
    const std::string dir =
        (std::filesystem::temp_directory_path() / ("icwidgets-" + std::to_string(::getpid()))).string();
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    TdlgPlaced form(nullptr);
    form.SetBounds(40, 30, 200, 100);
    IcSaveFormPos(&form);
    EXPECT_TRUE(FileExists(IcSettingsFileName()));
    EXPECT_EQ(IcSettingsFileName().rfind(dir, 0), 0u);
    form.SetBounds(0, 0, 200, 100);
    IcLoadFormPos(&form);
    EXPECT_EQ(form.Left(), 40);
    EXPECT_EQ(form.Top(), 30);

    form.SetBounds(-50, Screen->Height() + 10, 200, 100);
    IcSaveFormPos(&form);
    IcLoadFormPos(&form);
    EXPECT_EQ(form.Left(), 0);
    EXPECT_EQ(form.Top(), Screen->Height() - 100);
    EXPECT_EQ(form.Width(), 200);
    std::filesystem::remove_all(dir);
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
