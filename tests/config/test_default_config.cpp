#include <gtest/gtest.h>

#include "config/default_config.hpp"
#include "support/test_host.hpp"

using namespace pavuto;

namespace {

struct ConfigTest : ::testing::Test {
    test::TestHost h;
    Program p{h.host};
    ConfigTest() {
        p.settings.configurationPath = "C:\\pavuto.config";
        p.settings.tempDirectory = "C:\\tmp\\";
        h.temp.Write("tmp/.keep", "");
        p.settings.extensions = BuiltInExtensions();
        p.settings.autoMode = "x";  // no window changes unless a test wants them
    }
    void WriteBuiltIn() { WriteBuiltInFile(p); }
    void Load(const Text& name) {
        p.settings.configurationName = name;
        LoadConfiguration(p);
    }
    std::string File() const { return h.temp.Read("pavuto.config"); }
    // Clicks on a screen row after the question has appeared.
    void ClickRowLater(int row, int column = 10) { h.console.Click(row, column, 1, 1, h.clock.Milliseconds() + 1); }
};

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < bytes.size()) {
        auto e = bytes.find("\r\n", i);
        if (e == std::string::npos) e = bytes.size();
        out.push_back(bytes.substr(i, e - i));
        i = e + 2;
    }
    return out;
}

}  // namespace

TEST_F(ConfigTest, BuiltInFileLayout) {
    WriteBuiltIn();
    std::string f = File();
    EXPECT_EQ(f, BuiltInConfigurationText());
    auto lines = Lines(f);
    ASSERT_EQ(lines.size(), 2u + 4u * 32u);
    EXPECT_EQ(lines[0], "Pavuto configurationsdatei (voreinstellungen)");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "----------------");
    EXPECT_EQ(lines[3], "CONFBezeichnung=Default");
    EXPECT_EQ(lines[4], "Namenserweiterung f\xFCr Dateien von denen eine Liste erstellt wird.");
    EXPECT_EQ(lines[5], "Erweiterung=.mp3");
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(lines[7], "intern oder externes Programm zum abspielen von medien benutzen(Intern- mci=1)");
    EXPECT_EQ(lines[23], "Listenanzeige= 0 ");
    EXPECT_EQ(lines[26], "NurNamensliste= 1 ");
    EXPECT_EQ(lines[33], "");
    EXPECT_EQ(lines[34], "----------------");
    EXPECT_EQ(lines[35], "CONFBezeichnung=mp3");
    EXPECT_EQ(lines[39], "intern oder externes Programm zum abspielen benutzen(Intern- mci=1)");
    EXPECT_EQ(lines[40], "mci=1");
    EXPECT_EQ(lines[58], "NurNamensliste= 0 ");
    EXPECT_EQ(lines[99], "CONFBezeichnung=doc");
    EXPECT_EQ(lines.back(), "");
    EXPECT_EQ(lines[lines.size() - 2], "Editor=edit.com");
    EXPECT_TRUE(f.size() > 2 && f.substr(f.size() - 4) == "\r\n\r\n");
    EXPECT_EQ(f.find('\n') , f.find("\r\n") + 1);  // CR LF throughout
}

TEST_F(ConfigTest, LoadingDefaultFromTheBuiltInFileChangesNothing) {
    WriteBuiltIn();
    p.settings.listExtension = ".xyz";
    p.settings.mci = 1;
    Load("Default");
    EXPECT_EQ(p.settings.listExtension, ".xyz");
    EXPECT_EQ(p.settings.mci, 1);
    EXPECT_EQ(p.settings.extensions, BuiltInExtensions());
    EXPECT_EQ(p.config.names[0], "Default");
}

TEST_F(ConfigTest, LoadingTheMp3Section) {
    WriteBuiltIn();
    p.settings.player = "something";
    p.con.ScreenRows = 30;
    Load("mp3");
    EXPECT_EQ(p.settings.listExtension, ".mp3");
    EXPECT_EQ(p.settings.mci, 1);
    EXPECT_EQ(p.settings.foreground, 0);
    EXPECT_EQ(p.con.ScreenRows, 22);
    EXPECT_EQ(p.con.ScreenColumns, 70);
    EXPECT_EQ(p.settings.player, "");
    EXPECT_EQ(p.window.ListDisplay, 0);
    EXPECT_EQ(p.settings.editor, "edit.com");
    std::vector<Text> expected = {".mka", ".flac", ".rmi", ".ogv", ".ogg", ".oga", ".mpc", ".mid", ".axv", ".axa",
                                  ".au",  ".asx",  ".anx", ".ac3", ".acm", ".ape", ".wav", ".midi", ".wma", ".m3u"};
    for (int i = 1; i <= 20; ++i) EXPECT_EQ(p.settings.extensions[static_cast<size_t>(i)], expected[static_cast<size_t>(i - 1)]) << i;
}

TEST_F(ConfigTest, LoadingTheOtherSections) {
    WriteBuiltIn();
    Load("mpg");
    EXPECT_EQ(p.settings.listExtension, ".mpg");
    EXPECT_EQ(p.settings.mci, 0);
    EXPECT_EQ(p.settings.extensions[1], ".hdmov");
    Load("doc");
    EXPECT_EQ(p.settings.listExtension, ".doc");
    EXPECT_EQ(p.settings.extensions[1], ".pdf");
    EXPECT_EQ(p.settings.extensions[13], ".doc");
    EXPECT_EQ(p.settings.extensions[14], ".mp2") << "slots beyond the line keep what the mpg section left";
}

TEST_F(ConfigTest, AMissingSectionFallsBackToDefault) {
    WriteBuiltIn();
    p.con.Locate(3, 1);
    Load("?");
    EXPECT_EQ(p.settings.configurationName, "Default");
    EXPECT_EQ(RTrim(h.console.Text(3, 1)), "Config einstellungen '?' nicht gefunden. Lade default.");
    EXPECT_GE(h.clock.Milliseconds(), 2000);
}

TEST_F(ConfigTest, KeyRules) {
    h.temp.Write("player.exe", "x");
    h.temp.Write("pavuto.config",
                 "CONFBezeichnung=mp3alt\r\nErweiterung=.ogg\r\n"
                 "CONFBezeichnung=mp3\r\n"
                 "   zeilen= 5\r\n"
                 "SPALTEN= 100\r\n"
                 "Listenanzeige=2\r\n"
                 "mci=7\r\n"
                 "Vordergrund=-3\r\n"
                 "Player=C:\\player.exe   \r\n"
                 "Editor=nano\r\n"
                 "mehrErweiterungen=.a.b.c\r\n"
                 "Erweiterung=.flac  x\r\n"
                 "CONFBezeichnung=other\r\nErweiterung=.no\r\n");
    p.con.ScreenRows = 22;
    Load("mp3");  // the first header containing the name wins: mp3alt
    EXPECT_EQ(p.settings.listExtension, ".ogg");
    Load("MP3\x20");  // no header contains "MP3 "
    EXPECT_EQ(p.settings.configurationName, "Default");

    h.temp.Write("pavuto.config",
                 "CONFBezeichnung=mp3\r\n   zeilen= 5\r\nSPALTEN= 100\r\nListenanzeige=2\r\nmci=7\r\nVordergrund=-3\r\n"
                 "Player=C:\\player.exe   \r\nEditor=nano\r\nmehrErweiterungen=.a.b.c\r\nErweiterung=.flac  x\r\n");
    Load("mp3");
    EXPECT_EQ(p.con.ScreenRows, 22) << "rows out of range leave the window as it is";
    EXPECT_EQ(p.con.ScreenColumns, 100);
    EXPECT_EQ(p.window.ListDisplay, 2);
    EXPECT_EQ(p.settings.mci, 1);
    EXPECT_EQ(p.settings.foreground, -3);
    EXPECT_EQ(p.settings.player, "C:\\player.exe");
    EXPECT_EQ(p.settings.editor, "nano");
    EXPECT_EQ(p.settings.listExtension, ".flac  x");
    EXPECT_EQ(p.settings.extensions[1], ".c");
    EXPECT_EQ(p.settings.extensions[2], ".b");
    EXPECT_EQ(p.settings.extensions[3], ".a");
    EXPECT_EQ(p.settings.extensions[4], ".mp4") << "only three slots change";
}

TEST_F(ConfigTest, AMissingPlayerIsReportedAndDropped) {
    h.temp.Write("pavuto.config", "CONFBezeichnung=x\r\nPlayer=C:\\nowhere\\player.exe\r\n");
    p.con.Locate(2, 1);
    Load("x");
    EXPECT_EQ(p.settings.player, "");
    EXPECT_EQ(h.console.Text(2, 1, 36), "Vorgegebenen Player nicht gefunden..");
}

TEST_F(ConfigTest, AMissingFileSetsTheMissingFlag) {
    Load("Default");
    EXPECT_EQ(p.settings.configurationMissing, 1);
}

TEST_F(ConfigTest, LoadingAppliesTheWindowSizeOutsideAutoMode) {
    WriteBuiltIn();
    p.settings.autoMode.clear();
    Load("mp3");
    ASSERT_FALSE(h.console.log.empty());
    EXPECT_EQ(h.console.log.back(), "show max");
    EXPECT_EQ(h.console.Rows(), 22);
    EXPECT_EQ(p.con.PageRows, 9);
}

TEST_F(ConfigTest, SavingDefaultIsReadBackAndDoesNotGrow) {
    WriteBuiltIn();
    p.settings.listExtension = ".ogg";
    p.settings.editor = "nano";
    p.con.ScreenColumns = 90;
    p.settings.configurationName = "Default";
    ClickRowLater(5);  // the row of "Default"
    SaveSettings(p);
    EXPECT_EQ(h.console.Text(18, 7, 35), "Aktuelle Einstellungen gespeichert.");
    std::string once = File();
    auto lines = Lines(once);
    EXPECT_EQ(lines[0], "   Pavuto configurationsdatei (voreinstellungen)");
    EXPECT_EQ(lines[3], "Erweiterung=.ogg");
    EXPECT_EQ(lines[9], "Zeilen= 22");
    EXPECT_EQ(lines[12], "Spalten= 90");
    EXPECT_EQ(lines[2 + 27], "----------------");
    EXPECT_EQ(lines[2 + 28], "CONFBezeichnung=Default");
    EXPECT_FALSE(h.temp.Exists("tmp/pavuto.config")) << "the copy is deleted";

    p.settings.listExtension = ".mp3";
    p.settings.editor = "edit.com";
    p.con.ScreenColumns = 70;
    Load("Default");
    EXPECT_EQ(p.settings.listExtension, ".ogg");
    EXPECT_EQ(p.settings.editor, "nano");
    EXPECT_EQ(p.con.ScreenColumns, 90);

    ClickRowLater(5);
    SaveSettings(p);
    EXPECT_EQ(File().size(), once.size());
    EXPECT_EQ(File(), once);
}

// A section of ten extensions of 50 characters: with the slots the line does
// not reach, the saved line is longer than 500 characters and once came back
// with the extension of slot 1 cut short.
TEST_F(ConfigTest, ALongExtensionTableIsReadBackWhole) {
    Text line = "mehrErweiterungen=";
    for (char c = 'a'; c < 'a' + 10; ++c) line += "." + Text(49, c);
    h.temp.Write("pavuto.config", "CONFBezeichnung=lang\r\n" + line + "\r\nCONFBezeichnung=mp3\r\n");
    Load("lang");
    const auto loaded = p.settings.extensions;
    EXPECT_EQ(loaded[1], "." + Text(49, 'j'));
    EXPECT_EQ(loaded[10], "." + Text(49, 'a'));
    EXPECT_EQ(loaded[11], ".wmv") << "the slots the line does not reach keep their extensions";

    ClickRowLater(5);  // save as Default
    SaveSettings(p);
    p.settings.extensions = BuiltInExtensions();
    Load("Default");
    EXPECT_EQ(p.settings.extensions, loaded);
}

TEST_F(ConfigTest, SavingAnExistingSectionRewritesItInPlace) {
    WriteBuiltIn();
    p.settings.listExtension = ".wav";
    ClickRowLater(9);  // slot 3 = mpg (Default 5, mp3 7, mpg 9)
    SaveSettings(p);
    auto lines = Lines(File());
    auto header = std::find(lines.begin(), lines.end(), "CONFBezeichnung=mpg");
    ASSERT_NE(header, lines.end());
    EXPECT_EQ(*(header + 1), "----------------");
    EXPECT_EQ(*(header + 2), "");
    EXPECT_EQ(*(header + 4), "Erweiterung=.wav");
    EXPECT_EQ(*(header + 7), "ListenNamenserweiterung=.pavuto");
    EXPECT_EQ(*(header + 28), "Editor=edit.com");
    EXPECT_EQ(*(header + 30), "CONFBezeichnung=doc") << "the old hyphen line goes with the old section";
    p.settings.listExtension = "";
    Load("mpg");
    EXPECT_EQ(p.settings.listExtension, ".wav");
    Load("mp3");
    EXPECT_EQ(p.settings.listExtension, ".mp3") << "other sections stay";
}

TEST_F(ConfigTest, SavingASectionThatIsNotThereRewritesTheFileUnchanged) {
    std::string content = "CONFBezeichnung=mp3\r\nErweiterung=.mp3\r\n";
    h.temp.Write("pavuto.config", content);
    p.settings.configurationName = "gone";
    ClickRowLater(17);  // below the entries: the configuration in effect
    SaveSettings(p);
    EXPECT_EQ(File(), content);
    EXPECT_EQ(h.console.Text(18, 7, 35), "Aktuelle Einstellungen gespeichert.");
}

TEST_F(ConfigTest, SavingANewSection) {
    WriteBuiltIn();
    std::string before = File();
    p.settings.listExtension = ".ape";
    // Default 5, mp3 7, mpg 9, doc 11, "Neue zufügen" 13.
    ClickRowLater(13);
    h.console.Keys("jazz\r", 1000);  // typed once the prompt is there
    SaveSettings(p);
    std::string after = File();
    ASSERT_EQ(after.substr(0, before.size()), before);
    auto added = Lines(after.substr(before.size()));
    EXPECT_EQ(added[0], "CONFBezeichnung=jazz");
    EXPECT_EQ(added[1], "----------------");
    EXPECT_EQ(added[2], "");
    EXPECT_EQ(added[4], "Erweiterung=.ape");
    EXPECT_EQ(p.settings.configurationName, "jazz");
    p.settings.listExtension = "";
    Load("jazz");
    EXPECT_EQ(p.settings.listExtension, ".ape");
}

TEST_F(ConfigTest, SaveStopsOnKeysAndEmptyRows) {
    WriteBuiltIn();
    std::string before = File();
    h.console.Key("x", 1);
    SaveSettings(p);
    ClickRowLater(3);  // above the first entry
    SaveSettings(p);
    ClickRowLater(15);  // slot 6 holds nothing
    SaveSettings(p);
    EXPECT_EQ(File(), before);
}

TEST_F(ConfigTest, ChoosingASection) {
    WriteBuiltIn();
    p.settings.configurationMissing = 0;
    ClickRowLater(6);  // Default 5, mp3 6, mpg 7, doc 8
    ChooseConfiguration(p);
    EXPECT_EQ(h.console.Text(6, 7, 3), "mp3");
    EXPECT_EQ(h.console.Text(8, 7, 3), "doc");
    EXPECT_EQ(p.settings.configurationName, "mp3");
    EXPECT_EQ(p.settings.mci, 1);
    h.console.Key("q", h.clock.Milliseconds() + 1);
    ChooseConfiguration(p);
    EXPECT_EQ(p.settings.configurationName, "Default");
    ClickRowLater(12);  // an empty slot gives Default too
    ChooseConfiguration(p);
    EXPECT_EQ(p.settings.configurationName, "Default");
}

TEST_F(ConfigTest, ChoosingWhileTheFileIsMissingDoesNothing) {
    WriteBuiltIn();
    p.settings.configurationMissing = 1;
    p.settings.configurationName = "mp3";
    ChooseConfiguration(p);
    EXPECT_EQ(p.settings.configurationName, "mp3");
    EXPECT_EQ(h.console.Pending(), 0u);
}

TEST_F(ConfigTest, RowsAndColumnsDialogue) {
    p.settings.autoMode.clear();
    // Each step of the dialogue discards what was typed before it: every
    // answer comes a second after the one before.
    long long t = 0;
    auto type = [&](const std::string& key, const std::string& digits) {
        h.console.Key(key, t += 1000);
        h.console.Keys(digits, t += 1000);
    };
    type("z", "19\r");
    type("z", "20\r");
    type("Z", "500\r");
    type("s", "79\r");
    type("s", "80\r");
    type("S", "800\r");
    h.console.Key("x", t += 1000);
    p.con.ScreenRows = 22;
    p.con.ScreenColumns = 70;
    RowsAndColumns(p);
    EXPECT_EQ(p.con.ScreenRows, 500);
    EXPECT_EQ(p.con.ScreenColumns, 800);
    EXPECT_EQ(h.console.Rows(), 500);
    EXPECT_EQ(h.console.Columns(), 800);
    std::vector<std::string> sizes;
    for (auto& l : h.console.log)
        if (l.rfind("size", 0) == 0) sizes.push_back(l);
    std::vector<std::string> expected = {"size 20x70", "size 500x70", "size 500x80", "size 500x800"};
    EXPECT_EQ(sizes, expected);
}

TEST_F(ConfigTest, RowsDialogueShowsTheValuesAndIsLeftByClicks) {
    h.console.Click(5, 10, 1, 1, 1000);   // row 5 asks for the rows
    h.console.Click(5, 34, 1, 1, 2000);   // a click at the prompt cancels it
    h.console.Click(20, 10, 1, 1, 3000);  // anywhere else ends the dialogue
    RowsAndColumns(p);
    EXPECT_EQ(h.console.Text(5, 7, 15), " (Z)eilen = 22 ");
    EXPECT_EQ(h.console.Text(7, 7, 15), "(S)palten = 70 ");
    EXPECT_EQ(p.con.ScreenRows, 22);
}

TEST_F(ConfigTest, EditingRunsTheEditorInTheHomeDirectoryAndWaits) {
    WriteBuiltIn();
    h.temp.Write("home/.keep", "");
    h.temp.Write("elsewhere/.keep", "");
    p.settings.homeDrive = "C:";
    p.settings.homePath = "\\home";
    p.settings.configurationPath = "C:\\pavuto.config";
    h.files->ChangeDirectory("C:\\elsewhere");
    EditConfiguration(p);
    ASSERT_EQ(h.processes.started.size(), 1u);
    EXPECT_EQ(h.processes.started[0].commandLine, "edit.com pavuto.config");
    EXPECT_TRUE(h.processes.started[0].wait);
    EXPECT_EQ(h.processes.started[0].style, host::WindowStyle::Normal);
    EXPECT_EQ(h.files->CurrentDirectory(), "C:\\elsewhere");
}

TEST_F(ConfigTest, AnEditorThatCannotStartIsReported) {
    WriteBuiltIn();
    p.settings.homeDrive = "C:";
    p.settings.homePath = "\\";
    h.processes.failWith = 53;
    h.console.Key("x", 1);
    EditConfiguration(p);
    int row = p.con.ScreenRows - 8;
    EXPECT_EQ(h.console.Text(row, 7) + RTrim(h.console.Text(row + 1)),
              "Fehler bei Editor aufruf. > ( 53  File not found )'edit.com C:\\pavuto.config'");
}

// Every save, cut off at each step by a full disk or a failing rename,
// leaves the old file whole and says so; the first step that is not cut
// off saves the new settings.
TEST_F(ConfigTest, AFailedSaveLeavesTheOldFileWhole) {
    using Op = test::FaultyFileSystem::Op;
    WriteBuiltIn();
    const std::string before = File();
    auto saveCutAt = [&](auto inject) {
        h.faults.Heal();
        h.faults.injected = 0;
        inject();
        p.settings.listExtension = ".ogg";
        ClickRowLater(7);  // the mp3 section
        h.console.Key(" ", h.clock.Milliseconds() + 5000);  // the key the message waits for
        try {
            SaveSettings(p);
        } catch (const RestartProgram&) {
            // A full disk restarts the program after the message and a key.
        }
        bool failed = h.faults.injected > 0;
        h.faults.Heal();
        if (failed) {
            EXPECT_TRUE(File() == before) << "cut off after " << h.faults.injected << " faults";
            EXPECT_FALSE(h.temp.Exists("pavuto.config.neu"));
            EXPECT_NE(h.console.Dump().find(">>Fehler:"), std::string::npos);
        }
        while (h.console.Pending() > 0) {
            host::InputEvent e;
            h.clock.Advance(10000);
            h.console.ReadEvent(e);
        }
        return failed;
    };
    int cuts = 0;
    for (std::uint64_t bytes = 0; saveCutAt([&] { h.faults.DiskFullAfter(bytes); }); bytes += 97) ++cuts;
    EXPECT_GT(cuts, 10);
    EXPECT_NE(File(), before) << "the save that had room for everything";
    WriteBuiltIn();
    // A file that stays locked: 50 tries, then the message and a key.
    EXPECT_TRUE(saveCutAt([&] { h.faults.FailAll(Op::Replace, 70); }));
    EXPECT_NE(h.console.Dump().find("zur Zeit kein Zugriff.."), std::string::npos);
    EXPECT_TRUE(saveCutAt([&] { h.faults.FailNth(Op::Create, 1, 61); }));
    // Locked once: the retry saves.
    h.faults.injected = 0;
    h.faults.FailNth(Op::Replace, 1, 70);
    ClickRowLater(7);
    SaveSettings(p);
    EXPECT_EQ(h.faults.injected, 1);
    EXPECT_NE(File(), before);
}

// The temp directory may be the home directory: the file being saved is
// never taken for a copy of itself.
TEST_F(ConfigTest, SavingWhenTempIsHomeKeepsTheFile) {
    p.settings.tempDirectory = "C:\\";
    WriteBuiltIn();
    p.settings.listExtension = ".ogg";
    ClickRowLater(5);
    SaveSettings(p);
    ASSERT_TRUE(h.temp.Exists("pavuto.config"));
    Load("Default");
    EXPECT_EQ(p.settings.listExtension, ".ogg");
}

// The built-in file is there whole or not at all: an empty one would hide
// the question of the first start.
TEST_F(ConfigTest, TheBuiltInFileIsNeverLeftCutOff) {
    for (std::uint64_t bytes : {0ull, 1ull, 500ull, 2000ull}) {
        h.faults.DiskFullAfter(bytes);
        EXPECT_THROW(WriteBuiltInFile(p), RuntimeError);
        h.faults.Heal();
        EXPECT_FALSE(h.temp.Exists("pavuto.config"));
        EXPECT_FALSE(h.temp.Exists("pavuto.config.neu"));
    }
    WriteBuiltInFile(p);
    EXPECT_EQ(File(), BuiltInConfigurationText());
}
