// What the browser calls: running the marked entries, rebuilding a list, the
// shutdown timer and the endless playback.
#include <filesystem>

#include "browser_fixture.hpp"
#include "playback/timer.hpp"

namespace pavuto::test {
namespace {

class BrowserCalls : public BrowserTest {
protected:
    BrowserCalls() {
        h.temp.Write("tmp/.keep", "");
        h.environment.block = {"COMSPEC=C:\\bin\\cmd.exe"};
    }
};

TEST_F(BrowserCalls, RunningTheMarksWritesThemInMarkingOrderAndClearsThem) {
    h.temp.Write("M/A.mp3", "x");
    h.temp.Write("M/B.mp3", "x");
    h.temp.Write("M/C.mp3", "x");
    StartIn("C:\\M");
    script.Key(keys::Down).Key(keys::Down).Key(keys::Down).Key(keys::Enter);  // C = 1
    script.Key(keys::Up).Key(keys::Up).Key(keys::Enter);                     // A = 2
    script.Key("a");
    Run();
    EXPECT_EQ(h.temp.Read("tmp/auswahlliste.m3u"), "C:\\M\\C.mp3\r\nC:\\M\\A.mp3\r\n");
    EXPECT_FALSE(h.processes.started.empty());
    EXPECT_EQ(p.browser.MarkCounter, 1);
    EXPECT_EQ(p.browser.Marks[2], 0);
    EXPECT_EQ(p.browser.Marks[4], 0);
    EXPECT_EQ(Row(21, 7, 11), std::string(11, ' '));
}

TEST_F(BrowserCalls, AClickOnAusfuehrenRunsTheMarks) {
    h.temp.Write("M/A.mp3", "x");
    StartIn("C:\\M");
    script.Key(keys::Down).Key(keys::Enter).Click(21, 10);
    Run();
    EXPECT_EQ(h.temp.Read("tmp/auswahlliste.m3u"), "C:\\M\\A.mp3\r\n");
    EXPECT_EQ(p.browser.MarkCounter, 1);
}

TEST_F(BrowserCalls, WithoutMarksTheKeyDoesNothing) {
    h.temp.Write("M/A.mp3", "x");
    StartIn("C:\\M");
    script.Key("a");
    Run();
    EXPECT_FALSE(h.temp.Exists("tmp/auswahlliste.m3u"));
    EXPECT_TRUE(h.processes.started.empty());
}

TEST_F(BrowserCalls, RebuildingTheListOfTheEditedConfiguration) {
    WriteConfig("home/Rock.config", "Rock", "C:\\Musik\\Rock\\\r\n");
    h.temp.Write("Musik/Rock/Zweites.mp3", "x");
    h.temp.Write("Musik/Rock/Erstes.mp3", "x");
    StartIn("C:\\home");
    p.browser.BrowserMode = 2;
    p.browser.CurrentListConfiguration = "C:\\home\\Rock.config";
    script.Key("a").Key("x");
    Run();
    EXPECT_EQ(h.temp.Read("home/Rock.pavuto"), Record("Erstes", "Musik\\Rock") + Record("Zweites", "Musik\\Rock"));
    EXPECT_EQ(p.browser.BrowserMode, 2);
    EXPECT_EQ(Row(19, 7, 21), "Liste (a)ktualisieren");
}

TEST_F(BrowserCalls, TheShutdownTimerIsTestedWhenAnEventComes) {
    StartIn("C:\\home");
    p.settings.shutdownCommand = "C:\\bin\\shutdown.exe /s";
    p.timer.TimerMode = 1;
    p.timer.minutesText = "3";
    p.timer.EndMinute = 0;  // long past
    script.Key(keys::Down);
    EXPECT_THROW(RunBrowser(p), ProgramEnd);
    ASSERT_EQ(h.processes.started.size(), 1u);
    EXPECT_EQ(h.processes.started[0].commandLine, "C:\\bin\\shutdown.exe /s");
}

TEST_F(BrowserCalls, TheTimerShowsTheMinutesAndTheEventIsStillDispatched) {
    h.temp.Write("M/A.mp3", "x");
    StartIn("C:\\M");
    p.timer.TimerMode = 1;
    p.timer.minutesText = "30";
    ArmTimer(p);
    script.Key(keys::Down);
    Run();
    EXPECT_TRUE(h.processes.started.empty());
    EXPECT_EQ(p.browser.CursorOffset, 1);
    EXPECT_NE(Row(20).find("Ende in"), std::string::npos);
}

// The countdown of /down stays readable beside the menu.
TEST_F(BrowserCalls, TheCountdownStandsBesideTheMenuLines) {
    h.temp.Write("M/A.mp3", "x");
    h.temp.Write("M/B.mp3", "x");
    StartIn("C:\\M");
    p.timer.TimerMode = 1;
    p.timer.minutesText = "30";
    ArmTimer(p);
    script.Key(keys::Down).Key(keys::Enter);  // a mark: "(a)usführen" is shown
    Run();
    EXPECT_EQ(Row(20, 23, 15), "Ende in 30 Min.");
    EXPECT_EQ(Row(20, 5, 2), "\\ ");
    EXPECT_EQ(Row(21, 4, 14), " i (a)usf\x81hren");
    EXPECT_EQ(Row(21, 23, 13), "(s)uchen nach");
    EXPECT_EQ(Row(21, 47, 21), "(L)iste aktualisieren");
    EXPECT_EQ(Row(21).find("(d)"), std::string::npos);

    // Also in the search-path editing, and the number loses a digit.
    p.timer.minutesText = "5";
    ArmTimer(p);
    p.browser.BrowserMode = 2;
    script.Key(keys::Up);
    Run();
    EXPECT_EQ(Row(20, 23, 16), "Ende in 5 Min.  ");
    EXPECT_EQ(Row(21, 7, 13), "(n)eue config");
}

TEST_F(BrowserCalls, NoToTheExitQuestionAfterAHibernationDrawsTheBrowserAgain) {
    h.temp.Write("M/A.mp3", "x");
    h.temp.Write("M/B.mp3", "x");
    StartIn("C:\\M");
    p.settings.shutdownCommand = "C:\\bin\\shutdown.exe /h";
    p.timer.TimerMode = 2;
    p.timer.minutesText = "30";
    p.timer.EndMinute = 0;  // long past: the next event hibernates
    h.console.Key(keys::Down, 5000);
    h.console.Key(keys::Esc, 8000);
    h.console.Key("n", 10000);
    Run();
    ASSERT_EQ(h.processes.started.size(), 1u);
    EXPECT_EQ(p.browser.CursorOffset, 1) << "the event is dispatched after the wait";
    EXPECT_EQ(Row(1).find("Programm beenden"), std::string::npos) << Row(1);
    EXPECT_EQ(Line(2), "A.mp3");
    EXPECT_EQ(Row(20, 23, 15), "Ende in 30 Min.");
}

TEST_F(BrowserCalls, AListForEndlessPlaybackIsPlayedWithoutWaitingForTheUser) {
    WriteList("kurz", Record("Eins", "Musik\\Rock") + Record("Zwei", "Musik\\Rock"));
    StartIn("C:\\home");
    p.settings.autoMode = "kurz.pavuto";
    Run();
    EXPECT_EQ(p.browser.ListOpen, 1);
    EXPECT_EQ(p.browser.CurrentListFile, "kurz.pavuto");
    EXPECT_EQ(p.window.RecordCount, 2);
    // Two titles are too few for a random choice: the playback says so and waits.
    EXPECT_EQ(Row(19, 7, 14), "Zu wenig Titel");
}

TEST_F(BrowserCalls, AMissingListForEndlessPlaybackLeadsToTheEnd) {
    StartIn("C:\\home");
    p.settings.autoMode = "fehlt.pavuto";
    script.Key("x").Key("j");
    EXPECT_THROW(RunBrowser(p), ProgramEnd);
    EXPECT_TRUE(h.processes.started.empty());
}

}  // namespace
}  // namespace pavuto::test

namespace pavuto::test {
namespace {

TEST_F(BrowserCalls, ListsAreEditedAfterChoosingOrMakingAConfiguration) {
    StartIn("C:\\home");
    // Without pavuto.config the installation is offered first: Esc declines it.
    script.Key("l").Key(keys::Esc).Key("N").Typed("eu").Key(keys::Enter).Key("j").Key("x");
    Run();
    EXPECT_TRUE(h.temp.Exists("home/Neu.config"));
    EXPECT_EQ(p.browser.CurrentListConfiguration, "C:\\home\\Neu.config");
    EXPECT_EQ(p.browser.BrowserMode, 2);
    EXPECT_EQ(Row(19, 47, 21), "(b)earbeitung beenden");
}

TEST_F(BrowserCalls, AnErrorInTheBrowserGoesToTheErrorTrap) {
    WriteList("Rock", Record("Eins", "Musik\\Rock") + Record("Zwei", "Musik\\Rock"));
    OpenFromHome();
    Run();
    std::filesystem::remove(h.temp.path() / "home/Rock.pavuto");  // gone behind the program's back
    script.Key("s").Typed("zwei").Key(keys::Enter).Key("x");
    EXPECT_THROW(RunBrowser(p), RestartProgram);
    EXPECT_EQ(Row(19, 7, 34), ">>Fehler: 53 , 0 ,File not found<<");
}

}  // namespace
}  // namespace pavuto::test
