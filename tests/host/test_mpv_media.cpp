// The media device on libmpv, with mpv's null audio output, on files the
// tests write themselves. libmpv plays in real time, so these tests wait
// real (short, bounded) time.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "host/posix/mpv_media.hpp"
#include "support/test_host.hpp"

namespace pavuto {
namespace {

using host::posix::MpvMedia;
using host::posix::MpvOptions;

MpvOptions NullOutput() {
    MpvOptions o;
    o.audioOutput = "null";
    o.showVideo = false;
    return o;
}

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class MpvMediaTest : public ::testing::Test {
protected:
    test::TestHost h;
    MpvMedia media{*h.files, NullOutput()};

    int Send(const std::string& command) {
        std::string result;
        return media.Send(command, result);
    }
    long long Status(const std::string& alias, const std::string& what) {
        std::string result;
        EXPECT_EQ(media.Send("status " + alias + " " + what, result), 0) << what;
        return std::stoll(result.empty() ? "-1" : result);
    }
    // Polls (real time, bounded) until the position reaches at least ms.
    long long WaitForPosition(const std::string& alias, long long ms, int limitMs = 4000) {
        long long pos = -1;
        for (int waited = 0; waited < limitMs; waited += 20) {
            pos = Status(alias, "position");
            if (pos >= ms) break;
            Sleep(20);
        }
        return pos;
    }
};

TEST_F(MpvMediaTest, OpensAWavFileAndReportsItsLengthAndAdvancingPosition) {
    h.temp.Write("0jetzt.wav", test::SineWav(3000));
    ASSERT_EQ(Send("open 0jetzt.wav type MPEGVideo alias 0001E240"), 0);
    EXPECT_EQ(Send("set 0001E240 time format ms"), 0);
    EXPECT_NEAR(Status("0001E240", "length"), 3000, 60);
    EXPECT_EQ(Status("0001E240", "position"), 0);  // loaded paused at its start

    ASSERT_EQ(Send("play 0001E240"), 0);
    long long pos = WaitForPosition("0001E240", 400);
    EXPECT_GE(pos, 400);
    EXPECT_LT(pos, 2500);

    // Stopped, it stays where it is.
    ASSERT_EQ(Send("stop 0001E240"), 0);
    long long stopped = Status("0001E240", "position");
    Sleep(300);
    EXPECT_NEAR(Status("0001E240", "position"), stopped, 30);

    ASSERT_EQ(Send("close 0001E240"), 0);
    std::string result;
    EXPECT_NE(media.Send("status 0001E240 position", result), 0);
}

TEST_F(MpvMediaTest, PlaysToTheEndAndStaysThere) {
    h.temp.Write("kurz.wav", test::SineWav(800));
    ASSERT_EQ(Send("open kurz.wav type MPEGVideo alias 00000001"), 0);
    long long length = Status("00000001", "length");
    ASSERT_EQ(Send("play 00000001"), 0);
    long long pos = WaitForPosition("00000001", length - 20, 3000);
    EXPECT_NEAR(pos, length, 60);
    Sleep(200);
    EXPECT_NEAR(Status("00000001", "position"), length, 60);
    Send("close 00000001");
}

TEST_F(MpvMediaTest, SeeksAndLoopsFromTheStartWhenPlayedWithRepeat) {
    h.temp.Write("loop.wav", test::SineWav(2000));
    ASSERT_EQ(Send("open loop.wav type MPEGVideo alias 0000ABCD"), 0);
    ASSERT_EQ(Send("seek 0000ABCD to 1500"), 0);
    Sleep(100);
    EXPECT_NEAR(Status("0000ABCD", "position"), 1500, 60);

    ASSERT_EQ(Send("play 0000ABCD repeat"), 0);
    // 500 ms to the end, then it starts over: within a second the position
    // is found back near the start.
    bool wrapped = false;
    for (int waited = 0; waited < 2500 && !wrapped; waited += 20) {
        if (Status("0000ABCD", "position") < 600) wrapped = true;
        Sleep(20);
    }
    EXPECT_TRUE(wrapped);
    Send("close 0000ABCD");
}

TEST_F(MpvMediaTest, VolumeMapsOntoTheSameScale) {
    h.temp.Write("laut.wav", test::SineWav(1000));
    ASSERT_EQ(Send("open laut.wav type MPEGVideo alias 00000002"), 0);
    EXPECT_EQ(Send("setaudio 00000002 volume to 400"), 0);
    EXPECT_EQ(Status("00000002", "volume"), 400);
    EXPECT_EQ(Send("setaudio 00000002 volume to 999"), 0);
    EXPECT_EQ(Status("00000002", "volume"), 999);
    EXPECT_EQ(Send("setaudio 00000002 volume to 1"), 0);
    EXPECT_EQ(Status("00000002", "volume"), 1);
    // Not a number: refused, the volume stays.
    EXPECT_NE(Send("setaudio 00000002 volume to laut"), 0);
    EXPECT_EQ(Status("00000002", "volume"), 1);
    Send("close 00000002");
}

TEST_F(MpvMediaTest, OpenFailsForMissingEmptyAndUnplayableFiles) {
    EXPECT_NE(Send("open fehlt.wav type MPEGVideo alias 00000003"), 0);
    h.temp.Write("leer.mp3", "");
    EXPECT_NE(Send("open leer.mp3 type MPEGVideo alias 00000004"), 0);
    h.temp.Write("kaputt.mp3", std::string(4000, '\0'));
    EXPECT_NE(Send("open kaputt.mp3 type MPEGVideo alias 00000005"), 0);
    // A failed open leaves no device behind.
    std::string result;
    EXPECT_NE(media.Send("status 00000004 length", result), 0);
    EXPECT_NE(media.Send("play 00000005", result), 0);
}

TEST_F(MpvMediaTest, PathsAreRelativeToTheCurrentDirectoryAndMayHoldBlanks) {
    h.temp.Write("tmp/mein titel.wav", test::SineWav(500));
    h.files->ChangeDirectory("C:\\tmp");
    std::string shortPath;
    ASSERT_TRUE(media.ShortPath("mein titel.wav", shortPath));
    EXPECT_EQ(shortPath, "mein titel.wav");
    EXPECT_FALSE(media.ShortPath("fehlt.wav", shortPath));
    ASSERT_EQ(Send("open " + shortPath + " type MPEGVideo alias 00000006"), 0);
    EXPECT_NEAR(Status("00000006", "length"), 500, 60);
    // An alias is one device: a second open under it is refused.
    EXPECT_NE(Send("open mein titel.wav type MPEGVideo alias 00000006"), 0);
    Send("close 00000006");
}

TEST_F(MpvMediaTest, RejectsCommandsItDoesNotKnow) {
    h.temp.Write("a.wav", test::SineWav(500));
    ASSERT_EQ(Send("open a.wav type MPEGVideo alias 00000007"), 0);
    EXPECT_NE(Send("pause 00000007"), 0);
    EXPECT_NE(Send("seek 00000007 to"), 0);
    EXPECT_NE(Send("status 00000007 mode"), 0);
    EXPECT_NE(Send("play 00000008"), 0);  // no such alias
    EXPECT_EQ(Send("close 00000007"), 0);
}

TEST_F(MpvMediaTest, CountsOneDeviceForTheNullOutput) { EXPECT_EQ(media.WaveOutDevices(), 1); }

// Compressed formats, where the machine can make them (ffmpeg).
TEST_F(MpvMediaTest, OpensCompressedFormats) {
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) GTEST_SKIP() << "ffmpeg not installed";
    h.temp.Write("quelle.wav", test::SineWav(2000, 22050));
    std::string dir = h.temp.path().string();
    for (std::string ext : {"mp3", "ogg", "flac"}) {
        std::string cmd = "ffmpeg -loglevel error -y -i '" + dir + "/quelle.wav' '" + dir + "/titel." + ext + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << ext;
        ASSERT_EQ(Send("open titel." + ext + " type MPEGVideo alias 0000000A"), 0) << ext;
        EXPECT_NEAR(Status("0000000A", "length"), 2000, 120) << ext;
        Send("close 0000000A");
    }
}

}  // namespace
}  // namespace pavuto

namespace pavuto {
namespace {

// Whether a shared object whose path holds the text is mapped into this process.
bool Mapped(const std::string& text) {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find('/') != std::string::npos && line.find(text) != std::string::npos) return true;
    return false;
}

// libmpv and the decoders come with the first title opened, not before:
// counting the outputs, short paths and commands for no open title need
// none of it. Tells on standard error what it saw; exits 0 when all is so.
int LoadedOnlyWhenATitleIsOpened() {
    test::TestHost h;
    MpvMedia media{*h.files, NullOutput()};
    h.temp.Write("a.wav", test::SineWav(500));
    std::string result, shortPath;
    bool before = media.WaveOutDevices() == 1 && media.ShortPath("a.wav", shortPath) &&
                  media.Send("status 00000001 position", result) != 0 && !media.Loaded() &&
                  !MpvMedia::LibraryLoaded() && !Mapped("libmpv") && !Mapped("libavcodec");
    bool after = media.Send("open a.wav type MPEGVideo alias 00000001", result) == 0 && media.Loaded() &&
                 MpvMedia::LibraryLoaded() && Mapped("libmpv") && Mapped("libavcodec");
    std::fprintf(stderr, "before %d after %d\n", before, after);
    return before && after ? 0 : 1;
}

// In a process of its own: the other tests here have loaded libmpv.
TEST(MpvLibrary, IsMappedOnlyOnceATitleIsOpened) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::_Exit(LoadedOnlyWhenATitleIsOpened()), ::testing::ExitedWithCode(0), "before 1 after 1");
}

// Without a libmpv every open fails as for a title that cannot be played;
// the device stays usable for everything else.
TEST(MpvLibrary, ALibraryThatCannotBeLoadedFailsEveryOpen) {
    test::TestHost h;
    MpvOptions options = NullOutput();
    options.libraryNames = {"libpavuto-kein-mpv.so.2", "/nirgends/libmpv.so"};
    MpvMedia media{*h.files, options};
    h.temp.Write("a.wav", test::SineWav(500));
    std::string result;
    EXPECT_EQ(media.Send("open a.wav type MPEGVideo alias 00000001", result), MpvMedia::kCannotOpen);
    EXPECT_EQ(media.Send("open a.wav type MPEGVideo alias 00000002", result), MpvMedia::kCannotOpen);
    EXPECT_FALSE(media.Loaded());
    EXPECT_EQ(media.Send("play 00000001", result), MpvMedia::kInvalidDevice);
    EXPECT_EQ(media.WaveOutDevices(), 1);
}

}  // namespace
}  // namespace pavuto
