// The shutdown timer on the virtual clock, firing into the recording
// process starter (nothing is ever shut down).
#include <gtest/gtest.h>

#include "playback/timer.hpp"
#include "support/test_host.hpp"

namespace pavuto {
namespace {

class TimerTest : public ::testing::Test {
protected:
    test::TestHost h;
    Program p{h.host};

    void SetUp() override {
        h.temp.Write("tmp/.keep", "");
        p.settings.tempDirectory = "C:\\tmp\\";
        p.settings.shutdownProgram = "C:\\win\\shutdown.exe";
        p.settings.shutdownCommand = "C:\\win\\shutdown.exe /s";
        h.console.SetSize(17, 80);
        p.con.ScreenRows = 17;
        p.con.ScreenColumns = 80;
    }

    void Arm(int mode, const std::string& minutes) {
        p.timer.TimerMode = mode;
        p.timer.minutesText = minutes;
        ArmTimer(p);
    }
    std::string Row(int r, int column, int n) { return h.console.Text(r, column, n); }
};

TEST_F(TimerTest, MinutesFromTheCommandLineAreKeptBetweenOneAnd360) {
    h.clock.SetTime(10, 0);
    for (auto [text, minutes] : std::vector<std::pair<std::string, int>>{
             {"0", 1}, {"-5", 1}, {"500", 360}, {"45", 45}, {"", 1}, {"20 min", 20}}) {
        Arm(1, text);
        EXPECT_EQ(p.timer.EndMinute, 600 + minutes) << text;
        EXPECT_EQ(p.timer.minutesLeft, minutes) << text;
    }
}

TEST_F(TimerTest, ShowsTheMinutesLeftAndFiresAtMidnight) {
    h.clock.SetTime(23, 50);
    Arm(1, "30");
    EXPECT_EQ(p.timer.EndMinute, 1460);

    h.clock.SetTime(23, 59, 30);
    TestTimer(p);
    EXPECT_EQ(p.timer.minutesLeft, 21);
    EXPECT_EQ(Row(15, 6, 7), "Ende in");
    EXPECT_EQ(Row(16, 4, 13), "(d)  21  (m) ");
    EXPECT_TRUE(h.processes.started.empty());

    // Past midnight the minutes left jump to 1460: the time is up.
    h.clock.SetTime(0, 0);
    EXPECT_THROW(TestTimer(p), ProgramEnd);
    ASSERT_EQ(h.processes.started.size(), 1u);
    EXPECT_EQ(h.processes.started[0].commandLine, "C:\\win\\shutdown.exe /s");
    EXPECT_EQ(h.processes.started[0].style, host::WindowStyle::NoActivate);
    EXPECT_FALSE(h.processes.started[0].wait);
}

TEST_F(TimerTest, OffDoesNothingAndTheLastMinuteStillCounts) {
    h.clock.SetTime(12, 0);
    Arm(0, "1");
    h.clock.SetTime(13, 0);
    TestTimer(p);
    EXPECT_TRUE(h.processes.started.empty());
    EXPECT_EQ(Row(15, 6, 7), std::string(7, ' '));

    h.clock.SetTime(12, 0);
    Arm(1, "1");
    h.clock.SetTime(12, 0, 59);  // still in the armed minute
    TestTimer(p);
    EXPECT_TRUE(h.processes.started.empty());
    h.clock.SetTime(12, 1);
    EXPECT_THROW(TestTimer(p), ProgramEnd);
    EXPECT_EQ(h.processes.started.size(), 1u);
}

TEST_F(TimerTest, HibernationThroughTheUsersShortcutWaitsAndArmsAgain) {
    p.settings.hibernateLink = "C:\\Users\\anna\\Desktop\\Hibernate.link";
    h.clock.SetTime(1, 0);
    Arm(2, "30");
    h.clock.SetTime(1, 30);
    long long before = h.clock.Milliseconds();
    TestTimer(p);
    EXPECT_EQ(h.temp.Read("tmp/hyb.cmd"), "@echo off\r\n\"C:\\Users\\anna\\Desktop\\Hibernate.link\"\r\n");
    ASSERT_EQ(h.processes.started.size(), 1u);
    EXPECT_EQ(h.processes.started[0].commandLine, "C:\\tmp\\hyb.cmd");
    EXPECT_EQ(h.processes.started[0].style, host::WindowStyle::Normal);
    // 20 seconds on the clock, then the full period again from now.
    long long waited = h.clock.Milliseconds() - before;
    EXPECT_GE(waited, 19000);
    EXPECT_LE(waited, 21000);
    EXPECT_EQ(p.timer.EndMinute, 90 + 30);
    EXPECT_EQ(Row(16, 4, 7), "(d)  30");

    // An existing script is used as it is.
    h.temp.Write("tmp/hyb.cmd", "eigenes");
    h.clock.SetTime(2, 0);
    TestTimer(p);
    EXPECT_EQ(h.temp.Read("tmp/hyb.cmd"), "eigenes");
    EXPECT_EQ(h.processes.started.size(), 2u);
}

TEST_F(TimerTest, HibernationWithoutShortcutUsesTheShutdownCommandAndPlaysOn) {
    p.settings.shutdownCommand = "C:\\win\\shutdown.exe /h";
    h.clock.SetTime(1, 0);
    Arm(2, "10");
    h.clock.SetTime(1, 10);
    TestTimer(p);  // returns: the program goes on after waking up
    ASSERT_EQ(h.processes.started.size(), 1u);
    EXPECT_EQ(h.processes.started[0].commandLine, "C:\\win\\shutdown.exe /h");
    EXPECT_EQ(h.processes.started[0].style, host::WindowStyle::NoActivate);
    EXPECT_FALSE(h.temp.Exists("tmp/hyb.cmd"));
}

TEST_F(TimerTest, EscAfterHibernationAsksWhetherToEnd) {
    p.settings.shutdownCommand = "C:\\win\\shutdown.exe /h";
    h.clock.SetTime(1, 0);
    Arm(2, "10");
    h.clock.SetTime(1, 10);
    long long now = h.clock.Milliseconds();
    h.console.Key("\x1b", now + 2000);
    h.console.Key("n", now + 5000);  // no: back to waiting
    EXPECT_TRUE(TestTimer(p)) << "the caller is told that its screen is gone";
    EXPECT_EQ(Row(1, 1, 23), " Programm beenden ? J/N");

    h.clock.SetTime(1, 40);
    now = h.clock.Milliseconds();
    h.console.Key("\x1b", now + 2000);
    h.console.Key("j", now + 5000);
    EXPECT_THROW(TestTimer(p), ProgramEnd);
}

TEST_F(TimerTest, AdjustingInThePlayerKeepsFiveTo300Minutes) {
    h.clock.SetTime(20, 0);
    Arm(1, "4");
    TestTimer(p);
    AdjustTimer(p, -5);  // 4 - 5 = -1: five minutes from now
    EXPECT_EQ(p.timer.EndMinute, 1200 + 5);
    EXPECT_EQ(Row(16, 4, 13), "(d)  5   (m) ");
    AdjustTimer(p, 5);
    EXPECT_EQ(p.timer.minutesLeft, 10);

    Arm(1, "290");
    AdjustTimer(p, 5);
    EXPECT_EQ(p.timer.minutesLeft, 295);
    AdjustTimer(p, 5);
    AdjustTimer(p, 5);
    EXPECT_EQ(p.timer.minutesLeft, 300);
    EXPECT_EQ(p.timer.EndMinute, 1200 + 300);
    EXPECT_EQ(Row(16, 4, 8), "(d)  300");

    // Fewer digits leave nothing of the longer number behind.
    Arm(1, "100");
    TestTimer(p);
    EXPECT_EQ(Row(16, 4, 13), "(d)  100 (m) ");
    AdjustTimer(p, -5);
    EXPECT_EQ(Row(16, 4, 13), "(d)  95  (m) ");
    h.clock.SetTime(21, 31);
    TestTimer(p);
    EXPECT_EQ(Row(16, 4, 13), "(d)  4   (m) ");
}

class TimerMenuTest : public TimerTest {
protected:
    void SetUp() override {
        TimerTest::SetUp();
        h.console.SetSize(25, 74);
        p.con.ScreenRows = 25;
        p.con.ScreenColumns = 74;
        h.clock.SetTime(12, 0);
    }
    std::string EntryText() { return Row(9, 7, 20 + 28); }
};

TEST_F(TimerMenuTest, ClicksCycleTheModeAndArm35MinutesOnce) {
    TimerMenuEntry(p, 10);
    EXPECT_EQ(p.timer.TimerMode, 1);
    EXPECT_EQ(p.timer.EndMinute, 720 + 35);
    EXPECT_EQ(p.settings.mci, 1);
    EXPECT_EQ(p.settings.shutdownCommand, "C:\\win\\shutdown.exe /s");
    EXPECT_EQ(EntryText(), "Shutdown/Ruhemodus = Shutdown  in  <  35 > " + std::string(5, ' '));

    TimerMenuEntry(p, 10);
    EXPECT_EQ(p.timer.TimerMode, 2);
    EXPECT_EQ(p.settings.shutdownCommand, "C:\\win\\shutdown.exe /h");
    EXPECT_EQ(Row(9, 27, 23), " Ruhemodus in  <  35 > ");

    // Five minutes earlier and later, between 5 and 300.
    TimerMenuEntry(p, 40);
    EXPECT_EQ(p.timer.minutesLeft, 30);
    TimerMenuEntry(p, 50);
    TimerMenuEntry(p, 60);
    EXPECT_EQ(p.timer.minutesLeft, 40);
    // Down to 0 (the menu lets the time run out at once), below that 5.
    for (int i = 0; i < 8; ++i) TimerMenuEntry(p, 33);
    EXPECT_EQ(p.timer.minutesLeft, 0);
    TimerMenuEntry(p, 43);
    EXPECT_EQ(p.timer.minutesLeft, 5);
    for (int i = 0; i < 60; ++i) TimerMenuEntry(p, 64);
    EXPECT_EQ(p.timer.minutesLeft, 300);

    TimerMenuEntry(p, 1);
    EXPECT_EQ(p.timer.TimerMode, 0);
    EXPECT_EQ(p.timer.menuArmed, 0);
    EXPECT_EQ(EntryText(), "Shutdown/Ruhemodus =   ---    " + std::string(18, ' '));
}

TEST_F(TimerMenuTest, ASecondStartKeepsTheEndTime) {
    TimerMenuEntry(p, 10);
    EXPECT_EQ(p.timer.EndMinute, 755);
    h.clock.SetTime(12, 10);
    TimerMenuEntry(p, 30);  // a click beside the fields changes nothing
    EXPECT_EQ(p.timer.EndMinute, 755);
    EXPECT_EQ(p.timer.TimerMode, 1);
    // The minutes left count from the time the menu armed it.
    EXPECT_EQ(p.timer.minutesLeft, 35);
    // Going round to off and on again arms anew from now.
    TimerMenuEntry(p, 10);
    TimerMenuEntry(p, 10);
    TimerMenuEntry(p, 10);
    EXPECT_EQ(p.timer.TimerMode, 1);
    EXPECT_EQ(p.timer.EndMinute, 730 + 35);
}

TEST_F(TimerMenuTest, XpHibernatesOnlyWithTheShortcutAndNoSoundMeansNoInternalPlayer) {
    p.settings.windowsClass = 2;
    TimerMenuEntry(p, 10);
    EXPECT_EQ(p.settings.shutdownCommand, "C:\\win\\shutdown.exe -s");
    TimerMenuEntry(p, 10);  // hibernate without a shortcut: off
    EXPECT_EQ(p.timer.TimerMode, 0);
    EXPECT_EQ(EntryText().substr(20, 10), "   ---    ");

    p.settings.hibernateLink = "C:\\Users\\anna\\Desktop\\Hibernate.link";
    TimerMenuEntry(p, 10);
    TimerMenuEntry(p, 10);
    EXPECT_EQ(p.timer.TimerMode, 2);
    EXPECT_EQ(p.settings.shutdownCommand, "C:\\win\\shutdown.exe -h");

    h.media.devices = 0;
    p.settings.mci = 1;
    TimerMenuEntry(p, 10);
    EXPECT_EQ(p.settings.mci, 0);
}

TEST_F(TimerMenuTest, AutoModeDoesNotArmFromTheMenu) {
    p.settings.autoMode = "rock.pavuto";
    p.timer.EndMinute = 0;
    TimerMenuEntry(p, 10);
    EXPECT_EQ(p.timer.TimerMode, 1);
    EXPECT_EQ(p.timer.menuArmed, 0);
    EXPECT_NE(p.timer.EndMinute, 755);
}

}  // namespace
}  // namespace pavuto
