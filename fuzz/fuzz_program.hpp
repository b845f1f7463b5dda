#pragma once
// One program on the test host for a whole fuzz run. Building a Program
// makes its record tables anew (tens of thousands of texts), which would
// cost more than most inputs; so it is made once and put back into its
// start state before each input: an empty drive C:, start settings, an
// empty console script, the record slots an input can reach emptied.
#include <filesystem>

#include "program.hpp"
#include "support/test_host.hpp"

namespace pavuto::fuzz {

class FuzzProgram {
public:
    test::TestHost h;
    Program p{h.host};

    // slots: the record slots (from 1) the last input may have filled.
    Program& Fresh(int slots = 0) {
        for (const auto& entry : std::filesystem::directory_iterator(h.temp.path()))
            std::filesystem::remove_all(entry.path());
        h.files->ChangeDrive("C:");
        h.files->ChangeDirectory("C:\\");
        h.clock.Advance(24LL * 3600 * 1000);  // past every scripted event of the last input
        h.console.FlushInput();
        h.console.SetSize(22, 70);
        h.console.Clear();
        h.console.log.clear();
        h.console.idleLimitMs = 1000;
        static_cast<ConsoleState&>(p.con) = ConsoleState{};
        p.settings = Settings{};
        p.errors = ErrorState{};
        p.config = ConfigState{};
        p.listConfig = ListConfigState{};
        p.browser = BrowserState{};
        auto& w = p.window;
        for (int i = 0; i <= slots && i <= RecordLimit; ++i) {
            w.Titles[static_cast<size_t>(i)] = kEmptySlot;
            w.Directories[static_cast<size_t>(i)].clear();
        }
        for (int i = 0; i <= w.SearchPathCount && i <= RecordLimit; ++i) w.SearchPaths[static_cast<size_t>(i)].clear();
        w.FirstRecord = 1;
        w.RecordCount = w.RecordLength = w.ListDisplay = w.SearchPathCount = 0;
        w.builtRecords = 0;
        w.work = RecordWindow::WorkFiles{};
        p.collation = BuildCollationTable();
        return p;
    }
};

}  // namespace pavuto::fuzz
