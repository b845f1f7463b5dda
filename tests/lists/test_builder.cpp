// Building lists from search paths and from a drive scan.
#include "lists/builder.hpp"

#include <set>

#include "config/list_config.hpp"
#include "lists/list_file.hpp"
#include "lists/list_fixture.hpp"

namespace pavuto::test {
namespace {

struct BuilderTest : ListTest {
    BuilderTest() { p.settings.listExtension = ".mp3"; }

    void WriteConfig(const std::vector<std::string>& paths, int nur = 1, const std::string& widths = "MAXDL=30 \r\nMAXDLDIR=30 \r\n") {
        std::string text = " ----- pavuto configuration ------\r\nZIELDATEI1=Rock\r\nConfiguration=Default\r\n"
                           "Dateiendung=.mp3\r\n" + widths + "NURNAMENSLISTE= " + std::to_string(nur) +
                           "\r\n ---- suchPfade ----\r\n";
        for (const auto& s : paths) text += s + "\r\n";
        h.temp.Write("home/Rock.config", text);
        p.browser.CurrentListConfiguration = "C:\\home\\Rock.config";
    }
    void Rebuild() {
        h.console.Key(" ");  // the key that ends the rebuild
        RebuildList(p);
        EXPECT_EQ(h.console.Pending(), 0u);
    }
    std::string List() { return h.temp.Read("home/Rock.pavuto"); }
};

TEST_F(BuilderTest, RecordsHaveTheTitleAndTheDirectoryFieldAndAreSorted) {
    h.temp.Write("Musik/Rock/Song - Band.mp3", "");
    h.temp.Write("Musik/Rock/Best.mp3 Mix.mp3", "");
    h.temp.Write("Musik/Rock/notiz.txt", "");
    WriteConfig({"C:\\Musik\\Rock\\"}, 0);
    Rebuild();
    EXPECT_EQ(List(), Record("Best", "Musik\\Rock") + Record("Song - Band", "Musik\\Rock"));
    EXPECT_EQ(Record("Song - Band", "Musik\\Rock").size(), 61u);
    EXPECT_EQ(h.temp.Read("home/Rock Interpreten.pavuto"),
              PadRight("Band - Song", 30) + PadRight(">Musik\\Rock<", 30) + "\r\n" +
                  PadRight("[ ] - Best.mp3 Mix.mp3", 30) + PadRight(">Musik\\Rock<", 30) + "\r\n");
    // The work files stay in the temp directory.
    std::string playlist = h.temp.Read("tmp/playlist.m3u");
    EXPECT_EQ(playlist.size(), 35u);
    EXPECT_NE(playlist.find("Song - Band.mp3\r\n"), std::string::npos);
    EXPECT_NE(h.temp.Read("tmp/Titel.tmp").find(PadRight("Song - Band.mp3", 30) + "\t>Musik\\Rock\r\n"),
              std::string::npos);
    EXPECT_EQ(p.files().CurrentDirectory(), "C:\\home");  // back where the program started
    EXPECT_EQ(Row(21, 7, 22), OnScreen("Fertig >  2  Eintr\xE4ge."));
}

TEST_F(BuilderTest, ADirectoryWithoutMatchingFilesAddsNothing) {
    h.temp.Write("Leer/liesmich.txt", "");
    h.temp.Write("home/Rock.pavuto-rnd", "x");
    h.temp.Write("home/Rock_ohne Nr.pavuto", "x");
    h.temp.Write("home/Rock_ohne Nr.tmp", "x");
    WriteConfig({"C:\\Leer\\"});
    Rebuild();
    EXPECT_FALSE(h.temp.Exists("tmp/playlist.m3u"));
    EXPECT_FALSE(h.temp.Exists("home/Rock.pavuto"));
    // The derived files no longer match the list.
    EXPECT_FALSE(h.temp.Exists("home/Rock.pavuto-rnd"));
    EXPECT_FALSE(h.temp.Exists("home/Rock_ohne Nr.pavuto"));
    EXPECT_FALSE(h.temp.Exists("home/Rock_ohne Nr.tmp"));
}

TEST_F(BuilderTest, AConfigurationWithoutListNameBuildsNothing) {
    h.temp.Write("A/Da.mp3", "");
    h.temp.Write("home/Rock.config", " ---- suchPfade ----\r\nC:\\A\\\r\n");
    p.browser.CurrentListConfiguration = "C:\\home\\Rock.config";
    p.listConfig.listFilePath.clear();
    Rebuild();
    EXPECT_EQ(Row(21, 7, 22), OnScreen("Fertig >  0  Eintr\xE4ge."));
}

TEST_F(BuilderTest, AConfigurationWithoutListNameLeavesTheListReadBeforeAlone) {
    h.temp.Write("Musik/Rock/Song.mp3", "");
    h.temp.Write("A/Da.mp3", "");
    WriteConfig({"C:\\Musik\\Rock\\"});
    Rebuild();
    const std::string rock = List();
    ASSERT_EQ(rock, Record("Song", "Musik\\Rock"));
    h.temp.Write("home/Namenlos.config", " ---- suchPfade ----\r\nC:\\A\\\r\n");
    p.browser.CurrentListConfiguration = "C:\\home\\Namenlos.config";
    Rebuild();
    EXPECT_EQ(List(), rock);
    EXPECT_EQ(Row(21, 7, 22), OnScreen("Fertig >  0  Eintr\xE4ge."));
}

TEST_F(BuilderTest, ATabInAFileNameStaysInTheTitleField) {
    if (!kNamesHoldAnyCharacter) GTEST_SKIP() << "no file name holds a tab here";
    h.temp.Write("Musik/Rock/a\tb - c.mp3", "");
    h.temp.Write("Musik/Rock/z.mp3", "");
    WriteConfig({"C:\\Musik\\Rock\\"}, 0);
    Rebuild();
    EXPECT_EQ(List(), Record("a\tb - c", "Musik\\Rock") + Record("z", "Musik\\Rock"));
    EXPECT_EQ(h.temp.Read("home/Rock Interpreten.pavuto").substr(0, 60),
              PadRight("c - a\tb ", 30) + PadRight(">Musik\\Rock<", 30));
}

TEST_F(BuilderTest, ANameWithALineEndIsLeftOutAndTheRecordsKeepTheirLength) {
    h.temp.Write("Musik/Rock/b\nzwei.mp3", "");
    h.temp.Write("Musik/Rock/c\r\nd.mp3", "");
    h.temp.Write("Musik/Rock/a.mp3", "");
    h.temp.Write("Musik/Rock/z.mp3", "");
    WriteConfig({"C:\\Musik\\Rock\\"});
    Rebuild();
    EXPECT_EQ(List(), Record("a", "Musik\\Rock") + Record("z", "Musik\\Rock"));
}

TEST_F(BuilderTest, AFileOfADriveRootHasAnEmptyDirectoryField) {
    h.temp.Write("Wurzel.mp3", "");
    WriteConfig({"C:\\"});
    Rebuild();
    EXPECT_EQ(List(), Record("Wurzel", ""));
    EXPECT_EQ(List().substr(29, 2), "><");
}

TEST_F(BuilderTest, OneDirectoryGivesAtMost31999Records) {
    WriteConfig({});
    ReadListConfiguration(p, "C:\\home\\Rock.config");
    ReadSearchPaths(p, "C:\\home\\Rock.config");
    p.files().ChangeDirectory("C:\\tmp");
    for (int i = 1; i <= 32000; ++i) p.window.Titles[static_cast<size_t>(i)] = "t" + std::to_string(i) + ".mp3";
    p.window.RecordCount = 32000;
    h.console.Locate(20, 7);
    h.console.Key(" ");
    ReadDirectoryIntoList(p);
    EXPECT_EQ(h.console.Pending(), 0u);
    EXPECT_EQ(Row(20, 7, 28), OnScreen(" 32000  Datens\xE4tze erreicht."));
    EXPECT_EQ(CountListLines(p.files(), "C:\\home\\Rock.pavuto"), 31999);
    EXPECT_EQ(p.window.RecordCount, 31999);
    EXPECT_EQ(CountListLines(p.files(), "C:\\tmp\\Titel.tmp"), 32000);  // the work file holds the whole directory
}

TEST_F(BuilderTest, ALongerNameWidensTheTitleFieldAndTheWholeListIsWrittenAgain) {
    const std::string longName = "abcdefghijklmnopqrstuvwxyz1.mp3";  // 31 characters
    h.temp.Write("A/kurz.mp3", "");
    h.temp.Write("B/" + longName, "");
    WriteConfig({"C:\\A\\", "C:\\B\\"});
    Rebuild();
    EXPECT_NE(h.temp.Read("home/Rock.config").find("\r\nMAXDL=33 \r\n"), std::string::npos);
    EXPECT_EQ(List(), Record("abcdefghijklmnopqrstuvwxyz1", "B", 33) + Record("kurz", "A", 33));
    EXPECT_EQ(Row(18, 7, 44), OnScreen("Dateinamenl\xE4nge ist gr\xF6\xDF" "er als vorgesehenen."));
}

TEST_F(BuilderTest, ALongerDirectoryWidensTheDirectoryField) {
    const std::string dir = "Musik\\Klassik\\Barock12345";  // 25 characters
    h.temp.Write("Musik/Klassik/Barock12345/Air.mp3", "");
    h.temp.Write("A/Zz.mp3", "");
    WriteConfig({"C:\\A\\", "C:\\" + dir + "\\"});
    Rebuild();
    ReadListConfiguration(p, "C:\\home\\Rock.config");
    EXPECT_EQ(p.listConfig.MAXDLDIR, 31);
    EXPECT_EQ(List(), Record("Air", dir, 30, 31) + Record("Zz", "A", 30, 31));
}

TEST_F(BuilderTest, ADirectoryTooLongForThreeDigitsIsLeftOutWithAMessage) {
    if (!kPathsLongerThan260) GTEST_SKIP() << "the ANSI calls reach no path this long";
    std::string rel = "Lang";
    for (int i = 0; i < 5; ++i) rel += "/" + std::string(199, static_cast<char>('a' + i));
    h.temp.Write(rel + "/tief.mp3", "");
    h.temp.Write("A/Da.mp3", "");
    std::string search = "C:\\" + ReplaceAll(rel, "/", "\\") + "\\";
    WriteConfig({search, "C:\\A\\"});
    Rebuild();
    EXPECT_EQ(List(), Record("Da", "A"));
    EXPECT_EQ(Row(18, 7, 34), OnScreen("Name zu lang, \xFC" "bergangen: Lang\\aaa"));
    ReadListConfiguration(p, "C:\\home\\Rock.config");
    ReadSearchPaths(p, "C:\\home\\Rock.config");
    EXPECT_EQ(p.listConfig.MAXDLDIR, 30);  // the configuration is intact
    EXPECT_EQ(p.window.SearchPathCount, 2);
}

TEST_F(BuilderTest, ASearchPathThatCannotBeEnteredIsReportedAndPassedOver) {
    h.temp.Write("A/Da.mp3", "");
    WriteConfig({"C:\\A\\", "C:\\Fehlt\\"});
    Rebuild();
    EXPECT_EQ(List(), Record("Da", "A"));
    EXPECT_EQ(Row(19, 7, 39), OnScreen("wechsel nach 'C:\\Fehlt\\' nicht m\xF6glich."));
    EXPECT_GE(h.clock.Milliseconds(), 3000);
}

// A search path that can be entered but not read is passed over like one
// that cannot be entered; the paths after it are read and the list ends
// sorted with its count.
TEST_F(BuilderTest, ASearchPathThatCannotBeReadIsPassedOverAndTheRebuildEnds) {
    using Op = FaultyFileSystem::Op;
    h.temp.Write("A/Zebra.mp3", "");
    h.temp.Write("B/Mitte.mp3", "");
    h.temp.Write("C/Anfang.mp3", "");
    WriteConfig({"C:\\A\\", "C:\\B\\", "C:\\C\\"});
    h.faults.FailAll(Op::List, err::PermissionDenied, "\\B\\");
    Rebuild();
    EXPECT_EQ(List(), Record("Anfang", "C") + Record("Zebra", "A"));
    EXPECT_EQ(Row(21, 7, 22), OnScreen("Fertig >  2  Eintr\xE4ge."));
    EXPECT_EQ(p.files().CurrentDirectory(), "C:\\home");

    WriteConfig({"C:\\A\\", "C:\\B\\"});
    Rebuild();
    EXPECT_EQ(Row(19, 7, 35), OnScreen("wechsel nach 'C:\\B\\' nicht m\xF6glich."));
}

// A rebuild that fails at any step (a full disk after any number of bytes,
// a file that cannot be made or put in place) leaves the list and its
// performer list as they were and nothing of the new ones behind.
TEST_F(BuilderTest, ARebuildThatFailsLeavesTheOldListWhole) {
    using Op = FaultyFileSystem::Op;
    for (int i = 0; i < 40; ++i) h.temp.Write("Musik/Rock/Titel " + std::to_string(i) + " - Band.mp3", "");
    WriteConfig({"C:\\Musik\\Rock\\"}, 0);
    Rebuild();
    const std::string list = List(), performers = h.temp.Read("home/Rock Interpreten.pavuto");
    ASSERT_EQ(list.size(), 40u * 61u);
    h.temp.Write("home/Rock.pavuto-rnd", "1\r\n");
    h.temp.Write("Musik/Rock/Neu - Band.mp3", "");

    // After a failure the list is the old one whole (and its derived files
    // are there), or, where only the builder's work files failed at the
    // end, the new one whole.
    std::string before = list, beforePerformers = performers;
    std::size_t newSize = 41u * 61u;
    auto failsAndKeeps = [&](auto inject, const std::string& what) {
        h.faults.Heal();
        h.faults.injected = 0;
        inject();
        h.console.Key(" ");  // the key that ends a rebuild that comes through
        try {
            RebuildList(p);
        } catch (const RuntimeError&) {
        }
        bool failed = h.faults.injected > 0;
        for (host::InputEvent e; h.console.ReadEvent(e);) {
        }
        h.faults.Heal();
        ReturnToStart(p);
        EXPECT_FALSE(h.temp.Exists("home/Rock.pavuto.neu")) << what;
        EXPECT_FALSE(h.temp.Exists("home/Rock Interpreten.pavuto.neu")) << what;
        if (failed && List() != before) {
            EXPECT_EQ(List().size(), newSize) << what;
        } else if (failed) {
            EXPECT_TRUE(h.temp.Read("home/Rock Interpreten.pavuto") == beforePerformers) << what;
            EXPECT_TRUE(h.temp.Exists("home/Rock.pavuto-rnd")) << "derived files go with the new list: " << what;
        }
        return failed;
    };
    int cuts = 0;
    for (std::uint64_t bytes = 0;
         failsAndKeeps([&] { h.faults.DiskFullAfter(bytes); }, "disk full after " + std::to_string(bytes));
         bytes += 300)
        ++cuts;
    EXPECT_GT(cuts, 5);
    EXPECT_EQ(List().size(), newSize) << "the rebuild with room for everything";

    h.temp.Write("Musik/Rock/Noch - Band.mp3", "");
    h.temp.Write("home/Rock.pavuto-rnd", "1\r\n");
    before = List();
    beforePerformers = h.temp.Read("home/Rock Interpreten.pavuto");
    newSize = 42u * 61u;
    for (Op op : {Op::Create, Op::Replace, Op::Write, Op::Read})
        for (int n = 1; n <= 4; ++n)
            failsAndKeeps([&] { h.faults.FailNth(op, n, err::DiskFull); },
                          "fault " + std::to_string(static_cast<int>(op)) + " at " + std::to_string(n));
}

TEST_F(BuilderTest, AListOfAGeneratedTreeResolvesEveryRecordAndSurvivesALongerName) {
    std::set<std::string> files;  // as the program names them
    std::vector<std::string> paths;
    const char* words[] = {"Lied", "Song", "\xC3\xA4rger", "The Hit", "Tanz", "Nacht"};
    for (int d = 0; d < 60; ++d) {
        std::string dir = "Baum/" + std::to_string(d % 6) + "/Ordner" + std::to_string(d);
        paths.push_back("C:\\" + ReplaceAll(dir, "/", "\\") + "\\");
        for (int f = 0; f < 50; ++f) {
            std::string name = std::string(words[f % 6]) + " " + std::to_string(f) + (f % 3 ? " - Band " + std::to_string(d) : "") + ".mp3";
            h.temp.Write(dir + "/" + name, "");
            files.insert(ReplaceAll(paths.back() + ReplaceAll(name, "\xC3\xA4", "\xE4"), "/", "\\"));
        }
    }
    WriteConfig(paths);
    auto checkAll = [&](size_t count) {
        p.browser.CurrentListFile = "C:\\home\\Rock.pavuto";
        ReadListConfiguration(p, "C:\\home\\Rock.config");
        ReadSearchPaths(p, "C:\\home\\Rock.config");
        std::set<std::string> resolved;
        for (int first = 1;; first += 19) {
            p.window.FirstRecord = first;
            ASSERT_TRUE(LoadWindow(p));
            for (int i = first; i < first + 19 && i <= p.window.RecordCount; ++i) {
                std::string f = ResolveEntry(p, i);
                ASSERT_FALSE(f.empty()) << p.window.Titles[static_cast<size_t>(i)];
                resolved.insert(f);
            }
            if (first + 19 > p.window.RecordCount) break;
        }
        EXPECT_EQ(p.window.RecordCount, static_cast<int>(count));
        EXPECT_EQ(resolved, files);
    };
    Rebuild();
    checkAll(3000);

    const std::string longName = "Ein ganz besonders langer Titel - Band.mp3";
    h.temp.Write("Baum/0/Ordner0/" + longName, "");
    files.insert("C:\\Baum\\0\\Ordner0\\" + longName);
    Rebuild();
    ReadListConfiguration(p, "C:\\home\\Rock.config");
    EXPECT_EQ(p.listConfig.MAXDL, static_cast<int>(longName.size()) + 2);
    checkAll(3001);
}

TEST_F(BuilderTest, ADriveScanMakesAConfigurationOfTheDirectoriesWithTitles) {
    h.temp.Write("Musik/B/y.MP3", "");
    h.temp.Write("Musik/A/x.mp3", "");
    h.temp.Write("Musik/C/z.txt", "");
    h.console.Keys("c\r ");
    ScanDrive(p);
    EXPECT_EQ(Row(6, 7, 47), "Geben sie das zu durchsuchende Lw ein: c: Bitte");
    EXPECT_EQ(Row(8, 7, 53), OnScreen(" 7 Verzeichnisse gefunden. \xDC" "berpr\xFC" "fe jetzt auf .mp3's"));
    EXPECT_EQ(Row(10, 7, 36), " 2  Verzeichnisse mit .mp3 gefunden.");
    EXPECT_EQ(p.browser.CurrentListConfiguration, "C:\\home\\[mp3 Lw-c].config");
    std::string config = h.temp.Read("home/[mp3 Lw-c].config");
    EXPECT_EQ(config.substr(0, 58), " ----- pavuto  configuration ------\r\nZIELDATEI1=[mp3 Lw-c]");
    EXPECT_NE(config.find(" ---- suchPfade ----\r\nc:\\Musik\\A\\\r\nc:\\Musik\\B\\\r\n"), std::string::npos);
    EXPECT_EQ(h.temp.Read("home/[mp3 Lw-c].pavuto"), Record("x", "Musik\\A") + Record("y", "Musik\\B"));
    EXPECT_EQ(p.browser.ListOpen, 0);
    EXPECT_EQ(h.console.Pending(), 0u);
}

TEST_F(BuilderTest, TheDriveScanAsksForAName) {
    h.temp.Write("Musik/A/x.mp3", "");
    h.console.Keys("cMeine\r ");
    ScanDrive(p);
    EXPECT_TRUE(h.temp.Exists("home/Meine.config"));
    EXPECT_TRUE(h.temp.Exists("home/Meine.pavuto"));

    h.console.Keys("cx\r ");  // a single character gives the default name
    ScanDrive(p);
    EXPECT_TRUE(h.temp.Exists("home/[mp3 Lw-c].config"));

    h.console.Keys("c\x1b");
    ScanDrive(p);
    h.console.Key(" ");  // no drive: back at once
    ScanDrive(p);
    h.console.Key("q");  // a drive that is not there
    ScanDrive(p);
    EXPECT_EQ(h.console.Pending(), 0u);
    EXPECT_FALSE(h.temp.Exists("home/[mp3 Lw-q].config"));
}

}  // namespace
}  // namespace pavuto::test
