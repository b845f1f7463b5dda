// The browser's screen and its keys and clicks in the directory view.
#include <filesystem>

#include "browser_fixture.hpp"
#include "ui/browser_internal.hpp"

namespace pavuto::test {
namespace {

constexpr char kTopLeft = '\xC9', kTopRight = '\xBB', kBottomLeft = '\xC8', kBottomRight = '\xBC';
constexpr char kVertical = '\xBA';

std::string Number(int i) { return (i < 10 ? "0" : "") + std::to_string(i); }

class DirectoryView : public BrowserTest {
protected:
    // C:\Many: ".." and t01.mp3 ... t<n>.mp3.
    void ManyFiles(int n) {
        for (int i = 1; i <= n; ++i) h.temp.Write("Many/t" + Number(i) + ".mp3", "x");
        StartIn("C:\\Many");
    }
};

TEST_F(DirectoryView, DrawsFramesTitleEntriesAndMenuOfADirectory) {
    h.temp.Write("Musik/Song.mp3", "x");
    h.temp.Write("Musik/Clip.avi", "x");
    h.temp.Write("Musik/notes.txt", "x");
    h.temp.Write("Musik/Rock/a.mp3", "x");
    StartIn("C:\\Musik");
    Run();

    // Title box around the current path, centred.
    EXPECT_EQ(Row(2, 31, 9), "C:\\Musik\\");
    EXPECT_EQ(Row(1, 28, 1)[0], kTopLeft);
    EXPECT_EQ(Row(1, 42, 1)[0], kTopRight);
    EXPECT_EQ(Row(2, 28, 1)[0], kVertical);
    EXPECT_EQ(Row(3, 42, 1)[0], kBottomRight);
    // List box rows 4 ... 15, menu box rows 17 ... 22.
    EXPECT_EQ(Row(4, 2, 1)[0], kTopLeft);
    EXPECT_EQ(Row(4, 69, 1)[0], kTopRight);
    EXPECT_EQ(Row(10, 2, 1)[0], kVertical);
    EXPECT_EQ(Row(15, 2, 1)[0], kBottomLeft);
    EXPECT_EQ(Row(15, 69, 1)[0], kBottomRight);
    EXPECT_EQ(Row(17, 1, 1)[0], kTopLeft);
    EXPECT_EQ(Row(22, 70, 1)[0], kBottomRight);
    // Four entries: no scroll zone.
    EXPECT_EQ(Row(3, 2, 1), " ");

    EXPECT_EQ(Line(1), "..");
    EXPECT_EQ(Line(2), "<DIR> Rock");
    EXPECT_EQ(Line(3), "Clip.avi");
    EXPECT_EQ(Line(4), "Song.mp3");
    EXPECT_EQ(p.window.RecordCount, 4);
    // The cursor line and a normal line.
    EXPECT_EQ(Fg(5, 3), 1);
    EXPECT_EQ(Bg(5, 3), 7);
    EXPECT_EQ(Fg(6, 3), 7);
    EXPECT_EQ(Bg(6, 3), 1);

    EXPECT_EQ(Row(19, 5, 1), "h");  // not at home
    EXPECT_EQ(Row(19, 23, 10), "(O)ptionen");
    EXPECT_EQ(Row(19, 7, 3), "   ");  // no list open
    EXPECT_EQ(Row(20, 5, 1), "\\");
    EXPECT_EQ(Row(21, 5, 1), " ");  // no information on ".."
    EXPECT_EQ(Row(21, 23, 13), "(s)uchen nach");
    EXPECT_EQ(Row(21, 47, 21), "(L)iste aktualisieren");
}

TEST_F(DirectoryView, ARootShowsTheDrivesAndAScrollZone) {
    h.temp.Write("Musik/a.mp3", "x");
    StartIn("C:\\");
    Run();
    EXPECT_EQ(Line(1), "<DIR> home");
    EXPECT_EQ(Line(2), "<DIR> Musik");
    EXPECT_EQ(Line(3), "\xAF A:");
    EXPECT_EQ(p.window.RecordCount, 2 + 26);
    EXPECT_EQ(Row(20, 5, 1), " ");  // already at the root
    EXPECT_EQ(Row(3, 2, 1), "\xC2");
    EXPECT_EQ(Row(16, 69, 1), "\xC1");
    EXPECT_EQ(Row(5, 2, 1), "-");
}

TEST_F(DirectoryView, AtHomeThereIsNoHomeCommand) {
    StartIn("C:\\home");
    Run();
    EXPECT_EQ(Row(19, 5, 1), " ");
    EXPECT_EQ(Line(1), "..");
}

TEST_F(DirectoryView, TenLinesAPageDownScrollsByOneAtTheBottomAndPageDownMovesNine) {
    ManyFiles(30);
    for (int i = 0; i < 10; ++i) script.Key(keys::Down);
    Run();
    EXPECT_EQ(p.browser.PageTop, 2);
    EXPECT_EQ(p.browser.CursorOffset, 9);
    EXPECT_EQ(Line(1), "t01.mp3");
    EXPECT_EQ(Line(10), "t10.mp3");
    EXPECT_EQ(Bg(14, 3), 7);  // the cursor on the tenth line, row 14
    EXPECT_EQ(Row(15, 2, 1)[0], kBottomLeft);

    script.Key(keys::PgDn);
    p.browser.started = true;
    Run();
    EXPECT_EQ(p.browser.PageTop, 11);
    EXPECT_EQ(p.browser.CursorOffset, 0);
    EXPECT_EQ(Line(1), "t10.mp3");
}

TEST_F(DirectoryView, PagingStopsAtBothEnds) {
    ManyFiles(30);  // 31 entries
    script.Key(keys::PgDn).Key(keys::PgDn).Key(keys::PgDn).Key(keys::PgDn).Key(keys::PgDn);
    script.Key(keys::Down).Key(keys::Down);
    Run();
    EXPECT_EQ(p.browser.PageTop, 31 - 9);  // the last page ends with the last entry
    EXPECT_EQ(p.browser.CursorOffset, 2);
    EXPECT_EQ(Line(10), "t30.mp3");

    for (int i = 0; i < 12; ++i) script.Key(keys::Down);
    script.Key(keys::PgUp).Key(keys::PgUp).Key(keys::PgUp).Key(keys::Up);
    p.browser.started = true;
    Run();
    EXPECT_EQ(p.browser.PageTop, 1);
    EXPECT_EQ(p.browser.CursorOffset, 0);
}

TEST_F(DirectoryView, PageDownOnAShortDirectoryGoesToTheLastEntry) {
    ManyFiles(8);  // ".." and 8 files: 9 entries, exactly PageRows
    script.Key(keys::PgDn);
    Run();
    EXPECT_EQ(p.browser.PageTop, 1);
    EXPECT_EQ(p.browser.CursorOffset, 8);
    EXPECT_EQ(Bg(13, 3), 7);
    EXPECT_EQ(Line(9), "t08.mp3");
}

TEST_F(DirectoryView, LongEntriesShowTheirStartAndTheirEnd) {
    const std::string sixty = "ABCDEFGHIJKLMNOPQRSTUVWXabcdefghijklmnopqrstuvwxyz012345.mp3";
    ASSERT_EQ(sixty.size(), 60u);
    const std::string fiftyThree = "Kurz genug um ganz gezeigt zu werden, mit Rand 12.mp3";
    ASSERT_EQ(fiftyThree.size(), 53u);
    h.temp.Write("Lang/" + sixty, "x");
    h.temp.Write("Lang/" + fiftyThree, "x");
    StartIn("C:\\Lang");
    Run();
    EXPECT_EQ(Row(6, 3, 59), "ABCDEFGHIJKLMNOPQRSTUVWX...efghijklmnopqrstuvwxyz012345.mp3");
    EXPECT_EQ(Row(7, 3, 59), "Kurz genug um ganz gezeigt zu werden, mit Rand 12.mp3      ");
    EXPECT_EQ(Row(6, 62, 2), "  ");  // nothing between the text and the mark column
}

TEST_F(DirectoryView, MarksFollowTheMarkingOrderWithoutGaps) {
    h.temp.Write("M/A.mp3", "x");
    h.temp.Write("M/B.mp3", "x");
    h.temp.Write("M/C.mp3", "x");
    StartIn("C:\\M");
    script.Key(keys::Down).Key(keys::Enter);  // A = 1
    script.Key(keys::Down).Key(keys::Enter);  // B = 2
    script.Key(keys::Down).Key(keys::Enter);  // C = 3
    script.Key(keys::Up).Key(keys::Enter);    // B taken back
    script.Key(keys::Down);
    Run();
    const auto& marks = p.browser.Marks;
    EXPECT_EQ(marks[2], 1);
    EXPECT_EQ(marks[3], 0);
    EXPECT_EQ(marks[4], 2);
    EXPECT_EQ(p.browser.MarkCounter, 3);

    EXPECT_EQ(Row(6, 64, 5), "1    ");
    EXPECT_EQ(Fg(6, 64), 7);
    EXPECT_EQ(Bg(6, 64), 8);
    EXPECT_EQ(Bg(6, 3), 8);
    EXPECT_EQ(Row(7, 64, 5), "     ");
    EXPECT_EQ(Bg(7, 64), 1);
    EXPECT_EQ(Row(8, 64, 5), "2    ");
    EXPECT_EQ(Fg(8, 3), 1);  // the cursor on a marked entry: 1 on 8
    EXPECT_EQ(Bg(8, 3), 8);
    EXPECT_EQ(Row(21, 7, 11), "(a)usf\x81hren");

}

TEST_F(DirectoryView, TheNextMarkAfterTakingOneBackIsTheCounter) {
    h.temp.Write("M/A.mp3", "x");
    h.temp.Write("M/B.mp3", "x");
    h.temp.Write("M/C.mp3", "x");
    StartIn("C:\\M");
    script.Key(keys::Down).Key(keys::Enter).Key(keys::Down).Key(keys::Enter).Key(keys::Down).Key(keys::Enter);
    script.Key(keys::Up).Key(keys::Enter).Key(keys::Enter);  // B back, then B again
    Run();
    EXPECT_EQ(p.browser.Marks[2], 1);
    EXPECT_EQ(p.browser.Marks[4], 2);
    EXPECT_EQ(p.browser.Marks[3], 3);
    EXPECT_EQ(p.browser.MarkCounter, 4);
}

TEST_F(DirectoryView, TakingBackTheLastMarkRemovesTheOfferToRun) {
    h.temp.Write("M/A.mp3", "x");
    StartIn("C:\\M");
    script.Key(keys::Down).Key(keys::Enter).Key(keys::Enter);
    Run();
    EXPECT_EQ(p.browser.MarkCounter, 1);
    EXPECT_EQ(Row(21, 7, 11), std::string(11, ' '));
}

TEST_F(DirectoryView, LeftDoubleClickIsEnterOnTheClickedLine) {
    h.temp.Write("Musik/Rock/a.mp3", "x");
    h.temp.Write("Musik/b.mp3", "x");
    StartIn("C:\\Musik");
    script.DoubleClick(6, 20);  // "<DIR> Rock"
    Run();
    EXPECT_EQ(h.files->CurrentDirectory(), "C:\\Musik\\Rock");
    EXPECT_EQ(Row(2, 28, 14), "C:\\Musik\\Rock\\");
    EXPECT_EQ(Line(2), "a.mp3");
}

TEST_F(DirectoryView, LeftDoubleClickOnAFileMarksIt) {
    h.temp.Write("M/A.mp3", "x");
    h.temp.Write("M/B.mp3", "x");
    StartIn("C:\\M");
    script.DoubleClick(7, 10);
    Run();
    EXPECT_EQ(p.browser.Marks[3], 1);
    EXPECT_EQ(p.browser.CursorOffset, 2);
}

TEST_F(DirectoryView, RightDoubleClickAsksToEndTheProgram) {
    StartIn("C:\\home");
    script.DoubleClick(10, 30, 2).Key("n");
    Run();
    EXPECT_EQ(Line(1), "..");  // back in the browser

    script.DoubleClick(20, 60, 2).Key("j");
    EXPECT_THROW(RunBrowser(p), ProgramEnd);
    EXPECT_EQ(Row(1), " Programm beenden ? J/N" + std::string(70 - 23, ' '));
}

TEST_F(DirectoryView, ClicksOnTheBordersMoveLikeKeys) {
    ManyFiles(30);
    for (int i = 0; i < 9; ++i) script.Key(keys::Down);
    script.Click(15, 30);  // bottom border: Down, the page scrolls by one
    Run();
    EXPECT_EQ(p.browser.PageTop, 2);
    EXPECT_EQ(p.browser.CursorOffset, 9);

    script.Click(16, 30);  // the free row below the list: PgDn
    p.browser.started = true;
    Run();
    EXPECT_EQ(p.browser.PageTop, 11);
    EXPECT_EQ(p.browser.CursorOffset, 0);

    script.Click(2, 10);  // the title box: PgUp
    p.browser.started = true;
    Run();
    EXPECT_EQ(p.browser.PageTop, 2);

    script.Click(8, 30).Click(4, 30);  // a line, then the top border: Up
    p.browser.started = true;
    Run();
    EXPECT_EQ(p.browser.PageTop, 2);
    EXPECT_EQ(p.browser.CursorOffset, 2);
}

TEST_F(DirectoryView, AClickOnAnEmptyLineKeepsTheCursorOnTheEntries) {
    ManyFiles(3);
    script.Click(12, 30);
    Run();
    EXPECT_EQ(p.browser.CursorOffset, 3);
}

TEST_F(DirectoryView, AClickOnTheSideFrameJumpsIntoTheList) {
    ManyFiles(94);  // 95 entries
    script.Click(10, 2);
    Run();
    EXPECT_EQ(p.browser.PageTop, (10 - 5) * (86 / 9) + 1);
    EXPECT_EQ(p.browser.PageTop, 46);
    EXPECT_EQ(Line(1), "t45.mp3");
    EXPECT_EQ(Row(10, 2, 1), "-");  // the marker follows: 5 + 46 / 9
    EXPECT_EQ(Row(10, 69, 1), "-");
    EXPECT_EQ(Row(9, 2, 1)[0], kVertical);

    script.Click(14, 69);
    p.browser.started = true;
    Run();
    EXPECT_EQ(p.browser.PageTop, (14 - 5) * 9 + 1);
}

TEST_F(DirectoryView, ParentDirectoryPutsTheCursorOnTheThirdLine) {
    h.temp.Write("Musik/Rock/a.mp3", "x");
    h.temp.Write("Musik/Pop/b.mp3", "x");
    h.temp.Write("Musik/c.mp3", "x");
    h.temp.Write("Musik/d.mp3", "x");
    StartIn("C:\\Musik\\Rock");
    script.Key(keys::Enter);  // the cursor is on ".."
    Run();
    EXPECT_EQ(h.files->CurrentDirectory(), "C:\\Musik");
    EXPECT_EQ(p.browser.PageTop, 1);
    EXPECT_EQ(p.browser.CursorOffset, 2);
    EXPECT_EQ(Line(3), "<DIR> Rock");
    EXPECT_EQ(Bg(7, 3), 7);

    // Up to the root from a first-level directory.
    script.Key(keys::Up).Key(keys::Up).Key(keys::Enter);
    p.browser.started = true;
    Run();
    EXPECT_EQ(h.files->CurrentDirectory(), "C:\\");
}

// A directory is entered whatever its name ends with.
TEST_F(DirectoryView, ADirectoryNamedLikeAListIsEntered) {
    h.temp.Write("O/Ordner.pavuto/Lied.mp3", "x");
    h.temp.Write("O/Echt.pavuto", "");
    StartIn("C:\\O");
    script.Key(keys::Down).Key(keys::Enter);  // "<DIR> Ordner.pavuto"
    Run();
    EXPECT_EQ(p.browser.ListOpen, 0);
    EXPECT_EQ(h.files->CurrentDirectory(), "C:\\O\\Ordner.pavuto");
    EXPECT_EQ(p.browser.CurrentListFile, "C:\\O\\Ordner.pavuto\\");
    EXPECT_EQ(Line(2), "Lied.mp3");
}

TEST_F(DirectoryView, AnUnmarkableFileWaitsForOneMoreEvent) {
    p.browser.DeleteAllowed = 1;  // shows .config files, which cannot be marked
    h.temp.Write("Cfg/a.mp3", "x");
    h.temp.Write("Cfg/x.config", "x");
    StartIn("C:\\Cfg");
    script.Key(keys::Down).Key(keys::Down).Key(keys::Enter).Key(keys::Up);
    Run();
    EXPECT_EQ(Line(3), "x.config");
    EXPECT_EQ(p.browser.CursorOffset, 2);  // the Up went to the wait
    EXPECT_EQ(p.browser.Marks[3], 0);
}

TEST_F(DirectoryView, DrivesAndRootAndHome) {
    h.temp.Write("Musik/Rock/a.mp3", "x");
    StartIn("C:\\Musik\\Rock");
    script.Key("\\");
    Run();
    EXPECT_EQ(h.files->CurrentDirectory(), "C:\\");

    script.Key("h");
    p.browser.started = true;
    Run();
    EXPECT_EQ(h.files->CurrentDirectory(), "C:\\home");
}

TEST_F(DirectoryView, ADriveThatIsNotReadyLeadsHome) {
    StartIn("C:\\");
    // The first drive entry is A:, which the test host does not have.
    script.Key(keys::Down).Key(keys::Enter);
    Run();
    EXPECT_TRUE(clock.Showed(15, 7, "     Laufwerk oder Verzeichnisswechsel nicht m\x94glich....        "));
    EXPECT_EQ(h.files->CurrentDirectory(), "C:\\home");
    EXPECT_EQ(p.browser.CurrentListFile, "C:\\home\\");
    EXPECT_EQ(p.browser.ListOpen, 0);
}

TEST_F(DirectoryView, DeletesAFileAfterTheQuestion) {
    p.browser.DeleteAllowed = 1;
    h.temp.Write("Del/a.mp3", "x");
    h.temp.Write("Del/b.mp3", "x");
    StartIn("C:\\Del");
    script.Key(keys::Down).Key("k");
    Run();
    EXPECT_EQ(Row(19, 7, 13), "L\x94sche >a.mp3");  // waiting for the answer
    EXPECT_TRUE(h.temp.Exists("Del/a.mp3"));

    script.Key("k").Key("x");
    p.browser.started = true;
    Run();
    EXPECT_FALSE(h.temp.Exists("Del/a.mp3"));
    EXPECT_EQ(Line(2), "b.mp3");
}

TEST_F(DirectoryView, EscKeepsTheFileAndDirectoriesAreNotDeleted) {
    p.browser.DeleteAllowed = 1;
    h.temp.Write("Del/a.mp3", "x");
    h.temp.Write("Del/Sub/b.mp3", "x");
    StartIn("C:\\Del");
    script.Key(keys::Down).Key(keys::Down).Key("k").Key(keys::Esc);  // a.mp3
    script.Key(keys::Up).Key("k");                                   // <DIR> Sub
    Run();
    EXPECT_TRUE(h.temp.Exists("Del/a.mp3"));
    EXPECT_TRUE(clock.Showed(19, 7, "Ich l\x94sche keine Verzeichnisse."));
    EXPECT_TRUE(h.temp.Exists("Del/Sub/b.mp3"));
}

TEST_F(DirectoryView, DeletingNeedsThePermission) {
    h.temp.Write("Del/a.mp3", "x");
    StartIn("C:\\Del");
    script.Key(keys::Down).Key("k").Key("x");
    Run();
    EXPECT_TRUE(h.temp.Exists("Del/a.mp3"));
    EXPECT_EQ(Line(2), "a.mp3");
}

TEST_F(DirectoryView, AFileThatCannotBeDeletedIsReported) {
    p.browser.DeleteAllowed = 1;
    h.temp.Write("Del/ab.mp3", "x");
    h.faults.FailAll(FaultyFileSystem::Op::Remove, err::PathFileAccessError);
    StartIn("C:\\Del");
    script.Key(keys::Down).Key("k").Key("x");
    Run();
    EXPECT_EQ(Line(2), "ab.mp3");
    EXPECT_TRUE(clock.Showed(19, 7, "Datei >ab.mp3< nicht gel\x94scht."));
    EXPECT_TRUE(h.temp.Exists("Del/ab.mp3"));
}

// Names the program's text cannot carry (a character outside its code page,
// bytes that are no UTF-8) would open nothing: they are left out with a
// message.
TEST_F(DirectoryView, NamesTheProgramCannotHoldAreLeftOut) {
    if (!kNamesHoldAnyCharacter) GTEST_SKIP() << "every name here is one of the code page";
    h.temp.Write("Del/a\u0101b.mp3", "x");
    h.temp.Write("Del/b\xE9se.mp3", "x");
    h.temp.Write("Del/\xC3\xA4rger.mp3", "x");
    StartIn("C:\\Del");
    script.Key(keys::Down);
    Run();
    EXPECT_EQ(Line(2), "\x84rger.mp3");
    EXPECT_EQ(p.window.RecordCount, 2);
    EXPECT_TRUE(clock.ShowedAnywhere("Name nicht lesbar, \x81" "bergangen: "));
}

TEST_F(DirectoryView, FileInformationInKilobytesAndMegabytes) {
    h.temp.Write("Info/a.mp3", std::string(2048, 'x'));
    h.temp.Write("Info/b.mp3", "x");
    std::filesystem::resize_file(h.temp.path() / "Info/b.mp3", 3 * 1024 * 1024);
    StartIn("C:\\Info");
    script.Key(keys::Down).Key("i");
    Run();
    EXPECT_EQ(Row(19, 5, 35), "Dateigr\x94\xE1" "e =           2.00 Kbytes.");

    script.Key(keys::Down).Key("i");
    p.browser.started = true;
    Run();
    EXPECT_EQ(Row(19, 5, 36), "Dateigr\x94\xE1" "e =           3.000 Mbytes.");
}

TEST_F(DirectoryView, FileInformationOfAListCountsItsLines) {
    h.temp.Write("Info/Rock.pavuto", "a\r\nb\r\nc\r\n");
    StartIn("C:\\Info");
    script.Key(keys::Down).Key("i");
    Run();
    EXPECT_EQ(Row(19, 5, 28), "Liste enth\x84lt  3 Datens\x84tze.");
}

TEST_F(DirectoryView, CreditLineAndTheMarksGo) {
    h.temp.Write("M/A.mp3", "x");
    StartIn("C:\\M");
    script.Key(keys::Down).Key(keys::Enter).Key("c");
    Run();
    const std::string credit = Row(20, 5);
    EXPECT_NE(credit.find("- ver.3.3 -"), std::string::npos);
    script.Key("x");
    p.browser.started = true;
    Run();
    EXPECT_EQ(p.browser.MarkCounter, 1);
    EXPECT_EQ(p.browser.PageTop, 1);
}

TEST_F(DirectoryView, EditingSearchPathsHasItsOwnMenu) {
    WriteConfig("home/Rock.config", "Rock", "");
    h.temp.Write("Musik/Rock/a.mp3", "x");
    StartIn("C:\\Musik\\Rock");
    p.browser.BrowserMode = 2;
    p.browser.CurrentListConfiguration = "C:\\home\\Rock.config";
    Run();
    EXPECT_EQ(Row(19, 7, 21), "Liste (a)ktualisieren");
    EXPECT_EQ(Row(19, 47, 21), "(b)earbeitung beenden");
    EXPECT_EQ(Row(21, 7, 13), "(n)eue config");
    EXPECT_EQ(Row(21, 47, 14), "(P)fad zuf\x81gen");
    EXPECT_EQ(Row(21, 23, 13), "(s)uchen nach");

    script.Key("p").Key("p");  // the second one in C:\Musik
    p.browser.started = true;
    Run();
    EXPECT_EQ(h.temp.Read("home/Rock.config").substr(h.temp.Read("home/Rock.config").find("suchPfade")),
              "suchPfade ----\r\nC:\\Musik\\Rock\\\r\nC:\\Musik\\\r\n");
    EXPECT_EQ(h.files->CurrentDirectory(), "C:\\");

    script.Click(19, 50);  // "(b)earbeitung beenden"
    p.browser.started = true;
    Run();
    EXPECT_EQ(p.browser.BrowserMode, 1);
    EXPECT_EQ(Row(19, 23, 10), "(O)ptionen");
}

TEST_F(DirectoryView, EnterOnAnythingWhileEditingSearchPathsMarksNothing) {
    h.temp.Write("Musik/a.mp3", "x");
    StartIn("C:\\Musik");
    p.browser.BrowserMode = 2;
    script.Key(keys::Down).Key(keys::Enter).Key(keys::Down);
    Run();
    EXPECT_EQ(p.browser.Marks[2], 0);
    EXPECT_EQ(p.browser.CursorOffset, 1);  // the Down went to the wait after the selection
}

// The menu's click fields: the columns are exclusive and the thirds are
// not rounded (C = 70: C / 3 = 23.3, 2C / 3 = 46.7).
TEST_F(DirectoryView, MenuClickFieldsEndWhereTheTableSays) {
    auto keyAt = [&](int row, int column) {
        ClickTarget t = ClickKey(p, row, column);
        return t.kind == ClickTarget::Kind::Key ? t.key : std::string("-");
    };
    ASSERT_EQ(p.con.ScreenColumns, 70);
    EXPECT_EQ(keyAt(19, 4), "-");
    EXPECT_EQ(keyAt(19, 5), "h");
    EXPECT_EQ(keyAt(19, 6), "-");
    EXPECT_EQ(keyAt(20, 5), "\\");
    EXPECT_EQ(keyAt(21, 5), "i");
    EXPECT_EQ(keyAt(21, 6), "-");
    EXPECT_EQ(keyAt(19, 7), "-");
    EXPECT_EQ(keyAt(19, 8), "d");
    EXPECT_EQ(keyAt(19, 23), "d");
    EXPECT_EQ(keyAt(19, 24), "o");
    EXPECT_EQ(keyAt(19, 37), "o");
    EXPECT_EQ(keyAt(19, 38), "-");
    EXPECT_EQ(keyAt(19, 44), "-");
    EXPECT_EQ(keyAt(19, 45), "z");
    EXPECT_EQ(keyAt(19, 64), "z");
    EXPECT_EQ(keyAt(19, 65), "-");
    EXPECT_EQ(keyAt(21, 8), "a");
    EXPECT_EQ(keyAt(21, 24), "s");
    EXPECT_EQ(keyAt(21, 41), "s");
    EXPECT_EQ(keyAt(21, 42), "-");
    EXPECT_EQ(keyAt(21, 45), "l");
    EXPECT_EQ(keyAt(21, 64), "l");
    EXPECT_EQ(keyAt(20, 30), "-");  // the row between the menu lines
    EXPECT_EQ(keyAt(22, 30), "-");

    p.browser.BrowserMode = 2;
    EXPECT_EQ(keyAt(19, 8), "a");
    EXPECT_EQ(keyAt(19, 30), "-");  // no options while editing search paths
    EXPECT_EQ(keyAt(19, 45), "b");
    EXPECT_EQ(keyAt(21, 23), "n");
    EXPECT_EQ(keyAt(21, 30), "s");
    EXPECT_EQ(keyAt(21, 60), "p");
}

}  // namespace
}  // namespace pavuto::test
