#pragma once
// Shared set-up of the list tests: a program on the test host with a home,
// a temp and a start directory, records made to measure, and a file system
// that counts the positioned reads made through it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "console/console.hpp"
#include "lists/collation.hpp"
#include "program.hpp"
#include "support/test_host.hpp"

namespace pavuto::test {

// A title-list record: title field of MAXDL - 1, directory field of MAXDLDIR, CR LF.
inline std::string Record(const std::string& title, const std::string& dir, int maxdl = 30, int maxdldir = 30) {
    return PadRight(title, maxdl - 1) + PadRight(">" + dir + "<", maxdldir) + "\r\n";
}

// What a program text looks like on the test screen.
inline std::string OnScreen(const std::string& text) { return ConvertForConsole(text); }

// The list tests count reads through the test host's faulty file system.
using CountingFileSystem = FaultyFileSystem;

// A program whose file system counts reads; C:\home is home and start
// directory, C:\tmp\ the temp directory.
struct ListTest : ::testing::Test {
    TestHost h;
    CountingFileSystem& files = h.faults;
    Program p{h.host};

    ListTest() {
        h.temp.Write("home/.keep", "");
        h.temp.Write("tmp/.keep", "");
        p.settings.tempDirectory = "C:\\tmp\\";
        p.settings.startDrive = "C:";
        p.settings.startDirectory = "\\home";
        p.settings.homeDrive = "C:";
        p.settings.homePath = "\\home";
        p.browser.homeDirectory = "C:\\home";
        p.collation = BuildCollationTable();
        p.files().ChangeDirectory("C:\\home");
    }
    std::string Row(int row, int column = 1, int count = -1) { return h.console.Text(row, column, count); }
    bool ScreenHas(const std::string& text) { return h.console.Dump().find(OnScreen(text)) != std::string::npos; }
};

}  // namespace pavuto::test
