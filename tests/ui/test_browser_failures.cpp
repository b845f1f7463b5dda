// Failures of the browser's commands: each is told where it happens, waits
// for a key, and the browser goes on; nothing comes round without end.
#include "browser_fixture.hpp"

namespace pavuto::test {
namespace {

using Op = FaultyFileSystem::Op;

class BrowserFailures : public BrowserTest {
protected:
    BrowserFailures() {
        h.temp.Write("tmp/.keep", "");
        h.environment.block = {"COMSPEC=C:\\bin\\cmd.exe"};
        h.console.keepScreens = true;
    }
    bool Waited(const std::string& text) const {
        for (const auto& rows : h.console.screens)
            for (const auto& row : rows)
                if (row.find(text) != std::string::npos) return true;
        return false;
    }
};

// A list file that cannot be read: the retries, the message, a key, and the
// directory the list lies in; the keys after it work there.
TEST_F(BrowserFailures, AListThatCannotBeReadEndsInTheDirectoryView) {
    WriteList("Rock", Record("Song", "Musik\\Rock"));
    h.faults.FailAll(Op::Read, err::PermissionDenied, "Rock.pavuto");
    OpenFromHome();
    script.Key(" ");       // answers "zur Zeit kein Zugriff.."
    script.Key(keys::Down);  // moves in the directory view
    Run();
    EXPECT_TRUE(Waited(">>Fehler: 70 , 0 ,Permission denied<< zur Zeit kein Zugriff.."));
    EXPECT_EQ(p.browser.ListOpen, 0);
    EXPECT_EQ(Line(1), "..");
    EXPECT_EQ(p.browser.CursorOffset, 1);
    EXPECT_EQ(h.console.Pending(), 0u);
}

// A selection file that cannot be written starts nothing and says so until a key.
TEST_F(BrowserFailures, ASelectionThatCannotBeWrittenStartsNothing) {
    h.temp.Write("M/A.mp3", "x");
    StartIn("C:\\M");
    h.faults.FailAll(Op::Create, err::PermissionDenied, "auswahlliste");
    script.Key(keys::Down).Key(keys::Enter).Key("a").Key(" ");
    Run();
    EXPECT_TRUE(Waited("zur Zeit kein Zugriff.."));
    EXPECT_TRUE(h.processes.started.empty());
    EXPECT_EQ(h.console.Pending(), 0u);
}

// A new list configuration that cannot be written in the home directory:
// the message waits for a key and no configuration is left.
TEST_F(BrowserFailures, ANewConfigurationThatCannotBeWrittenIsReported) {
    StartIn("C:\\home");
    h.faults.FailAll(Op::Create, err::PermissionDenied, "Neu.config");
    p.browser.BrowserMode = 2;
    script.Key("n").Key("N").Typed("eu\r").Key("j").Key(" ");
    Run();
    EXPECT_TRUE(Waited("zur Zeit kein Zugriff.."));
    EXPECT_FALSE(h.temp.Exists("home/Neu.config"));
    EXPECT_EQ(h.console.Pending(), 0u);
}

}  // namespace
}  // namespace pavuto::test
