#include <gtest/gtest.h>

#include <algorithm>

#include "config/default_config.hpp"
#include "startup/start.hpp"
#include "support/test_host.hpp"

using namespace pavuto;

namespace {

struct StartTest : ::testing::Test {
    test::TestHost h;
    Program p{h.host};
    StartTest() {
        h.temp.Write("win/shutdown.exe", "");
        h.temp.Write("tmp/.keep", "");
        h.temp.Write("home/anna/.keep", "");
        h.environment.block = {"COMSPEC=C:\\win\\pavuto-cmd", "HOMEDRIVE=C:", "HOMEPATH=\\home\\anna",
                               "TEMP=C:\\nowhere", "TMP=C:\\tmp", "WINDIR=C:\\win"};
        h.console.keepScreens = true;
    }
    // Whether the text stood at the row and column on a screen the program waited on.
    bool Saw(int row, int column, const std::string& text) { return h.console.ScreenWith(row, column, text) != nullptr; }
    // Runs the start sequence until the program ends or waits for input
    // that the script does not hold.
    enum class Outcome { Ended, Waiting };
    Outcome Run() {
        try {
            RunStartSequence(p);
        } catch (const ProgramEnd&) {
            return Outcome::Ended;
        } catch (const test::ScriptExhausted&) {
            return Outcome::Waiting;
        }
        return Outcome::Ended;
    }
    std::string Row(int r) { return RTrim(h.console.Text(r)); }
};

}  // namespace

TEST_F(StartTest, AFirstStartWithoutConfigurationFile) {
    h.console.Key(keys::Esc, 5000);
    h.console.Key("j", 6000);
    EXPECT_EQ(Run(), Outcome::Ended);
    // The exit question replaced the start screen; the window stayed 22 x 70.
    EXPECT_EQ(Row(1), " Programm beenden ? J/N");
    EXPECT_EQ(h.console.Rows(), 22);
    EXPECT_EQ(h.console.Columns(), 70);
    EXPECT_EQ(p.settings.configurationMissing, 1);
    EXPECT_EQ(p.settings.HomeDirectory(), "C:\\");
    EXPECT_EQ(p.settings.configurationPath, "C:\\pavuto.config");
    EXPECT_EQ(p.settings.tempDirectory, "C:\\tmp\\") << "TMP comes after TEMP in the block";
    EXPECT_EQ(p.settings.shutdownProgram, "C:\\win\\shutdown.exe");
    EXPECT_EQ(p.settings.versionText, "Linux 6.1 x86_64");
    EXPECT_EQ(p.settings.windowsClass, 3);
    EXPECT_EQ(p.player.Volume, 400);
    EXPECT_EQ(p.settings.extensions[18], ".flac");
}

TEST_F(StartTest, TheHomeNoticeStaysWhileNothingIsPressed) {
    EXPECT_EQ(Run(), Outcome::Waiting);
    const auto* notice = h.console.ScreenWith(1, 1, "Benutze 'C:\\' als Home");
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(RTrim((*notice)[1]), "Einrichten des Programms auf Festplatte ist unter Optionen m\x94glich.");
    EXPECT_EQ(h.console.At(22, 70).bg, 1) << "the whole screen is white on blue";
}

TEST_F(StartTest, TheNoticeWaitIsTimed) {
    h.console.Key("q", 100000);  // long after the notice
    h.console.Key(keys::Esc, 100001);
    h.console.Key("j", 101000);
    long long before = h.clock.Milliseconds();
    EXPECT_EQ(Run(), Outcome::Ended);
    EXPECT_GE(h.clock.Milliseconds() - before, 100000);
    // The key q reached the main loop, so the notice wait ended by itself.
}

TEST_F(StartTest, AConfigurationSectionFromTheCommandLine) {
    p.settings.configurationPath = "C:\\pavuto.config";
    WriteBuiltInFile(p);
    h.environment.commandLine = "MP3";
    EXPECT_EQ(Run(), Outcome::Waiting);
    EXPECT_EQ(p.settings.configurationMissing, 0);
    EXPECT_EQ(p.settings.configurationName, "mp3");
    EXPECT_EQ(p.settings.mci, 1);
    EXPECT_FALSE(Saw(1, 1, "Benutze '")) << "no notice with a configuration file";
}

TEST_F(StartTest, ShutdownSwitchArmsTheTimer) {
    h.clock.SetTime(23, 50);
    h.environment.commandLine = "MyList /Down 30";
    EXPECT_EQ(Run(), Outcome::Waiting);
    EXPECT_EQ(p.timer.TimerMode, 1);
    EXPECT_EQ(p.timer.EndMinute, 23 * 60 + 50 + 30);
    EXPECT_EQ(p.settings.shutdownCommand, "C:\\win\\shutdown.exe /s");
    EXPECT_EQ(p.settings.configurationName, "mylist");
}

TEST_F(StartTest, HibernationAndTheTimerLimits) {
    h.environment.commandLine = "/downh 500";
    EXPECT_EQ(Run(), Outcome::Waiting);
    EXPECT_EQ(p.timer.TimerMode, 2);
    EXPECT_EQ(p.timer.minutesLeft, 360);
    EXPECT_EQ(p.settings.shutdownCommand, "C:\\win\\shutdown.exe /h");
}

TEST_F(StartTest, BlindWithoutListEndsAfterAKey) {
    h.environment.commandLine = "/blind";
    h.console.Key("x", 1000);
    EXPECT_EQ(Run(), Outcome::Ended);
    EXPECT_EQ(Row(1), "Aufruf ohne Listenangabe...");
    EXPECT_EQ(h.console.Pending(), 0u);
    EXPECT_GE(h.clock.Milliseconds(), 1000);
}

TEST_F(StartTest, AutoModeKeepsTheListAndLoadsDefault) {
    h.environment.commandLine = "/auto meine liste -";
    EXPECT_EQ(Run(), Outcome::Waiting);
    EXPECT_EQ(p.settings.autoMode, "meine liste.pavuto");
    EXPECT_EQ(p.settings.configurationName, "Default");
    EXPECT_EQ(p.settings.foreground, 0);
}

TEST_F(StartTest, AMissingShutdownProgramIsReported) {
    h.environment.block = {"TMP=C:\\tmp"};
    h.console.Key("x", 1000);
    EXPECT_EQ(Run(), Outcome::Waiting);
    EXPECT_TRUE(Saw(1, 5, " 'Shutdown.exe' nicht gefunden."));
    EXPECT_EQ(p.settings.shutdownProgram, "\\system32\\shutdown.exe") << "the last candidate stays";
}

TEST_F(StartTest, TheShutdownProgramIsFoundInTheWindowsDirectory) {
    h.temp.Write("w/system32/shutdown.exe", "");
    h.environment.block = {"COMSPEC=C:\\bin\\cmd.exe", "TMP=C:\\tmp", "WINDIR=C:\\w"};
    EXPECT_EQ(Run(), Outcome::Waiting);
    EXPECT_EQ(p.settings.shutdownProgram, "C:\\w\\system32\\shutdown.exe");
}

TEST_F(StartTest, AMissingPavutoTmpFallsBack) {
    h.environment.block.insert(h.environment.block.begin() + 3, "PAVUTOTMP=C:\\gone");
    EXPECT_EQ(Run(), Outcome::Waiting);
    EXPECT_TRUE(Saw(1, 1, " Pavutotmp Pfad nicht gefunden >C:\\gone\\"));
    EXPECT_EQ(p.settings.tempDirectory, "C:\\tmp\\");
}

TEST_F(StartTest, PavutoTmpComesFirst) {
    h.temp.Write("ptmp/.keep", "");
    h.environment.block.insert(h.environment.block.begin() + 3, "PAVUTOTMP=C:\\ptmp");
    EXPECT_EQ(Run(), Outcome::Waiting);
    EXPECT_EQ(p.settings.tempDirectory, "C:\\ptmp\\");
}

TEST_F(StartTest, TheHibernateLinkIsOnTheDesktop) {
    h.temp.Write("home/anna/Desktop/Hibernate.link", "");
    EXPECT_EQ(Run(), Outcome::Waiting);
    EXPECT_EQ(p.settings.hibernateLink, "C:\\home\\anna\\Desktop\\Hibernate.link");
}

TEST_F(StartTest, HomeFromProgramFilesAndPavuto) {
    h.temp.Write("Programme/pavuto/pavuto.config", BuiltInConfigurationText());
    h.environment.block.push_back("PROGRAMFILES=C:\\Programme");
    std::sort(h.environment.block.begin(), h.environment.block.end());
    EXPECT_EQ(Run(), Outcome::Waiting);
    EXPECT_EQ(p.settings.homeDrive, "C:");
    EXPECT_EQ(p.settings.homePath, "\\Programme\\pavuto");
    EXPECT_EQ(h.files->CurrentDirectory(), "C:\\Programme\\pavuto");
    EXPECT_EQ(p.browser.homeDirectory, "C:\\Programme\\pavuto");
    EXPECT_EQ(p.settings.configurationMissing, 0);
}

TEST_F(StartTest, PavutoOverridesWithoutTestAndNamesADrive) {
    h.environment.block.push_back("PAVUTO=D:tools");
    h.console.Key("x", 10000);  // acknowledges the error of the unknown drive
    EXPECT_EQ(Run(), Outcome::Ended);
    EXPECT_EQ(p.settings.homeDrive, "D:");
    EXPECT_EQ(p.settings.homePath, "\\tools");
    EXPECT_EQ(RTrim(h.console.Text(19, 7)), ">>Fehler: 71 , 0 ,Disk not ready<<");
}

TEST_F(StartTest, PavutoWithoutDriveIsOnC) {
    h.temp.Write("x/.keep", "");
    h.environment.block.push_back("PAVUTO=\\x");
    EXPECT_EQ(Run(), Outcome::Waiting);
    EXPECT_EQ(p.settings.homeDrive, "C:");
    EXPECT_EQ(p.settings.homePath, "\\x");
    EXPECT_EQ(p.settings.programPath, "C:\\x\\pavuto.exe");
    EXPECT_EQ(p.settings.configurationPath, "C:\\x\\pavuto.config");
}

TEST_F(StartTest, TheCollationTableIsBuilt) {
    EXPECT_EQ(Run(), Outcome::Waiting);
    EXPECT_EQ(p.collation[static_cast<unsigned char>('a')], 'A');
    EXPECT_EQ(p.collation[0xE4], 'A');
    EXPECT_EQ(p.collation[static_cast<unsigned char>('.')], '&');
}

TEST_F(StartTest, AQuestionMarkShowsTheHelpFirst) {
    p.settings.configurationPath = "C:\\pavuto.config";
    WriteBuiltInFile(p);
    h.environment.commandLine = "?";
    for (int page = 1; page <= 7; ++page) h.console.Key(" ", page * 1000);
    EXPECT_EQ(Run(), Outcome::Waiting);
    EXPECT_TRUE(Saw(2, 1, "                       Pavuto 3.3"));
    EXPECT_EQ(h.console.Pending(), 0u) << "one key per help page";
    EXPECT_EQ(p.settings.configurationName, "Default") << "the section ? is not in the file";
}

// A player named in the configuration that does not exist is
// reported once at start, not by every reading of the section.
TEST_F(StartTest, AMissingPlayerIsReportedOnceAtStart) {
    // The "Default" part: the lines before the first section.
    h.temp.Write("pavuto.config", "Player=C:\\nirgends\\spieler.exe\r\n" + BuiltInConfigurationText());
    // The screen at every pause of a second or more: the message pauses 2 s.
    struct ShotClock : host::Clock {
        ShotClock(test::VirtualClock& inner, test::TestConsole& console) : inner(inner), console(console) {}
        void Pause(int milliseconds) override {
            if (milliseconds >= 1000) {
                int rows = 0;
                for (int r = 1; r <= console.Rows(); ++r)
                    if (console.Text(r).find("Vorgegebenen Player nicht gefunden..") != std::string::npos) ++rows;
                most = std::max(most, rows);
                if (rows > 0) ++pauses;
            }
            inner.Pause(milliseconds);
        }
        std::uint32_t TickCount() override { return inner.TickCount(); }
        host::LocalTime Now() override { return inner.Now(); }
        test::VirtualClock& inner;
        test::TestConsole& console;
        int most = 0, pauses = 0;
    } clock(h.clock, h.console);
    host::Host host{h.console, clock, h.faults, h.processes, h.environment, h.media, h.system, h.shell};
    Program q(host);
    try {
        RunStartSequence(q);
    } catch (const test::ScriptExhausted&) {
    }
    EXPECT_EQ(clock.most, 1) << "the message stood on two rows";
    EXPECT_EQ(clock.pauses, 1);
    EXPECT_EQ(q.settings.player, "");
    EXPECT_EQ(q.settings.configurationMissing, 0);
}

// An error in endless playback waits a short time, and the
// program goes on playing without anyone pressing a key.
TEST_F(StartTest, AnErrorInEndlessPlaybackDoesNotStopIt) {
    std::string records;
    for (int i = 1; i <= 20; ++i) {
        std::string title = "T" + std::to_string(10 + i);
        records += PadRight(title, 30) + PadRight(">Musik\\Rock<", 30) + "\r\n";
        h.temp.Write("Musik/Rock/" + title + ".mp3", "data of " + title);
    }
    h.temp.Write("rock.pavuto", records);
    h.temp.Write("rock.config", " ----- pavuto configuration ------\r\nZIELDATEI1=rock\r\nConfiguration=Default\r\n"
                                "Dateiendung=.mp3\r\nMAXDL=31 \r\nMAXDLDIR=30 \r\nNURNAMENSLISTE= 1\r\n"
                                " ---- suchPfade ----\r\nC:\\Musik\\Rock\\\r\n");
    h.environment.commandLine = "/auto rock";
    // The selection file of the second round cannot be written.
    h.faults.FailNth(test::FaultyFileSystem::Op::Create, 2, 57, "auswahlliste");
    h.console.idleLimitMs = 60000;  // a minute without any key
    EXPECT_EQ(Run(), Outcome::Waiting);
    EXPECT_TRUE(Saw(14, 7, ">>Fehler: 57 , 0 ,Device I/O error<<"));
    long opens = std::count_if(h.media.commands.begin(), h.media.commands.end(),
                               [](const std::string& c) { return c.rfind("open ", 0) == 0; });
    EXPECT_GE(opens, 20) << "the rounds after the error played as well";
}
