// The browser showing a list file: opening, paging, information, deleting, closing.
#include <filesystem>

#include "browser_fixture.hpp"

namespace pavuto::test {
namespace {

std::string Titles(int n) {
    std::string records;
    for (int i = 1; i <= n; ++i) records += Record("Titel " + std::string(i < 10 ? "0" : "") + std::to_string(i), "Musik\\Rock");
    return records;
}

class ListView : public BrowserTest {};

TEST_F(ListView, EnterOnAListOpensItWithItsConfiguration) {
    WriteList("Rock", Titles(25));
    OpenFromHome();
    Run();
    EXPECT_EQ(p.browser.ListOpen, 1);
    EXPECT_EQ(p.browser.CurrentListFile, "Rock.pavuto");
    EXPECT_EQ(p.browser.CurrentListConfiguration, "C:\\home\\Rock.config");
    EXPECT_EQ(p.window.SearchPathCount, 1);
    EXPECT_EQ(p.window.SearchPaths[1], "C:\\Musik\\Rock\\");
    EXPECT_EQ(p.window.RecordCount, 25);
    EXPECT_EQ(Row(2, 33, 4), "Rock");  // without ".pavuto", centred
    EXPECT_EQ(Line(1), "Titel 01");
    EXPECT_EQ(Line(10), "Titel 10");
    EXPECT_EQ(Row(19, 7, 16), "(D)atei schlie\xE1" "e");
    EXPECT_EQ(Row(19, 47, 13), "Gehe zu a-(z)");
    EXPECT_EQ(Row(21, 5, 1), "i");
}

TEST_F(ListView, PagingReloadsTheWindowAtThePage) {
    WriteList("Rock", Titles(40));
    OpenFromHome();
    script.Key(keys::PgDn).Key(keys::PgDn).Key(keys::Down);
    Run();
    EXPECT_EQ(p.browser.PageTop, 19);
    EXPECT_EQ(p.window.FirstRecord, 19);
    EXPECT_EQ(Line(1), "Titel 19");
    EXPECT_EQ(Line(2), "Titel 20");
    EXPECT_EQ(Bg(6, 3), 7);
    EXPECT_EQ(p.window.Directories[19], "Musik\\Rock");
}

TEST_F(ListView, ARebuildKeepsThePage) {
    WriteList("Rock", Titles(40));
    OpenFromHome();
    script.Key(keys::PgDn).Key(keys::PgDn);
    Run();
    script.Key("?");
    for (int i = 0; i < 7; ++i) script.Key(" ");
    Run();
    EXPECT_EQ(p.browser.PageTop, 19);
    EXPECT_EQ(Line(1), "Titel 19");
}

TEST_F(ListView, AnEmptyListSaysSo) {
    WriteList("Rock", "");
    OpenFromHome();
    script.Key(keys::Enter).Key(keys::PgDn);
    Run();
    EXPECT_EQ(Line(1), " Keine Daten");
    EXPECT_EQ(p.browser.CursorOffset, 0);
    EXPECT_EQ(p.browser.MarkCounter, 1);  // nothing there to mark
}

TEST_F(ListView, AListOfOneEmptyRecordCannotBeMarked) {
    WriteList("Rock", "\r\n");
    OpenFromHome();
    script.Key(keys::Enter).Key(keys::Down).Key(keys::Enter);
    Run();
    EXPECT_EQ(Line(1), " Keine Daten");
    EXPECT_EQ(p.browser.MarkCounter, 1);
    EXPECT_EQ(p.browser.Marks[1], 0);
}

// Without duplicates fewer entries than records are shown: the cursor stops
// at the last one shown.
TEST_F(ListView, TheCursorStaysOnTheEntriesOfAListWithoutDuplicates) {
    WriteList("Rock", Record("A", "M") + Record("A", "N") + Record("A", "O") + Record("B", "M"));
    p.window.ListDisplay = 1;
    OpenFromHome();
    script.Key(keys::Down).Key(keys::Down).Key(keys::Down).Key(keys::Down);
    Run();
    ASSERT_EQ(Line(2).substr(0, 1), "B");
    EXPECT_EQ(p.browser.CursorOffset, 1);
}

TEST_F(ListView, MarksAreRecordNumbers) {
    WriteList("Rock", Titles(25));
    OpenFromHome();
    script.Key(keys::Enter).Key(keys::PgDn).Key(keys::Enter).Key(keys::PgUp);
    Run();
    EXPECT_EQ(p.browser.Marks[1], 1);
    EXPECT_EQ(p.browser.Marks[10], 2);
    EXPECT_EQ(p.browser.MarkCounter, 3);
    EXPECT_EQ(Row(5, 64, 5), "1    ");
    EXPECT_EQ(Row(21, 7, 11), "(a)usf\x81hren");
}

TEST_F(ListView, EnterMarksEveryRecordWhateverItsTitleLooksLike) {
    // Titles that look like a drive, a parent or a directory in the directory
    // view are records like any other: Enter marks them and the list stays open.
    WriteList("Rock", Record("Live:", "Musik\\Rock") + Record("..", "Musik\\Rock") +
                          Record("<DIR> Demo", "Musik\\Rock") + Record("Titel", "Musik\\Rock"));
    OpenFromHome();
    script.Key(keys::Enter).Key(keys::Down).Key(keys::Enter).Key(keys::Down).Key(keys::Enter);
    Run();
    EXPECT_EQ(p.browser.ListOpen, 1);
    EXPECT_EQ(p.browser.CurrentListFile, "Rock.pavuto");
    EXPECT_EQ(p.browser.Marks[1], 1);
    EXPECT_EQ(p.browser.Marks[2], 2);
    EXPECT_EQ(p.browser.Marks[3], 3);
    EXPECT_EQ(p.browser.MarkCounter, 4);
    EXPECT_EQ(Line(1), "Live:");
    EXPECT_EQ(Row(7, 64, 5), "3    ");
}

TEST_F(ListView, TheCreditLineClearsTheMarksOfAList) {
    WriteList("Rock", Titles(25));
    OpenFromHome();
    script.Key(keys::Enter).Key(keys::Down).Key(keys::Enter).Key("c").Key("x");
    Run();
    EXPECT_EQ(p.browser.ListOpen, 1);
    EXPECT_EQ(p.browser.MarkCounter, 1);
    EXPECT_EQ(p.browser.Marks[1], 0);
    EXPECT_EQ(p.browser.Marks[2], 0);
    EXPECT_EQ(Row(5, 64, 5), "     ");
}

TEST_F(ListView, OpeningAListDropsTheMarksOfTheDirectory) {
    WriteList("Rock", Titles(5));
    h.temp.Write("home/a.mp3", "x");
    StartIn("C:\\home");
    script.Key(keys::Down).Key(keys::Enter);  // marks a.mp3, slot 2
    script.Key(keys::Down).Key(keys::Enter);  // opens Rock.pavuto
    Run();
    EXPECT_EQ(p.browser.ListOpen, 1);
    EXPECT_EQ(p.browser.Marks[2], 0);
    EXPECT_EQ(p.browser.MarkCounter, 1);
}

TEST_F(ListView, CloseReturnsToTheDirectory) {
    WriteList("Rock", Titles(5));
    OpenFromHome();
    script.Key("d");
    Run();
    EXPECT_EQ(p.browser.ListOpen, 0);
    EXPECT_EQ(p.browser.CurrentListConfiguration, "");
    EXPECT_EQ(Row(2, 31, 8), "C:\\home\\");
    EXPECT_EQ(Line(2), "Rock.pavuto");
}

TEST_F(ListView, FileInformationFindsTheFileThroughTheSearchPaths) {
    WriteList("Rock", Record("Fehlt", "Musik\\Rock") + Record("Song - Band", "Musik\\Rock"));
    h.temp.Write("Musik/Rock/Song - Band.mp3", "x");
    std::filesystem::resize_file(h.temp.path() / "Musik/Rock/Song - Band.mp3", 2 * 1024 * 1024);
    OpenFromHome();
    script.Key("i").Key(keys::Down).Key("i");
    Run();
    EXPECT_TRUE(clock.Showed(19, 5, "Datei nicht gefunden."));
    EXPECT_EQ(Row(19, 5, 31), "Gr\x94\xE1" "e =           2.000 Mbytes.");
    EXPECT_EQ(Row(20, 5, 22), "Pfad 'C:\\Musik\\Rock\\'.");
}

TEST_F(ListView, FileInformationOfAPerformerList) {
    h.temp.Write("home/Rock Interpreten.pavuto", Record("Band - Song", "Musik\\Rock", 30) +
                                                     Record("Gruppe - Lied", "Musik\\Rock", 30) +
                                                     Record("Einzeln", "Musik\\Rock", 30));
    WriteConfig("home/Rock.config", "Rock", "C:\\Musik\\Rock\\\r\n");
    h.temp.Write("Musik/Rock/Song - Band.mp3", std::string(1024, 'x'));
    h.temp.Write("Musik/Rock/Lied - The Gruppe.mp3", "x");
    h.temp.Write("Musik/Rock/Einzeln.mp3", "x");
    std::filesystem::resize_file(h.temp.path() / "Musik/Rock/Einzeln.mp3", 2048000);
    OpenFromHome();
    script.Key("i");
    Run();
    EXPECT_EQ(Row(20, 5, 40), "Datei ist in 'C:\\Musik\\Rock\\' zu finden.");

    script.Key(keys::Down).Key("i");
    Run();
    EXPECT_EQ(Row(20, 5, 22), "Pfad 'C:\\Musik\\Rock\\'.");

    // A title without " - ": the size in the other picture, without "Größe = ".
    script.Key(keys::Down).Key(keys::Down).Key("i");
    Run();
    EXPECT_EQ(Row(19, 5, 22), "          2.00 Mbytes.");
    EXPECT_EQ(Row(20, 5, 40), "Datei ist in 'C:\\Musik\\Rock\\' zu finden.");
}

TEST_F(ListView, DeletesTheFileBehindARecord) {
    p.browser.DeleteAllowed = 1;
    WriteList("Rock", Record("Fehlt", "Musik\\Rock") + Record("Song - Band", "Musik\\Rock"));
    h.temp.Write("Musik/Rock/Song - Band.mp3", "x");
    OpenFromHome();
    script.Key("k").Key(keys::Down).Key("k");
    Run();  // ends at the question
    EXPECT_TRUE(clock.Showed(19, 7, "Datei nicht gefunden.."));
    EXPECT_EQ(Row(19, 7, 37), "L\x94sche >C:\\Musik\\Rock\\Song - Band.mp3");
    EXPECT_TRUE(h.temp.Exists("Musik/Rock/Song - Band.mp3"));

    script.Key("k").Key(keys::Enter);
    Run();
    EXPECT_FALSE(h.temp.Exists("Musik/Rock/Song - Band.mp3"));
}

TEST_F(ListView, ALongPathIsShortenedInTheQuestion) {
    p.browser.DeleteAllowed = 1;
    const std::string directory = "Musik\\Rock\\Siebziger und Achtziger";
    h.temp.Write("home/Rock.pavuto", Record("Song - Band", directory, 29, 40));
    WriteConfig("home/Rock.config", "Rock", "C:\\" + directory + "\\\r\n");
    h.temp.Write("Musik/Rock/Siebziger und Achtziger/Song - Band.mp3", "x");
    OpenFromHome();
    script.Key("k");
    Run();
    const std::string path = "C:\\" + directory + "\\Song - Band.mp3";
    ASSERT_GE(path.size(), 70u - 18u);
    const std::string shown = "l\x94sche >" + path.substr(0, 9) + "..." + path.substr(path.size() - 36);
    EXPECT_EQ(Row(19, 7, static_cast<int>(shown.size())), shown);
}

}  // namespace
}  // namespace pavuto::test
