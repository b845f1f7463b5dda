// List files: measuring, the record window in its three display modes,
// splitting, resolving records to files, and counting lines.
#include "lists/list_file.hpp"

#include "lists/list_fixture.hpp"

namespace pavuto::test {
namespace {

struct ListFileTest : ListTest {
    void WriteList(const std::string& bytes) {
        h.temp.Write("home/Rock.pavuto", bytes);
        p.browser.CurrentListFile = "C:\\home\\Rock.pavuto";
    }
    std::string Title(int i) { return p.window.Titles[static_cast<size_t>(i)]; }
    std::string Dir(int i) { return p.window.Directories[static_cast<size_t>(i)]; }
};

std::string Numbered(int n, int maxdl = 30, int maxdldir = 30) {
    std::string s;
    for (int i = 1; i <= n; ++i) s += Record("Titel " + std::to_string(i), "Musik", maxdl, maxdldir);
    return s;
}

TEST_F(ListFileTest, RecordLengthComesFromTheFirstLineAndCountFromTheSize) {
    WriteList(Numbered(10));
    ListMeasure m = MeasureListFile(p, "C:\\home\\Rock.pavuto");
    EXPECT_EQ(m.recordLength, 61);
    EXPECT_EQ(m.recordCount, 10);
    p.window.FirstRecord = 10;
    ASSERT_TRUE(LoadWindow(p));
    EXPECT_EQ(Title(10), "Titel 10");  // read from offset 549
    EXPECT_EQ(Dir(10), "Musik");
    EXPECT_EQ(p.window.RecordLength, 61);
    EXPECT_EQ(p.window.RecordCount, 10);

    // No CR LF in the first 2000 bytes: no records, and nothing is misread.
    WriteList(std::string(3000, 'x'));
    m = MeasureListFile(p, "C:\\home\\Rock.pavuto");
    EXPECT_EQ(m.recordCount, 0);
}

TEST_F(ListFileTest, AnEmptyListShowsNothingAndReportsTheEnd) {
    WriteList("");
    p.window.Titles[1] = "";
    h.console.Locate(19, 7);
    ASSERT_TRUE(LoadWindow(p));
    EXPECT_EQ(p.window.RecordCount, 0);
    EXPECT_EQ(Title(1), "");
    EXPECT_EQ(Row(19, 7, 11), "Datei ende.");
    EXPECT_EQ(h.clock.Milliseconds(), 2000);
    EXPECT_FALSE(LoadWindow(p, "C:\\home\\gibtsnicht.pavuto"));
}

TEST_F(ListFileTest, MoreThan32000RecordsAreCutWithAMessage) {
    std::string bytes;
    for (int i = 0; i < 32001; ++i) bytes += "ab\r\n";
    WriteList(bytes);
    h.console.Key("x");
    ListMeasure m = MeasureListFile(p, "C:\\home\\Rock.pavuto");
    EXPECT_EQ(m.recordCount, 32000);
    EXPECT_EQ(Row(19, 7, 63), "mehr Daten zum lesen ( 32001 )als maximal vorgesehen ( 32001 ).");
    EXPECT_EQ(h.console.Pending(), 0u);
}

TEST_F(ListFileTest, AllRecordsModeFillsTwoPagesAndStopsAtTheEndOrTheLimit) {
    WriteList(Numbered(25));
    p.window.FirstRecord = 3;
    ASSERT_TRUE(LoadWindow(p));
    for (int i = 3; i <= 21; ++i) EXPECT_EQ(Title(i), "Titel " + std::to_string(i));  // 2 x 9 + 1 slots
    EXPECT_EQ(Title(22), std::string(1, '\xff'));
    EXPECT_EQ(h.clock.Milliseconds(), 0);  // no end reached

    p.window.FirstRecord = 20;
    h.console.Locate(3, 1);
    ASSERT_TRUE(LoadWindow(p));
    EXPECT_EQ(Title(25), "Titel 25");
    EXPECT_EQ(Row(3, 1, 11), "Datei ende.");
    EXPECT_EQ(h.clock.Milliseconds(), 2000);

    std::string many;
    for (int i = 0; i < 32000; ++i) many += "ab>d<\r\n";
    WriteList(many);
    p.window.FirstRecord = 31995;
    h.console.Locate(2, 1);
    ASSERT_TRUE(LoadWindow(p));
    EXPECT_EQ(Title(32000), "ab");
    EXPECT_EQ(Row(2, 1, 38), OnScreen(" Maximum ( 32000 ) Datens\xE4tze erreicht"));
}

TEST_F(ListFileTest, ThreeDisplayModesOnRunsOfEqualTitles) {
    WriteList(Record("Alpha", "a") + Record("Alpha", "b") + Record("Alpha", "c") + Record("Beta", "a") +
              Record("Gamma", "a") + Record("Gamma", "b") + Record("Omega", "z"));
    p.window.ListDisplay = 1;
    ASSERT_TRUE(LoadWindow(p));
    EXPECT_EQ(Title(1), "Alpha");
    EXPECT_EQ(Dir(1), "a");
    EXPECT_EQ(Title(2), "Beta");
    EXPECT_EQ(Title(3), "Gamma");
    EXPECT_EQ(Title(4), "Omega");
    EXPECT_EQ(Row(21, 7, 11), "Datei ende.");

    for (auto& t : p.window.Titles) t.clear();
    p.window.ListDisplay = 2;
    ASSERT_TRUE(LoadWindow(p));
    const char* expected[][2] = {{"Alpha", "a"}, {"Alpha", "b"}, {"Alpha", "c"}, {"Gamma", "a"}, {"Gamma", "b"}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Title(i + 1), expected[i][0]) << i;
        EXPECT_EQ(Dir(i + 1), expected[i][1]) << i;
    }
    EXPECT_EQ(Title(6), "");  // neither Beta nor Omega
}

TEST_F(ListFileTest, RecordsWithoutADirectoryFieldCompareTheirFirst150Characters) {
    std::string a(160, 'a');
    std::string sameStart = a;
    sameStart[154] = 'b';
    std::string differs = a;
    differs[100] = 'c';
    WriteList(a + "\r\n" + sameStart + "\r\n" + differs + "\r\n");
    p.window.ListDisplay = 1;
    ASSERT_TRUE(LoadWindow(p));
    EXPECT_EQ(Title(1), a);  // not split, shown whole
    EXPECT_EQ(Dir(1), "");
    EXPECT_EQ(Title(2), differs);
}

TEST_F(ListFileTest, SplittingTakesTheDirectoryAndTrimsTheTitle) {
    WriteList(Record("Song - Band", "Musik\\Rock") + Record("Wurzel", "") + Record("Fern   ", "x\\y"));
    ASSERT_TRUE(LoadWindow(p));
    EXPECT_EQ(Title(1), "Song - Band");
    EXPECT_EQ(Dir(1), "Musik\\Rock");
    EXPECT_EQ(Title(2), "Wurzel");
    EXPECT_EQ(Dir(2), "");
    EXPECT_EQ(Title(3), "Fern");
    EXPECT_EQ(Dir(3), "x\\y");
}

TEST_F(ListFileTest, EntriesResolveThroughTheFirstSearchPathThatHoldsTheFile) {
    h.temp.Write("xx/abc/Lied.mp3", "");
    h.temp.Write("yy/abc/Lied.mp3", "");
    h.temp.Write("yy/abc/Solo.mp3", "");
    h.temp.Write("Musik/Song - The Band.mp3", "");
    h.temp.Write("Song.mp3", "");
    h.temp.Write("Musik/Kurz .mp3", "");
    p.listConfig.extension = ".mp3";
    auto& w = p.window;
    w.SearchPaths[1] = "C:\\xx\\abc\\";
    w.SearchPaths[2] = "C:\\yy\\abc\\";
    w.SearchPaths[3] = "C:\\Musik\\";
    w.SearchPaths[4] = "C:\\";
    w.SearchPathCount = 4;
    auto slot = [&](int i, const std::string& title, const std::string& dir) {
        w.Titles[static_cast<size_t>(i)] = title;
        w.Directories[static_cast<size_t>(i)] = dir;
    };
    slot(1, "Lied", "abc");
    slot(2, "Solo", "ABC");
    slot(3, "Band - Song", "Musik");
    slot(4, "Song", "");      // a file of the drive root: "\\" is in no search path
    slot(5, "Kurz", "Musik");  // trailing blanks of the real name are gone
    slot(6, "Fehlt", "Musik");
    EXPECT_EQ(ResolveEntry(p, 1), "C:\\xx\\abc\\Lied.mp3");
    EXPECT_EQ(ResolveEntry(p, 2), "C:\\yy\\abc\\Solo.mp3");
    EXPECT_EQ(ResolveEntry(p, 3), "C:\\Musik\\Song - The Band.mp3");
    EXPECT_EQ(ResolveEntry(p, 4), "");
    EXPECT_EQ(ResolveEntry(p, 5), "");
    EXPECT_EQ(ResolveEntry(p, 6), "");
}

TEST_F(ListFileTest, APageChangeReadsOnlyThePage) {
    WriteList(Numbered(1000));
    const long L = 61;
    for (int first : {1, 500, 990}) {
        files.Reset();
        p.window.FirstRecord = first;
        ASSERT_TRUE(LoadWindow(p));
        const int window = 2 * p.con.PageRows + 1;
        EXPECT_LE(files.reads, window + 1) << first;  // the measuring read and the record reads
        EXPECT_LE(files.bytesRead, window * L + 2000) << first;
        EXPECT_EQ(Title(first), "Titel " + std::to_string(first));
    }
}

TEST_F(ListFileTest, LinesAreCountedAsTextLines) {
    h.temp.Write("home/a.pavuto", "eins\r\nzwei\nDrei\rvier\r\n\r\nletzte");
    EXPECT_EQ(CountListLines(p.files(), "C:\\home\\a.pavuto"), 6);
    h.temp.Write("home/b.pavuto", "");
    EXPECT_EQ(CountListLines(p.files(), "C:\\home\\b.pavuto"), 0);
    std::string big;
    for (int i = 0; i < 40000; ++i) big += i % 2 ? "a\r" : "bb\r\n";  // across read blocks
    h.temp.Write("home/c.pavuto", big);
    EXPECT_EQ(CountListLines(p.files(), "C:\\home\\c.pavuto"), 40000);
    EXPECT_TRUE(IsListFileName("Rock.PAVUTO"));
    EXPECT_FALSE(IsListFileName("Rock.pavuto-rnd"));
}

}  // namespace
}  // namespace pavuto::test
