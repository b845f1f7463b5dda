#pragma once
// A browser on the test host: drive C: is a temporary directory, the home
// directory is C:\home, keys and clicks are scripted on the virtual clock and
// the loop runs until the script is used up.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "lists/state.hpp"
#include "program.hpp"
#include "support/test_host.hpp"
#include "ui/browser.hpp"

namespace pavuto::test {

// Events a few virtual seconds apart: every redraw discards input that is
// already waiting, and messages pause up to 2 seconds.
class Script {
public:
    Script(TestConsole& console, VirtualClock& clock) : console_(console), clock_(clock) {}
    Script& Key(const std::string& key) {
        console_.Key(key, Next());
        return *this;
    }
    Script& Keys(const std::string& text) {
        for (char c : text) Key(std::string(1, c));
        return *this;
    }
    Script& Click(int row, int column, int button = 1, int kind = 1) {
        console_.Click(row, column, button, kind, Next());
        return *this;
    }
    Script& DoubleClick(int row, int column, int button = 1) { return Click(row, column, button, 2); }
    // Typed text inside a line input (no redraw between the keys).
    Script& Typed(const std::string& text) {
        for (char c : text) console_.Key(std::string(1, c), at_ = std::max(at_, clock_.Milliseconds()) + 100);
        return *this;
    }

private:
    long long Next() { return at_ = std::max(at_, clock_.Milliseconds()) + 5000; }
    TestConsole& console_;
    VirtualClock& clock_;
    long long at_ = 0;
};

// The test host's clock, keeping a copy of the screen at every pause of a
// second or more: that is where the program shows its messages.
class SnapshotClock : public host::Clock {
public:
    SnapshotClock(VirtualClock& inner, TestConsole& console) : inner_(inner), console_(console) {}
    void Pause(int milliseconds) override {
        if (milliseconds >= 1000) {
            std::vector<std::string> rows;
            for (int r = 1; r <= console_.Rows(); ++r) rows.push_back(console_.Text(r));
            shots.push_back(rows);
        }
        inner_.Pause(milliseconds);
    }
    std::uint32_t TickCount() override { return inner_.TickCount(); }
    host::LocalTime Now() override { return inner_.Now(); }
    // Whether some pause showed the text on a row (1-based) from a column on.
    bool Showed(int row, int column, const std::string& text) const {
        for (const auto& rows : shots)
            if (row >= 1 && row <= static_cast<int>(rows.size()) &&
                rows[static_cast<size_t>(row - 1)].compare(static_cast<size_t>(column - 1), text.size(), text) == 0)
                return true;
        return false;
    }
    bool ShowedAnywhere(const std::string& text) const {
        for (const auto& rows : shots)
            for (const auto& row : rows)
                if (row.find(text) != std::string::npos) return true;
        return false;
    }
    std::vector<std::vector<std::string>> shots;

private:
    VirtualClock& inner_;
    TestConsole& console_;
};

// A list record: title field, ">" directory "<" field, CR LF.
inline std::string Record(const std::string& title, const std::string& directory, int titleWidth = 29,
                          int directoryWidth = 30) {
    std::string t = title;
    t.resize(static_cast<size_t>(titleWidth), ' ');
    std::string d = ">" + directory + "<";
    d.resize(static_cast<size_t>(directoryWidth), ' ');
    return t + d + "\r\n";
}

class BrowserTest : public ::testing::Test {
protected:
    BrowserTest()
        : clock(h.clock, h.console),
          host{h.console, clock, h.faults, h.processes, h.environment, h.media, h.system, h.shell},
          p(host),
          script(h.console, h.clock) {
        h.temp.Write("home/.keep", "");
        p.settings.homeDrive = "C:";
        p.settings.homePath = "\\home";
        p.browser.homeDirectory = "C:\\home";
        p.settings.configurationPath = "C:\\home\\pavuto.config";
        p.settings.tempDirectory = "C:\\tmp\\";
        p.settings.extensions = BuiltInExtensions();
        p.collation = BuildCollationTable();
        p.con.ApplyWindowSize();
    }

    // Runs the main loop until the script is used up.
    void Run() {
        try {
            RunBrowser(p);
        } catch (const ScriptExhausted&) {
        }
    }

    void StartIn(const std::string& directory) { h.files->ChangeDirectory(directory); }

    std::string Row(int row, int column = 1, int count = -1) const { return h.console.Text(row, column, count); }
    // The text shown on a page line (columns 3 ... C - 9), without trailing blanks.
    std::string Line(int line) const {
        std::string t = Row(4 + line, 3, p.con.ScreenColumns - 11);
        while (!t.empty() && t.back() == ' ') t.pop_back();
        return t;
    }
    int Fg(int row, int column) const { return h.console.At(row, column).fg; }
    int Bg(int row, int column) const { return h.console.At(row, column).bg; }

    // C:\home\<name>.pavuto with its configuration, whose one search path is
    // C:\Musik\Rock\.
    void WriteList(const std::string& name, const std::string& records) {
        h.temp.Write("home/" + name + ".pavuto", records);
        WriteConfig("home/" + name + ".config", name, "C:\\Musik\\Rock\\\r\n");
    }
    // Opens C:\home\<name>.pavuto by Enter: the first entry after "..", or
    // after its configuration where the view shows configurations.
    void OpenFromHome() {
        StartIn("C:\\home");
        script.Key(keys::Down);
        if (p.browser.DeleteAllowed == 1) script.Key(keys::Down);
        script.Key(keys::Enter);
    }
    void WriteConfig(const std::string& relative, const std::string& listName, const std::string& searchPaths) {
        h.temp.Write(relative, " ----- pavuto configuration ------\r\nZIELDATEI1=" + listName +
                                   "\r\nConfiguration=Default\r\nDateiendung=.mp3\r\nMAXDL=30 \r\nMAXDLDIR=30 \r\n"
                                   "NURNAMENSLISTE= 1\r\n ---- suchPfade ----\r\n" +
                                   searchPaths);
    }

    TestHost h;
    SnapshotClock clock;
    host::Host host;
    Program p;
    Script script;
};

}  // namespace pavuto::test
