#include "startup/start.hpp"

#include "config/default_config.hpp"
#include "playback/timer.hpp"
#include "program.hpp"
#include "startup/version_text.hpp"
#include "ui/browser.hpp"
#include "ui/help.hpp"

namespace pavuto {

CommandLine ParseCommandLine(const Text& text) {
    CommandLine c;
    Text rest = LCase(text);
    if (rest.empty()) return c;

    if (Instr(rest, "/down")) c.shutdownMode = 1;
    if (Instr(rest, "/downh")) c.shutdownMode = 2;
    if (c.shutdownMode > 0) {
        c.switchGiven = true;
        Text sw = c.shutdownMode == 2 ? "/downh" : "/down";
        long pos = Instr(rest, sw);
        c.minutesText = Mid(rest, pos + static_cast<long>(sw.size()));
        rest = Left(rest, pos - 1);
        while (!c.minutesText.empty() && c.minutesText[0] == ' ') {
            c.minutesText.erase(0, 1);
            if (c.minutesText.empty()) c.shutdownMode = 0;
        }
    }

    Text autoList;
    bool autoGiven = false;
    if (long pos = Instr(rest, "/blind")) {
        autoList = Left(rest, pos - 1) + Mid(rest, pos + 6);
        c.blind = true;
        autoGiven = true;
    } else if (long pos2 = Instr(rest, "/auto")) {
        autoList = Left(rest, pos2 - 1) + Mid(rest, pos2 + 5);
        autoGiven = true;
    }
    if (autoGiven) {
        autoList = LTrim(autoList);
        while (!autoList.empty() && (autoList.back() == ' ' || autoList.back() == '-')) autoList.pop_back();
        if (!EndsWith(autoList, ".pavuto")) autoList += ".pavuto";
        if (autoList == ".pavuto") c.noListName = true;
        c.autoMode = autoList;
    }
    c.help = Instr(rest, "?") > 0;
    c.rest = RTrim(rest);
    return c;
}

namespace {

void WaitForKeyOrClick(Program& p) {
    p.con.FlushEvents();
    p.con.WaitForInput();
}

Text WithBackslash(const Text& dir) { return EndsWith(dir, "\\") ? dir : dir + "\\"; }

// Steps 1 to 10: window, version, built-in values, environment, command line,
// shutdown program and default player.
void PrepareProgram(Program& p, CommandLine& cmd) {
    auto& con = p.con;
    auto& s = p.settings;
    auto& fs = p.host.files;

    // The console window at 22 x 70.
    con.out.Show(host::WindowShow::Minimised);
    con.ScreenRows = 22;
    con.ScreenColumns = 70;
    con.PageRows = con.ScreenRows - 13;
    con.out.SetSize(22, 70);
    con.out.Move(60, 25);
    con.out.Show(host::WindowShow::Maximised);
    con.PagingLine = BuildPagingLine(con.ScreenColumns);

    s.versionText = SystemVersionText(p.host.system);
    s.windowsClass = WindowsClassOf(s.versionText);

    p.player.Volume = 400;
    p.player.workNames = {"0vorher.mp3", "0jetzt.mp3", "0gleich.mp3"};

    ArmGeneralHandler(p);
    p.random.seed(static_cast<unsigned>(p.host.clock.Now().SecondsSinceMidnight()));

    s.extensions = BuiltInExtensions();
    s.startDrive = fs.CurrentDrive();
    s.startDirectory = Mid(fs.CurrentDirectory(), 3);
    con.SetColours(con.Colours[1], con.Colours[2]);
    con.Clear();

    // First walk through the environment.
    Text homeDrive, windir, value;
    auto block = p.host.environment.Block();
    for (const Text& entry : block) {
        if (entry.empty()) break;
        if (EnvironmentValue(entry, "COMSPEC", value)) {
            s.shutdownProgram = Left(value, InstrRev(value, "\\")) + "shutdown.exe";
        } else if (EnvironmentValue(entry, "HOMEDRIVE", value)) {
            homeDrive = value;
        } else if (EnvironmentValue(entry, "HOMEPATH", value)) {
            s.hibernateLink = homeDrive + value + "\\Desktop\\Hibernate.link";
            if (!fs.FileExists(s.hibernateLink)) s.hibernateLink.clear();
        } else if (EnvironmentValue(entry, "WINDIR", value)) {
            windir = value;
        }
    }

    cmd = ParseCommandLine(p.host.environment.CommandLine());
    if (cmd.switchGiven) {
        p.timer.TimerMode = cmd.shutdownMode;
        p.timer.minutesText = cmd.minutesText;
        ArmTimer(p);
    }
    if (!cmd.autoMode.empty()) {
        if (cmd.blind) s.foreground = 1;
        s.configurationName = "Default";
        if (cmd.noListName) {
            con.out.Show(host::WindowShow::Normal);
            con.ShowLine("Aufruf ohne Listenangabe...");
            WaitForKeyOrClick(p);
            EndProgram(p);
        }
        s.autoMode = cmd.autoMode;
    }
    if (cmd.help) {
        con.out.Move(60, 25);
        con.out.Show(host::WindowShow::Normal);
        ShowHelp(p);
    }
    s.commandRest = cmd.rest;

    // The shutdown program and its command.
    if (!fs.FileExists(s.shutdownProgram)) {
        bool found = false;
        for (const Text& candidate : {windir + "\\shutdown.exe", windir + "\\system32\\shutdown.exe"}) {
            s.shutdownProgram = candidate;
            if (fs.FileExists(candidate)) {
                found = true;
                break;
            }
        }
        if (!found) {
            con.out.Show(host::WindowShow::Normal);
            con.ShowAt(1, 5, " 'Shutdown.exe' nicht gefunden.");
            WaitForKeyOrClick(p);
        }
    }
    int mode = p.timer.TimerMode;
    s.shutdownCommand.clear();
    if (s.windowsClass == 3) {
        if (mode == 1) s.shutdownCommand = s.shutdownProgram + " /s";
        if (mode == 2) s.shutdownCommand = s.shutdownProgram + " /h";
    } else if (mode == 1) {
        s.shutdownCommand = s.shutdownProgram + " -s";
    }

    for (const Text& candidate : {Text("c:\\windows\\mplayer.exe"),
                                  Text("c:\\programme\\windows media player\\mplayer2.exe"),
                                  Text("c:\\programme\\windows media player\\wmplayer.exe")})
        if (fs.FileExists(candidate)) s.defaultPlayer = candidate;
    s.player.clear();
}

// Steps 11 to 16: the list tables, temp and home directories, the collation
// table, and the hand-over. A restart begins here again.
void StartMainPart(Program& p) {
    auto& con = p.con;
    auto& s = p.settings;
    auto& fs = p.host.files;

    ArmGeneralHandler(p);
    s.listCapacity = kListCapacity;
    s.directoryCapacity = kDirectoryCapacity;
    p.window = RecordWindow{};
    p.browser.Marks.assign(RecordLimit + 1, 0);

    // Temp directory.
    auto block = p.host.environment.Block();
    Text value;
    s.tempDirectory.clear();
    for (const Text& entry : block)
        if (EnvironmentValue(entry, "PAVUTOTMP", value)) s.tempDirectory = WithBackslash(value);
    if (!s.tempDirectory.empty() && !fs.DirectoryExists(Left(s.tempDirectory, static_cast<long>(s.tempDirectory.size()) - 1))) {
        con.out.Show(host::WindowShow::Normal);
        con.ShowLine(" Pavutotmp Pfad nicht gefunden >" + s.tempDirectory);
        con.Pause(2000);
        s.tempDirectory.clear();
    }
    if (s.tempDirectory.empty())
        for (const Text& entry : block)
            if (EnvironmentValue(entry, "TMP", value) || EnvironmentValue(entry, "TEMP", value))
                s.tempDirectory = WithBackslash(value);
    if (s.tempDirectory.empty()) s.tempDirectory = "c:\\windows\\temp\\";

    // Home directory.
    s.homeDrive.clear();
    s.homePath.clear();
    for (const Text& entry : block) {
        if (EnvironmentValue(entry, "HOMEDRIVE", value)) {
            s.homeDrive = value;
        } else if (EnvironmentValue(entry, "PROGRAMFILES", value)) {
            s.homePath = value + "\\pavuto";
            if (Mid(s.homePath, 2, 1) == ":") {
                s.homeDrive = Left(s.homePath, 2);
                s.homePath = Mid(s.homePath, 3);
            }
            if (!fs.DirectoryExists(s.homeDrive + s.homePath)) {
                s.homeDrive.clear();
                s.homePath.clear();
            }
        }
    }
    if (s.homeDrive.empty()) s.homeDrive = fs.CurrentDrive();
    if (s.homePath.empty()) s.homePath = Mid(fs.CurrentDirectory(), 3);
    for (const Text& entry : block) {
        if (!EnvironmentValue(entry, "PAVUTO", value)) continue;
        if (Mid(value, 2, 1) == ":") {
            s.homeDrive = Left(value, 2);
            s.homePath = Mid(value, 3);
        } else {
            s.homeDrive = "C:";
            s.homePath = value;
        }
        if (!StartsWith(s.homePath, "\\")) s.homePath = "\\" + s.homePath;
    }
    s.programPath = s.HomeDirectory() + "\\" + s.programFileName;
    if (!fs.FileExists(s.HomeDirectory() + "\\pavuto.config")) {
        s.configurationMissing = 1;
        con.out.Move(60, 25);
        con.out.Show(host::WindowShow::Normal);
        con.ShowLine("Benutze '" + s.HomeDirectory() + "' als Home");
        con.Show("Einrichten des Programms auf Festplatte ist unter Optionen m\xF6glich.");
        for (int i = 0; i < 40; ++i) {
            con.NoWait = 1;
            con.WaitEvent();
            con.NoWait = 0;
            if (!con.KeyText.empty() || con.ClickKind > 0) break;
            con.Pause(10);
        }
    }

    // Make the home directory current.
    Attempt(p, [&] {
        fs.ChangeDrive(s.homeDrive);
        fs.ChangeDirectory(s.HomeDirectory());
    });
    p.browser.homeDirectory = s.HomeDirectory();
    s.configurationPath = s.HomeDirectory() + "\\pavuto.config";
    if (long dbl = Instr(s.configurationPath, "\\\\")) s.configurationPath.erase(static_cast<size_t>(dbl - 1), 1);

    p.collation = BuildCollationTable();
    p.window = RecordWindow{};
    p.browser.Marks.assign(RecordLimit + 1, 0);

    // Hand over.
    if (s.autoMode.empty()) {
        s.configurationName = s.commandRest.empty() ? Text("Default") : s.commandRest;
    } else {
        s.configurationName = "Default";
    }
    p.browser.configurationRead = Attempt(p, [&] { LoadConfiguration(p); });
    p.browser.started = false;
    RunBrowser(p);
}

}  // namespace

namespace {
// Lets the handler decide about an error that reached the start sequence
// itself; its restart and "go on" both mean: start the second half again.
void HandleAtStart(Program& p, const RuntimeError& e) {
    try {
        HandleError(p, e);
    } catch (const RestartProgram&) {
    } catch (const GoOnAt&) {
    }
}
}  // namespace

void RunStartSequence(Program& p) {
    CommandLine cmd;
    try {
        PrepareProgram(p, cmd);
    } catch (const RuntimeError& e) {
        HandleAtStart(p, e);
    }
    while (true) {
        try {
            StartMainPart(p);
            return;
        } catch (const RestartProgram&) {
        } catch (const GoOnAt&) {
        } catch (const RuntimeError& e) {
            HandleAtStart(p, e);
        }
    }
}

}  // namespace pavuto
