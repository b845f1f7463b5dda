// The real pavuto-cmd on batch files written here. Drive C: is a temporary
// directory, P: holds stand-in players, and a recording stand-in for xdg-open
// comes first on PATH.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/posix/command_interpreter.hpp"
#include "host/posix/posix_clock.hpp"
#include "host/posix/posix_processes.hpp"
#include "host/posix/posix_filesystem.hpp"
#include "support/test_host.hpp"

namespace pavuto::test {
namespace {

namespace fs = std::filesystem;
using host::WindowStyle;
using host::posix::DriveMap;
using host::posix::PosixFileSystem;
using host::posix::PosixProcesses;
using Args = std::vector<std::string>;

class CommandInterpreterTest : public ::testing::Test {
protected:
    TempDir root;
    fs::path c = root.path() / "c", p = root.path() / "p", bin = root.path() / "bin";
    PosixFileSystem hostFiles{DriveMap{{{'C', "/"}}}};
    PosixProcesses runner{hostFiles, nullptr, PAVUTO_BIN_DIR};

    void SetUp() override {
        fs::create_directories(c / "Arbeit");
        fs::create_directories(c / "tmp");
        fs::create_directories(p);
        fs::create_directories(bin);
        // Each call: a file of its own, made whole before it appears (the
        // calls run at the same time): the number of arguments, then each
        // argument ended by NUL.
        fs::create_directories(root.path() / "opened");
        std::string opened = (root.path() / "opened").string();
        Script(bin / "xdg-open", "t=" + opened + "/.t$$\n{ printf '%s\\n' \"$#\"; for a in \"$@\"; do printf '%s\\0' \"$a\"; done; } > \"$t\"\n"
                                 "mv \"$t\" " + opened + "/call$$\n");
        Script(p / "player", "sleep 0.2\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done >> " +
                                 (root.path() / "played").string() + "\n");
        environment = {"PATH=" + bin.string() + ":/usr/bin:/bin", "PAVUTO_DRIVES=C=" + c.string() + ";P=" + p.string(),
                       "TMPDIR=" + (c / "tmp").string(), "HOME=" + (c / "home").string()};
    }
    Args environment;  // of pavuto-cmd

    static void Script(const fs::path& path, const std::string& body) {
        std::ofstream(path, std::ios::binary) << "#!/bin/sh\n" << body;
        fs::permissions(path, fs::perms::owner_all);
    }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void WriteCmd(const std::string& name, const std::string& lines) {
        std::ofstream(c / name, std::ios::binary) << lines;
    }

    // Runs pavuto-cmd with these arguments in C:\ and returns its exit status.
    int Run(Args arguments) {
        std::string program = std::string(PAVUTO_BIN_DIR) + "/pavuto-cmd";
        arguments.insert(arguments.begin(), program);
        runner.SetEnvironment(environment);
        runner.Run({program, arguments, c.string()}, WindowStyle::Hidden, true);
        return runner.LastExitStatus();
    }

    // The calls of the xdg-open stand-in, sorted, once `count` have arrived
    // (it runs detached, on its own time), or after `rounds` looks 10 ms apart.
    std::vector<Args> Opened(size_t count, int rounds = 500) {
        host::posix::PosixClock clock;
        std::vector<Args> calls;
        for (int i = 0; i < rounds; ++i) {
            calls.clear();
            for (auto& e : fs::directory_iterator(root.path() / "opened")) {
                if (e.path().filename().string().rfind("call", 0) != 0) continue;
                std::string bytes = Read(e.path());
                size_t nl = bytes.find('\n');
                Args call = SplitNul(bytes.substr(nl + 1));
                EXPECT_EQ(std::to_string(call.size()), bytes.substr(0, nl));
                calls.push_back(call);
            }
            if (calls.size() >= count) break;
            clock.Pause(10);
        }
        std::sort(calls.begin(), calls.end());
        return calls;
    }
    static Args SplitNul(const std::string& bytes) {
        Args out;
        size_t i = 0;
        for (size_t z; (z = bytes.find('\0', i)) != std::string::npos; i = z + 1) out.push_back(bytes.substr(i, z - i));
        return out;
    }
    // Any file whose name begins with "pwned", anywhere below the test's root
    // or in the directory the tests run in.
    bool Pwned() {
        for (auto& e : fs::recursive_directory_iterator(root.path()))
            if (e.path().filename().string().rfind("pwned", 0) == 0) return true;
        for (auto& e : fs::directory_iterator(fs::current_path()))
            if (e.path().filename().string().rfind("pwned", 0) == 0) return true;
        return false;
    }
};

TEST_F(CommandInterpreterTest, AFileNameIsDataWhateverItHolds) {
    const Args names = {"a\"b&c|d;e$f.mp3", "x`touch pwned1`y.mp3", "z$(touch pwned2).mp3", "s; touch pwned3 &.mp3",
                        "100%cd% Hits.mp3"};
    fs::create_directories(c / "Musik");
    std::string lines = "@echo off\r\nC:\r\ncd \"\\Musik\"\r\n";
    for (const auto& n : names) {
        std::ofstream(c / "Musik" / n) << "x";
        lines += "\"" + n + "\"\r\n";
    }
    lines += "\"P:\\player\" \"a;b && touch pwned4\" \"$(touch pwned5)\" `touch pwned6` a&b|c\r\n";
    WriteCmd("auswahlliste.cmd", lines);

    EXPECT_EQ(Run({"/C", "C:\\auswahlliste.cmd"}), 0);
    // The player was waited for: its record is complete now.
    EXPECT_EQ(SplitNul(Read(root.path() / "played")),
              (Args{"a;b && touch pwned4", "$(touch pwned5)", "`touch", "pwned6`", "a&b|c"}));
    std::vector<Args> expected;
    for (const auto& n : names) expected.push_back({(c / "Musik" / n).string()});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Opened(names.size()), expected);
    EXPECT_FALSE(Pwned());
}

TEST_F(CommandInterpreterTest, SetEchoAndTheVariables) {
    Script(p / "envdump", "printf '%s|%s|%s' \"$Name\" \"$pavuto\" \"$PAVUTO\" > " + (root.path() / "env").string() + "\n");
    environment.push_back("PAVUTO=/alt/pavuto");
    WriteCmd("pavuto.cmd",
             "@Echo off\r\n"
             "Rem    eine Bemerkung >C:\\rem.txt\r\n"
             "set Name=Wert mit Blank\r\n"
             "set pavuto=C:\\home\\anna\r\n"
             "cd \\Arbeit\r\n"
             "echo %NAME% in %cd% mit %1 und %2.>C:\\out.txt\r\n"
             "echo %%1 %%2 %%3 %%4>>C:\\out.txt\r\n"
             "echo tmp=%tmp% temp=%TEMP% 50%>>\"C:\\out.txt\"\r\n"
             "echo M\xE4rz \x80 \xE1>>C:\\out.txt\r\n"
             "echo Echo off>neu.cmd\r\n"
             "echo set pavuto=%cd%>>neu.cmd\r\n"
             "@P:\\envdump %1 %2 %3 %4\r\n"
             "exit\r\n"
             "echo nach exit>C:\\exit.txt\r\n");
    EXPECT_EQ(Run({"/c", "C:\\pavuto.cmd", "eins"}), 0);
    EXPECT_EQ(Read(c / "out.txt"),
              "Wert mit Blank in C:\\Arbeit mit eins und .\r\n"
              "%1 %2 %3 %4\r\n"
              "tmp=C:\\tmp temp=C:\\tmp 50%\r\n"
              "M\xE4rz \x80 \xE1\r\n");
    EXPECT_EQ(Read(c / "Arbeit/neu.cmd"), "Echo off\r\nset pavuto=C:\\Arbeit\r\n");
    EXPECT_EQ(Read(root.path() / "env"), "Wert mit Blank|C:\\home\\anna|")
        << "set reaches the started programs and replaces a name of any case";
    EXPECT_FALSE(fs::exists(c / "rem.txt"));
    EXPECT_FALSE(fs::exists(c / "exit.txt"));
}

TEST_F(CommandInterpreterTest, NamesWrittenInTheConsoleCodePageFindTheirFiles) {
    fs::create_directories(c / "M\xC3\xBCsik");  // Müsik
    for (const char* n : {"K\xC3\xA4se.mp3", "Caf\xC3\xA1.mp3", "Stra\xC3\x9F" "e.mp3"})  // Käse, Café (á), Straße
        std::ofstream(c / "M\xC3\xBCsik" / n) << "x";
    WriteCmd("auswahlliste.cmd",
             "@echo off\r\n"
             "C:\r\n"
             "cd \"\\M\x81sik\"\r\n"       // ü in code page 850
             "\"K\x84se.mp3\"\r\n"         // ä in code page 850
             "\"Caf\xE1.mp3\"\r\n"         // á in Windows-1252 (ß in code page 850)
             "\"Stra\xE1" "e.mp3\"\r\n");  // ß in code page 850
    EXPECT_EQ(Run({"/C", (c / "auswahlliste.cmd").string()}), 0);
    std::vector<Args> expected = {{(c / "M\xC3\xBCsik/K\xC3\xA4se.mp3").string()},
                                  {(c / "M\xC3\xBCsik/Caf\xC3\xA1.mp3").string()},
                                  {(c / "M\xC3\xBCsik/Stra\xC3\x9F" "e.mp3").string()}};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Opened(3), expected);
}

TEST_F(CommandInterpreterTest, AnyOtherFileOpensWithTheDesktopsAssociation) {
    std::ofstream(c / "Bild 1.png") << "x";
    EXPECT_EQ(Run({"/C", "C:\\Bild 1.png"}), 0);
    EXPECT_EQ(Run({"/C", (c / "Bild 1.png").string()}), 0);
    auto opened = Opened(2);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], Args{(c / "Bild 1.png").string()});
    EXPECT_EQ(opened[1], Args{(c / "Bild 1.png").string()});
}

// The program's playlist (drive paths, Windows-1252, CR LF) reaches the
// desktop as a copy with host paths in UTF-8, in its order; the program's
// file stays as it is.
TEST_F(CommandInterpreterTest, APlaylistGoesToTheDesktopAsACopyWithHostPaths) {
    fs::create_directories(c / "Musik");
    for (const char* name : {"Eins.mp3", "Zwei.mp3", "S\xC3\xBC\xC3\x9F.mp3"}) std::ofstream(c / "Musik" / name) << "x";
    const std::string original = "C:\\Musik\\S\xFC\xDF.mp3\r\nC:\\Musik\\fehlt.mp3\r\nC:\\musik\\EINS.mp3\r\nC:\\Musik\\Zwei.mp3\r\n";
    std::ofstream(c / "tmp" / "auswahlliste.m3u", std::ios::binary) << original;
    WriteCmd("liste.cmd", "@echo off\r\nC:\r\ncd \"\\tmp\"\r\n\"auswahlliste.m3u\"\r\n");
    EXPECT_EQ(Run({"/C", "C:\\tmp\\auswahlliste.m3u"}), 0);
    EXPECT_EQ(Run({"/C", "C:\\liste.cmd"}), 0);
    auto opened = Opened(2);
    ASSERT_EQ(opened.size(), 2u);
    const std::string expected = (c / "Musik/S\xC3\xBC\xC3\x9F.mp3").string() + "\n" + (c / "Musik/Eins.mp3").string() +
                                 "\n" + (c / "Musik/Zwei.mp3").string() + "\n";
    for (const Args& call : opened) {
        ASSERT_EQ(call.size(), 1u);
        const fs::path copy = call[0];
        EXPECT_EQ(copy.filename(), "auswahlliste.m3u");
        EXPECT_EQ(copy.parent_path().parent_path(), c / "tmp") << "in TMPDIR of the interpreter";
        EXPECT_EQ(Read(copy), expected);
    }
    EXPECT_NE(opened[0][0], opened[1][0]) << "a copy for each hand-over";
    EXPECT_EQ(Read(c / "tmp" / "auswahlliste.m3u"), original);

    // A player given with the entry under the cursor gets a copy too.
    std::ofstream(c / "Musik" / "Liste.m3u", std::ios::binary) << "Zwei.mp3\r\nfehlt.mp3\r\n";
    WriteCmd("auswahlliste.cmd", "C:\r\ncd \\Musik\r\n\"P:\\player\" \"Liste.m3u\"\r\n");
    EXPECT_EQ(Run({"/C", "C:\\auswahlliste.cmd"}), 0);
    Args played = SplitNul(Read(root.path() / "played"));
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(fs::path(played[0]).filename(), "Liste.m3u");
    EXPECT_EQ(Read(played[0]), (c / "Musik/Zwei.mp3").string() + "\n");
}

TEST_F(CommandInterpreterTest, ErrorsRunNothingAndEndNonZero) {
    EXPECT_NE(Run({}), 0);
    EXPECT_NE(Run({"/X", "C:\\a.cmd"}), 0);
    EXPECT_NE(Run({"/C", "C:\\fehlt.cmd"}), 0);
    EXPECT_NE(Run({"/C", "Q:\\a.cmd"}), 0);

    // A name with a line break splits into two lines whose quotes do not
    // pair: neither half may run, even where the second half names a program.
    Script(c / "b.mp3", "touch " + (root.path() / "pwned").string() + "\n");
    WriteCmd("umbruch.cmd", "@echo off\r\n\"a\nb.mp3\"\r\n");
    EXPECT_NE(Run({"/C", "C:\\umbruch.cmd"}), 0);

    // Quotes that do not pair by the rules that split the line: the program
    // name knows no backslash before a quote, so the last quote is left open.
    WriteCmd("offen.cmd", "\"P:\\player\\\" x \"y\r\n");
    EXPECT_NE(Run({"/C", "C:\\offen.cmd"}), 0);
    EXPECT_FALSE(fs::exists(root.path() / "played"));

    WriteCmd("fehler.cmd", "cd \\fehlt\r\nQ:\r\n\"fehlt.mp3\"\r\nP:\\fehlt.exe x\r\necho weiter>C:\\weiter.txt\r\n");
    EXPECT_NE(Run({"/C", "C:\\fehler.cmd"}), 0);
    EXPECT_EQ(Read(c / "weiter.txt"), "weiter\r\n") << "an error does not end the file";

    // One file opened last: nothing started before it may show up beside it.
    std::ofstream(c / "zuletzt.mp3") << "x";
    WriteCmd("zuletzt.cmd", "\"zuletzt.mp3\"\r\n");
    EXPECT_EQ(Run({"/C", "C:\\zuletzt.cmd"}), 0);
    EXPECT_EQ(Opened(1), (std::vector<Args>{{(c / "zuletzt.mp3").string()}}));
    EXPECT_FALSE(Pwned());
}

// A file name never makes the interpreter start anything but the opener
// with that file: a line in quotes from end to end is one name, whatever it
// holds. Each name below would split into the program "touch" and its
// arguments by the quoting rules; a recording touch comes first on PATH.
TEST_F(CommandInterpreterTest, AQuotedNameOpensThatFileAndStartsNothingElse) {
    Script(bin / "touch", "printf '%s\\n' \"$@\" > " + (root.path() / "pwned-by-touch").string() + "\n");
    fs::create_directories(c / "Docs");
    struct Case {
        std::string onDisk;   // UTF-8
        std::string written;  // the batch line between its outer quotes
    } const cases[] = {
        // The list view writes code page 850: ü is 0x81; the program has no
        // 850 form for £, which stays 0xA3 (ú in code page 850).
        {"touch\" \"X\" \"\xC3\xBC\xC2\xA3.pdf", "touch\" \"X\" \"\x81\xA3.pdf"},
        // The record was written before the file was renamed in case only.
        {"TOUCH\" \"M\xC3\xBCLL.pdf", "touch\" \"m\x81ll.pdf"},
        // The directory view writes names as they are: a backslash in a name
        // on the host, also in front of a quote.
        {"touch\" \"a\\b.pdf", "touch\" \"a\\b.pdf"},
        {"touch\" \"a\\\" \"b.pdf", "touch\" \"a\\\" \"b.pdf"},
        {"touch\" \"c\\\\\" \"d.pdf", "touch\" \"c\\\\\" \"d.pdf"},
        // and "?" for a character Windows-1252 cannot hold.
        {"touch\" \"\xD0\xB6.pdf", "touch\" \"?.pdf"},
    };
    std::string lines = "@echo off\r\nC:\r\ncd \"\\Docs\"\r\n";
    std::vector<Args> expected;
    for (const Case& k : cases) {
        std::ofstream(c / "Docs" / k.onDisk) << "x";
        lines += "\"" + k.written + "\"\r\n";
        expected.push_back({(c / "Docs" / k.onDisk).string()});
    }
    // Files of the names the words would have, for a reading that looks for them.
    for (const char* decoy : {"X", "a\\b.pdf", "b.pdf", "d.pdf", "?.pdf", "m\x81ll.pdf"}) std::ofstream(c / "Docs" / decoy) << "x";
    WriteCmd("auswahlliste.cmd", lines);
    EXPECT_EQ(Run({"/C", "C:\\auswahlliste.cmd"}), 0);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Opened(expected.size()), expected);
    EXPECT_FALSE(Pwned()) << Read(root.path() / "pwned-by-touch");
}

TEST_F(CommandInterpreterTest, AQuotedNameThatNamesNoFileIsAnErrorAndStartsNothing) {
    Script(bin / "touch", "printf '%s\\n' \"$@\" > " + (root.path() / "pwned-by-touch").string() + "\n");
    fs::create_directories(c / "Docs");
    std::ofstream(c / "Docs" / "da.pdf") << "x";  // the word after the program exists
    WriteCmd("auswahlliste.cmd",
             "@echo off\r\nC:\r\ncd \"\\Docs\"\r\n"
             "\"touch\" \"X\" \"\x81\xA3.pdf\"\r\n"
             "\"touch\" \"da.pdf\"\r\n"
             "\"touch\" \"da.pdf\" \"da.pdf\"\r\n");
    EXPECT_NE(Run({"/C", "C:\\auswahlliste.cmd"}), 0);
    EXPECT_FALSE(Pwned()) << Read(root.path() / "pwned-by-touch");
    EXPECT_TRUE(Opened(1, 30).empty());
}

// A "%" in a quoted name or directory is a character of the name: "%cd%"
// is never the current directory, "%tmp%" never the temp directory.
TEST_F(CommandInterpreterTest, VariablesInQuotedNamesStayText) {
    fs::create_directories(c / "Docs" / "%tmp%");
    std::ofstream(c / "Docs" / "%tmp%" / "%cd%.pdf") << "x";
    WriteCmd("auswahlliste.cmd",
             "@echo off\r\nC:\r\ncd \"\\Docs\"\r\n"
             "\"%cd%\"\r\n"                  // no such file: an error, not the directory
             "cd \"\\Docs\\%tmp%\"\r\n"
             "\"%cd%.pdf\"\r\n");
    EXPECT_NE(Run({"/C", "C:\\auswahlliste.cmd"}), 0);
    EXPECT_EQ(Opened(1), (std::vector<Args>{{(c / "Docs" / "%tmp%" / "%cd%.pdf").string()}}));
}

// A name that looks like a drive is a file of the directory changed into:
// "c:" is that file, not the current directory of drive C:.
TEST_F(CommandInterpreterTest, ANameLikeADriveIsTheFileOfThatName) {
    fs::create_directories(c / "Docs");
    std::ofstream(c / "Docs" / "c:") << "x";
    std::ofstream(c / "Docs" / "M:x.pdf") << "x";
    WriteCmd("auswahlliste.cmd", "@echo off\r\nC:\r\ncd \"\\Docs\"\r\n\"c:\"\r\n\"M:x.pdf\"\r\n");
    EXPECT_EQ(Run({"/C", "C:\\auswahlliste.cmd"}), 0);
    auto opened = Opened(2);
    std::sort(opened.begin(), opened.end());
    EXPECT_EQ(opened, (std::vector<Args>{{(c / "Docs" / "M:x.pdf").string()}, {(c / "Docs" / "c:").string()}}));
}

// After a cd that failed, a name is not looked for in the directory before:
// a file of that name there is another file.
TEST_F(CommandInterpreterTest, NamesAfterAFailedCdOpenNothing) {
    fs::create_directories(c / "A");
    fs::create_directories(c / "B");
    std::ofstream(c / "A" / "x.mp3") << "x";
    std::ofstream(c / "B" / "x.mp3") << "x";
    WriteCmd("auswahlliste.cmd",
             "@echo off\r\nC:\r\ncd \"\\A\"\r\ncd \"\\Fehlt\"\r\n\"x.mp3\"\r\ncd \"\\B\"\r\n\"x.mp3\"\r\n");
    EXPECT_NE(Run({"/C", "C:\\auswahlliste.cmd"}), 0);
    EXPECT_EQ(Opened(1), (std::vector<Args>{{(c / "B" / "x.mp3").string()}}));
}

// A cd without quotes to a directory whose name holds a quote goes there,
// not to the directory of the name without it.
TEST_F(CommandInterpreterTest, AnUnquotedCdKeepsAQuoteTheDirectoryHoldsInItsName) {
    fs::create_directories(c / "M\"x");
    fs::create_directories(c / "Mx");
    std::ofstream(c / "M\"x" / "t.mp3") << "x";
    std::ofstream(c / "Mx" / "t.mp3") << "x";
    WriteCmd("auswahlliste.cmd", "C:\r\ncd \\M\"x\r\n\"t.mp3\"\r\ncd \\\"Mx\"\r\n\"t.mp3\"\r\n");
    EXPECT_EQ(Run({"/C", "C:\\auswahlliste.cmd"}), 0);
    EXPECT_EQ(Opened(2), (std::vector<Args>{{(c / "M\"x" / "t.mp3").string()}, {(c / "Mx" / "t.mp3").string()}}));
}

// "player" "file", the line of display modes 1 and 2: the player, given as
// a path, gets the file, and only where no file of the whole name exists.
TEST_F(CommandInterpreterTest, APlayerGivenAsPathGetsItsFile) {
    fs::create_directories(c / "Musik" / "Rock");
    std::ofstream(c / "Musik" / "Rock" / "B - A.flac") << "x";
    std::ofstream(c / "Musik" / "Rock" / "M\xC3\xBCll \xC2\xA3.flac") << "x";
    WriteCmd("auswahlliste.cmd",
             "C:\r\ncd \\Musik\\Rock\r\n\"P:\\player\" \"B - A.flac\"\r\n\"P:\\player\" \"M\x81ll \xA3.flac\"\r\n");
    EXPECT_EQ(Run({"/C", "C:\\auswahlliste.cmd"}), 0);
    EXPECT_EQ(SplitNul(Read(root.path() / "played")),
              (Args{(c / "Musik/Rock/B - A.flac").string(), (c / "Musik/Rock/M\xC3\xBCll \xC2\xA3.flac").string()}));

    // A file of the whole name is that file; a missing file or a player
    // without a path starts nothing.
    fs::remove(root.path() / "played");
    std::ofstream(c / "Musik" / "Rock" / "P:\\player\" \"B - A.flac") << "x";
    Script(bin / "player", "touch " + (root.path() / "pwned-bare-player").string() + "\n");
    WriteCmd("auswahlliste.cmd",
             "C:\r\ncd \\Musik\\Rock\r\n\"P:\\player\" \"B - A.flac\"\r\n\"P:\\player\" \"fehlt.flac\"\r\n"
             "\"player\" \"B - A.flac\"\r\n");
    EXPECT_NE(Run({"/C", "C:\\auswahlliste.cmd"}), 0);
    EXPECT_EQ(Opened(1), (std::vector<Args>{{(c / "Musik/Rock/P:\\player\" \"B - A.flac").string()}}));
    EXPECT_FALSE(fs::exists(root.path() / "played"));
    EXPECT_FALSE(Pwned());
}

TEST_F(CommandInterpreterTest, CdFindsADirectoryWhoseNameMixesConvertedLetters) {
    fs::create_directories(c / "M\xC3\xBCsik \xC2\xA3" / "Neu");  // Müsik £
    std::ofstream(c / "M\xC3\xBCsik \xC2\xA3" / "Neu" / "a.pdf") << "x";
    WriteCmd("auswahlliste.cmd", "@echo off\r\nC:\r\ncd \"\\m\x81sik \xA3\\neu\"\r\n\"a.pdf\"\r\n");
    EXPECT_EQ(Run({"/C", "C:\\auswahlliste.cmd"}), 0);
    EXPECT_EQ(Opened(1), (std::vector<Args>{{(c / "M\xC3\xBCsik \xC2\xA3/Neu/a.pdf").string()}}));
}

TEST(OemLetters, TheTwelveConvertedLettersComeBack) {
    EXPECT_EQ(host::posix::OemLettersToAnsi("\x84\x94\x81\x8E\x99\x9A\xE1\xA0\x82\xA1\xA2\xA3"),
              "\xE4\xF6\xFC\xC4\xD6\xDC\xDF\xE1\xE9\xED\xF3\xFA");
    EXPECT_EQ(host::posix::OemLettersToAnsi("abc \xE4 \x80"), "abc \xE4 \x80");
}

}  // namespace
}  // namespace pavuto::test
