#include "platform/IniFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/oz-ini-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        Dir = tmpl;
        Name = Dir + "/ozezudo.INI";
    }
    void TearDown() override
    {
        TIniFile::BeforeRename = nullptr;
        ::chmod(Dir.c_str(), 0700);
        std::system(("rm -rf '" + Dir + "'").c_str());
    }
    std::string Content(const std::string& file) const
    {
        std::ifstream in(file, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    void Put(const std::string& text) const
    {
        std::ofstream(Name, std::ios::binary) << text;
    }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        DIR* d = opendir(Dir.c_str());
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                names.push_back(e->d_name);
        closedir(d);
        return names;
    }
    std::string Dir;
    std::string Name;
};

TEST_F(IniFileTest, RoundTripKeepsNamesOrderAndTypes)
{
    {
        TIniFile ini(Name);
        ini.WriteInteger("Window Settings", "Height", 480);
        ini.WriteBool("Window Settings", "Maximized", true);
        ini.WriteBool("File Settings", "Loop Playback", false);
        ini.WriteFloat("Settings", "Timed Interval", 0.0416666666666667);
        ini.WriteString("Settings", "Print Header", "Ward 3 - bed 12");
        ini.WriteInteger("Communications", "Comm", -5);
        // an existing key is replaced in place, whatever the case used
        ini.WriteInteger("WINDOW SETTINGS", "height", 600);
    }
    EXPECT_EQ(Content(Name),
              "[Window Settings]\nHeight=600\nMaximized=1\n\n"
              "[File Settings]\nLoop Playback=0\n\n"
              "[Settings]\nTimed Interval=0.0416666666666667\nPrint Header=Ward 3 - bed 12\n\n"
              "[Communications]\nComm=-5\n");

    TIniFile ini(Name);
    EXPECT_EQ(ini.ReadInteger("window settings", "HEIGHT", 1), 600);
    EXPECT_TRUE(ini.ReadBool("Window Settings", "Maximized", false));
    EXPECT_FALSE(ini.ReadBool("File Settings", "Loop Playback", true));
    EXPECT_EQ(ini.ReadFloat("Settings", "Timed Interval", 9), 0.0416666666666667);
    EXPECT_EQ(ini.ReadString("Settings", "Print Header", "x"), "Ward 3 - bed 12");
    EXPECT_EQ(ini.ReadInteger("Communications", "Comm", 0), -5);
    EXPECT_EQ(ini.ReadSections(),
              (std::vector<std::string>{"Window Settings", "File Settings", "Settings", "Communications"}));
    EXPECT_EQ(ini.ReadSection("window settings"), (std::vector<std::string>{"Height", "Maximized"}));
}

TEST_F(IniFileTest, MissingFileOrKeyGivesDefaultsAndCreatesNothing)
{
    TIniFile ini(Name);
    EXPECT_EQ(ini.ReadInteger("Window Settings", "Height", 480), 480);
    EXPECT_EQ(ini.ReadString("Settings", "Print Header", "none"), "none");
    EXPECT_EQ(ini.ReadFloat("Settings", "Timed Interval", 0.5), 0.5);
    EXPECT_TRUE(ini.ReadBool("Settings", "Monitor Shadow Series", true));
    EXPECT_FALSE(ini.SectionExists("Settings"));
    EXPECT_FALSE(ini.ValueExists("Settings", "Stacked Test"));
    ini.DeleteKey("Settings", "Stacked Test");
    ini.EraseSection("Settings");
    EXPECT_TRUE(Files().empty());
}

TEST_F(IniFileTest, ReadsHandEditedFilesAndKeepsTheirComments)
{
    Put("; settings of the workbench\r\n"
        "[ Settings ]\r\n"
        "Stacked Test = 40\r\n"
        "Flow Unit=$0A\r\n"
        "Volume Unit=0x11\r\n"
        "Timed Interval=abc\r\n"
        "Maximized=2\r\n"
        "# a remark\r\n"
        "Print Header=\"  padded  \"\r\n");
    TIniFile ini(Name);
    EXPECT_EQ(ini.ReadInteger("Settings", "Stacked Test", 5), 40);
    EXPECT_EQ(ini.ReadInteger("Settings", "Flow Unit", 0), 10);
    EXPECT_EQ(ini.ReadInteger("Settings", "Volume Unit", 0), 17);
    EXPECT_EQ(ini.ReadFloat("Settings", "Timed Interval", 0.25), 0.25);   // not a number
    EXPECT_EQ(ini.ReadInteger("Settings", "Timed Interval", 7), 7);
    EXPECT_TRUE(ini.ReadBool("Settings", "Maximized", false));
    EXPECT_EQ(ini.ReadString("Settings", "Print Header", ""), "  padded  ");

    ini.WriteInteger("Settings", "Stacked Test", 5);
    const std::string text = Content(Name);
    EXPECT_NE(text.find("; settings of the workbench\n"), std::string::npos);
    EXPECT_NE(text.find("# a remark\n"), std::string::npos);
    EXPECT_NE(text.find("Stacked Test=5\n"), std::string::npos);
    EXPECT_NE(text.find("Print Header=\"  padded  \"\n"), std::string::npos);
}

TEST_F(IniFileTest, AwkwardValuesComeBackAsWrittenAndCannotAddLines)
{
    TIniFile ini(Name);
    const std::string values[] = {"", " lead", "trail ", "\"quoted\"", "a=b;c", "ünïcödé °C", "[x]"};
    for (size_t i = 0; i < std::size(values); ++i)
        ini.WriteString("Values", "Key " + std::to_string(i), values[i]);
    ini.WriteString("Values", "Injected", "x\n[Communications]\nComm=7");
    TIniFile other(Name);
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(other.ReadString("Values", "Key " + std::to_string(i), "?"), values[i]) << i;
    EXPECT_FALSE(other.SectionExists("Communications"));
    EXPECT_EQ(other.ReadString("Values", "Injected", ""), "x [Communications] Comm=7");
}

TEST_F(IniFileTest, TwoObjectsOnOneFileDoNotLoseEachOthersWrites)
{
    TIniFile a(Name);
    TIniFile b(Name);
    EXPECT_EQ(a.ReadInteger("Settings", "Stacked Test", 5), 5);   // a holds the empty file
    b.WriteString("Settings", "Print Header", "from b");
    a.WriteInteger("Settings", "Stacked Test", 9);
    TIniFile c(Name);
    EXPECT_EQ(c.ReadString("Settings", "Print Header", ""), "from b");
    EXPECT_EQ(c.ReadInteger("Settings", "Stacked Test", 0), 9);
    EXPECT_EQ(b.ReadInteger("Settings", "Stacked Test", 0), 9);
}

TEST_F(IniFileTest, InterruptedWriteLeavesTheOldFileIntact)
{
    TIniFile ini(Name);
    ini.WriteInteger("Window Settings", "Height", 480);
    ini.WriteString("Settings", "Print Header", "old");
    ::chmod(Name.c_str(), 0640);
    const std::string before = Content(Name);

    std::string tempSeen;
    TIniFile::BeforeRename = [&](const std::string& temp) {
        // the new content is complete in the temporary file at this point
        if (tempSeen.empty()) {
            EXPECT_NE(Content(temp).find("Print Header=new"), std::string::npos);
        }
        tempSeen = temp;
        return false;   // the machine goes down here
    };
    EXPECT_THROW(ini.WriteString("Settings", "Print Header", "new"), EIniFileException);
    EXPECT_THROW(ini.EraseSection("Window Settings"), EIniFileException);
    TIniFile::BeforeRename = nullptr;

    EXPECT_EQ(ExtractFilePath(tempSeen), ExtractFilePath(Name));   // same folder, so rename is atomic
    EXPECT_EQ(Content(Name), before);
    EXPECT_EQ(Files(), std::vector<std::string>{"ozezudo.INI"});   // no temporary left behind
    // neither this object nor a new one reports the lost value
    EXPECT_EQ(ini.ReadString("Settings", "Print Header", ""), "old");
    EXPECT_TRUE(ini.SectionExists("Window Settings"));
    EXPECT_EQ(TIniFile(Name).ReadString("Settings", "Print Header", ""), "old");

    ini.WriteString("Settings", "Print Header", "new");
    EXPECT_EQ(TIniFile(Name).ReadString("Settings", "Print Header", ""), "new");
    struct stat st {};
    ASSERT_EQ(::stat(Name.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);   // permissions survive the replacement
}

TEST_F(IniFileTest, WriteThatCannotBeStoredRaises)
{
    TIniFile nowhere(Dir + "/missing/folder/x.INI");
    EXPECT_THROW(nowhere.WriteInteger("Settings", "Stacked Test", 5), EIniFileException);

    if (::geteuid() == 0)
        GTEST_SKIP() << "root can write and read everything";
    Put("[Settings]\nStacked Test=40\nFlow Unit=10\n");
    ::chmod(Name.c_str(), 0200);   // exists but cannot be read
    TIniFile ini(Name);
    EXPECT_EQ(ini.ReadInteger("Settings", "Stacked Test", 5), 5);
    // writing must not replace the unreadable file by one holding only this key
    EXPECT_THROW(ini.WriteInteger("Settings", "Stacked Test", 6), EIniFileException);
    ::chmod(Name.c_str(), 0600);
    EXPECT_EQ(Content(Name), "[Settings]\nStacked Test=40\nFlow Unit=10\n");
}

TEST_F(IniFileTest, DeleteKeyAndEraseSection)
{
    TIniFile ini(Name);
    ini.WriteInteger("Window Settings", "Top", 10);
    ini.WriteInteger("Window Settings", "Left", 10);
    ini.WriteInteger("Settings", "Stacked Test", 5);
    ini.DeleteKey("window settings", "TOP");
    EXPECT_FALSE(ini.ValueExists("Window Settings", "Top"));
    EXPECT_TRUE(ini.ValueExists("Window Settings", "Left"));
    ini.EraseSection("SETTINGS");
    EXPECT_FALSE(ini.SectionExists("Settings"));
    EXPECT_EQ(Content(Name), "[Window Settings]\nLeft=10\n");
}

// A save of many keys (and a file with a long line in it) replaces the file
// once, at the end of the update, not once per key.
TEST_F(IniFileTest, AnUpdateReplacesTheFileOnceForAllItsKeys)
{
    const std::string longLine(1 << 20, 'x');
    std::string text = "; kept\n[Notes]\nLong=" + longLine + "\n[Old]\nGone=1\n[Settings]\n";
    for (int i = 0; i < 200; ++i)
        text += "Key " + std::to_string(i) + "=old\n";
    Put(text);
    int replaced = 0;
    TIniFile::BeforeRename = [&](const std::string&) {
        ++replaced;
        return true;
    };

    TIniFile ini(Name);
    ini.BeginUpdate();
    ini.BeginUpdate();   // nested: only the outermost end stores
    for (int i = 0; i < 200; ++i)
        ini.WriteInteger("Settings", "Key " + std::to_string(i), i * 7);
    ini.WriteString("Window Settings", "Height", "600");
    ini.DeleteKey("Settings", "Key 199");
    ini.EraseSection("Old");
    // held, and seen by reads of this object only
    EXPECT_EQ(ini.ReadInteger("Settings", "Key 3", 0), 21);
    EXPECT_FALSE(ini.SectionExists("Old"));
    EXPECT_EQ(TIniFile(Name).ReadString("Settings", "Key 3", ""), "old");
    ini.EndUpdate();
    EXPECT_EQ(replaced, 0);
    EXPECT_EQ(Content(Name), text);
    ini.EndUpdate();
    EXPECT_EQ(replaced, 1);

    TIniFile again(Name);
    for (int i = 0; i < 199; ++i)
        EXPECT_EQ(again.ReadInteger("Settings", "Key " + std::to_string(i), -1), i * 7) << i;
    EXPECT_FALSE(again.ValueExists("Settings", "Key 199"));
    EXPECT_FALSE(again.SectionExists("Old"));
    EXPECT_EQ(again.ReadString("Notes", "Long", ""), longLine);
    EXPECT_EQ(again.ReadInteger("Window Settings", "Height", 0), 600);
    EXPECT_EQ(Content(Name).rfind("; kept\n", 0), 0u);
    EXPECT_EQ(Files(), std::vector<std::string>{"ozezudo.INI"});

    // outside an update every write is on disk at once again
    ini.WriteInteger("Settings", "Key 0", 1);
    EXPECT_EQ(replaced, 2);
    EXPECT_EQ(TIniFile(Name).ReadInteger("Settings", "Key 0", -1), 1);
}

// The end of an update that cannot be stored raises once and holds nothing
// back for later; an update left open is stored when the object goes.
TEST_F(IniFileTest, AFailedUpdateRaisesAndAnOpenOneIsStoredAtTheEnd)
{
    Put("[Settings]\nStacked Test=7\n");
    {
        TIniFile ini(Name);
        ini.BeginUpdate();
        ini.WriteInteger("Settings", "Stacked Test", 9);
        ini.WriteInteger("Window Settings", "Height", 600);
        TIniFile::BeforeRename = [](const std::string&) { return false; };
        EXPECT_THROW(ini.EndUpdate(), EIniFileException);
        TIniFile::BeforeRename = nullptr;
        EXPECT_EQ(ini.ReadInteger("Settings", "Stacked Test", 0), 7);   // the disk's again
        EXPECT_FALSE(ini.ValueExists("Window Settings", "Height"));
    }
    EXPECT_EQ(Content(Name), "[Settings]\nStacked Test=7\n");
    EXPECT_EQ(Files(), std::vector<std::string>{"ozezudo.INI"});

    {
        TIniFile ini(Name);
        ini.BeginUpdate();
        ini.WriteInteger("Settings", "Stacked Test", 9);
    }
    EXPECT_EQ(Content(Name), "[Settings]\nStacked Test=9\n");
}

TEST(ProgramDataPaths, BesideTheProgramOrInTheUsersFolders)
{
    setenv("XDG_CONFIG_HOME", "/home/u/cfg", 1);
    setenv("XDG_DATA_HOME", "/home/u/data", 1);
    const auto yes = [](const std::string&) { return true; };
    const auto no = [](const std::string&) { return false; };

    TProgramDataPaths p = ProgramDataPaths("/opt/oz/bin/ozezudo", yes);
    EXPECT_EQ(p.IniFileName, "/opt/oz/bin/ozezudo.INI");
    EXPECT_EQ(p.SignalsDir, "/opt/oz/bin/Signals/");

    std::string probed;
    p = ProgramDataPaths("/usr/bin/ozezudo", [&](const std::string& d) {
        probed = d;
        return false;
    });
    EXPECT_EQ(probed, "/usr/bin/");
    EXPECT_EQ(p.IniFileName, "/home/u/cfg/ozezudo/ozezudo.INI");
    EXPECT_EQ(p.SignalsDir, "/home/u/data/ozezudo/Signals/");

    // relative XDG values are ignored in favour of the home folder
    setenv("XDG_CONFIG_HOME", "cfg", 1);
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", "/home/v", 1);
    p = ProgramDataPaths("/usr/bin/ozezudo.bin", no);
    EXPECT_EQ(p.IniFileName, "/home/v/.config/ozezudo/ozezudo.INI");
    EXPECT_EQ(p.SignalsDir, "/home/v/.local/share/ozezudo/Signals/");
}

TEST(ProgramDataPaths, ReadOnlyProgramFolderIsDetected)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "nothing is read-only for root";
    char tmpl[] = "/tmp/oz-ro-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    setenv("XDG_CONFIG_HOME", "/home/u/cfg", 1);
    EXPECT_EQ(ProgramDataPaths(dir + "/ozezudo").IniFileName, dir + "/ozezudo.INI");
    ::chmod(dir.c_str(), 0500);
    EXPECT_EQ(ProgramDataPaths(dir + "/ozezudo").IniFileName, "/home/u/cfg/ozezudo/ozezudo.INI");
    ::chmod(dir.c_str(), 0700);
    ::rmdir(dir.c_str());
}

}  // namespace
