// The internal player on the real media device (libmpv, null audio output)
// and the real clock: two short titles played through to their end.
#include <gtest/gtest.h>

#include <chrono>

#include "host/posix/mpv_media.hpp"
#include "host/posix/posix_clock.hpp"
#include "playback/player.hpp"
#include "support/test_host.hpp"

namespace pavuto {
namespace {

TEST(PlayerOnMpv, PlaysTwoGeneratedTitlesToTheirEnd) {
    test::TestHost h;
    host::posix::MpvOptions options;
    options.audioOutput = "null";
    host::posix::MpvMedia media(*h.files, options);
    host::posix::PosixClock clock;
    host::Host real{h.console, clock, *h.files, h.processes, h.environment, media, h.system, h.shell};
    Program p(real);
    h.console.SetSize(22, 80);
    p.con.ScreenRows = 22;
    p.con.ScreenColumns = 80;
    p.settings.tempDirectory = "C:\\tmp\\";
    p.settings.listExtension = ".wav";
    h.temp.Write("tmp/.keep", "");
    h.temp.Write("Musik/Eins.wav", test::SineWav(1500, 22050, 440));
    h.temp.Write("Musik/Zwei.wav", test::SineWav(1800, 22050, 660));
    h.temp.Write("tmp/auswahlliste.m3u", "C:\\Musik\\Eins.wav\r\nC:\\Musik\\Zwei.wav\r\n");

    auto start = std::chrono::steady_clock::now();
    PlaySelection(p);
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    EXPECT_EQ(h.console.beeps, 0);
    EXPECT_EQ(h.console.Dump().find("Can't open file"), std::string::npos);
    // Both played: the first is now the previous title, the second the current one.
    EXPECT_EQ(h.temp.Read("tmp/0vorher.wav"), h.temp.Read("Musik/Eins.wav"));
    EXPECT_EQ(h.temp.Read("tmp/0jetzt.wav"), h.temp.Read("Musik/Zwei.wav"));
    // In real time: about the two lengths, with the pauses around the titles.
    EXPECT_GT(seconds, 2.5);
    EXPECT_LT(seconds, 15.0);
}

}  // namespace
}  // namespace pavuto
