// Numberless lists, renaming the files to their numberless titles, and
// renaming the file behind the selected entry in both views.
#include "lists/titles.hpp"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <random>

#include "config/list_config.hpp"
#include "lists/directory_reader.hpp"
#include "lists/list_file.hpp"
#include "lists/list_fixture.hpp"
#include "playback/selection.hpp"

namespace pavuto::test {
namespace {

const std::string kConfig =
    " ----- pavuto configuration ------\r\nZIELDATEI1=Rock\r\nConfiguration=Default\r\nDateiendung=.mp3\r\n"
    "MAXDL=30 \r\nMAXDLDIR=30 \r\nNURNAMENSLISTE= 0\r\n ---- suchPfade ----\r\nC:\\music\\Rock\\\r\n";

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        out.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

std::string Strip(const std::string& record) {
    std::string out;
    int removed = 0;
    EXPECT_TRUE(StripLeadingNumber(record, out, removed)) << record;
    return out;
}

struct TitlesTest : ListTest {
    const std::string list = "C:\\home\\Rock.pavuto";

    // The list Rock with its configuration, and files of the given names in
    // C:\music\Rock; the list is open in the list view.
    void OpenList(const std::vector<std::string>& titles, bool makeFiles = true) {
        std::string bytes;
        for (const auto& t : titles) {
            bytes += Record(t, "Rock");
            if (makeFiles) h.temp.Write("music/Rock/" + t + ".mp3", t);
        }
        h.temp.Write("home/Rock.pavuto", bytes);
        h.temp.Write("home/Rock.config", kConfig);
        Open(list);
    }
    void Open(const std::string& path) {
        p.browser.ListOpen = 1;
        p.browser.CurrentListFile = path;
        p.browser.CurrentListConfiguration = ListConfigurationFor(p, path);
        ASSERT_TRUE(ReadListConfiguration(p, p.browser.CurrentListConfiguration));
        ASSERT_TRUE(ReadSearchPaths(p, p.browser.CurrentListConfiguration));
        p.window.FirstRecord = 1;
        ASSERT_TRUE(LoadWindow(p));
    }
    void Mark(int record, int n) { p.browser.Marks[static_cast<size_t>(record)] = n; }
    void Cursor(int slot) {
        p.browser.PageTop = 1;
        p.browser.CursorOffset = slot - 1;
    }
    std::string Read(const std::string& relative) { return h.temp.Read(relative); }
    // The title fields of a list file, trailing blanks removed.
    std::vector<std::string> Titles(const std::string& relative) {
        std::vector<std::string> out;
        for (const auto& r : Lines(Read(relative))) out.push_back(RTrim(Left(r, Instr(r, ">") - 1)));
        return out;
    }
    std::vector<int> Numbers(const std::string& relative) {
        std::vector<int> out;
        for (const auto& line : Lines(Read(relative))) out.push_back(ValInt(line));
        return out;
    }
    // Runs an operation that must leave the options menu after its message.
    void ExpectMenuLeft(const std::function<void()>& run) {
        try {
            run();
            ADD_FAILURE() << "the options menu was not left";
        } catch (const GoOnAt& g) {
            EXPECT_EQ(g.point, Point::OptionsMenu);
        }
        EXPECT_TRUE(ScreenHas("umbenennen nicht m\xF6glich.")) << h.console.Dump();
    }
};

// ---- the strip rule -----------------------------------------------------------------

TEST(StripRuleTest, LeadingNumbersGoAndTheRecordKeepsItsFields) {
    auto title = [](const std::string& t) {
        std::string record = Record(t, "Rock");
        record.resize(record.size() - 2);
        std::string out = Strip(record);
        EXPECT_EQ(out.size(), record.size()) << t;
        EXPECT_EQ(out.substr(29), record.substr(29)) << t;  // the directory field stays where it was
        return RTrim(out.substr(0, 29));
    };
    EXPECT_EQ(title("01 Song"), "Song");
    EXPECT_EQ(title("01_Song"), "Song");
    EXPECT_EQ(title("12 - Song"), "- Song");  // only one blank after the digits goes
    EXPECT_EQ(title("3. Song"), ". Song");    // the point stops the removal
    EXPECT_EQ(title("Song 01"), "Song 01");
    EXPECT_EQ(title("_2/3:4  x"), " x");      // "/" and ":" go with the digits, one blank after
    EXPECT_EQ(title("_ 2 x"), "2 x");         // one character of each kind around the digits
    EXPECT_EQ(title("  7 x"), "7 x");
    EXPECT_EQ(title("2001"), "");

    std::string out;
    int removed = 0;
    EXPECT_TRUE(StripLeadingNumber("Song  >Rock<", out, removed));
    EXPECT_EQ(removed, 0);
    EXPECT_FALSE(StripLeadingNumber("01 Song without field", out, removed));
    EXPECT_EQ(out, "01 Song without field");
}

TEST(StripRuleTest, PlainFileNames) {
    for (const char* good : {"Song.mp3", "Lied - Chor", " a", "\xC4pfel & Birnen (live)"})
        EXPECT_TRUE(IsPlainFileName(good)) << good;
    for (const char* bad : {"", "   ", "a\\b", "a/b", "C:x", "a*", "a?", "a\"b", "a<b", "a>b", "a|b", "a\tb", "a\x7f"})
        EXPECT_FALSE(IsPlainFileName(bad)) << bad;
}

// ---- the numberless list -----------------------------------------------------------

TEST_F(TitlesTest, NumberlessListStripsUnmarkedTitlesSortsThemAndNamesItsBaseRecords) {
    OpenList({"03 Cello", "01 Bass", "02 Anfang", "10 Zoo"});
    Mark(4, 1);  // "10 Zoo" is to stay as it is
    h.console.Key("j");
    MakeNumberlessList(p);

    EXPECT_EQ(Titles("home/Rock_ohne Nr.pavuto"), (std::vector<std::string>{"10 Zoo", "Anfang", "Bass", "Cello"}));
    EXPECT_EQ(Numbers("home/Rock_ohne Nr.tmp"), (std::vector<int>{4, 3, 2, 1}));
    EXPECT_EQ(Read("home/Rock_ohne Nr.tmp").substr(0, 5), " 4 \r\n");
    // Records keep their length; the base list is unchanged.
    EXPECT_EQ(Read("home/Rock_ohne Nr.pavuto").size(), Read("home/Rock.pavuto").size());
    EXPECT_EQ(Lines(Read("home/Rock.pavuto"))[0], Record("03 Cello", "Rock").substr(0, 59));

    EXPECT_EQ(p.browser.CurrentListFile, "C:\\home\\Rock_ohne Nr.pavuto");
    EXPECT_EQ(p.window.Titles[1], "10 Zoo");
    EXPECT_EQ(p.window.Titles[2], "Anfang");
    EXPECT_EQ(p.window.RecordCount, 4);
    EXPECT_EQ(p.browser.Marks[1], 0);
    EXPECT_TRUE(p.window.numbersStripped);
    EXPECT_TRUE(NumberlessRenamingOffered(p));
    EXPECT_TRUE(ScreenHas("Fertig >  4  Eintr\xE4ge."));
}

TEST_F(TitlesTest, MarksOfTheNumberlessListLandOnTheirBaseRecords) {
    OpenList({"03 Cello", "01 Bass", "02 Anfang", "10 Zoo"});
    h.console.Key("j");
    MakeNumberlessList(p);
    ASSERT_EQ(p.window.Titles[2], "Bass");
    Mark(2, 1);  // "Bass" was base record 2
    Mark(4, 2);  // "Zoo" was base record 4
    MapNumberlessMarks(p);
    EXPECT_EQ(p.browser.CurrentListFile, list);
    EXPECT_EQ(p.browser.Marks[2], 1);
    EXPECT_EQ(p.browser.Marks[4], 2);
    EXPECT_EQ(p.browser.Marks[1] + p.browser.Marks[3], 0);
}

TEST_F(TitlesTest, TheQuestionDecidesAndANumberlessListIsNotStrippedAgain) {
    OpenList({"01 Bass"});
    for (const char* answer : {"n", "\x1b"}) {
        h.console.Key(answer);
        MakeNumberlessList(p);
        EXPECT_FALSE(h.temp.Exists("home/Rock_ohne Nr.pavuto")) << answer;
        EXPECT_EQ(p.browser.CurrentListFile, list);
    }
    h.console.Click(5, 10, 2);  // the right button cancels anywhere
    MakeNumberlessList(p);
    EXPECT_FALSE(h.temp.Exists("home/Rock_ohne Nr.pavuto"));
    EXPECT_FALSE(NumberlessRenamingOffered(p));

    h.console.Click(6, 10);  // a click elsewhere cancels
    MakeNumberlessList(p);
    EXPECT_FALSE(h.temp.Exists("home/Rock_ohne Nr.pavuto"));
    h.console.Click(7, 10);  // a click on console row 6, counted from 0, goes on
    MakeNumberlessList(p);
    EXPECT_EQ(Titles("home/Rock_ohne Nr.pavuto"), std::vector<std::string>{"Bass"});

    h.console.Key("x");
    MakeNumberlessList(p);  // now on the numberless list
    EXPECT_TRUE(ScreenHas("Dies ist eine bearbeitete Datei."));
    EXPECT_EQ(h.console.Pending(), 0u);
}

TEST_F(TitlesTest, AThousandTwoHundredRecordsAllPointBackAfterEveryBlockPass) {
    std::mt19937 rng(7);
    std::vector<std::string> titles;
    for (int i = 0; i < 1200; ++i) {
        std::string t = std::to_string(rng() % 100) + (rng() % 2 ? " " : "_");
        for (int k = 0; k < 6; ++k) t += static_cast<char>('a' + rng() % 26);
        titles.push_back(t);
    }
    OpenList(titles, false);
    for (int r = 1; r <= 1200; r += 37) Mark(r, r);
    h.console.Key("y");
    MakeNumberlessList(p);

    const auto base = Lines(Read("home/Rock.pavuto"));
    const auto made = Lines(Read("home/Rock_ohne Nr.pavuto"));
    const auto numbers = Numbers("home/Rock_ohne Nr.tmp");
    ASSERT_EQ(made.size(), 1200u);
    ASSERT_EQ(numbers.size(), 1200u);
    std::vector<int> seen(1201, 0);
    for (size_t k = 0; k < made.size(); ++k) {
        const int n = numbers[k];
        ASSERT_TRUE(n >= 1 && n <= 1200) << k;
        ++seen[static_cast<size_t>(n)];
        const std::string& from = base[static_cast<size_t>(n - 1)];
        ASSERT_EQ(made[k], (n - 1) % 37 == 0 ? from : Strip(from)) << "record " << k + 1;
    }
    EXPECT_EQ(std::count(seen.begin() + 1, seen.end(), 1), 1200);
    for (size_t k = 1; k < made.size(); ++k)
        ASSERT_LE(CollateCompare(p.collation, made[k - 1], made[k]), 0) << k;
}

TEST_F(TitlesTest, AFailedSortLeavesNoNumberlessListWithoutItsNumbers) {
    OpenList({"02 b", "01 a"});
    h.temp.Write("home/Rock_ohne Nr.tmp", " 9 \r\n");
    h.console.Key("j");
    h.console.Key("x");  // the general handler's key before the restart
    h.faults.FailNth(FaultyFileSystem::Op::Replace, 1, err::DiskFull, "_ohne Nr.tmp");
    EXPECT_THROW(MakeNumberlessList(p), RestartProgram);
    EXPECT_FALSE(h.temp.Exists("home/Rock_ohne Nr.pavuto"));
    EXPECT_FALSE(h.temp.Exists("home/Rock_ohne Nr.tmp"));
    EXPECT_EQ(p.browser.CurrentListFile, list);
}

// ---- renaming to the numberless titles ---------------------------------------------

TEST_F(TitlesTest, FilesTakeTheirNumberlessTitlesAndFailuresAreCountedOnTheirLine) {
    // The options menu's window.
    h.console.SetSize(25, 74);
    p.con.ScreenRows = 25;
    p.con.ScreenColumns = 74;
    OpenList({"01 Bass", "02 Cello", "Same", "03 Dur"});
    h.temp.Write("music/Rock/Dur.mp3", "in the way");
    h.console.Key("j");
    MakeNumberlessList(p);
    h.console.Key("x");
    EXPECT_EQ(RenameToNumberlessTitles(p), -5);

    EXPECT_EQ(Read("music/Rock/Bass.mp3"), "01 Bass");
    EXPECT_EQ(Read("music/Rock/Cello.mp3"), "02 Cello");
    EXPECT_FALSE(h.temp.Exists("music/Rock/01 Bass.mp3"));
    EXPECT_EQ(Read("music/Rock/Same.mp3"), "Same");
    // No rename replaces a file: "03 Dur" stays, with its failure line.
    EXPECT_EQ(Read("music/Rock/03 Dur.mp3"), "03 Dur");
    EXPECT_EQ(Read("music/Rock/Dur.mp3"), "in the way");
    EXPECT_TRUE(ScreenHas("Es sind  1  Dateien wegen Fehler nicht umbenannt worden."));
    EXPECT_EQ(Row(12, 7, 51), OnScreen(" 3 entsprechen jetzt der gew\xFCnschten Bezeichnungen."));
    EXPECT_EQ(Row(14, 7, 68), OnScreen("Bitte aktualisieren sie jetzt die Listen die diese St\xFC" "cke enthalten."));
    // The lists themselves are left alone.
    EXPECT_EQ(Titles("home/Rock.pavuto"), (std::vector<std::string>{"01 Bass", "02 Cello", "Same", "03 Dur"}));
}

TEST_F(TitlesTest, TheFailureLineShowsCountNumberAndTextInPrintZones) {
    OpenList({"01 Bass", "02 Cello"});
    // Made by hand: the third record's empty title waits for a key, with
    // the line of the second failure on the screen.
    h.temp.Write("home/Rock_ohne Nr.pavuto", Record("Bass", "Rock") + Record("Cello", "Rock") + Record("", "Rock"));
    h.temp.Write("home/Rock_ohne Nr.tmp", " 1 \r\n 2 \r\n 1 \r\n");
    Open("C:\\home\\Rock_ohne Nr.pavuto");
    h.console.keepScreens = true;
    h.console.Key("x");
    h.console.Key("x");
    h.faults.FailAll(FaultyFileSystem::Op::Rename, err::PermissionDenied);
    EXPECT_EQ(RenameToNumberlessTitles(p), 0);  // nothing changed on disk
    h.faults.Heal();
    // The line of the second failure, as it stood before the summary.
    const auto* screen = h.console.ScreenWith(14, 7, " 2 ");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ((*screen)[13].substr(6, 39), " 2 " + std::string(5, ' ') + " 70 " + std::string(10, ' ') + "Permission denied");
    EXPECT_NE(h.console.ScreenWith(19, 7, "   leerer Datensatz ? ><"), nullptr);
    EXPECT_TRUE(ScreenHas("Es sind  2  Dateien wegen Fehler nicht umbenannt worden."));
    EXPECT_TRUE(ScreenHas(" 1 entsprechen jetzt"));  // records less failures
    EXPECT_EQ(Read("music/Rock/01 Bass.mp3"), "01 Bass");
}

TEST_F(TitlesTest, EqualTitlesRenameNothingAndTitlesNamingADirectoryAreRefused) {
    OpenList({"Bass"});
    // A numberless list made by hand: one title equal, none elsewhere.
    h.temp.Write("home/Rock_ohne Nr.pavuto", Record("Bass", "Rock"));
    h.temp.Write("home/Rock_ohne Nr.tmp", " 1 \r\n");
    Open("C:\\home\\Rock_ohne Nr.pavuto");
    h.console.Key("x");
    EXPECT_EQ(RenameToNumberlessTitles(p), 0);
    EXPECT_EQ(Read("music/Rock/Bass.mp3"), "Bass");
    EXPECT_TRUE(ScreenHas(" 1 entsprechen jetzt"));
    EXPECT_FALSE(ScreenHas("Es sind"));

    h.temp.Write("home/Rock_ohne Nr.pavuto", Record("..\\..\\Bass", "Rock"));
    h.console.Key("x");
    EXPECT_EQ(RenameToNumberlessTitles(p), 0);
    EXPECT_EQ(Read("music/Rock/Bass.mp3"), "Bass");
    EXPECT_FALSE(h.temp.Exists("Bass.mp3"));
    EXPECT_TRUE(ScreenHas("Es sind  1  Dateien"));

    Open(list);  // not a numberless list: nothing happens
    EXPECT_EQ(RenameToNumberlessTitles(p), 0);
}

// ---- renaming the selected entry: list view -----------------------------------------

TEST_F(TitlesTest, ListViewRenamesTheTitleFileAndKeepsATypedExtension) {
    OpenList({"Alt", "Zwei"});
    Cursor(1);
    h.console.Keys("Neu\r");
    RenameSelectedRecord(p);
    EXPECT_EQ(Read("music/Rock/Neu.mp3"), "Alt");
    EXPECT_EQ(p.window.Titles[1], "Neu");
    EXPECT_EQ(Row(5, 6, 3), "Alt");
    EXPECT_EQ(Row(7, 6, 21), "Original bezeichnung:");
    EXPECT_EQ(Row(9, 6, 7), "Alt.mp3");

    Cursor(2);
    h.console.Keys("drei.MP3\r");  // a differently cased extension stays as typed
    RenameSelectedRecord(p);
    EXPECT_TRUE(h.temp.Exists("music/Rock/drei.MP3"));
    EXPECT_EQ(p.window.Titles[2], "drei");

    Cursor(1);
    h.console.Keys("\x1b");  // Esc (also Enter or a click) leaves it
    RenameSelectedRecord(p);
    EXPECT_TRUE(h.temp.Exists("music/Rock/Neu.mp3"));
}

TEST_F(TitlesTest, PerformerEntriesAreSwappedBackAndForth) {
    h.temp.Write("music/Rock/Song - Band.mp3", "1");
    h.temp.Write("music/Rock/Lied - The Chor.mp3", "2");
    h.temp.Write("home/Rock.config", kConfig);
    h.temp.Write("home/Rock.pavuto", "");
    h.temp.Write("home/Rock Interpreten.pavuto", Record("Band - Song", "Rock") + Record("Chor - Lied", "Rock") +
                                                     Record("Nobody - Here", "Rock") + Record("[ ] - x.mp3", "Rock"));
    Open("C:\\home\\Rock Interpreten.pavuto");

    Cursor(1);  // swap mode 1
    h.console.Keys("Hit - Band\r");
    RenameSelectedRecord(p);
    EXPECT_EQ(Read("music/Rock/Hit - Band.mp3"), "1");
    EXPECT_EQ(p.window.Titles[1], "Band - Hit");

    Cursor(2);  // swap mode 2, a new name without separator
    h.console.Keys("Chorlied\r");
    RenameSelectedRecord(p);
    EXPECT_EQ(Read("music/Rock/Chorlied.mp3"), "2");
    EXPECT_TRUE(ScreenHas("kein tauschen von name - titel .."));
    EXPECT_EQ(p.window.Titles[2], "Chorlied");

    Cursor(3);
    h.console.Key("x");
    RenameSelectedRecord(p);
    EXPECT_EQ(Row(9, 7, 53), "Original Datei nicht gefunden..(liste nicht aktuell?)");

    p.window.Titles[4] = "Ohne Trenner";
    Cursor(4);
    h.console.Key("x");
    RenameSelectedRecord(p);
    EXPECT_EQ(Row(9, 7, 54), "Original Datei nicht gefunden.. (Liste nicht aktuell?)");
    EXPECT_EQ(h.console.Pending(), 0u);
}

TEST_F(TitlesTest, ListViewRefusesNamesThatAreNoPlainFileNameOrExist) {
    OpenList({"Alt", "Zwei"});
    for (const char* typed : {"a\\b", "..\\Alt", "x:y", "a?", "   "}) {
        Cursor(1);
        h.console.Keys(std::string(typed) + "\r");
        ExpectMenuLeft([&] { RenameSelectedRecord(p); });
        EXPECT_EQ(Read("music/Rock/Alt.mp3"), "Alt") << typed;
        EXPECT_EQ(p.window.Titles[1], "Alt");
    }
    Cursor(1);
    h.console.Keys("zwei\r");  // Zwei.mp3 is there (names match without regard to case)
    ExpectMenuLeft([&] { RenameSelectedRecord(p); });
    EXPECT_TRUE(ScreenHas("umbenennen nicht m\xF6glich.File already exists"));
    EXPECT_EQ(Read("music/Rock/Alt.mp3"), "Alt");
    EXPECT_EQ(Read("music/Rock/Zwei.mp3"), "Zwei");
}

// ---- renaming the selected entry: directory view --------------------------------------

struct DirectoryRenameTest : TitlesTest {
    DirectoryRenameTest() {
        h.temp.Write("home/Rock.pavuto", Record("Bass", "Rock"));
        h.temp.Write("home/Rock.config", kConfig + "C:\\music\\Pop\\\r\n");
        h.temp.Write("home/Rock Interpreten.pavuto", Record("[ ] - Bass.mp3", "Rock"));
        h.temp.Write("home/Rock_ohne Nr.pavuto", Record("Bass", "Rock"));
        h.temp.Write("home/Rock_ohne Nr.tmp", " 1 \r\n");
        h.temp.Write("home/notes.mp3", "n");
        p.settings.listExtension = ".mp3";
        p.browser.ListOpen = 0;
        ReadDirectoryView(p);
    }
    void Select(const std::string& entry) {
        for (int i = 1; i <= p.window.RecordCount; ++i)
            if (p.window.Titles[static_cast<size_t>(i)] == entry) return Cursor(i);
        FAIL() << entry << " not in the view";
    }
    // Every file of the home directory with its content.
    std::map<std::string, std::string> Home() {
        std::map<std::string, std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(h.temp.path() / "home"))
            out[e.path().filename().string()] = Read("home/" + e.path().filename().string());
        return out;
    }
};

TEST_F(DirectoryRenameTest, PlainFilesGetTheOldExtensionUnlessTheyEndInItExactly) {
    Select("notes.mp3");
    h.console.Keys("plan\r");
    RenameSelectedRecord(p);
    EXPECT_EQ(Read("home/plan.mp3"), "n");
    EXPECT_EQ(p.window.Titles[static_cast<size_t>(p.browser.PageTop + p.browser.CursorOffset)], "plan.mp3");

    Select("plan.mp3");
    h.console.Keys("Plan.MP3\r");  // compared exactly: ".mp3" is appended
    RenameSelectedRecord(p);
    EXPECT_EQ(Read("home/Plan.MP3.mp3"), "n");

    Select("Plan.MP3.mp3");
    h.console.Keys("x.mp3\r");  // ends in the extension: nothing appended
    RenameSelectedRecord(p);
    EXPECT_EQ(Read("home/x.mp3"), "n");

    h.temp.Write("home/y.mp3", "y");
    for (const char* typed : {"a/b", "y", "   "}) {
        Select("x.mp3");
        h.console.Keys(std::string(typed) + "\r");
        ExpectMenuLeft([&] { RenameSelectedRecord(p); });
        EXPECT_EQ(Read("home/x.mp3"), "n") << typed;
        EXPECT_EQ(Read("home/y.mp3"), "y") << typed;
    }
}

TEST_F(DirectoryRenameTest, AListFileTakesItsConfigurationAndPerformerListAlong) {
    Select("Rock Interpreten.pavuto");  // the performer list renames its title list
    h.console.Keys("Pop Interpreten\r");
    RenameSelectedRecord(p);
    auto files = Home();
    EXPECT_EQ(files["Pop.pavuto"], Record("Bass", "Rock"));
    EXPECT_EQ(files["Pop Interpreten.pavuto"], Record("[ ] - Bass.mp3", "Rock"));
    EXPECT_EQ(files["Pop.config"], ReplaceAll(kConfig, "ZIELDATEI1=Rock", "ZIELDATEI1=Pop") + "C:\\music\\Pop\\\r\n");
    EXPECT_EQ(files.count("Rock.pavuto") + files.count("Rock.config") + files.count("Rock Interpreten.pavuto"), 0u);
    EXPECT_EQ(files.count("[tmp].config"), 0u);
    // The derived files keep their names.
    EXPECT_EQ(files.count("Rock_ohne Nr.pavuto") + files.count("Rock_ohne Nr.tmp"), 2u);
    // The directory was read again.
    EXPECT_NE(std::find(p.window.Titles.begin(), p.window.Titles.end(), "Pop.pavuto"), p.window.Titles.end());

    // The renamed list opens with its configuration and search paths.
    Open("C:\\home\\Pop.pavuto");
    EXPECT_EQ(p.listConfig.listFilePath, "C:\\home\\Pop.pavuto");
    EXPECT_EQ(p.window.SearchPathCount, 2);
}

TEST_F(DirectoryRenameTest, ARenameFailingAtAnyStepLeavesTheListAsItWas) {
    using Op = FaultyFileSystem::Op;
    const auto before = Home();
    struct Step {
        Op op;
        std::string path;
    };
    // Writing the configuration, renaming the list, putting the configuration
    // in place, renaming the performer list, deleting the old configuration.
    for (const Step& step : {Step{Op::Create, "[tmp].config"}, Step{Op::Write, "[tmp].config"},
                             Step{Op::Rename, "Pop.pavuto"}, Step{Op::Rename, "Pop.config"},
                             Step{Op::Rename, "Pop Interpreten"}, Step{Op::Remove, "Rock.config"}}) {
        ReadDirectoryView(p);
        Select("Rock.pavuto");
        h.console.Keys("Pop\r");
        h.faults.FailNth(step.op, 1, err::PermissionDenied, step.path);
        ExpectMenuLeft([&] { RenameSelectedRecord(p); });
        EXPECT_EQ(h.faults.injected, 1) << step.path;
        h.faults.Heal();
        h.faults.injected = 0;
        EXPECT_EQ(Home(), before) << step.path;
        EXPECT_TRUE(ScreenHas("umbenennen nicht m\xF6glich.Permission denied")) << step.path;
    }
}

TEST_F(DirectoryRenameTest, ANewListNameThatIsTakenOrNoPlainNameChangesNothing) {
    const auto before = Home();
    for (const char* taken : {"Pop.pavuto", "Pop.config", "Pop Interpreten.pavuto"}) {
        h.temp.Write(std::string("home/") + taken, "old");
        ReadDirectoryView(p);
        Select("Rock.pavuto");
        h.console.Keys("Pop\r");
        ExpectMenuLeft([&] { RenameSelectedRecord(p); });
        EXPECT_TRUE(ScreenHas("umbenennen nicht m\xF6glich.File already exists")) << taken;
        std::filesystem::remove(h.temp.path() / "home" / taken);
        EXPECT_EQ(Home(), before) << taken;
    }
    for (const char* typed : {"a\\b", "x*", "Neu_ohne Nr.", "rock", "  "}) {
        ReadDirectoryView(p);
        Select("Rock.pavuto");
        h.console.Keys(std::string(typed) + "\r");
        ExpectMenuLeft([&] { RenameSelectedRecord(p); });
        EXPECT_EQ(Home(), before) << typed;
    }
}

}  // namespace
}  // namespace pavuto::test
