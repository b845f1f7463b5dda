#include "ui/install_dialogue.hpp"

#include "config/default_config.hpp"
#include "program.hpp"
#include "config/install.hpp"

namespace pavuto {

namespace {

enum class Choice { Leave, Here, OtherPath };

void WaitKey(Program& p) { p.con.WaitForInput(); }

// A message at row R - 8 (the screen is not cleared for it).
void ShowLow(Program& p, const Text& text) {
    p.con.Locate(p.con.ScreenRows - 8, 7);
    p.con.ShowLine(text);
}

// From the choice until the scripts stand: the number and the text of the
// failure, "Fehler bei Programm Pfadvorgaben", 2 seconds, and the
// installation is over.
Handler PathSettingsHandler() {
    return [](Program& p, const RuntimeError& e) {
        auto& con = p.con;
        con.PrintNumber(e.number());
        con.TabToNextZone();
        con.ShowLine(ErrorText(e.number()));
        con.ShowLine("Fehler bei Programm Pfadvorgaben");
        con.Pause(2000);
        return Continuation::GoOn(Point::AfterInstallStep);
    };
}

Choice AskWhere(Program& p) {
    auto& con = p.con;
    const auto& s = p.settings;
    con.ClearListArea();
    con.ShowAt(7, 7, s.homeDrive + s.homePath);
    con.ShowAt(9, 7, "> (h)ier einrichten.");
    con.ShowAt(11, 7, "> (a)nderen Pfad eingeben :");
    con.WaitForInput();
    if (con.ClickKind > 0) {
        if (con.MouseButton == 2) return Choice::Leave;
        if (con.MouseRow + 1 == 9) return Choice::Here;
        if (con.MouseRow + 1 == 11) return Choice::OtherPath;
        return Choice::Leave;
    }
    const Text key = UCase(con.KeyText);
    if (key == "H") return Choice::Here;
    if (key == "A") return Choice::OtherPath;
    return Choice::Leave;
}

// Every missing directory of the path, from the top down.
void MakeDirectories(host::FileSystem& fs, const Text& drive, const Text& path) {
    Text done = drive;
    long start = 2;
    while (start <= static_cast<long>(path.size())) {
        long next = Instr(path, "\\", start);
        Text part = next > 0 ? Mid(path, start, next - start) : Mid(path, start);
        done += "\\" + part;
        if (!part.empty() && !fs.DirectoryExists(done)) fs.MakeDirectory(done);
        if (next == 0) break;
        start = next + 1;
    }
}

// Asks for the other path until its directory stands and is current
// (Ready, the new home in the settings), the user leaves, or a click on the
// question's row asks to choose again.
enum class PathResult { Leave, Again, Ready };

PathResult AskPath(Program& p) {
    auto& con = p.con;
    auto& fs = p.files();
    while (true) {
        con.ShowAt(11, 7, "> (a)nderen Pfad eingeben :");
        con.ShowAt(11, 36, "_");
        con.Locate(11, 36);
        con.WaitForInput();
        if (con.ClickKind > 0) return con.MouseButton == 1 && con.MouseRow + 1 == 11 ? PathResult::Again : PathResult::Leave;
        const Text first = con.KeyText;
        if (first.empty() || first == keys::Esc || first == keys::Enter || first.size() > 1) return PathResult::Leave;
        con.ShowAt(11, 36, first);
        const Text typed = first + con.InputLine();
        const InstallPath where = SplitInstallPath(typed, fs.CurrentDrive());
        const Text directory = where.drive + where.path;
        bool made = false;
        {
            ArmedScope scope(p, [directory](Program& q, const RuntimeError&) {
                ShowLow(q, "erstellen von '" + directory + "' nicht m\xF6glich.");
                WaitKey(q);
                q.con.ClearListArea();
                return Continuation::Skip();
            });
            made = Attempt(p, [&] {
                if (!fs.DirectoryExists(directory)) {
                    MakeDirectories(fs, where.drive, where.path);
                    con.Pause(1000);
                }
                fs.ChangeDrive(where.drive);
                fs.ChangeDirectory(directory);
            });
        }
        if (made) {
            // The home changes only once its directory stands.
            p.settings.homeDrive = where.drive;
            p.settings.homePath = where.path;
            return PathResult::Ready;
        }
    }
}

void WriteLines(host::FileSystem& fs, const Text& path, const std::vector<Text>& lines) {
    Text bytes;
    for (const Text& line : lines) bytes += line + "\r\n";
    host::WriteReplacing(fs, path, bytes);
}

// The program's files (from where they really are) and its two documents
// (when they stand beside it) into the home directory.
void CopyProgramFiles(Program& p) {
    auto& fs = p.files();
    const auto programFiles = p.host.shell.ProgramFiles();
    std::vector<Text> sources = programFiles;
    if (!programFiles.empty()) {
        const Text& program = programFiles.front();
        const Text folder = Left(program, InstrRev(program, "\\"));
        sources.push_back(folder + kVersionInfoFile);
        sources.push_back(folder + kManualFile);
    }
    for (const Text& source : sources) {
        if (!fs.FileExists(source)) continue;
        const Text destination = HomeFile(p.settings, Mid(source, InstrRev(source, "\\") + 1));
        Attempt(p, [&] {
            host::WriteReplacing(fs, destination, [&](host::File& out) {
                auto in = fs.Open(source, host::OpenMode::Input);
                std::vector<char> block(2000);
                std::uint64_t offset = 0;
                while (std::size_t got = in->ReadAt(offset, block.data(), block.size())) {
                    out.Write(std::string_view(block.data(), got));
                    offset += got;
                }
                in->Close();
            });
            fs.CopyAttributes(source, destination);
        });
    }
}

// Steps from the scripts on. True when the program is to start again.
bool Complete(Program& p, bool newDirectory) {
    auto& con = p.con;
    auto& s = p.settings;
    auto& fs = p.files();
    {
        ArmedScope scope(p, PathSettingsHandler());
        Attempt(p, [&] {
            WriteLines(fs, HomeFile(s, "pavuto.cmd"), StartScriptLines(s));
            con.Pause(300);
            WriteLines(fs, HomeFile(s, "pavutoPfadAnpassen.cmd"), PathScriptLines(s.programFileName));
        });
    }
    if (newDirectory) CopyProgramFiles(p);

    s.configurationMissing = 0;
    s.configurationPath = HomeFile(s, "pavuto.config");

    bool restart = false;
    {
        ArmedScope scope(p, [](Program& q, const RuntimeError&) {
            ShowLow(q, "ertellen von " + q.settings.programFileName + ".lnk nicht m\xF6glich");
            WaitKey(q);
            return Continuation::Skip();
        });
        Attempt(p, [&] {
            host::Shortcut link;
            link.name = "Pavuto";
            link.target = HomeFile(s, "pavuto.cmd");
            link.arguments = "  ";
            link.workingDirectory = s.HomeDirectory();
            link.show = host::WindowStyle::Normal;
            link.description = "aufruf Pavuto";
            const int made = p.host.shell.CreateShortcut(link);
            if (made != 0) {
                con.ShowAt(15, 7, "Shortcut " + s.programFileName + ".lnk auf Desktop erstellt");
                restart = true;
            } else {
                con.ShowAt(15, 7, "ertellen von " + s.programFileName + ".link nicht m\xF6glich");
            }
            con.Pause(2000);
        });
    }

    bool written = false;
    {
        ArmedScope scope(p, [](Program& q, const RuntimeError&) {
            ShowLow(q, "erstellen von '" + q.settings.configurationPath + "' nicht m\xF6glich.");
            WaitKey(q);
            return Continuation::Skip();
        });
        written = Attempt(p, [&] { WriteBuiltInFile(p); });
    }
    if (!written) return false;

    s.configurationMissing = 0;
    Attempt(p, [&] {
        fs.ChangeDrive(s.homeDrive);
        fs.ChangeDirectory(s.HomeDirectory());
    });
    return restart;
}

}  // namespace

bool Install(Program& p) {
    auto& con = p.con;
    ArmGeneralHandler(p);
    try {
        while (true) {
            const Choice choice = AskWhere(p);
            if (choice == Choice::Leave) return true;
            bool newDirectory = false;
            if (choice == Choice::OtherPath) {
                const PathResult where = AskPath(p);
                if (where == PathResult::Leave) return true;
                if (where == PathResult::Again) continue;
                newDirectory = true;
            }
            if (!Complete(p, newDirectory)) break;
            con.LineEnd();
            con.ShowLine(" Das Programm startet jetzt neu.");
            con.Pause(1000);
            p.host.processes.StartAfterEnd("\"" + HomeFile(p.settings, "pavuto.cmd") + "\"");
            EndProgram(p);
        }
    } catch (const GoOnAt& g) {
        if (g.point != Point::AfterInstallStep) throw;
        ArmGeneralHandler(p);
        return false;
    }
    ArmGeneralHandler(p);
    return true;
}

void InstallThenChooseConfiguration(Program& p) {
    if (p.settings.configurationMissing == 1) {
        Install(p);
        if (p.settings.configurationMissing == 1) return;
    }
    ChooseConfiguration(p);
}

}  // namespace pavuto
