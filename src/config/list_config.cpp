#include "config/list_config.hpp"

#include <string>

#include "common/numbers.hpp"
#include "errors/errors.hpp"
#include "program.hpp"

namespace pavuto {

namespace {

using host::OpenMode;

// The directory part of a path, up to and including its last "\".
Text DirectoryOf(const Text& path) {
    long pos = InstrRev(path, "\\");
    return pos > 0 ? Left(path, pos) : Text();
}

Text FileNameOf(const Text& path) {
    long pos = InstrRev(path, "\\");
    if (pos > 0) return Mid(path, pos + 1);
    if (path.size() >= 2 && path[1] == ':') return Mid(path, 3);
    return path;
}

// "<name> Interpreten.pavuto" beside "<name>.pavuto".
Text PerformerPathFor(const Text& listFilePath) {
    if (listFilePath.empty()) return {};
    long pos = InstrRev(LCase(listFilePath), ".pavuto");
    if (pos == 0) return listFilePath + " Interpreten";
    return Left(listFilePath, pos - 1) + " Interpreten" + Mid(listFilePath, pos);
}

void CreateEmpty(host::FileSystem& fs, const Text& path) {
    auto f = fs.Open(path, OpenMode::Output);
    f->Close();
}

Text HomeDirectoryOf(Program& p) {
    return p.browser.homeDirectory.empty() ? p.settings.HomeDirectory() : p.browser.homeDirectory;
}

Text ReduceFirstDoubleBackslash(const Text& path) {
    long pos = Instr(path, "\\\\");
    if (pos == 0) return path;
    return Left(path, pos) + Mid(path, pos + 2);
}

}  // namespace

Text ConfigHeaderText(ConfigHeader header) {
    return header == ConfigHeader::Dialogue ? " ----- pavuto configuration ------"
                                            : " ----- pavuto  configuration ------";
}

bool ReadListConfiguration(Program& p, const Text& configPath) {
    auto& fs = p.files();
    auto& lc = p.listConfig;
    Text listName;  // the value of ZIELDATEI1 + ".pavuto", when the file has one
    bool haveName = false;
    bool noPerformerList = false;
    auto derivePerformerPath = [&] {
        lc.performerListPath = noPerformerList ? Text() : PerformerPathFor(lc.listFilePath);
    };

    auto file = fs.Open(configPath, OpenMode::Input);
    Text line;
    while (file->ReadLine(line)) {
        if (line == kSearchPathSection) break;
        // Keys are found anywhere in a line, without regard to case; values
        // are taken from the line as written.
        Text upper = UCase(line);
        if (long pos = Instr(upper, "CONFIGURATION=")) p.settings.configurationName = Mid(line, pos + 14, 300);
        if (long pos = Instr(upper, "DATEIENDUNG=")) {
            lc.extension = Mid(line, pos + 12, 300);
            p.settings.listExtension = lc.extension;
        }
        if (long pos = Instr(upper, "ZIELDATEI1=")) {
            listName = Mid(line, pos + 11, 300) + ".pavuto";
            haveName = true;
            lc.listFilePath = listName;
        }
        if (long pos = Instr(upper, "MAXDL=")) {
            int value = ValInt(Mid(line, pos + 6, 3));
            lc.MAXDL = value < 30 ? 100 : value;
        }
        if (long pos = Instr(upper, "MAXDLDIR=")) {
            int value = ValInt(Mid(line, pos + 9, 3));
            lc.MAXDLDIR = value < 30 ? 50 : value;
        }
        if (long pos = Instr(upper, "NURNAMENSLISTE=")) {
            // The writer puts a sign blank after the "="; the value starts behind it.
            int value = ValInt(Mid(line, pos + 16, 3));
            noPerformerList = value > 1;
            lc.NURNAMENSLISTE = value > 1 ? 1 : value;
        }
        derivePerformerPath();
    }
    file->Close();

    // The list lives beside its configuration; so does its performer list.
    if (haveName) lc.listFilePath = DirectoryOf(configPath) + listName;
    derivePerformerPath();
    if (lc.MAXDL == 0) lc.MAXDL = 100;
    if (lc.MAXDLDIR == 0) lc.MAXDLDIR = 50;

    if (!lc.listFilePath.empty() && !fs.FileExists(lc.listFilePath)) CreateEmpty(fs, lc.listFilePath);
    if (lc.NURNAMENSLISTE == 0 && !lc.performerListPath.empty() && !fs.FileExists(lc.performerListPath))
        CreateEmpty(fs, lc.performerListPath);
    return haveName;
}

bool ReadSearchPaths(Program& p, const Text& configPath) {
    auto& fs = p.files();
    auto& w = p.window;
    for (auto& s : w.SearchPaths) s.clear();
    w.SearchPathCount = 0;
    Text own = fs.CurrentDirectory() + "\\";
    if (EndsWith(own, "\\\\")) own.pop_back();
    w.SearchPaths[0] = own;

    if (configPath.empty() || !fs.FileExists(configPath)) {
        PrepareMessage(p);
        p.con.Show(configPath + " nicht gefunden.", 0);
        p.con.WaitForInput();
        return false;
    }
    auto file = fs.Open(configPath, OpenMode::Input);
    Text line;
    bool inSection = false;
    int n = 0;
    while (file->ReadLine(line)) {
        if (!inSection) {
            inSection = LCase(line) == " ---- suchpfade ----";
            continue;
        }
        if (line.empty()) continue;
        if (n >= RecordLimit) break;
        w.SearchPaths[static_cast<size_t>(++n)] = line;
    }
    file->Close();
    w.SearchPathCount = n;
    return true;
}

Text ListConfigurationFor(Program& p, const Text& listFile) {
    Text upper = UCase(listFile);
    Text base;
    if (long pos = Instr(upper, " INTERPRETEN.PAVUTO")) {
        base = Left(listFile, pos - 1);
    } else if (long pos2 = Instr(upper, ".PAVUTO")) {
        base = Left(listFile, pos2 - 1);
    } else {
        base = listFile;
    }
    // A list named with its directory has its configuration there; a plain
    // name is one of the current directory.
    bool hasDirectory = Instr(base, "\\") > 0 || (base.size() >= 2 && base[1] == ':');
    Text path;
    if (hasDirectory) {
        path = base + ".config";
    } else {
        Text dir = p.files().CurrentDirectory();
        if (!EndsWith(dir, "\\")) dir += "\\";
        path = dir + base + ".config";
    }
    // A numberless list uses the configuration of the list it was made from.
    if (long pos = Instr(LCase(path), "_ohne nr.config")) path = Left(path, pos - 1) + ".config" + Mid(path, pos + 15);
    return path;
}

Text ListNameOf(const Text& configPath) {
    Text name = FileNameOf(configPath);
    long dot = Instr(name, ".");
    return dot > 0 ? Left(name, dot - 1) : name;
}

Text HomeConfigurationPath(Program& p, Text name) {
    if (!ContainsNoCase(name, ".config")) name += ".config";
    return ReduceFirstDoubleBackslash(HomeDirectoryOf(p) + "\\" + name);
}

void CreateListConfiguration(Program& p, const Text& path, const std::vector<Text>& searchPaths,
                             ConfigHeader header) {
    host::WriteReplacing(p.files(), path, [&](host::File& file) {
        file.WriteLine(ConfigHeaderText(header));
        file.WriteLine("ZIELDATEI1=" + ListNameOf(path));
        file.WriteLine("Configuration=" + p.settings.configurationName);
        file.WriteLine("Dateiendung=" + p.settings.listExtension);
        // Two digits and a blank: room for three digits when a field grows.
        file.WriteLine("MAXDL=30 ");
        file.WriteLine("MAXDLDIR=30 ");
        file.WriteLine("NURNAMENSLISTE=" + NumberText(p.listConfig.NURNAMENSLISTE));
        file.WriteLine(kSearchPathSection);
        for (const auto& s : searchPaths) file.WriteLine(s);
    });
}

bool UpdateWidth(host::FileSystem& files, const Text& configPath, const Text& key, int value) {
    if (value < 10 || value > 999) return false;
    const Text digits = std::to_string(value);
    const Text upperKey = UCase(key);
    constexpr std::size_t kBlock = 30000;
    Text bytes = host::ReadWhole(files, configPath);
    bool written = false;
    // The key is looked for once in each block of 30000 bytes.
    for (std::size_t offset = 0; offset < bytes.size(); offset += kBlock) {
        long pos = Instr(UCase(std::string_view(bytes).substr(offset, kBlock)), upperKey);
        if (pos == 0) continue;
        std::size_t at = offset + static_cast<std::size_t>(pos - 1) + upperKey.size();
        // The old value's digits and the blanks around them are the room
        // for the new one; the line end and everything else stay untouched.
        std::size_t room = 0;
        while (at + room < bytes.size() &&
               ((bytes[at + room] >= '0' && bytes[at + room] <= '9') || bytes[at + room] == ' '))
            ++room;
        if (digits.size() > room) continue;
        // Left-aligned over the old digits: "30 " becomes "45 " or "120", and
        // no old digit is left standing behind the new ones.
        bytes.replace(at, room, PadRight(digits, static_cast<long>(room)));
        written = true;
    }
    if (written) host::WriteReplacing(files, configPath, bytes);
    return written;
}

bool ChooseListConfiguration(Program& p) {
    auto& con = p.con;
    auto& fs = p.files();
    const int R = con.ScreenRows;
    con.Clear();
    Text here = fs.CurrentDirectory();
    if (!EndsWith(here, "\\")) here += "\\";
    std::vector<Text> names;
    for (const auto& e : fs.List(here, "*.config")) {
        if (e.directory || EqualsNoCase(e.name, "pavuto.config")) continue;
        if (!EndsWithNoCase(e.name, ".config")) continue;
        names.push_back(e.name);
        if (names.size() == 9) break;
    }
    for (size_t i = 0; i < names.size(); ++i) con.ShowAt(5 + 2 * static_cast<int>(i), 7, names[i]);
    con.ShowAt(R - 3, 5, " Listenbezeichnung :");
    con.WaitForInput();

    Text path;
    if (con.ClickKind > 0) {
        int row = con.MouseRow + 1;
        int index = (row - 5) / 2;
        if (row < 5 || (row - 5) % 2 != 0 || index >= static_cast<int>(names.size())) return false;
        Text name = names[static_cast<size_t>(index)];
        con.Show(name, 1);
        con.Pause(1000);
        // A listed configuration is the one of this directory.
        path = here + name;
    } else {
        Text key = con.KeyText;
        // Enter cancels; so does any other control key: it cannot start a name.
        if (key.size() != 1 || static_cast<unsigned char>(key[0]) < 32) return false;
        con.Show(key, 1);
        Text rest = con.InputLine();
        if (rest.empty()) return false;
        path = HomeConfigurationPath(p, key + rest);
    }

    if (fs.FileExists(path)) {
        p.browser.CurrentListConfiguration = path;
        return true;
    }
    con.ClearMenuArea();
    con.ShowAt(R - 3, 5, ">" + path + "< nicht gefunden.");
    con.ShowAt(R - 2, 5, "Neu anlegen (J/N)?");
    con.WaitForInput();
    Text answer = UCase(con.KeyText);
    if (answer != "J" && answer != "Y") return false;

    // A configuration that cannot be written: its message has been waited
    // on, and there is no list to go on with.
    if (!Attempt(p, [&] { CreateListConfiguration(p, path, {}, ConfigHeader::Dialogue); })) return false;
    p.browser.CurrentListConfiguration = path;
    con.ClearMenuArea();
    con.ShowAt(R - 3, 5, "  Wechseln sie in die Verzeichnisse mit den Titeln,");
    con.ShowAt(R - 2, 5, "   dann hinzuf\xFCgen mit '(P)fad zuf\xFCgen'.");
    con.WaitForInput();
    if (con.KeyText == "\x1b") ConfirmExit(p);
    ReadListConfiguration(p, path);
    ReadSearchPaths(p, path);
    return true;
}

void AddSearchPath(Program& p) {
    auto& fs = p.files();
    auto& w = p.window;
    const Text config = p.browser.CurrentListConfiguration;
    if (!ReadSearchPaths(p, config)) return;

    Text here = fs.CurrentDirectory();
    bool atRoot = here.size() <= 3;
    Text entry = atRoot ? here : here + "\\";
    bool known = false;
    for (int j = 1; j <= w.SearchPathCount && !known; ++j)
        known = UCase(w.SearchPaths[static_cast<size_t>(j)]) == UCase(entry);
    if (!known) {
        // A configuration edited by hand may end without a line end: the
        // new path must not run into its last line.
        bool added = Attempt(p, [&] {
            Text bytes = host::ReadWhole(fs, config);
            if (!bytes.empty() && bytes.back() != '\n') bytes += "\r\n";
            host::WriteReplacing(fs, config, bytes + entry + "\r\n");
        });
        if (added && w.SearchPathCount < RecordLimit)
            w.SearchPaths[static_cast<size_t>(++w.SearchPathCount)] = entry;
    }
    if (!atRoot) fs.ChangeDirectory("..");
}

}  // namespace pavuto
