// Print lists: the column layouts of a list and of a directory listing, the
// numbering of Druckliste-<n>.txt, writing and deleting them.
#include "fileops/print_list.hpp"

#include "config/list_config.hpp"
#include "lists/directory_reader.hpp"
#include "lists/list_file.hpp"
#include "lists/list_fixture.hpp"

namespace pavuto::test {
namespace {

std::vector<std::string> Written(const std::vector<Text>& lines) {
    std::vector<std::string> out;
    for (const auto& l : lines)
        if (!Trim(l).empty()) out.push_back(l);
    return out;
}

std::vector<Text> Names(int count, const std::string& prefix = "e") {
    std::vector<Text> out;
    for (int i = 1; i <= count; ++i) out.push_back(prefix + std::to_string(i));
    return out;
}

TEST(PrintListLayout, ListEntriesGoAcrossWithTheirNumbers) {
    // w is the longest title, at least 5: columns of w + 4 = 9.
    const std::vector<Text> titles{"Abc", "Defgh", "I", "Jklmn", "Op"};
    EXPECT_EQ(Written(ListPrintLines(titles, 1)),
              (std::vector<std::string>{" 1 Abc", " 2 Defgh", " 3 I", " 4 Jklmn", " 5 Op"}));
    EXPECT_EQ(Written(ListPrintLines(titles, 2)),
              (std::vector<std::string>{" 1 Abc    2 Defgh", " 3 I      4 Jklmn", " 5 Op    "}));
    EXPECT_EQ(Written(ListPrintLines(titles, 3)),
              (std::vector<std::string>{" 1 Abc    2 Defgh  3 I ", " 4 Jklmn  5 Op         "}));
}

TEST(PrintListLayout, LongNumbersAndTitlesAreNeverCutAndColumnsStayApart) {
    std::vector<Text> titles(12, "Titel");
    titles[9] = "Langer Titel";  // entry 10, the longest: w = 12
    const auto two = Written(ListPrintLines(titles, 2));
    ASSERT_EQ(two.size(), 6u);
    EXPECT_EQ(two[4], " 9 Titel         10 Langer Titel");
    const auto three = Written(ListPrintLines(titles, 3));
    ASSERT_EQ(three.size(), 4u);
    // Entry 12 in the third column keeps its whole text.
    EXPECT_EQ(three[3], " 10 Langer Titel  11 Titel        12 Titel   ");
}

TEST(PrintListLayout, DirectoryEntriesGoDownThenAcross) {
    // Seven entries in three columns: 1 4 6 / 2 5 7 / 3.
    const auto three = Written(DirectoryPrintLines(Names(7), 5, 3));
    EXPECT_EQ(three, (std::vector<std::string>{"e1     e4     e6", "e2     e5     e7", "e3            "}));
    // Two columns: the second starts after half of them.
    EXPECT_EQ(Written(DirectoryPrintLines(Names(4), 5, 2)), (std::vector<std::string>{"e1   e3", "e2   e4"}));
    EXPECT_EQ(Written(DirectoryPrintLines(Names(5), 5, 2)),
              (std::vector<std::string>{"e1   e3", "e2   e4", "     e5"}));
    // A name as wide as its column still has a blank after it.
    EXPECT_EQ(Written(DirectoryPrintLines({"abcde", "fghij"}, 5, 2)), (std::vector<std::string>{"abcde fghij"}));
}

TEST(PrintListLayout, FewEntriesAreNeitherLostNorPrintedTwice) {
    EXPECT_EQ(Written(DirectoryPrintLines(Names(1), 5, 2)), (std::vector<std::string>{"e1   "}));
    EXPECT_EQ(Written(DirectoryPrintLines(Names(2), 5, 3)), (std::vector<std::string>{"e1     e2     "}));
    EXPECT_EQ(Written(DirectoryPrintLines(Names(1), 5, 3)), (std::vector<std::string>{"e1            "}));
}

TEST(PrintListLayout, DirectoryEntriesTakenByTheListExtension) {
    const std::vector<Text> listing{"..", "a.mp3", "b.txt", "Lied.MP3", "<DIR> Musik", "\xAF C:"};
    std::vector<Text> taken;
    int width = 0;
    TakeDirectoryEntries(listing, {}, ".mp3", taken, width);
    EXPECT_EQ(taken, (std::vector<Text>{"a", "Lied"}));
    EXPECT_EQ(width, 8);  // "Lied.MP3" with its extension

    for (const char* every : {".alles", ".ALL", ".*"}) {
        TakeDirectoryEntries(listing, {}, every, taken, width);
        EXPECT_EQ(taken, (std::vector<Text>{"a.mp3", "b.txt", "Lied.MP3"})) << every;
        EXPECT_EQ(width, 8);
    }
    TakeDirectoryEntries({"x.alles"}, {}, ".alles", taken, width);
    EXPECT_EQ(taken, (std::vector<Text>{"x"}));
    EXPECT_EQ(width, 7);

    // With marks only the marked entries.
    TakeDirectoryEntries(listing, {false, false, true, true}, ".alles", taken, width);
    EXPECT_EQ(taken, (std::vector<Text>{"b.txt", "Lied.MP3"}));
    TakeDirectoryEntries({"a.mp3"}, {}, ".doc", taken, width);
    EXPECT_TRUE(taken.empty());
    EXPECT_EQ(width, 5);
}

struct PrintListTest : ListTest {
    std::string PrintList(int n) { return h.temp.Read("home/Druckliste-" + std::to_string(n) + ".txt"); }
    bool HasPrintList(int n) { return h.temp.Exists("home/Druckliste-" + std::to_string(n) + ".txt"); }
    void OpenList(int count) {
        std::string bytes;
        for (int i = 1; i <= count; ++i) bytes += Record("Titel " + std::to_string(i), "Rock");
        h.temp.Write("home/Rock.pavuto", bytes);
        p.browser.ListOpen = 1;
        p.browser.CurrentListFile = "C:\\home\\Rock.pavuto";
        p.window.FirstRecord = 1;
        ASSERT_TRUE(LoadWindow(p));
    }
};

TEST_F(PrintListTest, NumbersFillTheFirstGapAndTheLastIsReplaced) {
    EXPECT_EQ(PrintListName(p), "\\Druckliste-0.txt");
    h.temp.Write("home/Druckliste-0.txt", "x");
    h.temp.Write("home/Druckliste-2.txt", "x");
    EXPECT_EQ(PrintListName(p), "\\Druckliste-1.txt");
    for (int n = 0; n <= 100; ++n) h.temp.Write("home/Druckliste-" + std::to_string(n) + ".txt", "x");
    EXPECT_EQ(PrintListName(p), "\\Druckliste-100.txt");
    // A home at the root of a drive.
    p.settings.homePath = "\\";
    EXPECT_EQ(PrintListName(p), "\\Druckliste-0.txt");
}

TEST_F(PrintListTest, AListOfManyPagesPrintsEveryTitleAndKeepsTheBrowsersPage) {
    p.con.PageRows = 9;
    OpenList(40);
    p.window.FirstRecord = 19;
    ASSERT_TRUE(LoadWindow(p));
    const Text shown = p.window.Titles[20];
    MakePrintList(p, 1);
    const std::string file = PrintList(0);
    EXPECT_EQ(file.substr(0, 20), " 1 Titel 1\r\n 2 Titel");
    EXPECT_NE(file.find(" 40 Titel 40\r\n"), std::string::npos);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 40);
    EXPECT_EQ(Row(15, 7, 25), OnScreen(" fertig \\Druckliste-0.txt"));
    EXPECT_EQ(p.window.FirstRecord, 19);
    EXPECT_EQ(p.window.Titles[20], shown);

    MakePrintList(p, 3);
    const std::string three = PrintList(1);
    EXPECT_EQ(three.substr(0, three.find("\r\n")), " 1 Titel 1   2 Titel 2   3 Titel 3");
    EXPECT_EQ(std::count(three.begin(), three.end(), '\n'), 14);
}

TEST_F(PrintListTest, WithoutDuplicatesThePrintListHasWhatTheBrowserShows) {
    std::string bytes;
    for (const char* t : {"Alpha", "Alpha", "Beta", "Gamma", "Gamma", "Gamma", "Delta"}) bytes += Record(t, "Rock");
    h.temp.Write("home/Rock.pavuto", bytes);
    p.browser.ListOpen = 1;
    p.browser.CurrentListFile = "C:\\home\\Rock.pavuto";
    p.con.PageRows = 2;  // the browser holds five entries at a time, the print list all
    p.window.ListDisplay = 1;
    p.window.FirstRecord = 1;
    ASSERT_TRUE(LoadWindow(p));
    MakePrintList(p, 1);
    EXPECT_EQ(PrintList(0), " 1 Alpha\r\n 2 Beta\r\n 3 Gamma\r\n 4 Delta\r\n");
    EXPECT_EQ(p.window.FirstRecord, 1);
}

TEST_F(PrintListTest, ADirectoryListingPrintsItsFilesAndAnEmptyOneNothing) {
    h.temp.Write("home/a.mp3", "");
    h.temp.Write("home/b.txt", "");
    h.temp.Write("home/c.mp3", "");
    p.browser.ListOpen = 0;
    ReadDirectoryView(p);
    h.temp.Write("home/d.mp3", "");  // not yet in the listing
    MakePrintList(p, 2);
    EXPECT_EQ(PrintList(0), "a    c\r\n");
    // The listing is read again afterwards.
    bool listed = false;
    for (int i = 1; i <= p.window.RecordCount; ++i) listed |= p.window.Titles[static_cast<size_t>(i)] == "d.mp3";
    EXPECT_TRUE(listed);

    p.settings.listExtension = ".doc";
    MakePrintList(p, 1);
    EXPECT_FALSE(HasPrintList(1));
}

TEST_F(PrintListTest, AFailedWriteSaysSoAndLeavesNoFile) {
    OpenList(3);
    h.faults.FailAll(FaultyFileSystem::Op::Create, 61, "Druckliste");
    h.console.Key("x");  // the key after the message
    MakePrintList(p, 1);
    EXPECT_TRUE(ScreenHas(" Schreiben der Liste >>C:\\home\\Druckliste-0.txt<< nicht m\xF6glich."));
    EXPECT_FALSE(ScreenHas(" fertig "));
    EXPECT_FALSE(HasPrintList(0));
    EXPECT_FALSE(h.temp.Exists("home/Druckliste-0.txt.neu"));
}

TEST_F(PrintListTest, DeletingRemovesEveryPrintListOfTheHome) {
    for (int n : {0, 1, 7, 100}) h.temp.Write("home/Druckliste-" + std::to_string(n) + ".txt", "x");
    h.temp.Write("home/Druckliste-101.txt", "x");
    h.temp.Write("home/Rock.pavuto", Record("Titel", "Rock"));
    DeletePrintLists(p);
    for (int n : {0, 1, 7, 100}) EXPECT_FALSE(HasPrintList(n)) << n;
    EXPECT_TRUE(HasPrintList(101));
    EXPECT_TRUE(h.temp.Exists("home/Rock.pavuto"));
    EXPECT_EQ(Row(15, 7, 39), OnScreen("Alle Drucklisten (im Homepfad)gel\xF6scht."));
}

}  // namespace
}  // namespace pavuto::test
