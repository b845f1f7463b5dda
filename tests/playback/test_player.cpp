// The internal player on the virtual clock: titles are WAV files written by
// the tests, played by a media device whose position follows the clock.
#include <gtest/gtest.h>

#include <algorithm>

#include "playback/player.hpp"
#include "support/test_host.hpp"

namespace pavuto {
namespace {

struct Snapshot {
    long long at = -1;
    std::vector<std::string> rows;
};

class PlayerTest : public ::testing::Test {
protected:
    test::TestHost h;
    Program p{h.clockHost};

    void SetUp() override {
        h.temp.Write("tmp/.keep", "");
        p.settings.tempDirectory = "C:\\tmp\\";
        p.settings.listExtension = ".wav";
        h.console.SetSize(22, 80);
        p.con.ScreenRows = 22;
        p.con.ScreenColumns = 80;
    }

    // Writes the titles (name, milliseconds) into C:\Musik and the selection file.
    void Titles(const std::vector<std::pair<std::string, int>>& titles) {
        std::string selection;
        for (const auto& [name, ms] : titles) {
            h.temp.Write("Musik/" + name + ".wav", test::SineWav(ms));
            selection += "C:\\Musik\\" + name + ".wav\r\n";
        }
        h.temp.Write("tmp/auswahlliste.m3u", selection);
    }

    // The screen as it stood when the clock first passed `at`.
    Snapshot* SnapshotAt(long long at) {
        snapshots_.push_back(std::make_unique<Snapshot>());
        Snapshot* s = snapshots_.back().get();
        h.clockMedia.onCommand = [this](const std::string&) {
            for (auto& snap : snapshots_) {
                if (!snap->rows.empty() || h.clock.Milliseconds() < snap->at) continue;
                for (int r = 1; r <= h.console.Rows(); ++r) snap->rows.push_back(h.console.Text(r));
            }
        };
        s->at = at;
        return s;
    }

    std::vector<long long> PlayedLengths() const { return h.clockMedia.openedLengths; }
    std::vector<int> Volumes() const { return h.clockMedia.volumes; }

    static std::string Centred(const std::string& label, const std::string& path) {
        return label + CentredTitle(path);
    }

private:
    std::vector<std::unique_ptr<Snapshot>> snapshots_;
};

TEST(PlayerText, CentresTheFileNameWithoutItsExtension) {
    EXPECT_EQ(CentredTitle("D:\\Musik\\Song.mp3"), std::string(28, ' ') + "Song" + std::string(28, ' '));
    // (60 - 5) / 2 = 27.5 goes to 28, (60 - 7) / 2 = 26.5 to 26.
    EXPECT_EQ(CentredTitle("C:\\A\\Songs.mp3"), std::string(28, ' ') + "Songs" + std::string(28, ' '));
    EXPECT_EQ(CentredTitle("C:\\A\\Liedchen.wav").size(), 26u + 8u + 26u);
    EXPECT_EQ(CentredTitle("C:\\A\\Liedche.wav"), std::string(26, ' ') + "Liedche" + std::string(26, ' '));
    // A name without a backslash is taken whole; long names are cut to 55.
    std::string longName(70, 'x');
    EXPECT_EQ(CentredTitle(longName + ".mp3"), "  " + std::string(55, 'x') + "  ");
    EXPECT_EQ(CentredTitle(""), std::string(60, ' '));
    EXPECT_EQ(AliasText(0x1E240), "0001E240");
    EXPECT_EQ(AliasText(0xFFFFFFFF), "FFFFFFFF");
}

TEST_F(PlayerTest, PlaysTwoTitlesThroughFromWorkCopies) {
    Titles({{"Erster Titel", 3000}, {"Zweiter", 4000}});
    bool redrawn = false;
    p.player.redrawBrowser = [](Program& prog) { prog.con.KeyText = "redrawn"; };
    PlaySelection(p);
    redrawn = p.con.KeyText == "redrawn";

    EXPECT_EQ(PlayedLengths(), (std::vector<long long>{3000, 4000}));
    ASSERT_EQ(h.clockMedia.opened.size(), 2u);
    EXPECT_EQ(h.clockMedia.opened[0], "0jetzt.wav");
    // The commands of a title, the alias being the tick count before open.
    const auto& cmds = h.clockMedia.commands;
    ASSERT_GE(cmds.size(), 4u);
    std::string open = cmds[0];
    ASSERT_EQ(open.rfind("open 0jetzt.wav type MPEGVideo alias ", 0), 0u) << open;
    std::string alias = open.substr(open.size() - 8);
    EXPECT_EQ(cmds[1], "set " + alias + " time format ms");
    EXPECT_EQ(cmds[2], "setaudio " + alias + " volume to 400");
    EXPECT_EQ(cmds[3], "play " + alias);
    EXPECT_NE(std::find(cmds.begin(), cmds.end(), "close " + alias), cmds.end());

    // The work copies: the last title in the current slot, the one before it
    // in the previous slot; the originals stay where they are.
    EXPECT_EQ(h.temp.Read("tmp/0jetzt.wav"), h.temp.Read("Musik/Zweiter.wav"));
    EXPECT_EQ(h.temp.Read("tmp/0vorher.wav"), h.temp.Read("Musik/Erster Titel.wav"));
    EXPECT_FALSE(h.temp.Exists("tmp/0gleich.wav"));
    EXPECT_TRUE(h.temp.Exists("Musik/Zweiter.wav"));

    // Back in the browser's world: its rows, its directory, its redraw.
    EXPECT_EQ(p.con.ScreenRows, 22);
    EXPECT_EQ(h.console.Rows(), 22);
    EXPECT_EQ(h.files->CurrentDirectory(), "C:\\");
    EXPECT_TRUE(redrawn);
    EXPECT_TRUE(p.player.previousName.empty() && p.player.nextName.empty());
    // Each title takes about its own length plus the pauses around it.
    EXPECT_GT(h.clock.Milliseconds(), 7000);
    EXPECT_LT(h.clock.Milliseconds(), 12000);
}

TEST_F(PlayerTest, ShowsPreviousCurrentAndNextTitleWithVolumeAndKeyLines) {
    Titles({{"Erster Titel", 3000}, {"Zweiter", 8000}, {"Dritter", 3000}});
    Snapshot* during = SnapshotAt(7000);  // in the second title
    PlaySelection(p);
    ASSERT_FALSE(during->rows.empty());
    auto row = [&](int r) { return during->rows[static_cast<std::size_t>(r - 1)]; };
    auto line = [&](int r, const std::string& expected) { return row(r).substr(3, expected.size()) == expected; };
    EXPECT_TRUE(line(5, Centred("vorher >  ", "C:\\Musik\\Erster Titel.wav"))) << row(5);
    EXPECT_TRUE(line(7, Centred("jetzt >>> ", "C:\\Musik\\Zweiter.wav"))) << row(7);
    EXPECT_TRUE(line(9, Centred("gleich >  ", "C:\\Musik\\Dritter.wav"))) << row(9);
    for (int r : {5, 7, 9}) EXPECT_EQ(row(r)[76], '<') << r;
    // About 4 of the 8 seconds of the second title are left.
    EXPECT_EQ(row(3).substr(6, 14), "noch  0  Min. ");
    EXPECT_EQ(row(3).substr(23, 9), " Sec.    ");
    EXPECT_EQ(row(13).substr(4, 10), "Lautst\x84rke");
    EXPECT_EQ(row(14).substr(3, 12), "(-)  4   (+)");
    EXPECT_EQ(row(13).substr(17, 53), "zum Titel '(v)orher'" + std::string(33, ' '));
    EXPECT_EQ(row(14).substr(17, 53), "zum Titel '(g)leich'   (R)ew  (P)ause  (P)lay   (F)wd");
    EXPECT_EQ(row(15).substr(17, 53),
              std::string(25, ' ') + "<<" + std::string(6, ' ') + "II" + std::string(7, ' ') + ">" +
                  std::string(7, ' ') + ">>" + " ");
    EXPECT_EQ(row(16).substr(17, 20), "(\x81)bergehen 'gleich'");
    // The frame: list box rows 4 ... 10, menu box rows 12 ... 17.
    EXPECT_EQ(static_cast<unsigned char>(row(4)[1]), 201);
    EXPECT_EQ(static_cast<unsigned char>(row(10)[78]), 188);
    EXPECT_EQ(static_cast<unsigned char>(row(12)[0]), 201);
    EXPECT_EQ(static_cast<unsigned char>(row(17)[79]), 188);
    // The player ran on 17 rows: the console was minimised, resized, shown.
    auto& log = h.console.log;
    auto it = std::find(log.begin(), log.end(), "size 17x80");
    ASSERT_NE(it, log.end());
    ASSERT_NE(it, log.begin());
    EXPECT_EQ(*(it - 1), "show min");
    EXPECT_EQ(*(it + 1), "show normal");
}

TEST_F(PlayerTest, OneTitleEndsTheListWithAnEmptyNextLine) {
    Titles({{"Allein", 3000}});
    Snapshot* during = SnapshotAt(2000);
    PlaySelection(p);
    EXPECT_EQ(PlayedLengths(), (std::vector<long long>{3000}));
    ASSERT_FALSE(during->rows.empty());
    EXPECT_EQ(during->rows[8].substr(3, 70), "gleich >  " + std::string(60, ' '));
    std::string jetzt = Centred("jetzt >>> ", "C:\\Musik\\Allein.wav");
    EXPECT_EQ(during->rows[6].substr(3, jetzt.size()), jetzt);
}

TEST_F(PlayerTest, VolumeStepsUpToTheTopAndBack) {
    Titles({{"Laut", 20000}});
    h.console.Keys("++++", 2000);
    h.console.Key("-", 4000);
    Snapshot* at600 = SnapshotAt(3500);
    PlaySelection(p);
    EXPECT_EQ(p.player.Volume, 550);
    auto v = Volumes();
    EXPECT_EQ(std::vector<int>(v.begin(), v.begin() + 6), (std::vector<int>{400, 450, 500, 550, 600, 550}));
    ASSERT_FALSE(at600->rows.empty());
    EXPECT_EQ(at600->rows[13].substr(3, 12), "(-)  6   (+)");

    // From 950: up to 999, down to 950, then on in steps of 50 to at least 50.
    h.clockMedia.volumes.clear();
    p.player.Volume = 950;
    h.console.Keys("+", h.clock.Milliseconds() + 2000);
    h.console.Keys("+", h.clock.Milliseconds() + 2500);
    h.console.Keys("-", h.clock.Milliseconds() + 3000);
    h.console.Keys("-", h.clock.Milliseconds() + 3500);
    PlaySelection(p);
    v = Volumes();
    EXPECT_EQ(std::vector<int>(v.begin(), v.begin() + 5), (std::vector<int>{950, 999, 999, 950, 900}));
    p.player.Volume = 100;
    h.clockMedia.volumes.clear();
    h.console.Keys("---", h.clock.Milliseconds() + 2000);
    PlaySelection(p);
    EXPECT_EQ(p.player.Volume, 50);
}

TEST_F(PlayerTest, VolumeAreasOfTheMouse) {
    Titles({{"Maus", 20000}});
    h.console.Click(14, 10, 1, 1, 2000);  // (+)
    h.console.Click(14, 5, 1, 1, 3000);   // (-)
    h.console.Click(14, 5, 1, 1, 4000);   // (-)
    PlaySelection(p);
    auto v = Volumes();
    EXPECT_EQ(std::vector<int>(v.begin(), v.begin() + 4), (std::vector<int>{400, 450, 400, 350}));
}

TEST_F(PlayerTest, PauseBlinksAndResumeFadesInUpToTheVolume) {
    Titles({{"Pause", 20000}, {"Danach", 3000}});
    h.console.Key("p", 3000);
    h.console.Key(" ", 9000);
    Snapshot* paused = SnapshotAt(6000);
    PlaySelection(p);
    // The resume fades in with 1, 121, 241, 361 and stays there; the next
    // title starts at the volume again.
    auto v = Volumes();
    auto first = std::find(v.begin(), v.end(), 1);
    ASSERT_NE(first, v.end());
    EXPECT_EQ(std::vector<int>(first, v.end()), (std::vector<int>{1, 121, 241, 361, 400}));
    // Before: the fade out 400, 300, 200, 100.
    EXPECT_EQ(std::vector<int>(v.begin(), first), (std::vector<int>{400, 400, 300, 200, 100}));
    ASSERT_FALSE(paused->rows.empty());
    std::string status = paused->rows[2].substr(39, 11);
    EXPECT_TRUE(status == ">> Pause <<" || status == "<< Pause >>") << status;
    // It goes on where it was when the key came, looping, and the title still ends.
    auto seeks = h.clockMedia.CommandsFrom(0, "seek ");
    ASSERT_EQ(seeks.size(), 1u);
    long long to = std::stoll(seeks[0].substr(seeks[0].rfind(' ') + 1));
    EXPECT_GT(to, 2000);
    EXPECT_LT(to, 3100);
    EXPECT_EQ(h.clockMedia.CommandsFrom(0, "play ").size(), 3u);
    EXPECT_EQ(PlayedLengths(), (std::vector<long long>{20000, 3000}));
}

TEST_F(PlayerTest, RewindGoesBackToTheStartAndForwardStopsBeforeTheEnd) {
    Titles({{"Hin und her", 20000}});
    h.console.Key("r", 3000);
    h.console.Key("f", 8000);
    PlaySelection(p);
    auto seeks = h.clockMedia.CommandsFrom(0, "seek ");
    ASSERT_EQ(seeks.size(), 2u);
    std::string alias = seeks[0].substr(5, 8);
    EXPECT_EQ(seeks[0], "seek " + alias + " to 1");
    // Forward from a few seconds in: one step of 6 s per pass until 5 s before the end.
    EXPECT_EQ(seeks[1], "seek " + alias + " to 15000");
    EXPECT_EQ(h.clockMedia.CommandsFrom(0, "play " + alias + " repeat").size(), 2u);
    // The scan fades out in steps of 120.
    auto v = Volumes();
    EXPECT_EQ(std::vector<int>(v.begin(), v.begin() + 5), (std::vector<int>{400, 400, 280, 160, 40}));
}

TEST_F(PlayerTest, ForwardOnATitleShorterThanFiveSecondsResumesAtItsStart) {
    Titles({{"Kurz", 4000}});
    h.console.Key("f", 1500);
    PlaySelection(p);
    auto seeks = h.clockMedia.CommandsFrom(0, "seek ");
    ASSERT_EQ(seeks.size(), 1u);
    EXPECT_EQ(seeks[0].substr(seeks[0].size() - 5), " to 1");
}

TEST_F(PlayerTest, RewoundToTheStartAtLowVolumeTheTitlePlaysOn) {
    Titles({{"Leise", 20000}, {"Zweiter", 3000}});
    p.player.Volume = 50;
    h.console.Key("r", 5000);
    PlaySelection(p);
    // The title is played to its end, not taken for wrapped right after the resume.
    EXPECT_GT(h.clock.Milliseconds(), 5000 + 19000);
    EXPECT_EQ(PlayedLengths(), (std::vector<long long>{20000, 3000}));
}

TEST_F(PlayerTest, SkipTheComingTitle) {
    Titles({{"A", 6000}, {"B", 7000}, {"C", 8000}});
    h.console.Key("\xFC", 2500);  // in A: skip the coming B
    PlaySelection(p);
    EXPECT_EQ(PlayedLengths(), (std::vector<long long>{6000, 8000}));
    // The skipped title is no previous title: "V" in C does nothing.
    h.clockMedia.openedLengths.clear();
    h.console.Key("U", h.clock.Milliseconds() + 2500);
    h.console.Key("v", h.clock.Milliseconds() + 9000);
    PlaySelection(p);
    EXPECT_EQ(PlayedLengths(), (std::vector<long long>{6000, 8000}));
}

TEST_F(PlayerTest, BackToThePreviousAndOnToTheNext) {
    Titles({{"A", 6000}, {"B", 7000}, {"C", 8000}});
    h.console.Key("v", 9000);   // in B: back to A
    h.console.Key("g", 12000);  // in A again: straight on to the next
    PlaySelection(p);
    EXPECT_EQ(PlayedLengths(), (std::vector<long long>{6000, 7000, 6000, 7000, 8000}));
    // "V" fades out in steps of 70.
    auto v = Volumes();
    const std::vector<int> steps{400, 330, 260, 190, 120, 50};
    auto fade = std::search(v.begin(), v.end(), steps.begin(), steps.end());
    EXPECT_NE(fade, v.end());
}

TEST_F(PlayerTest, MouseDoubleClicksOnTheKeyLines) {
    Titles({{"A", 6000}, {"B", 7000}, {"C", 8000}});
    h.console.Click(16, 20, 1, 2, 2500);  // (ü)bergehen: skip B
    h.console.Click(14, 20, 1, 2, 9000);  // (g)leich: on to the next
    PlaySelection(p);
    EXPECT_EQ(PlayedLengths(), (std::vector<long long>{6000, 8000}));
    EXPECT_LT(h.clock.Milliseconds(), 12500);  // C did not play to its end
}

TEST_F(PlayerTest, EscStopsWithAFadeAndReturnsInInteractiveMode) {
    Titles({{"A", 20000}, {"B", 7000}});
    h.console.Key("\x1b", 3000);
    PlaySelection(p);
    EXPECT_EQ(PlayedLengths(), (std::vector<long long>{20000}));
    auto v = Volumes();
    EXPECT_EQ(std::vector<int>(v.end() - 4, v.end()), (std::vector<int>{400, 300, 200, 100}));
    EXPECT_LT(h.clock.Milliseconds(), 8000);
    EXPECT_EQ(h.clockMedia.OpenCount(), 0);
    EXPECT_EQ(p.con.ScreenRows, 22);
    // The work copies stay after an interactive run.
    EXPECT_TRUE(h.temp.Exists("tmp/0jetzt.wav"));
}

TEST_F(PlayerTest, EscInAutoModeEndsTheProgramAndDeletesTheWorkCopies) {
    Titles({{"A", 20000}, {"B", 7000}});
    p.settings.autoMode = "rock.pavuto";
    h.console.Key("\x1b", 3000);
    EXPECT_THROW(PlaySelection(p), ProgramEnd);
    EXPECT_FALSE(h.temp.Exists("tmp/0jetzt.wav"));
    EXPECT_FALSE(h.temp.Exists("tmp/0gleich.wav"));
    EXPECT_EQ(h.clockMedia.OpenCount(), 0);
}

TEST_F(PlayerTest, InAutoModeTheWindowIsResizedOnlyAtTheFirstStart) {
    Titles({{"A", 3000}});
    p.settings.autoMode = "rock.pavuto";
    PlaySelection(p);
    PlaySelection(p);
    PlaySelection(p);
    EXPECT_EQ(std::count(h.console.log.begin(), h.console.log.end(), "size 17x80"), 1);
    EXPECT_EQ(p.player.startCounter, 3);
    // With the foreground flag every start brings the window to the front.
    p.settings.foreground = 1;
    PlaySelection(p);
    EXPECT_EQ(std::count(h.console.log.begin(), h.console.log.end(), "size 17x80"), 2);
}

TEST_F(PlayerTest, NoSoundDevice) {
    Titles({{"A", 3000}});
    h.clockMedia.devices = 0;
    PlaySelection(p);
    EXPECT_EQ(h.console.beeps, 5);
    EXPECT_GE(h.clock.Milliseconds(), 5000);
    EXPECT_TRUE(h.clockMedia.commands.empty());
    EXPECT_NE(h.console.Dump().find("No sound device found!"), std::string::npos);
}

TEST_F(PlayerTest, ATitleThatCannotBeOpenedEndsThePlayer) {
    Titles({{"A", 3000}, {"B", 3000}});
    h.clockMedia.unplayable = {"0jetzt.wav"};
    PlaySelection(p);
    EXPECT_EQ(h.console.beeps, 3);
    EXPECT_TRUE(h.clockMedia.opened.empty());
    EXPECT_NE(h.console.Dump().find("     -- Can't open file! --"), std::string::npos);
    // An empty title cannot be opened either.
    h.console.beeps = 0;
    h.clockMedia.unplayable.clear();
    h.temp.Write("Musik/A.wav", "");
    PlaySelection(p);
    EXPECT_EQ(h.console.beeps, 3);
}

TEST_F(PlayerTest, AnEmptySelectionEndsAtOnce) {
    h.temp.Write("tmp/auswahlliste.m3u", "");
    h.temp.Write("tmp/0vorher.wav", "alt");
    PlaySelection(p);
    EXPECT_TRUE(h.clockMedia.commands.empty());
    EXPECT_FALSE(h.temp.Exists("tmp/0vorher.wav"));  // old work copies go at every start
    EXPECT_EQ(p.con.ScreenRows, 22);
}

TEST_F(PlayerTest, AMissingTitleLeavesThePlayerThroughTheErrorTrap) {
    Titles({{"A", 6000}, {"B", 3000}});
    std::filesystem::remove(h.temp.path() / "Musik" / "B.wav");
    EXPECT_THROW(PlaySelection(p), RuntimeError);
    // The title that was playing is stopped and closed, and the browser's
    // rows and directory are back.
    EXPECT_EQ(h.clockMedia.OpenCount(), 0);
    EXPECT_EQ(p.con.ScreenRows, 22);
    EXPECT_EQ(h.files->CurrentDirectory(), "C:\\");
}

TEST_F(PlayerTest, TimerMinutesInThePlayer) {
    Titles({{"A", 20000}, {"B", 20000}});
    p.timer.TimerMode = 1;
    p.timer.minutesText = "4";
    h.clock.SetTime(22, 0);
    // ArmTimer as at start-up.
    p.timer.nowMinute = 22 * 60;
    p.timer.EndMinute = 22 * 60 + 4;
    h.console.Key("d", 3000);
    Snapshot* before = SnapshotAt(2500);
    Snapshot* after = SnapshotAt(3300);
    h.console.Key("\x1b", 4000);
    PlaySelection(p);
    ASSERT_FALSE(before->rows.empty());
    ASSERT_FALSE(after->rows.empty());
    EXPECT_EQ(before->rows[14].substr(5, 7), "Ende in");
    EXPECT_EQ(before->rows[15].substr(3, 7), "(d)  4 ");
    EXPECT_EQ(after->rows[15].substr(3, 13), "(d)  5   (m) ");
    EXPECT_EQ(p.timer.EndMinute, 22 * 60 + 5);
}

// "g" must go on with the next title whenever one remains.
TEST_F(PlayerTest, GInTheLastTwoSecondsEndsThatTitleAndTheNextPlaysThrough) {
    Titles({{"A", 4000}, {"B", 5000}, {"C", 3000}});
    std::vector<long long> opens;
    h.clockMedia.onCommand = [&](const std::string& c) {
        if (c.rfind("open ", 0) == 0) opens.push_back(h.clock.Milliseconds());
    };
    h.console.Key("g", 3000);  // A waits out its last two seconds from 2070 ms on
    PlaySelection(p);
    EXPECT_EQ(PlayedLengths(), (std::vector<long long>{4000, 5000, 3000}));
    ASSERT_EQ(opens.size(), 3u);
    EXPECT_LT(opens[1], 3200) << "A ended at the key";
    EXPECT_GT(opens[2] - opens[1], 4800) << "B played to its end";
}

TEST_F(PlayerTest, GRightAfterATitleStartsGoesOnWithTheNextTitle) {
    Titles({{"A", 4000}, {"B", 5000}, {"C", 3000}});
    h.console.Key("g", 4500);  // B starts at 4020 ms; C is not copied yet
    PlaySelection(p);
    EXPECT_EQ(PlayedLengths(), (std::vector<long long>{4000, 5000, 3000}));
    EXPECT_LT(h.clock.Milliseconds(), 4000 + 5000 + 3000);  // B was cut short

    // The first title as well: "g" before the second title is copied.
    h.clockMedia.openedLengths.clear();
    h.console.Key("g", h.clock.Milliseconds() + 100);
    PlaySelection(p);
    EXPECT_EQ(PlayedLengths(), (std::vector<long long>{4000, 5000, 3000}));
    // And on the last title "g" ends the selection as before.
    h.clockMedia.openedLengths.clear();
    Titles({{"A", 3000}, {"B", 20000}});
    long long start = h.clock.Milliseconds();
    int opens = 0;
    h.clockMedia.onCommand = [&](const std::string& c) {
        if (c.rfind("open ", 0) == 0 && ++opens == 2) h.console.Key("g", h.clock.Milliseconds() + 2000);
    };
    PlaySelection(p);
    EXPECT_EQ(PlayedLengths(), (std::vector<long long>{3000, 20000}));
    EXPECT_LT(h.clock.Milliseconds() - start, 12000);
}

// A pause resumes where the title playing then was.
TEST_F(PlayerTest, PauseInTheFirstSecondOfATitleResumesThere) {
    Titles({{"A", 30000}, {"B", 40000}});
    int opens = 0;
    h.clockMedia.onCommand = [&](const std::string& c) {
        if (c.rfind("open ", 0) != 0 || ++opens != 2) return;
        h.console.Key("p", h.clock.Milliseconds() + 100);  // read in B's first pass
        h.console.Key(" ", h.clock.Milliseconds() + 6000);
    };
    PlaySelection(p);
    auto seeks = h.clockMedia.CommandsFrom(0, "seek ");
    ASSERT_EQ(seeks.size(), 1u);
    long long to = std::stoll(seeks[0].substr(seeks[0].rfind(' ') + 1));
    EXPECT_GE(to, 0);
    EXPECT_LT(to, 1500) << "not A's last position";
    EXPECT_EQ(PlayedLengths(), (std::vector<long long>{30000, 40000}));
}

TEST_F(PlayerTest, PauseRightAfterAScanResumesFromTheScansPosition) {
    Titles({{"Lang", 60000}});
    h.console.Key("f", 3000);
    int stops = 0, resumes = 0;
    h.clockMedia.onCommand = [&](const std::string& c) {
        long long now = h.clock.Milliseconds();
        if (c.rfind("stop ", 0) == 0 && ++stops == 1) h.console.Key("p", now + 200);  // the scan ends after two steps
        if (c.find(" repeat") != std::string::npos && ++resumes == 1) {
            // The fade in takes 1200 ms and discards what was typed; the
            // next "p" is read by the first pass after it.
            h.console.Key("p", now + 1230);
            h.console.Key(" ", now + 5000);
        }
    };
    PlaySelection(p);
    auto seeks = h.clockMedia.CommandsFrom(0, "seek ");
    ASSERT_EQ(seeks.size(), 2u);
    long long scanned = std::stoll(seeks[0].substr(seeks[0].rfind(' ') + 1));
    long long paused = std::stoll(seeks[1].substr(seeks[1].rfind(' ') + 1));
    EXPECT_GT(scanned, 10000);
    EXPECT_GE(paused, scanned);
    EXPECT_LT(paused, scanned + 1500) << "not where the scan started";
}

// "n" to the exit question after a hibernation draws the player again.
TEST_F(PlayerTest, NoToTheExitQuestionAfterAHibernationDrawsThePlayerAgain) {
    Titles({{"A", 3000}, {"B", 30000}});
    p.settings.hibernateLink = "C:\\Users\\anna\\Desktop\\Hibernate.link";
    h.clock.SetTime(1, 0);
    p.timer.TimerMode = 2;
    p.timer.minutesText = "30";
    p.timer.EndMinute = 59;  // due: the first test hibernates
    h.console.Key("\x1b", 3000);
    h.console.Key("n", 6000);
    Snapshot* during = SnapshotAt(40000);  // B plays
    h.console.Key("\x1b", 45000);
    PlaySelection(p);
    ASSERT_EQ(h.processes.started.size(), 1u);
    ASSERT_FALSE(during->rows.empty());
    for (const auto& row : during->rows) EXPECT_EQ(row.find("Programm beenden"), std::string::npos) << row;
    EXPECT_EQ(static_cast<unsigned char>(during->rows[11][0]), 201);  // the frame of the menu box
    EXPECT_EQ(static_cast<unsigned char>(during->rows[3][1]), 201);   // and of the list box
    EXPECT_EQ(during->rows[13].substr(17, 20), "zum Titel '(g)leich'");
    EXPECT_EQ(during->rows[12].substr(4, 10), "Lautst\x84rke");
    std::string jetzt = Centred("jetzt >>> ", "C:\\Musik\\B.wav");
    EXPECT_EQ(during->rows[6].substr(3, jetzt.size()), jetzt);
    EXPECT_EQ(during->rows[14].substr(5, 7), "Ende in");
}

}  // namespace
}  // namespace pavuto
