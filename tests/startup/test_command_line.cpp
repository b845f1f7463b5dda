#include <gtest/gtest.h>

#include "startup/start.hpp"
#include "startup/version_text.hpp"

using namespace pavuto;

TEST(CommandLine, NoArguments) {
    auto c = ParseCommandLine("");
    EXPECT_EQ(c.shutdownMode, 0);
    EXPECT_FALSE(c.switchGiven);
    EXPECT_EQ(c.autoMode, "");
    EXPECT_EQ(c.rest, "");
}

TEST(CommandLine, ConfigurationNameAndShutdown) {
    auto c = ParseCommandLine("MyList /Down 30");
    EXPECT_EQ(c.rest, "mylist");
    EXPECT_EQ(c.shutdownMode, 1);
    EXPECT_EQ(c.minutesText, "30");
    EXPECT_EQ(ParseCommandLine("mp3").rest, "mp3");

    c = ParseCommandLine("/downh 45");
    EXPECT_EQ(c.shutdownMode, 2);
    EXPECT_EQ(c.minutesText, "45");
    EXPECT_EQ(c.rest, "");

    c = ParseCommandLine("/down");
    EXPECT_EQ(c.shutdownMode, 1) << "the timer then uses its lower limit";
    EXPECT_EQ(c.minutesText, "");
    EXPECT_TRUE(c.switchGiven);

    c = ParseCommandLine("/down   ");
    EXPECT_EQ(c.shutdownMode, 0);
    EXPECT_TRUE(c.switchGiven);

    c = ParseCommandLine("jazz /down 20 extra");
    EXPECT_EQ(c.minutesText, "20 extra") << "everything after the switch";
    EXPECT_EQ(c.rest, "jazz");
}

TEST(CommandLine, AutomaticPlayback) {
    auto c = ParseCommandLine("/auto meine liste -");
    EXPECT_EQ(c.autoMode, "meine liste.pavuto");
    EXPECT_FALSE(c.blind);
    EXPECT_FALSE(c.noListName);

    c = ParseCommandLine("/blind Rock.pavuto /down 60");
    EXPECT_EQ(c.autoMode, "rock.pavuto");
    EXPECT_TRUE(c.blind);
    EXPECT_EQ(c.shutdownMode, 1);
    EXPECT_EQ(c.minutesText, "60");

    c = ParseCommandLine("/blind");
    EXPECT_TRUE(c.noListName);
    c = ParseCommandLine("/auto  - -");
    EXPECT_TRUE(c.noListName);
}

TEST(CommandLine, HelpMark) {
    auto c = ParseCommandLine("?");
    EXPECT_TRUE(c.help);
    EXPECT_EQ(c.rest, "?") << "the configuration named ? is asked for afterwards";
    EXPECT_FALSE(ParseCommandLine("jazz").help);
}

TEST(Environment, EntriesMatchByNameWithoutCase) {
    Text v;
    EXPECT_TRUE(EnvironmentValue("ComSpec=C:\\x\\cmd.exe", "COMSPEC", v));
    EXPECT_EQ(v, "C:\\x\\cmd.exe");
    EXPECT_TRUE(EnvironmentValue("TMP =C:\\t=x", "TMP", v));
    EXPECT_EQ(v, "C:\\t=x");
    EXPECT_FALSE(EnvironmentValue("TMPDIR=/tmp", "TMP", v));
    EXPECT_FALSE(EnvironmentValue("PAVUTOTMP=x", "PAVUTO", v));
}

TEST(VersionText, NtVersions) {
    auto nt = [](int major, int minor, int build) { return host::VersionRecord{major, minor, build, 2, ""}; };
    EXPECT_EQ(WindowsVersionText(nt(5, 0, 2195)), "Win 2000 :5.0 Build:2195");
    EXPECT_EQ(WindowsVersionText(nt(5, 1, 2600)), "Win XP :5.1 Build:2600");
    EXPECT_EQ(WindowsVersionText(nt(5, 2, 3790)), "Win Server2003 :5.2 Build:3790");
    EXPECT_EQ(WindowsVersionText(nt(6, 0, 6000)), "Win Vista :6.0 Build:6000");
    EXPECT_EQ(WindowsVersionText(nt(6, 1, 7601)), "Win 7 :6.1 Build:7601");
    EXPECT_EQ(WindowsVersionText(nt(6, 2, 9200)), "Win Server2008 :6.2 Build:9200");
    EXPECT_EQ(WindowsVersionText(nt(7, 0, 1)), "Win 8 :7.0 Build:1");
    EXPECT_EQ(WindowsVersionText(nt(10, 0, 19045)), "Windows (x) :10.0 Build:19045");
}

TEST(VersionText, OlderPlatforms) {
    auto old = [](int minor, const char* sp) { return host::VersionRecord{4, minor, 950, 1, sp}; };
    EXPECT_EQ(WindowsVersionText(old(0, "")), "Win 95");
    EXPECT_EQ(WindowsVersionText(old(0, " A ")), "Win 95 OSR1");
    EXPECT_EQ(WindowsVersionText(old(0, " B ")), "Win 95 OSR2");
    EXPECT_EQ(WindowsVersionText(old(0, "AB")), "Win 95 OSR2");
    EXPECT_EQ(WindowsVersionText(old(10, "")), "Win 98 ");
    EXPECT_EQ(WindowsVersionText(old(10, " A ")), "Win 98  SE");
    EXPECT_EQ(WindowsVersionText(old(90, "A")), "Win ME");
    EXPECT_EQ(WindowsVersionText(old(3, "")), "Win4.3");
}

TEST(VersionText, OnlyXpIsClassTwo) {
    EXPECT_EQ(WindowsClassOf("Win XP :5.1 Build:2600"), 2);
    EXPECT_EQ(WindowsClassOf("Win 7 :6.1 Build:7601"), 3);
    EXPECT_EQ(WindowsClassOf("Win 98  SE"), 3);
    EXPECT_EQ(WindowsClassOf("Linux 6.1.0 x86_64"), 3);
}
