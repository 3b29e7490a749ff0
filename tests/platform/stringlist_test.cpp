#include "platform/Classes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace {

std::vector<std::string> Items(const TStrings& L)
{
    std::vector<std::string> v;
    for (int i = 0; i < L.Count(); ++i)
        v.push_back(L.Strings(i));
    return v;
}

TEST(StringList, TextSplitsEveryLineBreakKind)
{
    struct C {
        const char* Text;
        std::vector<std::string> Lines;
    };
    const C cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\n\nb\r\n\r\n", {"a", "", "b", ""}},
    };
    TStringList L;
    for (const C& c : cases) {
        L.SetText(c.Text);
        EXPECT_EQ(Items(L), c.Lines) << c.Text;
    }
    L.SetText("x\r\ny");
    EXPECT_EQ(L.Text(), "x\ny\n");
}

TEST(StringList, CommaTextQuotesWhatNeedsIt)
{
    TStringList L;
    for (const char* s : {"a", "b c", "", "q\"x", ","})
        L.Add(s);
    EXPECT_EQ(L.CommaText(), "a,\"b c\",\"\",\"q\"\"x\",\",\"");
    TStringList M;
    M.SetCommaText(L.CommaText());
    EXPECT_EQ(Items(M), Items(L));
    M.SetCommaText(" a , b c,\"d e\",");
    EXPECT_EQ(Items(M), (std::vector<std::string>{"a", "b", "c", "d e", ""}));
}

TEST(StringList, NamesAndValues)
{
    TStringList L;
    L.SetValues("Port", "COM3");
    L.SetValues("Baud", "38400");
    L.Add("plain line");
    L.SetValues("Port", "COM4");
    EXPECT_EQ(Items(L), (std::vector<std::string>{"Port=COM4", "Baud=38400", "plain line"}));
    EXPECT_EQ(L.Values("BAUD"), "38400");
    EXPECT_EQ(L.Values("plain line"), "");
    EXPECT_EQ(L.Names(1), "Baud");
    EXPECT_EQ(L.ValueFromIndex(0), "COM4");
    L.SetValues("Port", "");
    EXPECT_EQ(L.IndexOfName("Port"), -1);
    EXPECT_EQ(L.Count(), 2);
}

TEST(StringList, SortedListsKeepOrderAndHonourDuplicates)
{
    TStringList L;
    for (const char* s : {"pear", "Apple", "fig", "apple"})
        L.Add(s);
    L.SetSorted(true);
    EXPECT_EQ(Items(L), (std::vector<std::string>{"Apple", "apple", "fig", "pear"}));
    EXPECT_EQ(L.Add("banana"), 2);
    EXPECT_EQ(L.Add("FIG"), 3);   // dupIgnore: the index of the one there
    EXPECT_EQ(L.Count(), 5);
    int at = -1;
    EXPECT_TRUE(L.Find("PEAR", at));
    EXPECT_EQ(at, 4);
    EXPECT_FALSE(L.Find("cherry", at));
    EXPECT_EQ(at, 3);
    EXPECT_EQ(L.IndexOf("Banana"), 2);
    EXPECT_THROW(L.Insert(0, "x"), EStringListError);
    EXPECT_THROW(L.SetStrings(0, "x"), EStringListError);

    L.SetDuplicates(dupError);
    EXPECT_THROW(L.Add("fig"), EStringListError);
    L.SetDuplicates(dupAccept);
    EXPECT_EQ(L.Add("fig"), 4);
    EXPECT_EQ(L.Count(), 6);

    L.SetCaseSensitive(true);
    EXPECT_EQ(L.IndexOf("FIG"), -1);
    EXPECT_EQ(L.Strings(0), "Apple");   // upper case sorts first
}

TEST(StringList, ObjectsTravelWithTheirStrings)
{
    TObject a, b, c;
    TStringList L;
    L.AddObject("c", &c);
    L.AddObject("a", &a);
    L.AddObject("b", &b);
    L.Sort();
    EXPECT_EQ(L.Objects(0), &a);
    EXPECT_EQ(L.Objects(2), &c);
    L.Move(0, 2);
    EXPECT_EQ(Items(L), (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_EQ(L.Objects(2), &a);
    L.Exchange(0, 1);
    EXPECT_EQ(L.Objects(0), &c);
    EXPECT_EQ(L.Objects(1), &b);
    EXPECT_EQ(L.IndexOfObject(&b), 1);

    TStringList copy;
    copy.Assign(&L);
    EXPECT_EQ(Items(copy), Items(L));
    EXPECT_EQ(copy.Objects(2), &a);
    copy.AddStrings(&copy);   // adding a list to itself doubles it once
    EXPECT_EQ(copy.Count(), 6);

    TComponent comp(nullptr);
    EXPECT_THROW(copy.Assign(&comp), EConvertError);
}

TEST(StringList, ChangesAreReportedOncePerBatch)
{
    TStringList L;
    int changing = 0, changed = 0;
    L.OnChanging = [&](TObject*) { ++changing; };
    L.OnChange = [&](TObject*) { ++changed; };
    L.Add("a");
    L.Add("b");
    EXPECT_EQ(changed, 2);
    L.SetText("x\ny\nz");
    EXPECT_EQ(changing, 3);
    EXPECT_EQ(changed, 3);
    L.BeginUpdate();
    L.Delete(0);
    L.BeginUpdate();
    L.Clear();
    L.EndUpdate();
    EXPECT_EQ(changed, 3);
    L.EndUpdate();
    EXPECT_EQ(changed, 4);
}

TEST(StringList, BadIndexesRaise)
{
    TStringList L;
    L.Add("a");
    EXPECT_THROW(L.Strings(1), EStringListError);
    EXPECT_THROW(L.Strings(-1), EStringListError);
    EXPECT_THROW(L.Delete(1), EStringListError);
    EXPECT_THROW(L.Insert(2, "x"), EStringListError);
    EXPECT_THROW(L.Objects(5), EStringListError);
    L.Insert(1, "b");   // one past the end appends
    EXPECT_EQ(L.Count(), 2);
}

TEST(StringList, FilesRoundTripAndMissingFileRaises)
{
    char tmpl[] = "/tmp/oz-sl-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    const std::string name = dir + "/lines.txt";
    std::ofstream(name, std::ios::binary) << "\xEF\xBB\xBF" "first\r\nsecond °C\r\n";
    TStringList L;
    L.LoadFromFile(name);
    EXPECT_EQ(Items(L), (std::vector<std::string>{"first", "second °C"}));
    L.Add("third");
    L.SaveToFile(name);
    TStringList M;
    M.LoadFromFile(name);
    EXPECT_EQ(Items(M), Items(L));
    EXPECT_THROW(M.LoadFromFile(dir + "/none.txt"), EFileError);
    EXPECT_THROW(M.SaveToFile(dir + "/no/such/folder.txt"), EFileError);
    EXPECT_EQ(Items(M), Items(L));   // a failed load leaves the list alone
    std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
