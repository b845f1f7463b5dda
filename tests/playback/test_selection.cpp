// Running a selection: the selection files byte for byte, the hand-over to
// the player or the command interpreter (recorded, never run), the bulk and
// random markings and the endless playback.
#include <gtest/gtest.h>

#include <set>

#include "common/codepage.hpp"
#include "lists/list_file.hpp"
#include "playback/selection.hpp"
#include "ui/options.hpp"
#include "support/test_host.hpp"

namespace pavuto {
namespace {

const std::string kInterpreter = "C:\\Windows\\cmd.exe";

class SelectionTest : public ::testing::Test {
protected:
    test::TestHost h;
    Program p{h.clockHost};

    void SetUp() override {
        h.temp.Write("tmp/.keep", "");
        h.environment.block = {"COMSPEC=" + kInterpreter, "TEMP=C:\\tmp"};
        p.settings.tempDirectory = "C:\\tmp\\";
        p.settings.extensions = BuiltInExtensions();
        p.settings.listExtension = ".mp3";
    }

    static std::string Record(const std::string& title, const std::string& dir) {
        return PadRight(title, 30) + PadRight(">" + dir + "<", 30) + "\r\n";
    }

    // A list <name>.pavuto in C:\Listen of titles in directory <dir> with its
    // configuration (search path C:\Musik\<dir>\), opened in the list view;
    // with withFiles every title gets its file (named in UTF-8 on disk).
    void MakeList(const std::string& name, const std::vector<std::string>& titles, const std::string& ext,
                  const std::string& dir = "Rock", bool withFiles = true) {
        std::string list;
        for (const auto& t : titles) {
            list += Record(t, dir);
            if (withFiles) h.temp.Write(Cp1252ToUtf8("Musik/" + dir + "/" + t + ext), "data of " + t);
        }
        h.temp.Write("Listen/" + name + ".pavuto", list);
        std::string base = name;
        if (auto k = base.find(" Interpreten"); k != std::string::npos) base = base.substr(0, k);
        h.temp.Write("Listen/" + base + ".config",
                     " ----- pavuto configuration ------\r\nZIELDATEI1=" + base +
                         "\r\nConfiguration=Default\r\nDateiendung=" + ext +
                         "\r\nMAXDL=30 \r\nMAXDLDIR=30 \r\nNURNAMENSLISTE= 1\r\n ---- suchPfade ----\r\nC:\\Musik\\" +
                         dir + "\\\r\n");
        h.files->ChangeDirectory("C:\\Listen");
        p.browser.ListOpen = 1;
        p.browser.CurrentListFile = name + ".pavuto";
        p.window.FirstRecord = 1;
        ASSERT_TRUE(LoadWindow(p));
    }

    void Mark(std::initializer_list<int> entries) {
        int k = 1;
        for (int i : entries) p.browser.Marks[static_cast<std::size_t>(i)] = k++;
        p.browser.MarkCounter = k;
    }

    std::string Selection(const std::string& file = "auswahlliste.m3u") { return h.temp.Read("tmp/" + file); }
    const test::RecordingProcesses::Started& OnlyStart() {
        EXPECT_EQ(h.processes.started.size(), 1u);
        return h.processes.started.at(0);
    }
};

std::vector<std::string> Names(int n, const std::string& prefix = "T") {
    std::vector<std::string> out;
    for (int i = 1; i <= n; ++i) out.push_back(prefix + (i < 10 ? "0" : "") + std::to_string(i));
    return out;
}

TEST_F(SelectionTest, MarkedEntriesComeOutInMarkingOrder) {
    MakeList("Rock", Names(8), ".mp3");
    std::filesystem::remove(h.temp.path() / "Musik/Rock/T04.mp3");
    Mark({7, 2, 4, 5});
    EXPECT_EQ(RunSelection(p), SelectionOutcome::Started);
    // The entry without a file is left out without a word.
    EXPECT_EQ(Selection(), "C:\\Musik\\Rock\\T07.mp3\r\nC:\\Musik\\Rock\\T02.mp3\r\nC:\\Musik\\Rock\\T05.mp3\r\n");
    const auto& s = OnlyStart();
    EXPECT_EQ(s.commandLine, kInterpreter + " /C C:\\tmp\\auswahlliste.m3u");
    EXPECT_EQ(s.style, host::WindowStyle::Hidden);
    EXPECT_FALSE(s.wait);
    EXPECT_TRUE(h.clockMedia.commands.empty());
}

TEST_F(SelectionTest, DocumentsBecomeABatchFileEvenWithTheInternalPlayer) {
    MakeList("Buecher", {"Handbuch", "Gr\xF6\xDF" "e"}, ".pdf", "B\xFC" "cher");
    p.settings.mci = 1;
    Mark({2, 1});
    RunSelection(p);
    // The lines are in the console's code page (ü 129, ö 148, ß 225).
    EXPECT_EQ(Selection("auswahlliste.cmd"),
              "@echo off\r\n"
              "C:\r\ncd \"\\Musik\\B\x81" "cher\"\r\n\"Gr\x94\xE1" "e.pdf\"\r\n"
              "C:\r\ncd \"\\Musik\\B\x81" "cher\"\r\n\"Handbuch.pdf\"\r\n");
    EXPECT_EQ(OnlyStart().commandLine, kInterpreter + " /C C:\\tmp\\auswahlliste.cmd");
    EXPECT_TRUE(h.clockMedia.commands.empty());
}

TEST_F(SelectionTest, OtherTypesGoToTheConfiguredPlayerFileByFileThroughTheInterpreter) {
    // A batch file is nothing a player can open: the interpreter runs it, and
    // each of its files goes to the player.
    MakeList("Klassik", {"Sinfonie", "Kantate"}, ".flac", "Klassik");
    p.settings.player = "C:\\Programme\\spieler.exe";
    Mark({2, 1});
    RunSelection(p);
    EXPECT_EQ(Selection("auswahlliste.cmd"),
              "@echo off\r\n"
              "C:\r\ncd \"\\Musik\\Klassik\"\r\n\"C:\\Programme\\spieler.exe\" \"Kantate.flac\"\r\n"
              "C:\r\ncd \"\\Musik\\Klassik\"\r\n\"C:\\Programme\\spieler.exe\" \"Sinfonie.flac\"\r\n");
    EXPECT_EQ(OnlyStart().commandLine, kInterpreter + " /C C:\\tmp\\auswahlliste.cmd");
}

TEST_F(SelectionTest, MediaTakeTheDefaultPlayerWhenNoneIsSet) {
    MakeList("Rock", Names(3), ".mp3");
    p.settings.defaultPlayer = "c:\\windows\\mplayer.exe";
    Mark({3});
    RunSelection(p);
    EXPECT_EQ(p.settings.player, "c:\\windows\\mplayer.exe");
    EXPECT_EQ(OnlyStart().commandLine, "c:\\windows\\mplayer.exe C:\\tmp\\auswahlliste.m3u");
}

TEST_F(SelectionTest, WithTheInternalPlayerTheSelectionIsPlayed) {
    MakeList("Rock", Names(2), ".wav");
    h.temp.Write("Musik/Rock/T01.wav", test::SineWav(2000));
    h.temp.Write("Musik/Rock/T02.wav", test::SineWav(2500));
    p.settings.mci = 1;
    p.player.startCounter = 2;
    Mark({2, 1});
    EXPECT_EQ(RunSelection(p), SelectionOutcome::Played);
    EXPECT_EQ(h.clockMedia.openedLengths, (std::vector<long long>{2500, 2000}));
    EXPECT_TRUE(h.processes.started.empty());
    EXPECT_EQ(p.player.startCounter, 0);  // interactive: counted anew
    EXPECT_EQ(h.files->CurrentDirectory(), "C:\\Listen");
}

TEST_F(SelectionTest, NothingMarkedDoesNothing) {
    MakeList("Rock", Names(3), ".mp3");
    h.temp.Write("tmp/auswahlliste.m3u", "alt\r\n");
    EXPECT_EQ(RunSelection(p), SelectionOutcome::NothingMarked);
    EXPECT_EQ(Selection(), "alt\r\n");
    EXPECT_TRUE(h.processes.started.empty());
}

TEST_F(SelectionTest, AListWithoutConfigurationResolvesNothing) {
    MakeList("Rock", Names(3), ".mp3");
    std::filesystem::remove(h.temp.path() / "Listen/Rock.config");
    Mark({1, 2});
    RunSelection(p);
    EXPECT_EQ(p.window.SearchPathCount, 0);
    EXPECT_EQ(Selection(), "");
}

TEST_F(SelectionTest, PerformerListsFindTheFilesUnderTheirOriginalNames) {
    MakeList("Rock Interpreten", {"Band - Song", "Beatles - Help", "Solo"}, ".mp3", "Rock", false);
    h.temp.Write("Musik/Rock/Song - Band.mp3", "x");
    h.temp.Write("Musik/Rock/Help - The Beatles.mp3", "x");
    h.temp.Write("Musik/Rock/Solo.mp3", "x");
    Mark({2, 1, 3});
    RunSelection(p);
    EXPECT_EQ(Selection(),
              "C:\\Musik\\Rock\\Help - The Beatles.mp3\r\nC:\\Musik\\Rock\\Song - Band.mp3\r\nC:\\Musik\\Rock\\Solo.mp3\r\n");
}

TEST_F(SelectionTest, DisplayModesOneAndTwoRunTheEntryUnderTheCursor) {
    MakeList("Rock", {"A - B", "Zwei"}, ".flac", "Rock", false);
    h.temp.Write("Musik/Rock/B - A.flac", "x");
    p.window.ListDisplay = 1;
    p.browser.CursorOffset = 0;
    p.settings.player = "C:\\P\\spieler.exe";
    RunSelection(p);
    // No "@echo off", the directory unquoted, the player in line 3.
    EXPECT_EQ(Selection("auswahlliste.cmd"), "C:\r\ncd \\Musik\\Rock\r\n\"C:\\P\\spieler.exe\" \"B - A.flac\"\r\n");
    EXPECT_EQ(OnlyStart().commandLine, kInterpreter + " /C C:\\tmp\\auswahlliste.cmd");

    // An entry without a file starts nothing, and the old selection stays.
    h.processes.started.clear();
    p.browser.CursorOffset = 1;
    RunSelection(p);
    EXPECT_TRUE(h.processes.started.empty());
    EXPECT_EQ(Selection("auswahlliste.cmd"), "C:\r\ncd \\Musik\\Rock\r\n\"C:\\P\\spieler.exe\" \"B - A.flac\"\r\n");
}

class DirectorySelectionTest : public SelectionTest {
protected:
    void Directory(const std::vector<std::string>& entries) {
        p.browser.ListOpen = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) p.window.Titles[i + 1] = entries[i];
        p.window.RecordCount = static_cast<int>(entries.size());
    }
};

TEST_F(DirectorySelectionTest, ADriveRootGivesOneBackslash) {
    Directory({"<DIR> Musik", "Name.mp3", "Zweite.mp3", "\xAF" " C:"});
    Mark({3, 2});
    RunSelection(p);
    EXPECT_EQ(Selection(), "C:\\Zweite.mp3\r\nC:\\Name.mp3\r\n");

    // The batch file of a root changes to the root itself; directory view
    // lines are not converted.
    p.settings.listExtension = ".txt";
    Directory({"\xFC" "ber.txt"});
    Mark({1});
    RunSelection(p);
    EXPECT_EQ(Selection("auswahlliste.cmd"), "@echo off\r\nC:\r\ncd \"\\\"\r\n\"\xFC" "ber.txt\"\r\n");
}

TEST_F(DirectorySelectionTest, FileNamesAreWrittenAsData) {
    const std::string name = "a \"b\" & c | d ; $e `f`.mp3";
    h.temp.Write("Musik/" + name, "x");
    h.files->ChangeDirectory("C:\\Musik");
    Directory({"..", name});
    Mark({2});
    RunSelection(p);
    EXPECT_EQ(Selection(), "C:\\Musik\\" + name + "\r\n");
    EXPECT_EQ(OnlyStart().commandLine, kInterpreter + " /C C:\\tmp\\auswahlliste.m3u");

    h.processes.started.clear();
    p.settings.listExtension = ".flac";
    RunSelection(p);
    EXPECT_EQ(Selection("auswahlliste.cmd"), "@echo off\r\nC:\r\ncd \"\\Musik\"\r\n\"" + name + "\"\r\n");
    EXPECT_EQ(OnlyStart().commandLine, kInterpreter + " /C C:\\tmp\\auswahlliste.cmd");
}

// A name holding a line end would split its line: its second half would be
// a line of its own (in a batch file one that runs). Such a name is left out
// of every selection file, the other names are written.
TEST_F(DirectorySelectionTest, ANameWithALineEndNeverReachesASelectionFile) {
    if (!test::kNamesHoldAnyCharacter) GTEST_SKIP() << "no file name holds a line end here";
    h.files->ChangeDirectory("C:\\tmp");
    const std::string split = "x\r\n\"touch\" \"y.pdf", lf = "a\nb.pdf";
    Directory({"..", "gut.pdf", split, lf});
    Mark({3, 2, 4});
    RunSelection(p);
    EXPECT_EQ(Selection(), "C:\\tmp\\gut.pdf\r\n");
    p.settings.listExtension = ".pdf";
    h.processes.started.clear();
    RunSelection(p);
    EXPECT_EQ(Selection("auswahlliste.cmd"), "@echo off\r\nC:\r\ncd \"\\tmp\"\r\n\"gut.pdf\"\r\n");
    EXPECT_EQ(OnlyStart().commandLine, kInterpreter + " /C C:\\tmp\\auswahlliste.cmd") << "nothing but the interpreter";

    // Nor does a directory holding one: none of its files can be written.
    h.temp.Write("tmp/x\n\"touch\" \"y/gut.pdf", "x");
    h.files->ChangeDirectory("C:\\tmp\\x\n\"touch\" \"y");
    Directory({"..", "gut.pdf"});
    Mark({2});
    RunSelection(p);
    EXPECT_EQ(Selection("auswahlliste.cmd"), "@echo off\r\n");
    p.settings.listExtension = ".mp3";
    RunSelection(p);
    EXPECT_EQ(Selection(), "");
}

TEST_F(DirectorySelectionTest, MarkAllSkipsDirectoriesDrivesAndLists) {
    Directory({"..", "<DIR> Alt", "Eins.mp3", "Rock.PAVUTO", "Zwei.mp3", "\xAF" " D:"});
    p.browser.Marks[1] = 9;
    MarkAllInListOrder(p);
    std::vector<int> marks(p.browser.Marks.begin() + 1, p.browser.Marks.begin() + 7);
    EXPECT_EQ(marks, (std::vector<int>{0, 0, 1, 0, 2, 0}));
    EXPECT_EQ(p.browser.MarkCounter, 3);
}

TEST_F(DirectorySelectionTest, ShuffleMarksOnlyFilesAndNeverHangsOnOne) {
    Directory({"..", "<DIR> Alt", "Eins.mp3", "Zwei.mp3", "Drei.mp3"});
    ASSERT_TRUE(ShuffleMarks(p, 45));  // 2 + 45 / 20 = 4 passes
    std::multiset<int> marks;
    for (int i = 1; i <= 5; ++i) marks.insert(p.browser.Marks[static_cast<std::size_t>(i)]);
    EXPECT_EQ(marks, (std::multiset<int>{0, 0, 1, 2, 3}));
    EXPECT_EQ(p.browser.Marks[1], 0);
    EXPECT_EQ(p.browser.Marks[2], 0);
    EXPECT_EQ(h.console.Text(13, 25, 7), " 100  %");

    Directory({"..", "Allein.mp3"});
    ASSERT_TRUE(ShuffleMarks(p, 0));
    EXPECT_EQ(p.browser.Marks[2], 1);
}

TEST_F(SelectionTest, ShufflePassesFollowSAndEscStopsIt) {
    MakeList("Rock", Names(20), ".mp3");
    long long t0 = h.clock.Milliseconds();
    ASSERT_TRUE(ShuffleMarks(p, 0));
    // S = 0: two passes, one poll of 80 ms each, and every record marked once.
    EXPECT_EQ(h.clock.Milliseconds() - t0, 160);
    std::set<int> marks(p.browser.Marks.begin() + 1, p.browser.Marks.begin() + 21);
    EXPECT_EQ(marks.size(), 20u);
    EXPECT_EQ(*marks.begin(), 1);
    EXPECT_EQ(*marks.rbegin(), 20);
    EXPECT_EQ(p.browser.MarkCounter, 21);

    t0 = h.clock.Milliseconds();
    ASSERT_TRUE(ShuffleMarks(p, 95));  // 2 + 95 / 30 = 5 passes
    EXPECT_EQ(h.clock.Milliseconds() - t0, 400);
    EXPECT_EQ(h.console.Text(16, 25, 7), " 100  %");

    h.console.Key("\x1b");
    EXPECT_FALSE(ShuffleMarks(p, 95));
    EXPECT_EQ(h.console.Text(16, 25, 6), " 20  %");

    // 50 passes (2 + 1440 / 30): stopped in pass 29 the progress is 29 / 50,
    // which is 58 %.
    t0 = h.clock.Milliseconds();
    h.console.Key("\x1b", t0 + 28 * 80 + 40);
    EXPECT_FALSE(ShuffleMarks(p, 1440));
    EXPECT_EQ(h.console.Text(16, 25, 6), " 58  %");
}

TEST_F(SelectionTest, TheSeedIsMonthTimesSecondTimesHour) {
    h.clock.SetTime(12, 34, 56);  // a day in December
    EXPECT_EQ(SeedRandom(p), 64);  // 12 x 56 x 12 = 8064
    std::mt19937 expected(8064);
    EXPECT_EQ(p.random(), expected());
    h.clock.SetTime(0, 10, 5);
    EXPECT_EQ(SeedRandom(p), 0);
}

TEST_F(SelectionTest, RandomTitlesPlayAListThroughBeforeANewOrder) {
    MakeList("Rock", Names(40), ".mp3");
    const std::string rnd = "Listen/rock.pavuto-rnd";
    std::set<int> played;
    auto marked = [&] {
        std::vector<int> out;
        for (int i = 1; i <= 40; ++i)
            if (p.browser.Marks[static_cast<std::size_t>(i)] > 0) out.push_back(i);
        return out;
    };
    auto zeros = [&] {
        std::string file = h.temp.Read(rnd);
        int n = 0;
        for (std::size_t at = 0; (at = file.find(" 0\r\n", at)) != std::string::npos; ++at)
            if (at == 0 || file[at - 1] == '\n') ++n;
        return n;
    };
    for (int run = 1; run <= 3; ++run) {
        ASSERT_TRUE(MarkRandomTitles(p, 10, 0)) << run;
        EXPECT_EQ(p.browser.MarkCounter, 11);
        auto m = marked();
        ASSERT_EQ(m.size(), 10u) << run;
        std::set<int> numbers;
        for (int i : m) numbers.insert(p.browser.Marks[static_cast<std::size_t>(i)]);
        EXPECT_EQ(numbers, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        for (int i : m) EXPECT_TRUE(played.insert(i).second) << "record " << i << " again in run " << run;
        if (run == 1) {
            EXPECT_EQ(zeros(), 10);
            // The rest of the order: 1 ... 30.
            std::string file = h.temp.Read(rnd);
            for (int k = 1; k <= 30; ++k) {
                EXPECT_NE(file.find(" " + std::to_string(k) + "\r\n"), std::string::npos) << k;
            }
        }
        if (run == 2) {
            EXPECT_EQ(zeros(), 20);
        }
    }
    // After the third run only 10 were left: the order is drawn anew.
    EXPECT_FALSE(h.temp.Exists(rnd));
    ASSERT_TRUE(MarkRandomTitles(p, 10, 0));
    EXPECT_EQ(marked().size(), 10u);
    EXPECT_TRUE(h.temp.Exists(rnd));
    EXPECT_EQ(zeros(), 10);
}

TEST_F(SelectionTest, RandomTitlesNeedEnoughRecords) {
    MakeList("Rock", Names(14), ".mp3");
    EXPECT_FALSE(MarkRandomTitles(p, 10, 0));
    MakeList("Rock", Names(29), ".mp3");
    EXPECT_TRUE(MarkRandomTitles(p, 10, 0));
    EXPECT_FALSE(MarkRandomTitles(p, 25, 0));
    EXPECT_EQ(RandomListPath("C:\\Listen\\Rock.pavuto"), "C:\\Listen\\rock.pavuto-rnd");
}

TEST_F(SelectionTest, NumberlessMarksMoveOntoTheBaseList) {
    MakeList("Rock", {"01 Zebra", "02 Apfel", "03 Mango"}, ".mp3");
    // The numberless list, sorted: Apfel (2), Mango (3), Zebra (1).
    h.temp.Write("Listen/Rock_ohne Nr.pavuto", Record("Apfel", "Rock") + Record("Mango", "Rock") + Record("Zebra", "Rock"));
    h.temp.Write("Listen/Rock_ohne Nr.tmp", " 2 \r\n 3 \r\n 1 \r\n");
    p.browser.CurrentListFile = "Rock_ohne Nr.pavuto";
    ASSERT_TRUE(LoadWindow(p));
    Mark({3, 1});  // Zebra first, then Apfel
    MapNumberlessMarks(p);
    EXPECT_EQ(p.browser.CurrentListFile, "Rock.pavuto");
    EXPECT_EQ(p.browser.Marks[1], 1);
    EXPECT_EQ(p.browser.Marks[2], 2);
    EXPECT_EQ(p.browser.Marks[3], 0);
    EXPECT_EQ(p.window.SearchPathCount, 1);
    RunSelection(p);
    EXPECT_EQ(Selection(), "C:\\Musik\\Rock\\01 Zebra.mp3\r\nC:\\Musik\\Rock\\02 Apfel.mp3\r\n");
}

TEST_F(SelectionTest, ThePlayerProgramIsCheckedWhenItIsEntered) {
    h.console.SetSize(25, 74);
    p.con.ScreenRows = 25;
    p.con.ScreenColumns = 74;
    h.temp.Write("Programme/spieler.exe", "x");
    // A path that does not exist, then "j" and the right one.
    h.console.Keys("C:\\falsch.exe\r", 100);
    h.console.Key("j", 1000);
    h.console.Keys("C:\\Programme\\spieler.exe\r", 2000);
    EnterPlayerProgram(p);
    EXPECT_EQ(p.settings.player, "C:\\Programme\\spieler.exe");

    // Not found, and kept all the same with any other answer.
    h.console.Keys("C:\\nichtda.exe\r", h.clock.Milliseconds() + 100);
    h.console.Key("n", h.clock.Milliseconds() + 1000);
    EnterPlayerProgram(p);
    EXPECT_EQ(p.settings.player, "C:\\nichtda.exe");
    EXPECT_EQ(h.console.Text(12, 7, 47), "Programm nicht gefunden. (Pfadangaben korrekt?)");
    EXPECT_EQ(h.console.Text(13, 7, 19), " neue eingabe J/Y ?");

    // Esc as the first key leaves the player as it was.
    h.console.Key("\x1b", h.clock.Milliseconds() + 100);
    EnterPlayerProgram(p);
    EXPECT_EQ(p.settings.player, "C:\\nichtda.exe");
}

class EndlessTest : public SelectionTest {
protected:
    void SetUp() override {
        SelectionTest::SetUp();
        p.settings.autoMode = "rock.pavuto";
        h.console.idleLimitMs = 150000;
    }
};

TEST_F(EndlessTest, PlaysRandomTitlesWithoutRepeatsUntilEsc) {
    auto names = Names(30);
    MakeList("Rock", names, ".wav", "Rock", false);
    for (int i = 1; i <= 30; ++i)
        h.temp.Write("Musik/Rock/" + names[static_cast<std::size_t>(i - 1)] + ".wav", test::SineWav(2000 + 10 * i));
    for (long long at = 60000; at < 80000; at += 700) h.console.Key("\x1b", at);
    EXPECT_THROW(EndlessPlayback(p), ProgramEnd);
    const auto& lengths = h.clockMedia.openedLengths;
    ASSERT_GE(lengths.size(), 20u);
    std::set<long long> first20(lengths.begin(), lengths.begin() + 20);
    EXPECT_EQ(first20.size(), 20u);
    EXPECT_TRUE(h.processes.started.empty());
    EXPECT_FALSE(h.temp.Exists("tmp/0jetzt.wav"));  // the program end removed the work copies
}

TEST_F(EndlessTest, TooFewRecordsWaitAndNeverStartAnything) {
    MakeList("Rock", Names(10), ".wav");
    EXPECT_THROW(EndlessPlayback(p), test::ScriptExhausted);
    EXPECT_TRUE(h.processes.started.empty());
    EXPECT_TRUE(h.clockMedia.commands.empty());
    EXPECT_NE(h.console.Dump().find("Zu wenig Titel"), std::string::npos);
}

TEST_F(EndlessTest, DocumentsAreNeverStartedOverAndOver) {
    MakeList("Texte", Names(20), ".pdf", "Texte");
    EXPECT_THROW(EndlessPlayback(p), test::ScriptExhausted);
    EXPECT_TRUE(h.processes.started.empty());
    EXPECT_NE(h.console.Dump().find("keine abspielbaren Titel"), std::string::npos);
}

TEST_F(EndlessTest, NothingFoundWaitsAndEscAsksWhetherToEnd) {
    MakeList("Rock", Names(20), ".wav", "Rock", false);
    h.console.Key("\x1b", 30000);
    h.console.Key("j", 33000);
    EXPECT_THROW(EndlessPlayback(p), ProgramEnd);
    EXPECT_GE(h.clock.Milliseconds(), 33000);
    EXPECT_LT(h.clock.Milliseconds(), 40000);
    EXPECT_TRUE(h.clockMedia.commands.empty());
}

// Esc during the shuffle of endless playback asks the exit
// question; a click changes nothing.
class EndlessShuffleTest : public EndlessTest {
protected:
    // 20 titles whose lengths tell them apart: 1510, 1520, ... ms in list order.
    void TwentyTitles() {
        auto names = Names(20);
        MakeList("Rock", names, ".wav", "Rock", false);
        for (int i = 1; i <= 20; ++i)
            h.temp.Write("Musik/Rock/" + names[static_cast<std::size_t>(i - 1)] + ".wav", test::SineWav(Length(i)));
        h.console.keepScreens = true;
    }
    static int Length(int i) { return 1500 + 10 * i; }
    // The shuffle went on: the first round played 10 titles in random order,
    // not the list as it stands, and nothing said there were too few.
    void ExpectARandomRound() {
        for (const auto& screen : h.console.screens)
            for (const auto& row : screen) EXPECT_EQ(row.find("Zu wenig Titel"), std::string::npos) << row;
        const auto& played = h.clockMedia.openedLengths;
        ASSERT_GE(played.size(), 10u);
        std::vector<long long> listOrder;
        for (int i = 1; i <= 10; ++i) listOrder.push_back(Length(i));
        EXPECT_NE(std::vector<long long>(played.begin(), played.begin() + 10), listOrder);
    }
};

TEST_F(EndlessShuffleTest, EscAsksTheExitQuestion) {
    TwentyTitles();
    h.console.Key("\x1b", 0);  // read by the shuffle's first pass
    h.console.Key("n", 1000);  // no: the shuffle goes on
    for (long long at = 40000; at < 60000; at += 700) h.console.Key("\x1b", at);  // Esc in the player ends
    EXPECT_THROW(EndlessPlayback(p), ProgramEnd);
    EXPECT_NE(h.console.ScreenWith(1, 1, " Programm beenden ? J/N"), nullptr);
    ExpectARandomRound();
}

TEST_F(EndlessShuffleTest, AClickChangesNothing) {
    TwentyTitles();
    h.console.Click(10, 20, 1, 1, 0);
    for (long long at = 30000; at < 50000; at += 700) h.console.Key("\x1b", at);
    EXPECT_THROW(EndlessPlayback(p), ProgramEnd);
    ExpectARandomRound();
}

// After a round the console has the player's 17 rows; the
// messages stand in them.
TEST_F(EndlessTest, AfterARoundItsMessagesStandInThePlayersRows) {
    auto names = Names(21);
    MakeList("Rock", names, ".wav", "Rock", false);
    // The order of the random list: records 1 ... 10 first (they have
    // files), then 11 ... 21 (they have none).
    std::string order;
    for (int i = 1; i <= 21; ++i) {
        if (i <= 10) h.temp.Write("Musik/Rock/" + names[static_cast<std::size_t>(i - 1)] + ".wav", test::SineWav(1000));
        order += " " + std::to_string(i) + "\r\n";
    }
    h.temp.Write("Listen/rock.pavuto-rnd", order);
    h.console.keepScreens = true;
    h.console.Key("\x1b", 70000);
    h.console.Key("j", 72000);
    EXPECT_THROW(EndlessPlayback(p), ProgramEnd);
    ASSERT_EQ(h.clockMedia.openedLengths.size(), 10u);
    ASSERT_EQ(h.console.Rows(), 17);
    const auto* shown = h.console.ScreenWith(14, 7, ConvertForConsole("Keiner der gew\xE4hlten Titel wurde gefunden."));
    ASSERT_NE(shown, nullptr);
    const std::string retry = "Neuer Versuch in einer Minute.  (Esc: Programm beenden)";
    EXPECT_EQ((*shown)[14].substr(6, retry.size()), retry);
    EXPECT_EQ(static_cast<unsigned char>((*shown)[16][0]), 200) << "the frame stays whole";
    EXPECT_EQ(static_cast<unsigned char>((*shown)[11][0]), 201);
}

TEST_F(EndlessTest, AnErrorStandsInThePlayersRowsAndItsWaitEndsByItself) {
    auto names = Names(20);
    MakeList("Rock", names, ".wav", "Rock", false);
    for (const auto& n : names) h.temp.Write("Musik/Rock/" + n + ".wav", test::SineWav(1000));
    // The second selection file (the second round) cannot be written.
    h.faults.FailNth(test::FaultyFileSystem::Op::Create, 2, 57, "auswahlliste");
    h.console.keepScreens = true;
    // Nobody presses a key: the message waits a short time, then the
    // program goes on (the error's continuation starts it over).
    long long failedAt = -1;
    h.clockMedia.onCommand = [&](const std::string&) { failedAt = h.clock.Milliseconds(); };
    EXPECT_THROW(EndlessPlayback(p), RestartProgram);
    EXPECT_GE(h.clock.Milliseconds() - failedAt, kEndlessMessageMilliseconds);
    EXPECT_LT(h.clock.Milliseconds() - failedAt, kEndlessMessageMilliseconds + 2000);
    EXPECT_EQ(h.clockMedia.openedLengths.size(), 10u);
    EXPECT_NE(h.console.ScreenWith(14, 7, ">>Fehler: 57 , 0 ,Device I/O error<<"), nullptr);
}

}  // namespace
}  // namespace pavuto
