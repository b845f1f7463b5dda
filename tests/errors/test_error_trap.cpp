#include <gtest/gtest.h>

#include "support/test_host.hpp"

using namespace pavuto;

namespace {
struct TrapTest : ::testing::Test {
    test::TestHost h;
    Program p{h.host};
    int row(int fromBottom) const { return p.con.ScreenRows - fromBottom; }
};
}  // namespace

TEST_F(TrapTest, TextsOfTheErrorNumbers) {
    EXPECT_EQ(ErrorText(53), "File not found");
    EXPECT_EQ(ErrorText(9), "Subscript/Pointer out of range");
    EXPECT_EQ(ErrorText(75), "Path/file access error");
    EXPECT_EQ(ErrorText(242), "String space corrupt");
    EXPECT_EQ(ErrorText(1), "");
}

TEST_F(TrapTest, AMissingFileRestartsAfterAKey) {
    h.console.Key("x");
    bool restarted = false;
    try {
        Attempt(p, [&] { throw RuntimeError(53); });
    } catch (const RestartProgram&) {
        restarted = true;
    }
    EXPECT_TRUE(restarted);
    EXPECT_EQ(h.console.Text(row(3), 7, 36), ">>Fehler: 53 , 0 ,File not found<<  ");
    EXPECT_EQ(h.console.Pending(), 0u);
}

TEST_F(TrapTest, ALockedFileIsRetriedFiftyTimesThenSkipped) {
    int tries = 0;
    p.player.previousName = "C:\\Musik\\Song.mp3";
    h.console.Key("x");
    long long start = h.clock.Milliseconds();
    bool done = Attempt(p, [&] {
        ++tries;
        throw RuntimeError(70);
    });
    EXPECT_FALSE(done);
    EXPECT_EQ(tries, 50);
    EXPECT_GE(h.clock.Milliseconds() - start, 49 * 50);
    // The message follows the error line; the name stands on the row below.
    EXPECT_EQ(RTrim(h.console.Text(row(3), 7)), ">>Fehler: 70 , 0 ,Permission denied<< zur Zeit kein Zugriff..");
    EXPECT_EQ(h.console.Text(row(2), 1, 23), "      C:\\Musik\\Song.mp3");
    EXPECT_EQ(p.errors.retryCount, 0);

    // The next locked file starts again at one; a success ends the run.
    tries = 0;
    bool ok = Attempt(p, [&] {
        if (++tries < 3) throw RuntimeError(75);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(tries, 3);
    EXPECT_EQ(p.errors.retryCount, 0);
}

TEST_F(TrapTest, AMissingPathIsSkippedAfterAKey) {
    h.console.Key("x");
    int after = 0;
    bool done = Attempt(p, [&] { throw RuntimeError(76); });
    ++after;
    EXPECT_FALSE(done);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(RTrim(h.console.Text(row(3), 7)), ">>Fehler: 76 , 0 ,Path not found<< Pfad nicht gefunden ...");
}

TEST_F(TrapTest, TheThirdArrayErrorEndsTheProgram) {
    p.window.Titles[5] = "x";
    p.browser.Marks[5] = 3;
    for (int i = 1; i <= 3; ++i) {
        h.console.Key("x");
        try {
            Attempt(p, [&] { throw RuntimeError(9); });
            FAIL() << "the handler must not go on after the statement";
        } catch (const RestartProgram&) {
            EXPECT_LT(i, 3);
        } catch (const ProgramEnd&) {
            EXPECT_EQ(i, 3);
        }
        EXPECT_EQ(h.console.Pending(), 0u) << "one key per error";
    }
    EXPECT_EQ(p.window.Titles[5], kEmptySlot);
    EXPECT_EQ(p.browser.Marks[5], 0);
}

TEST_F(TrapTest, OtherErrorsEndTheProgram) {
    h.console.Key("x");
    EXPECT_THROW(Attempt(p, [&] { throw RuntimeError(7); }), ProgramEnd);
    EXPECT_EQ(RTrim(h.console.Text(row(3), 7)), ">>Fehler: 7 , 0 ,Out of memory<< zu wenig speicher ...");
    h.console.Key("x");
    EXPECT_THROW(Attempt(p, [&] { throw RuntimeError(71); }), ProgramEnd);
}

TEST_F(TrapTest, ASpecialHandlerHoldsForItsScopeOnly) {
    int special = 0;
    {
        ArmedScope scope(p, [&](Program&, const RuntimeError&) {
            ++special;
            return Continuation::GoOn(Point::OptionsMenu);
        });
        try {
            Attempt(p, [] { throw RuntimeError(53); });
            FAIL();
        } catch (const GoOnAt& g) {
            EXPECT_EQ(g.point, Point::OptionsMenu);
        }
    }
    EXPECT_EQ(special, 1);
    h.console.Key("x");
    EXPECT_THROW(Attempt(p, [] { throw RuntimeError(53); }), RestartProgram);
    EXPECT_EQ(special, 1);
}

TEST_F(TrapTest, ConfirmExitAnswers) {
    // The question discards what was typed before it: answers come later.
    auto later = [&] { return h.clock.Milliseconds() + 500; };
    h.console.Key("n", later());
    ConfirmExit(p);
    EXPECT_EQ(h.console.Text(1, 1, 23), " Programm beenden ? J/N");
    EXPECT_EQ(p.con.KeyText, "");
    h.console.Key(keys::Esc, later());
    ConfirmExit(p);
    h.console.Key("J", later());
    EXPECT_THROW(ConfirmExit(p), ProgramEnd);
    h.console.Key("y", later());
    EXPECT_THROW(ConfirmExit(p), ProgramEnd);
    h.console.Click(5, 5, 2, 1, later());
    EXPECT_THROW(ConfirmExit(p), ProgramEnd);
}

TEST_F(TrapTest, ConfirmExitIgnoresKeysPressedBeforeTheQuestion) {
    h.console.Key("j");  // already pending: discarded, so this does not end the program
    h.console.Key("n", 1000);
    EXPECT_NO_THROW(ConfirmExit(p));
    EXPECT_GE(h.clock.Milliseconds(), 1000);
}

TEST_F(TrapTest, EndingInAutoModeDeletesTheWorkCopies) {
    h.temp.Write("tmp/0vorher.mp3", "a");
    h.temp.Write("tmp/0jetzt.mp3", "b");
    h.temp.Write("tmp/keep.mp3", "c");
    p.settings.tempDirectory = "C:\\tmp\\";
    EXPECT_THROW(EndProgram(p), ProgramEnd);
    EXPECT_TRUE(h.temp.Exists("tmp/0vorher.mp3")) << "interactive runs keep them";
    p.settings.autoMode = "rock.pavuto";
    EXPECT_THROW(EndProgram(p), ProgramEnd);
    EXPECT_FALSE(h.temp.Exists("tmp/0vorher.mp3"));
    EXPECT_FALSE(h.temp.Exists("tmp/0jetzt.mp3"));
    EXPECT_TRUE(h.temp.Exists("tmp/keep.mp3"));
}

// In endless playback a message's wait for a key ends by itself;
// Esc asks whether to end, as everywhere in endless playback.
TEST_F(TrapTest, InEndlessPlaybackAMessageWaitsOnlyAShortTime) {
    p.settings.autoMode = "rock.pavuto";
    long long start = h.clock.Milliseconds();
    EXPECT_FALSE(Attempt(p, [&] { throw RuntimeError(76); }));
    const std::string message = ">>Fehler: 76 , 0 ,Path not found<< Pfad nicht gefunden ...";
    EXPECT_EQ(h.console.Text(row(3), 7, static_cast<int>(message.size())), message);
    EXPECT_GE(h.clock.Milliseconds() - start, kEndlessMessageMilliseconds);
    EXPECT_LT(h.clock.Milliseconds() - start, kEndlessMessageMilliseconds + 200);

    // A key ends it at once; Esc asks the exit question first.
    h.console.Key("x", h.clock.Milliseconds() + 1000);
    start = h.clock.Milliseconds();
    EXPECT_FALSE(Attempt(p, [&] { throw RuntimeError(76); }));
    EXPECT_LT(h.clock.Milliseconds() - start, 1200);
    h.console.Key("\x1b", h.clock.Milliseconds() + 1000);
    h.console.Key("j", h.clock.Milliseconds() + 2000);
    EXPECT_THROW(Attempt(p, [&] { throw RuntimeError(76); }), ProgramEnd);
    EXPECT_EQ(h.console.Text(1, 1, 23), " Programm beenden ? J/N");

    // Outside endless playback the message waits for the key however long.
    p.settings.autoMode.clear();
    h.console.idleLimitMs = 60LL * 60 * 1000;
    h.console.Key("x", h.clock.Milliseconds() + 30LL * 60 * 1000);
    start = h.clock.Milliseconds();
    EXPECT_FALSE(Attempt(p, [&] { throw RuntimeError(76); }));
    EXPECT_GE(h.clock.Milliseconds() - start, 30LL * 60 * 1000);
}
