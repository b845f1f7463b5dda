// List configurations: reading the keys and search paths, naming, writing,
// rewriting a width in place, and the two browser dialogues.
#include "config/list_config.hpp"

#include "lists/list_fixture.hpp"

namespace pavuto::test {
namespace {

using ListConfigTest = ListTest;

std::string Config(const std::string& keys, const std::string& paths = "") {
    return " ----- pavuto configuration ------\r\n" + keys + " ---- suchPfade ----\r\n" + paths;
}

TEST_F(ListConfigTest, ReadsKeysAndPlacesTheListBesideItsConfiguration) {
    h.temp.Write("Listen/Rock.config",
                 Config("ZIELDATEI1=Rock\r\nConfiguration=Party\r\nDateiendung=.ogg\r\nMAXDL=45 \r\n"
                        "MAXDLDIR=120\r\nNURNAMENSLISTE= 0\r\n",
                        "C:\\MAXDL=50\\\r\n"));
    ReadListConfiguration(p, "C:\\Listen\\Rock.config");
    const auto& lc = p.listConfig;
    EXPECT_EQ(lc.listFilePath, "C:\\Listen\\Rock.pavuto");
    EXPECT_EQ(lc.performerListPath, "C:\\Listen\\Rock Interpreten.pavuto");
    EXPECT_EQ(lc.extension, ".ogg");
    EXPECT_EQ(p.settings.listExtension, ".ogg");
    EXPECT_EQ(p.settings.configurationName, "Party");
    EXPECT_EQ(lc.MAXDL, 45);  // a key behind the section header is a search path
    EXPECT_EQ(lc.MAXDLDIR, 120);
    EXPECT_EQ(lc.NURNAMENSLISTE, 0);
    // Both list files are created empty.
    EXPECT_TRUE(h.temp.Exists("Listen/Rock.pavuto"));
    EXPECT_EQ(h.temp.Read("Listen/Rock.pavuto"), "");
    EXPECT_TRUE(h.temp.Exists("Listen/Rock Interpreten.pavuto"));
}

TEST_F(ListConfigTest, KeysStandAnywhereInALineAndLaterLinesWin) {
    h.temp.Write("home/a.config", Config("ZIELDATEI1=Erst\r\n  alt: maxdl=45 \r\nzieldatei1=Zweit\r\nMAXDL=60\r\n"));
    ReadListConfiguration(p, "C:\\home\\a.config");
    EXPECT_EQ(p.listConfig.MAXDL, 60);
    EXPECT_EQ(p.listConfig.listFilePath, "C:\\home\\Zweit.pavuto");
    EXPECT_FALSE(h.temp.Exists("home/Erst.pavuto"));
    // NURNAMENSLISTE stayed 1: no performer list file, though its path is known.
    EXPECT_EQ(p.listConfig.performerListPath, "C:\\home\\Zweit Interpreten.pavuto");
    EXPECT_FALSE(h.temp.Exists("home/Zweit Interpreten.pavuto"));
}

TEST_F(ListConfigTest, NarrowWidthsFallBackAndMissingKeysKeepTheirValues) {
    h.temp.Write("home/a.config", Config("ZIELDATEI1=a\r\nMAXDL=25\r\nMAXDLDIR=29 \r\n"));
    ReadListConfiguration(p, "C:\\home\\a.config");
    EXPECT_EQ(p.listConfig.MAXDL, 100);
    EXPECT_EQ(p.listConfig.MAXDLDIR, 50);

    p.listConfig.MAXDL = 40;
    p.listConfig.MAXDLDIR = 0;
    h.temp.Write("home/b.config", Config("ZIELDATEI1=b\r\n"));
    ReadListConfiguration(p, "C:\\home\\b.config");
    EXPECT_EQ(p.listConfig.MAXDL, 40);
    EXPECT_EQ(p.listConfig.MAXDLDIR, 50);
}

TEST_F(ListConfigTest, TheNamesOnlyValueIsReadFromTheSecondCharacterAfterTheEquals) {
    struct Case {
        const char* line;
        int value;
        bool performerPath;
    } cases[] = {{"NURNAMENSLISTE= 0", 0, true}, {"NURNAMENSLISTE=0", 0, true}, {"NURNAMENSLISTE=1", 0, true},
                 {"NURNAMENSLISTE= 1", 1, true}, {"NURNAMENSLISTE= 7", 1, false}};
    for (const auto& c : cases) {
        p.listConfig.NURNAMENSLISTE = 5;
        h.temp.Write("home/n.config", Config("ZIELDATEI1=n\r\n" + std::string(c.line) + "\r\n"));
        ReadListConfiguration(p, "C:\\home\\n.config");
        EXPECT_EQ(p.listConfig.NURNAMENSLISTE, c.value) << c.line;
        EXPECT_EQ(!p.listConfig.performerListPath.empty(), c.performerPath) << c.line;
    }
}

TEST_F(ListConfigTest, ListNamesComeFromTheConfigurationFileName) {
    EXPECT_EQ(ListNameOf("C:\\home\\[mp3 Lw-D].config"), "[mp3 Lw-D]");
    EXPECT_EQ(ListNameOf("C:\\home\\Rock.alt.config"), "Rock");
    EXPECT_EQ(HomeConfigurationPath(p, "Rock.alt"), "C:\\home\\Rock.alt.config");
    EXPECT_EQ(HomeConfigurationPath(p, "Pop.config"), "C:\\home\\Pop.config");
    p.browser.homeDirectory = "C:\\";
    EXPECT_EQ(HomeConfigurationPath(p, "Pop"), "C:\\Pop.config");

    p.settings.listExtension = ".mp3";
    CreateListConfiguration(p, "C:\\home\\[mp3 Lw-D].config", {"D:\\Musik\\"}, ConfigHeader::DriveScan);
    ReadListConfiguration(p, "C:\\home\\[mp3 Lw-D].config");
    EXPECT_EQ(p.listConfig.listFilePath, "C:\\home\\[mp3 Lw-D].pavuto");
    EXPECT_TRUE(h.temp.Exists("home/[mp3 Lw-D].pavuto"));
}

TEST_F(ListConfigTest, WritesBothHeaderSpellingsAndTheKeysForLaterRewriting) {
    p.settings.configurationName = "Default";
    p.settings.listExtension = ".mp3";
    p.listConfig.NURNAMENSLISTE = 0;
    CreateListConfiguration(p, "C:\\home\\Rock.alt.config", {"C:\\Musik\\", "D:\\"}, ConfigHeader::Dialogue);
    EXPECT_EQ(h.temp.Read("home/Rock.alt.config"),
              " ----- pavuto configuration ------\r\nZIELDATEI1=Rock\r\nConfiguration=Default\r\n"
              "Dateiendung=.mp3\r\nMAXDL=30 \r\nMAXDLDIR=30 \r\nNURNAMENSLISTE= 0\r\n ---- suchPfade ----\r\n"
              "C:\\Musik\\\r\nD:\\\r\n");
    CreateListConfiguration(p, "C:\\home\\x.config", {}, ConfigHeader::DriveScan);
    EXPECT_EQ(h.temp.Read("home/x.config").substr(0, 37), " ----- pavuto  configuration ------\r\n");
}

TEST_F(ListConfigTest, SearchPathsFollowTheSectionAndSlotZeroIsTheCurrentDirectory) {
    h.temp.Write("home/a.config", Config("ZIELDATEI1=a\r\n", "C:\\Musik\\\r\n\r\nD:\\Rock\\\r\n"));
    ASSERT_TRUE(ReadSearchPaths(p, "C:\\home\\a.config"));
    EXPECT_EQ(p.window.SearchPaths[0], "C:\\home\\");
    EXPECT_EQ(p.window.SearchPathCount, 2);
    EXPECT_EQ(p.window.SearchPaths[1], "C:\\Musik\\");
    EXPECT_EQ(p.window.SearchPaths[2], "D:\\Rock\\");
    EXPECT_EQ(p.window.SearchPaths[3], "");

    p.files().ChangeDirectory("C:\\");
    ASSERT_TRUE(ReadSearchPaths(p, "C:\\home\\a.config"));
    EXPECT_EQ(p.window.SearchPaths[0], "C:\\");  // not "C:\\"
}

TEST_F(ListConfigTest, AMissingConfigurationIsReportedAndLeavesNoSearchPaths) {
    p.window.SearchPaths[1] = "C:\\alt\\";
    p.window.SearchPathCount = 1;
    h.console.Key("x");
    EXPECT_FALSE(ReadSearchPaths(p, "C:\\home\\weg.config"));
    EXPECT_EQ(p.window.SearchPathCount, 0);
    EXPECT_EQ(p.window.SearchPaths[1], "");
    EXPECT_EQ(Row(19, 7, 34), "C:\\home\\weg.config nicht gefunden.");
    EXPECT_EQ(h.console.Pending(), 0u);  // it waited for the key
}

TEST_F(ListConfigTest, ListsFindTheirConfigurationInTheCurrentDirectory) {
    EXPECT_EQ(ListConfigurationFor(p, "Rock.pavuto"), "C:\\home\\Rock.config");
    EXPECT_EQ(ListConfigurationFor(p, "Rock Interpreten.pavuto"), "C:\\home\\Rock.config");
    EXPECT_EQ(ListConfigurationFor(p, "rock interpreten.PAVUTO"), "C:\\home\\rock.config");
    EXPECT_EQ(ListConfigurationFor(p, "Rock_ohne Nr.pavuto"), "C:\\home\\Rock.config");
    EXPECT_EQ(ListConfigurationFor(p, "C:\\Listen\\Pop.pavuto"), "C:\\Listen\\Pop.config");
    p.files().ChangeDirectory("C:\\");
    EXPECT_EQ(ListConfigurationFor(p, "Rock.pavuto"), "C:\\Rock.config");
}

TEST_F(ListConfigTest, WidthsAreRewrittenInPlaceAndNothingElseChanges) {
    std::string original = Config("ZIELDATEI1=a\r\nMAXDL=30 \r\nMAXDLDIR=30 \r\n", "C:\\x\\\r\n");
    h.temp.Write("home/a.config", original);
    ASSERT_TRUE(UpdateWidth(p.files(), "C:\\home\\a.config", "MAXDLDIR=", 45));
    std::string expected = original;
    expected.replace(expected.find("MAXDLDIR=30 "), 12, "MAXDLDIR=45 ");
    EXPECT_EQ(h.temp.Read("home/a.config"), expected);

    ASSERT_TRUE(UpdateWidth(p.files(), "C:\\home\\a.config", "MAXDLDIR=", 120));
    expected.replace(expected.find("MAXDLDIR=45 "), 12, "MAXDLDIR=120");
    EXPECT_EQ(h.temp.Read("home/a.config"), expected);

    ASSERT_TRUE(UpdateWidth(p.files(), "C:\\home\\a.config", "MAXDL=", 33));
    expected.replace(expected.find("MAXDL=30 "), 9, "MAXDL=33 ");
    EXPECT_EQ(h.temp.Read("home/a.config"), expected);
    ReadListConfiguration(p, "C:\\home\\a.config");
    EXPECT_EQ(p.listConfig.MAXDL, 33);
    EXPECT_EQ(p.listConfig.MAXDLDIR, 120);
}

TEST_F(ListConfigTest, AWidthIsFoundInALaterBlockAndNeverOverrunsItsLine) {
    // A key behind the first 30000 bytes is found in its own block.
    std::string filler;
    while (filler.size() < 40000) filler += "Kommentar ohne Schluessel\r\n";
    h.temp.Write("home/big.config", Config(filler + "MAXDL=30 \r\n"));
    ASSERT_TRUE(UpdateWidth(p.files(), "C:\\home\\big.config", "MAXDL=", 250));
    ReadListConfiguration(p, "C:\\home\\big.config");
    EXPECT_EQ(p.listConfig.MAXDL, 250);

    // Three digits do not fit behind a hand-written "MAXDL=30": the line end
    // and the section header behind it stay intact.
    std::string tight = " ----- pavuto configuration ------\r\nMAXDL=30\r\n ---- suchPfade ----\r\nC:\\x\\\r\n";
    h.temp.Write("home/t.config", tight);
    EXPECT_FALSE(UpdateWidth(p.files(), "C:\\home\\t.config", "MAXDL=", 120));
    EXPECT_TRUE(UpdateWidth(p.files(), "C:\\home\\t.config", "MAXDL=", 45));
    EXPECT_EQ(h.temp.Read("home/t.config"), " ----- pavuto configuration ------\r\nMAXDL=45\r\n ---- suchPfade ----\r\nC:\\x\\\r\n");
    EXPECT_FALSE(UpdateWidth(p.files(), "C:\\home\\t.config", "MAXDL=", 1000));
    EXPECT_FALSE(UpdateWidth(p.files(), "C:\\home\\t.config", "MAXDLDIR=", 45));
}

TEST_F(ListConfigTest, AddingTheSameSearchPathTwiceWritesOneLine) {
    h.temp.Write("home/Rock.config", Config("ZIELDATEI1=Rock\r\n"));
    h.temp.Write("Musik/Rock/a.mp3", "");
    p.browser.CurrentListConfiguration = "C:\\home\\Rock.config";
    p.files().ChangeDirectory("C:\\Musik\\Rock");
    AddSearchPath(p);
    EXPECT_EQ(p.files().CurrentDirectory(), "C:\\Musik");  // on to the next sibling
    p.files().ChangeDirectory("C:\\Musik\\Rock");
    AddSearchPath(p);
    EXPECT_EQ(h.temp.Read("home/Rock.config"), Config("ZIELDATEI1=Rock\r\n", "C:\\Musik\\Rock\\\r\n"));
    EXPECT_EQ(p.window.SearchPathCount, 1);
    // Known paths are compared in upper case.
    h.temp.Write("home/Rock.config", Config("ZIELDATEI1=Rock\r\n", "c:\\MUSIK\\rock\\\r\n"));
    p.files().ChangeDirectory("C:\\Musik\\Rock");
    AddSearchPath(p);
    EXPECT_EQ(h.temp.Read("home/Rock.config"), Config("ZIELDATEI1=Rock\r\n", "c:\\MUSIK\\rock\\\r\n"));

    // At a drive root the root itself is the path, and the directory stays.
    p.files().ChangeDirectory("C:\\");
    AddSearchPath(p);
    AddSearchPath(p);
    EXPECT_EQ(p.files().CurrentDirectory(), "C:\\");
    EXPECT_EQ(h.temp.Read("home/Rock.config"), Config("ZIELDATEI1=Rock\r\n", "c:\\MUSIK\\rock\\\r\nC:\\\r\n"));
}

TEST_F(ListConfigTest, ASearchPathDoesNotRunIntoALastLineWithoutLineEnd) {
    h.temp.Write("home/Rock.config", Config("ZIELDATEI1=Rock\r\n", "C:\\Alt\\"));
    p.browser.CurrentListConfiguration = "C:\\home\\Rock.config";
    p.files().ChangeDirectory("C:\\home");
    AddSearchPath(p);
    ReadSearchPaths(p, "C:\\home\\Rock.config");
    ASSERT_EQ(p.window.SearchPathCount, 2);
    EXPECT_EQ(p.window.SearchPaths[1], "C:\\Alt\\");
    EXPECT_EQ(p.window.SearchPaths[2], "C:\\home\\");
}

TEST_F(ListConfigTest, TheDialogueListsConfigurationsAndAClickChoosesOne) {
    h.temp.Write("home/Rock.config", Config("ZIELDATEI1=Rock\r\n"));
    h.temp.Write("home/pavuto.config", "[Default]\r\n");
    h.temp.Write("home/Rock.pavuto", "");
    h.console.Click(5, 9);
    ASSERT_TRUE(ChooseListConfiguration(p));
    EXPECT_EQ(p.browser.CurrentListConfiguration, "C:\\home\\Rock.config");
    EXPECT_EQ(Row(5, 7, 11), "Rock.config");
    EXPECT_EQ(Row(7, 7, 13), std::string(13, ' '));  // pavuto.config is not offered
    EXPECT_EQ(Row(19, 5, 20), " Listenbezeichnung :");

    h.console.Click(7, 9);  // a line without a name
    EXPECT_FALSE(ChooseListConfiguration(p));
    h.console.Key("\r");
    EXPECT_FALSE(ChooseListConfiguration(p));
    h.console.Keys("x\r");  // one character is no name
    EXPECT_FALSE(ChooseListConfiguration(p));
}

TEST_F(ListConfigTest, AClickedConfigurationIsTheOneListedNotOneInTheHomeDirectory) {
    h.temp.Write("Listen/Jazz.config", Config("ZIELDATEI1=Jazz\r\n"));
    p.files().ChangeDirectory("C:\\Listen");
    h.console.Click(5, 9);
    ASSERT_TRUE(ChooseListConfiguration(p));
    EXPECT_EQ(p.browser.CurrentListConfiguration, "C:\\Listen\\Jazz.config");
    EXPECT_FALSE(h.temp.Exists("home/Jazz.config"));
    EXPECT_GE(h.clock.Milliseconds(), 1000);  // the chosen name is shown for a second
}

TEST_F(ListConfigTest, ATypedNameThatDoesNotExistIsCreatedOnRequest) {
    p.settings.listExtension = ".mp3";
    h.console.Keys("Rock.alt\rn");
    EXPECT_FALSE(ChooseListConfiguration(p));
    EXPECT_EQ(Row(19, 5, 45), ">C:\\home\\Rock.alt.config< nicht gefunden.    ");
    EXPECT_EQ(Row(20, 5, 18), "Neu anlegen (J/N)?");
    EXPECT_FALSE(h.temp.Exists("home/Rock.alt.config"));

    h.console.Keys("Rock.alt\rJ ");
    ASSERT_TRUE(ChooseListConfiguration(p));
    EXPECT_EQ(p.browser.CurrentListConfiguration, "C:\\home\\Rock.alt.config");
    EXPECT_EQ(h.temp.Read("home/Rock.alt.config").substr(0, 53),
              " ----- pavuto configuration ------\r\nZIELDATEI1=Rock\r\n");
    EXPECT_EQ(Row(19, 5, 51), "  Wechseln sie in die Verzeichnisse mit den Titeln,");
    EXPECT_EQ(Row(20, 5, 40), OnScreen("   dann hinzuf\xFCgen mit '(P)fad zuf\xFCgen'."));
    EXPECT_TRUE(h.temp.Exists("home/Rock.pavuto"));  // the new configuration was read
    EXPECT_EQ(p.window.SearchPathCount, 0);
}

}  // namespace
}  // namespace pavuto::test

namespace pavuto::test {
namespace {

// Every write of a list configuration (a new one, an added search path, a
// wider field) that fails on a full disk leaves the file as it was, or no
// file where there was none, and says so.
TEST_F(ListConfigTest, AConfigurationWriteThatFailsLeavesTheFileAsItWas) {
    using Op = FaultyFileSystem::Op;
    for (std::uint64_t bytes : {0ull, 10ull, 60ull, 120ull}) {
        h.faults.DiskFullAfter(bytes);
        EXPECT_THROW(CreateListConfiguration(p, "C:\\home\\Neu.config", {"C:\\Musik\\"}, ConfigHeader::Dialogue),
                     RuntimeError);
        h.faults.Heal();
        EXPECT_FALSE(h.temp.Exists("home/Neu.config")) << bytes;
        EXPECT_FALSE(h.temp.Exists("home/Neu.config.neu")) << bytes;
    }

    const std::string config = Config("ZIELDATEI1=Rock\r\nMAXDL=30 \r\n", "C:\\Alt\\\r\n");
    h.temp.Write("home/Rock.config", config);
    h.temp.Write("Musik/Rock/a.mp3", "");
    p.browser.CurrentListConfiguration = "C:\\home\\Rock.config";
    for (std::uint64_t bytes : {0ull, 5ull, 40ull, 90ull}) {
        p.files().ChangeDirectory("C:\\Musik\\Rock");
        h.faults.DiskFullAfter(bytes);
        h.console.Key(" ");  // the key the message waits for
        try {
            AddSearchPath(p);
        } catch (const RestartProgram&) {
            // a full disk restarts the program after the message
        }
        h.faults.Heal();
        EXPECT_EQ(h.temp.Read("home/Rock.config"), config) << bytes;
        EXPECT_NE(h.console.Dump().find(">>Fehler: 61"), std::string::npos);
    }
    // Locked for good: 50 tries, the message, a key, and the path is not counted.
    p.files().ChangeDirectory("C:\\Musik\\Rock");
    h.faults.FailAll(Op::Replace, err::PermissionDenied);
    h.console.Key(" ");
    AddSearchPath(p);
    h.faults.Heal();
    EXPECT_EQ(h.temp.Read("home/Rock.config"), config);
    EXPECT_EQ(p.window.SearchPathCount, 1);
    EXPECT_NE(h.console.Dump().find("zur Zeit kein Zugriff.."), std::string::npos);

    h.faults.DiskFullAfter(20);
    EXPECT_THROW(UpdateWidth(p.files(), "C:\\home\\Rock.config", "MAXDL=", 45), RuntimeError);
    h.faults.Heal();
    EXPECT_EQ(h.temp.Read("home/Rock.config"), config);
}

}  // namespace
}  // namespace pavuto::test
