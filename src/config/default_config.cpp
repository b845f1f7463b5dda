#include "config/default_config.hpp"

#include <vector>

#include "common/numbers.hpp"
#include "program.hpp"

namespace pavuto {

namespace {

const Text kHyphens = "----------------";
const Text kHeaderKey = "CONFBEZEICHNUNG=";

struct BuiltInSection {
    const char* name;
    const char* extension;
    const char* mci;
    const char* namesOnly;
    const char* more;
};

const BuiltInSection kSections[] = {
    {"Default", ".mp3", "0", " 1 ",
     ".m3u.wmv.wma.mpeg.midi.mov.divx.avi.mp4.mp2.mp1.mpg.wav.ape.ogg.acm.txt.doc.xls.wri.pdf.ods.odt"},
    {"mp3", ".mp3", "1", " 0 ", ".mp3.m3u.wma.midi.wav.ape.acm.ac3.anx.asx.au.axa.axv.mid.mpc.oga.ogg.ogv.rmi.flac.mka"},
    {"mpg", ".mpg", "0", " 1 ",
     ".mpg.asf.wmv.mpeg.mov.dv.divx.avi.mp4.mp2.mp1.mpg.qt.qtl.rmm.rpm.flv.3g2.3gp.3gp2.3gpp.hd.hdmov"},
    {"doc", ".doc", "0", " 1 ", ".doc.txt.xls.sxw.sxc.wri.wtx.rtf.ods.odt.ots.ott.pdf"},
};

// Reads every line of a file.
std::vector<Text> ReadLines(host::FileSystem& fs, const Text& path) {
    std::vector<Text> lines;
    auto f = fs.Open(path, host::OpenMode::Input);
    Text line;
    while (f->ReadLine(line)) lines.push_back(line);
    f->Close();
    return lines;
}

bool HasHeader(const Text& line) { return Instr(UCase(line), kHeaderKey) > 0; }

// A key stands at the start of the line and is compared over its full length.
bool IsKey(const Text& line, const Text& key) { return EqualsNoCase(Left(line, static_cast<long>(key.size())), key); }

Text ValueAfter(const Text& line, const Text& key, long count) {
    return Mid(line, static_cast<long>(key.size()) + 1, count);
}

int RangeOrZero(int v) { return v >= 10 && v <= 800 ? v : 0; }

// The nine entries a save writes (comment line and key line each).
std::vector<std::pair<Text, Text>> SavedEntries(const Program& p) {
    const auto& s = p.settings;
    Text more;
    // Last slot first: loading the line fills the slots from its end, so a
    // saved table reads back into the same slots.
    for (int i = 20; i >= 1; --i) more += s.extensions[static_cast<size_t>(i)];
    return {
        {"Namenserweiterung f\xFCr Dateien von denen eine Liste erstellt wird.", "Erweiterung=" + s.listExtension},
        {"Bezeichnung (erweiterung) f\xFCr Listen", "ListenNamenserweiterung=" + s.listFileExtension},
        {"Anzahl der dargestellten Zeilen.", "Zeilen=" + NumberText(p.con.ScreenRows)},
        {"Anzahl der dargestellten Spalten.", "Spalten=" + NumberText(p.con.ScreenColumns)},
        {"Programm das zum Ausf\xFChren aufgerufen wird.", "Player=" + s.player},
        {"0 zeigt alle - 1 keine doppelte - 2 nur doppelte Dateien.",
         "Listenanzeige=" + NumberText(p.window.ListDisplay)},
        {"erstellen von Listen xxTitel und xxInterpret. (1=nur xxTitel)",
         "NurNamensliste=" + NumberText(p.listConfig.NURNAMENSLISTE)},
        {"Anzuzeigende Dateien.", "mehrErweiterungen=" + more},
        {"Editor f\xFCr config aufruf", "Editor=" + s.editor},
    };
}

void WriteEntries(host::File& f, const Program& p) {
    for (const auto& [comment, key] : SavedEntries(p)) {
        f.WriteLine(comment);
        f.WriteLine(key);
        f.WriteLine("");
    }
}

void ApplyKeyLine(Program& p, const Text& line) {
    auto& s = p.settings;
    if (IsKey(line, "Player=")) {
        s.player = RTrim(ValueAfter(line, "Player=", 500));
        if (!s.player.empty() && !p.host.files.FileExists(s.player)) {
            p.con.Show("Vorgegebenen Player nicht gefunden..", 0);
            p.con.Pause(2000);
            s.player.clear();
        }
    } else if (IsKey(line, "mci=")) {
        int v = ValInt(ValueAfter(line, "mci=", 5));
        s.mci = v > 0 ? 1 : v;
    } else if (IsKey(line, "vordergrund=")) {
        int v = ValInt(ValueAfter(line, "vordergrund=", 5));
        s.foreground = v > 0 ? 1 : v;
    } else if (IsKey(line, "ERWEITERUNG=")) {
        s.listExtension = ValueAfter(line, "ERWEITERUNG=", 50);
    } else if (IsKey(line, "ZEILEN=")) {
        // An out-of-range value leaves the window as it is.
        if (int v = RangeOrZero(ValInt(ValueAfter(line, "ZEILEN=", -1)))) p.con.ScreenRows = v;
    } else if (IsKey(line, "SPALTEN=")) {
        if (int v = RangeOrZero(ValInt(ValueAfter(line, "SPALTEN=", -1)))) p.con.ScreenColumns = v;
    } else if (IsKey(line, "LISTENANZEIGE=")) {
        p.window.ListDisplay = ValInt(ValueAfter(line, "LISTENANZEIGE=", -1));
    } else if (IsKey(line, "EDITOR=")) {
        s.editor = ValueAfter(line, "EDITOR=", 200);
    } else if (IsKey(line, "MEHRERWEITERUNGEN=")) {
        // The whole line: the table fills from its end, and a saved table of
        // long extensions is longer than 500 characters, so a cut line
        // would lose the first slots' extensions.
        Text list = ValueAfter(line, "MEHRERWEITERUNGEN=", -1);
        if (list.empty()) return;
        for (int slot = 1; slot <= 20; ++slot) {
            long dot = InstrRev(list, ".");
            if (dot == 0) continue;
            s.extensions[static_cast<size_t>(slot)] = Mid(list, dot, 50);
            list = Left(list, dot - 1);
        }
    }
}

// Lists the section names of the file into names slots 2, 3, ... (one row
// apart, or two with spaced), stopping after slot `last`.
int ListSectionNames(Program& p, int last, bool spaced) {
    int slot = 1;
    for (const Text& line : ReadLines(p.host.files, p.settings.configurationPath)) {
        long pos = Instr(UCase(line), kHeaderKey);
        if (pos == 0) continue;
        Text name = Mid(line, pos + static_cast<long>(kHeaderKey.size()), 20);
        if (EqualsNoCase(name, "Default")) continue;
        ++slot;
        p.config.names[static_cast<size_t>(slot)] = name;
        p.con.Locate(p.con.out.CursorRow(), 7);
        p.con.ShowLine(name);
        if (spaced) p.con.LineEnd();
        if (slot >= last) break;
    }
    return slot;
}

}  // namespace

Text BuiltInConfigurationText() {
    Text out;
    auto line = [&out](const Text& t) { out += t + "\r\n"; };
    line("Pavuto configurationsdatei (voreinstellungen)");
    line("");
    for (const auto& sec : kSections) {
        bool isDefault = Text(sec.name) == "Default";
        line(kHyphens);
        line(Text("CONFBezeichnung=") + sec.name);
        line("Namenserweiterung f\xFCr Dateien von denen eine Liste erstellt wird.");
        line(Text("Erweiterung=") + sec.extension);
        line("");
        line(isDefault ? "intern oder externes Programm zum abspielen von medien benutzen(Intern- mci=1)"
                       : "intern oder externes Programm zum abspielen benutzen(Intern- mci=1)");
        line(Text("mci=") + sec.mci);
        line("");
        line(isDefault ? "wenn mci=1 Programm nach jedem Titel in vordergrund setzen (vordergrund=1)"
                       : "bei mci=1 Programm nach jedem Titel in vordergrund setzen (vordergrund=1)");
        line("Vordergrund=0");
        line("");
        line("Anzahl der dargestellten Zeilen.");
        line("Zeilen= 22");
        line("");
        line("Anzahl der dargestellten Spalten.");
        line("Spalten= 70");
        line("");
        line(isDefault ? "Externes Programm das zum Ausf\xFChren aufgerufen wird.(Wenn nichts dann entscheidet Windows)"
                       : "Programm das zum Ausf\xFChren aufgerufen wird.");
        line("Player=");
        line("");
        line("0 zeigt alle - 1 keine doppelte - 2 nur doppelte Dateien.");
        line("Listenanzeige= 0 ");
        line("");
        line("erstellen von Listen xxTitel und xxInterpret. (1=nur xxTitel)");
        line(Text("NurNamensliste=") + sec.namesOnly);
        line("");
        line("Anzuzeigende Dateien.");
        line(Text("mehrErweiterungen=") + sec.more);
        line("");
        line("Editor f\xFCr config aufruf");
        line("Editor=edit.com");
        line("");
    }
    return out;
}

void WriteBuiltInFile(Program& p) {
    // Never an empty or cut-off file: that would hide the question of the first start.
    host::WriteReplacing(p.host.files, p.settings.configurationPath, BuiltInConfigurationText());
}

void LoadConfiguration(Program& p) {
    auto& fs = p.host.files;
    auto& s = p.settings;
    if (!fs.FileExists(s.configurationPath)) {
        s.configurationMissing = 1;
    } else {
        std::vector<Text> lines = ReadLines(fs, s.configurationPath);
        std::vector<Text> kept;
        while (true) {
            p.config.names = {};
            p.config.names[0] = s.configurationName;
            size_t i = 0;
            if (s.configurationName != "Default") {
                Text wanted = UCase(s.configurationName);
                bool found = false;
                for (; i < lines.size(); ++i) {
                    Text up = UCase(lines[i]);
                    if (Instr(up, "BEZEICHNUNG=") && Instr(up, wanted)) {
                        found = true;
                        ++i;
                        break;
                    }
                }
                if (!found) {
                    p.con.Show("Config einstellungen '" + s.configurationName + "' nicht gefunden. Lade default.", 0);
                    p.con.Pause(2000);
                    s.configurationName = "Default";
                    continue;
                }
            }
            for (; i < lines.size(); ++i) {
                if (HasHeader(lines[i])) break;
                Text line = LTrim(lines[i]);
                if (!line.empty()) kept.push_back(line);
            }
            break;
        }
        for (const Text& line : kept) ApplyKeyLine(p, line);
    }
    if (s.autoMode.empty() && p.con.ScreenRows > 0 && p.con.ScreenColumns > 0) p.con.ApplyWindowSize();
}

void ChooseConfiguration(Program& p) {
    auto& s = p.settings;
    auto& con = p.con;
    // While the file is missing the program is installed first (by the
    // caller); without the installation nothing is chosen.
    if (s.configurationMissing == 1) return;
    if (!p.host.files.FileExists(s.configurationPath)) return;
    con.ClearListArea();
    p.config.names = {};
    p.config.names[0] = s.configurationName;
    p.config.names[1] = "Default";
    con.Locate(5, 7);
    con.ShowLine("Default");
    ListSectionNames(p, 10, false);
    con.FlushEvents();
    con.WaitForInput();
    int slot = con.MouseRow - 3;  // a key leaves the mouse row at 0
    if (slot < 1 || slot > 20) slot = 1;
    const Text& chosen = p.config.names[static_cast<size_t>(slot)];
    s.configurationName = chosen.empty() ? p.config.names[1] : chosen;
    LoadConfiguration(p);
}

void SaveSettings(Program& p) {
    auto& s = p.settings;
    auto& con = p.con;
    auto& fs = p.host.files;
    con.ClearListArea();
    p.config.names = {};
    p.config.names[0] = s.configurationName;
    p.config.names[1] = "Default";
    con.Locate(5, 7);
    con.ShowLine("Default");
    con.LineEnd();
    if (!fs.FileExists(s.configurationPath)) return;
    int slot = ListSectionNames(p, 9, true) + 1;
    const Text kNew = "Neue zuf\xFCgen";
    p.config.names[static_cast<size_t>(slot)] = kNew;
    con.Locate(con.out.CursorRow(), 7);
    con.ShowLine(kNew);

    con.FlushEvents();
    con.WaitForInput();
    if (!con.KeyText.empty() || con.ClickKind == 0) return;
    int chosen = con.MouseRow / 2 - 1;
    if (chosen < 1) return;
    Text target;
    if (chosen <= 6) {
        target = p.config.names[static_cast<size_t>(chosen)];
        if (target.empty()) return;
    } else {
        target = p.config.names[0];
    }

    // The file is written anew beside the old one from what the old one
    // holds; it takes the old one's place only when it is complete.
    if (target == kNew) {
        int row = 2 * chosen + 3;
        con.ShowAt(row, 34, ">_");
        con.FlushEvents();
        con.WaitForInput();
        if (con.KeyText.empty() || con.KeyText == keys::Enter || con.KeyText == keys::Esc || con.KeyText == " " ||
            con.ClickKind > 0)
            return;
        Text first = con.KeyText;
        con.ShowAt(row, 35, Spaces(10));
        con.ShowAt(row, 35, " " + first);
        target = first + con.InputLine();
        s.configurationName = target;
        p.config.names[0] = target;
        bool saved = Attempt(p, [&] {
            Text old = fs.FileExists(s.configurationPath) ? host::ReadWhole(fs, s.configurationPath) : Text();
            host::WriteReplacing(fs, s.configurationPath, [&](host::File& f) {
                f.Write(old);
                f.WriteLine("CONFBezeichnung=" + target);
                f.WriteLine(kHyphens);
                f.WriteLine("");
                WriteEntries(f, p);
            });
        });
        if (!saved) return;
    } else {
        bool saved = Attempt(p, [&] {
        std::vector<Text> old = ReadLines(fs, s.configurationPath);
        host::WriteReplacing(fs, s.configurationPath, [&](host::File& f) {
            if (target == "Default") {
                // The new entries stand before the first header, where loading
                // "Default" reads them; the sections of the old file follow.
                f.WriteLine("   Pavuto configurationsdatei (voreinstellungen)");
                f.WriteLine("");
                WriteEntries(f, p);
                f.WriteLine(kHyphens);
                size_t i = 0;
                while (i < old.size() && !HasHeader(old[i])) ++i;
                for (; i < old.size(); ++i) f.WriteLine(old[i]);
            } else {
                Text wanted = UCase(target);
                size_t i = 0;
                while (i < old.size() && !(HasHeader(old[i]) && Instr(UCase(old[i]), wanted))) f.WriteLine(old[i++]);
                if (i < old.size()) {
                    f.WriteLine("CONFBezeichnung=" + target);
                    f.WriteLine(kHyphens);
                    f.WriteLine("");
                    WriteEntries(f, p);
                    ++i;
                    while (i < old.size() && !HasHeader(old[i])) ++i;
                    for (; i < old.size(); ++i) f.WriteLine(old[i]);
                }
            }
        });
        });
        if (!saved) return;
    }
    con.ClearListArea();
    con.Locate(18, 7);
    con.ShowLine("Aktuelle Einstellungen gespeichert.");
    con.Pause(2000);
}

void RowsAndColumns(Program& p) {
    auto& con = p.con;
    while (true) {
        con.ShowAt(5, 7, " (Z)eilen =");
        con.PrintNumber(con.ScreenRows);
        con.ShowAt(7, 7, "(S)palten =");
        con.PrintNumber(con.ScreenColumns);
        con.FlushEvents();
        con.WaitForInput();
        Text key = UCase(con.KeyText);
        if (key.empty() && con.ClickKind > 0) {
            if (con.MouseRow == 4) key = "Z";
            else if (con.MouseRow == 6) key = "S";
        }
        if (key != "Z" && key != "S") return;
        int row = key == "Z" ? 5 : 7;
        con.ShowAt(row, 34, ">_");
        con.FlushEvents();
        con.WaitForInput();
        bool cancel = con.KeyText.empty() || con.KeyText == keys::Enter || con.KeyText == keys::Esc ||
                      con.KeyText == " " || con.ClickKind > 0;
        if (!cancel) {
            Text first = con.KeyText;
            con.ShowAt(row, 35, Spaces(10));
            con.ShowAt(row, 35, " " + first);
            int value = ValInt(first + con.InputLine());
            if (key == "Z" && value >= 20 && value <= 500) {
                con.ScreenRows = value;
                con.ApplyWindowSize();
            } else if (key == "S" && value >= 80 && value <= 800) {
                con.ScreenColumns = value;
                con.ApplyWindowSize();
            }
        }
        con.ClearListArea();
    }
}

void RunEditor(Program& p, const Text& argument, const Text& shownPath) {
    auto& fs = p.host.files;
    auto& s = p.settings;
    Text drive = fs.CurrentDrive();
    Text directory = fs.CurrentDirectory();
    {
        ArmedScope editorHandler(p, [shownPath](Program& q, const RuntimeError& e) {
            auto& con = q.con;
            con.Locate(con.ScreenRows - 8, 7);
            con.Show("Fehler bei Editor aufruf. > (" + NumberText(e.number()) + "  " + ErrorText(e.number()) + " )");
            con.Show(shownPath.empty() ? Text(" ") : "'" + q.settings.editor + " " + shownPath + "'");
            con.FlushEvents();
            con.WaitForInput();
            return Continuation::Skip();
        });
        Attempt(p, [&] {
            fs.ChangeDrive(s.homeDrive);
            fs.ChangeDirectory(s.HomeDirectory());
        });
        Attempt(p, [&] { p.host.processes.Start(s.editor + " " + argument, host::WindowStyle::Normal, true); });
    }
    Attempt(p, [&] {
        fs.ChangeDrive(drive);
        fs.ChangeDirectory(directory);
    });
}

void EditConfiguration(Program& p) {
    const auto& s = p.settings;
    if (!p.host.files.FileExists(s.configurationPath)) return;
    RunEditor(p, Mid(s.configurationPath, InstrRev(s.configurationPath, "\\") + 1), s.configurationPath);
}

void EditListConfiguration(Program& p) {
    const Text& path = p.browser.CurrentListConfiguration;
    if (path.empty()) return;
    // A path with blanks stays one argument for the editor.
    RunEditor(p, Instr(path, " ") > 0 ? "\"" + path + "\"" : path, path);
}

}  // namespace pavuto
