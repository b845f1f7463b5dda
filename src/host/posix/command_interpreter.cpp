#include "host/posix/command_interpreter.hpp"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>

#include <fstream>
#include <ostream>
#include <sstream>

#include "common/codepage.hpp"
#include "common/runtime_error.hpp"
#include "common/text.hpp"
#include "host/posix/posix_environment.hpp"

namespace pavuto::host::posix {

namespace {

bool Blank(char c) { return c == ' ' || c == '\t'; }

std::string TrimBlanks(std::string_view s) {
    size_t a = 0, b = s.size();
    while (a < b && Blank(s[a])) ++a;
    while (b > a && Blank(s[b - 1])) --b;
    return std::string(s.substr(a, b - a));
}

std::string TrimLeft(std::string_view s) {
    size_t a = 0;
    while (a < s.size() && Blank(s[a])) ++a;
    return std::string(s.substr(a));
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsBatchName(std::string_view name) { return EndsWithNoCase(name, ".cmd") || EndsWithNoCase(name, ".bat"); }

// The code page 850 code of one of the twelve letters the program converts
// for the console; any other character as it is.
char AnsiLetterToOem(char c) {
    switch (static_cast<unsigned char>(c)) {
        case 0xE4: return '\x84';  // ä
        case 0xF6: return '\x94';  // ö
        case 0xFC: return '\x81';  // ü
        case 0xC4: return '\x8E';  // Ä
        case 0xD6: return '\x99';  // Ö
        case 0xDC: return '\x9A';  // Ü
        case 0xDF: return '\xE1';  // ß
        case 0xE1: return '\xA0';  // á
        case 0xE9: return '\x82';  // é
        case 0xED: return '\xA1';  // í
        case 0xF3: return '\xA2';  // ó
        case 0xFA: return '\xA3';  // ú
        default: return c;
    }
}

// Whether the program may have written this name of a directory entry
// (Windows-1252, "?" for what it cannot hold) so: as it is or with each of
// its German letters in code page 850, without regard to case. The test is
// made character by character, as the conversion is: a name that mixes
// converted letters with characters that look like converted ones (a "£"
// beside a "ü") is found all the same.
bool WrittenAs(std::string_view entry, std::string_view written) {
    if (entry.size() != written.size()) return false;
    for (size_t i = 0; i < entry.size(); ++i) {
        const char a = entry[i], b = written[i];
        if (a == b || UpperChar(a) == UpperChar(b)) continue;
        if (AnsiLetterToOem(a) == b || AnsiLetterToOem(UpperChar(a)) == b || AnsiLetterToOem(LowerChar(a)) == b)
            continue;
        return false;
    }
    return true;
}

std::string JoinHost(const std::string& directory, const std::string& name) {
    return !directory.empty() && directory.back() == '/' ? directory + name : directory + "/" + name;
}

// The entry of a host directory that a written name means: one whose name
// is exactly the written one first, else the first in name order that
// matches. listed: the directory could be read (or is no directory), so an
// empty name means for certain that there is no such entry.
bool IsRegularFile(const std::string& hostPath) {
    struct stat st {};
    return stat(hostPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

struct EntryMatch {
    std::string name;
    bool listed = false;
};
EntryMatch MatchEntry(const std::string& directory, const std::string& written) {
    EntryMatch m;
    DIR* dir = opendir(directory.c_str());
    if (!dir) {
        m.listed = errno == ENOTDIR || errno == ENOENT;
        return m;
    }
    m.listed = true;
    bool exact = false;
    while (dirent* d = readdir(dir)) {
        std::string name = d->d_name;
        if (name == "." || name == "..") continue;
        const std::string shown = Utf8ToCp1252(name);
        if (!WrittenAs(shown, written)) continue;
        const bool isExact = shown == written && Cp1252ToUtf8(shown) == name;
        if (m.name.empty() || (isExact && !exact) || (isExact == exact && name < m.name)) {
            m.name = name;
            exact = isExact;
        }
    }
    closedir(dir);
    return m;
}

}  // namespace

std::string OemLettersToAnsi(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        switch (static_cast<unsigned char>(c)) {
            case 0x84: c = '\xE4'; break;  // ä
            case 0x94: c = '\xF6'; break;  // ö
            case 0x81: c = '\xFC'; break;  // ü
            case 0x8E: c = '\xC4'; break;  // Ä
            case 0x99: c = '\xD6'; break;  // Ö
            case 0x9A: c = '\xDC'; break;  // Ü
            case 0xE1: c = '\xDF'; break;  // ß
            case 0xA0: c = '\xE1'; break;  // á
            case 0x82: c = '\xE9'; break;  // é
            case 0xA1: c = '\xED'; break;  // í
            case 0xA2: c = '\xF3'; break;  // ó
            case 0xA3: c = '\xFA'; break;  // ú
            default: break;
        }
    }
    return out;
}

CommandInterpreter::CommandInterpreter(PosixFileSystem& files, PosixProcesses& processes,
                                       std::vector<std::string> hostEnvironment, const std::string& companionDirectory,
                                       std::ostream& out, std::ostream& errors)
    : files_(files), processes_(processes), hostEnvironment_(std::move(hostEnvironment)), out_(out), errors_(errors) {
    PosixEnvironment view(hostEnvironment_, {}, files_, companionDirectory);
    for (const std::string& entry : view.Block()) {
        auto eq = entry.find('=');
        variables_.emplace_back(entry.substr(0, eq), eq == std::string::npos ? "" : entry.substr(eq + 1));
    }
}

int CommandInterpreter::Main(const std::vector<std::string>& argv) {
    if (argv.size() < 3 || (argv[1] != "/C" && argv[1] != "/c")) {
        errors_ << "Aufruf: pavuto-cmd /C Datei [Argumente]\n";
        return 1;
    }
    std::string file = Utf8ToCp1252(argv[2]);
    std::string host = argv[2];
    if (file.size() >= 2 && file[1] == ':' && IsLetter(file[0])) {
        try {
            host = files_.HostPath(file);
        } catch (const RuntimeError& e) {
            Error("Laufwerk nicht bereit (Fehler " + std::to_string(e.number()) + ")", file);
            return 1;
        }
    }
    struct stat st {};
    if (stat(host.c_str(), &st) != 0) {
        Error("Datei nicht gefunden", file);
        return 1;
    }
    std::vector<std::string> arguments;
    for (size_t i = 3; i < argv.size(); ++i) arguments.push_back(Utf8ToCp1252(argv[i]));
    if (IsBatchName(host) && S_ISREG(st.st_mode))
        RunBatch(host, file, arguments);
    else
        OpenWithAssociation(host);
    return errorCount_ ? 1 : 0;
}

void CommandInterpreter::RunBatch(const std::string& hostFile, const std::string& shownName,
                                  const std::vector<std::string>& arguments) {
    std::ifstream in(hostFile, std::ios::binary);
    if (!in) {
        Error("Datei nicht lesbar", shownName);
        return;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    batchName_ = shownName;
    arguments_ = arguments;
    for (const std::string& line : SplitLines(bytes.str()))
        if (!RunLine(line)) break;
}

bool CommandInterpreter::RunLine(const std::string& raw) {
    std::string line = TrimLeft(raw);
    while (!line.empty() && line[0] == '@') line = TrimLeft(line.substr(1));
    if (line.empty() || StartsWith(line, "::")) return true;

    size_t n = 0;
    while (n < line.size() && IsLetter(line[n])) ++n;
    std::string command = LCase(line.substr(0, n));
    std::string after = line.substr(n);
    bool plain = after.empty() || Blank(after[0]);

    if (command == "rem" && plain) return true;
    if (command == "exit" && plain) return false;
    if (command == "echo" && (plain || after[0] == '.' || after[0] == ':')) {
        Echo(after);
        return true;
    }
    if (command == "set" && plain) {
        std::string rest = TrimLeft(after);
        if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') rest = rest.substr(1, rest.size() - 2);
        auto eq = rest.find('=');
        if (eq == std::string::npos || eq == 0) {
            for (auto& [name, value] : variables_)
                if (rest.empty() || StartsWith(UCase(name), UCase(rest))) out_ << Cp1252ToUtf8(name + "=" + value) << "\n";
            return true;
        }
        Set(Expand(rest.substr(0, eq)), Expand(rest.substr(eq + 1)));
        return true;
    }
    if ((command == "cd" || command == "chdir") &&
        (plain || after[0] == '.' || after[0] == '\\' || after[0] == '/' || after[0] == '"')) {
        ChangeDirectory(after);
        return true;
    }
    std::string trimmed = TrimBlanks(line);
    if (trimmed.size() == 2 && trimmed[1] == ':' && IsLetter(trimmed[0])) {
        try {
            files_.ChangeDrive(trimmed);
        } catch (const RuntimeError& e) {
            Error("Laufwerk nicht bereit (Fehler " + std::to_string(e.number()) + ")", trimmed);
        }
        return true;
    }
    RunProgramLine(trimmed);
    return true;
}

void CommandInterpreter::Echo(const std::string& after) {
    if (after.empty()) return;  // "echo" alone only tells the echo state
    std::string rest = after.substr(1);
    size_t gt = std::string::npos;
    bool quoted = false;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '"') quoted = !quoted;
        if (rest[i] == '>' && !quoted) {
            gt = i;
            break;
        }
    }
    if (gt == std::string::npos) {
        std::string word = TrimBlanks(rest);
        if (Blank(after[0]) && (EqualsNoCase(word, "off") || EqualsNoCase(word, "on"))) return;
        out_ << Cp1252ToUtf8(Expand(rest)) << "\n";
        return;
    }
    // The redirection is found before the variables are expanded, so that no
    // value (a directory name, an argument) can turn into one.
    bool append = gt + 1 < rest.size() && rest[gt + 1] == '>';
    std::string target = TrimBlanks(rest.substr(gt + (append ? 2 : 1)));
    if (target.size() >= 2 && target.front() == '"' && target.back() == '"') target = target.substr(1, target.size() - 2);
    target = Expand(target);
    if (target.empty()) {
        Error("Ausgabedatei fehlt", rest);
        return;
    }
    try {
        auto f = files_.Open(target, append ? OpenMode::Append : OpenMode::Output);
        f->Write(Expand(rest.substr(0, gt)));
        f->Write("\r\n");
        f->Close();
    } catch (const RuntimeError& e) {
        Error("Schreiben nicht m\xF6glich (Fehler " + std::to_string(e.number()) + ")", target);
    }
}

void CommandInterpreter::ChangeDirectory(std::string rest) {
    std::string arg = TrimBlanks(rest);
    bool withDrive = false;
    if (arg.size() >= 2 && arg[0] == '/' && (arg[1] == 'd' || arg[1] == 'D') && (arg.size() == 2 || Blank(arg[2]))) {
        withDrive = true;
        arg = TrimBlanks(arg.substr(2));
    }
    if (arg.empty()) {
        out_ << Cp1252ToUtf8(files_.CurrentDirectory()) << "\n";
        return;
    }
    // A directory in quotes from end to end is one name, taken as written
    // (the program writes real directory names so): a "%" in it is a
    // character of the name, not a variable.
    bool quoted = arg.size() >= 2 && arg.front() == '"' && arg.back() == '"';
    if (quoted) {
        arg = arg.substr(1, arg.size() - 2);
    } else if (!files_.DirectoryExists(arg)) {
        // Quotes group blanks and are no part of the name, unless a
        // directory holds them in its name: without them it would be
        // another directory.
        std::string unquoted;
        for (char c : arg)
            if (c != '"') unquoted += c;
        arg = unquoted;
    }
    std::string name = ChooseName(arg, !quoted);
    if (!files_.DirectoryExists(name)) {
        // A name mixing converted letters with others, or whose case differs.
        Found found = Find(arg, !quoted);
        if (!found.host.empty()) name = files_.DrivePath(found.host);
    }
    try {
        files_.ChangeDirectory(name);
        if (withDrive) files_.ChangeDrive(files_.FullPath(name).substr(0, 2));
        directoryLost_ = false;
    } catch (const RuntimeError& e) {
        directoryLost_ = true;
        Error("Verzeichnis nicht gefunden (Fehler " + std::to_string(e.number()) + ")", name);
    }
}

void CommandInterpreter::RunProgramLine(const std::string& line) {
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"') {
        RunQuotedName(line.substr(1, line.size() - 2));
        return;
    }
    if (!QuotesClosed(line)) {
        Error("Anf\xFChrungszeichen ohne Gegenst\xFC" "ck, nichts ausgef\xFChrt", line);
        return;
    }
    auto words = SplitWords(line);
    if (words.empty()) return;
    if (words.size() == 1 && words[0].quoted) {
        if (directoryLost_) {
            Error("Datei nicht ge\xF6" "ffnet, ihr Verzeichnis fehlt", words[0].text);
            return;
        }
        std::string name = ChooseName(words[0].text);
        if (!Exists(name)) {
            Error("Datei nicht gefunden", name);
            return;
        }
        OpenWithAssociation(files_.HostPath(name));
        return;
    }
    std::vector<std::string> argv;
    for (const Word& w : words) {
        std::string value = ChooseName(w.text);
        if (value.empty() && !w.quoted) continue;  // an unquoted %3 without argument vanishes
        argv.push_back(value);
    }
    if (argv.empty()) return;
    try {
        processes_.SetEnvironment(hostEnvironment_);
        auto launch = processes_.Resolve(argv);
        processes_.Run(launch, WindowStyle::Normal, true);
    } catch (const RuntimeError& e) {
        Error(e.number() == err::FileNotFound ? "Programm nicht gefunden"
                                              : "Programm nicht ausf\xFChrbar (Fehler " + std::to_string(e.number()) + ")",
              argv[0]);
    }
}

void CommandInterpreter::RunQuotedName(const std::string& name) {
    if (directoryLost_) {
        // A file of the same name in the directory before is another file.
        Error("Datei nicht ge\xF6" "ffnet, ihr Verzeichnis fehlt", name);
        return;
    }
    // Everything between the outer quotes is one name, whatever it holds
    // (quotes, backslashes, blanks, "%", a colon): the file to open. The
    // program writes such a line after changing into the file's directory,
    // so an entry of that name there comes first; "p:" is then a file, not
    // the drive P:. A directory is never what such a line opens.
    try {
        const std::string here = files_.HostPath(files_.CurrentDirectory());
        EntryMatch m = MatchEntry(here, name);
        if (!m.name.empty() && IsRegularFile(JoinHost(here, m.name))) {
            OpenWithAssociation(JoinHost(here, m.name));
            return;
        }
    } catch (const RuntimeError&) {
        // no current directory on a drive that is not ready: nothing there
    }
    Found found = Find(name, false);
    if (!found.host.empty() && IsRegularFile(found.host)) {
        OpenWithAssociation(found.host);
        return;
    }
    // The one line of another shape the program writes: "player" "file", the
    // player (a path, without quotes) and the file of display modes 1 and 2.
    // It counts only where it is certain that no file of the whole name
    // exists, the player is given as a path and the file exists; so a name
    // never starts a program of its own, not even the name of one that has
    // gone meanwhile.
    const size_t quote = name.find('"');
    if (found.certain && quote != std::string::npos && name.compare(quote, 3, "\" \"") == 0) {
        const std::string program = name.substr(0, quote), file = name.substr(quote + 3);
        const bool path = program.find_first_of("\\/") != std::string::npos ||
                          (program.size() >= 2 && program[1] == ':' && IsLetter(program[0]));
        Found target = path ? Find(file, false) : Found{};
        if (!target.host.empty()) {
            Found player = Find(program, false);
            RunWithFile(player.host.empty() ? ChooseName(program, false) : files_.DrivePath(player.host), target.host);
            return;
        }
    }
    Error("Datei nicht gefunden", name);
}

void CommandInterpreter::RunWithFile(const std::string& program, const std::string& hostFile) {
    try {
        processes_.SetEnvironment(hostEnvironment_);
        Launch launch = processes_.Resolve(std::vector<std::string>{program});
        std::string file;
        try {
            file = processes_.ForOutsideProgram(hostFile);  // a playlist in host form
        } catch (const RuntimeError& e) {
            Error("Wiedergabeliste nicht umsetzbar (Fehler " + std::to_string(e.number()) + ")",
                  Utf8ToCp1252(hostFile));
            return;
        }
        launch.arguments.push_back(file);
        processes_.Run(launch, WindowStyle::Normal, true);
    } catch (const RuntimeError& e) {
        Error(e.number() == err::FileNotFound ? "Programm nicht gefunden"
                                              : "Programm nicht ausf\xFChrbar (Fehler " + std::to_string(e.number()) + ")",
              program);
    }
}

void CommandInterpreter::OpenWithAssociation(const std::string& hostPath) {
    std::string path;
    for (const std::string& e : hostEnvironment_)
        if (StartsWith(e, "PATH=")) path = e.substr(5);
    std::string opener = FindOnPath("xdg-open", path);
    if (opener.empty()) {
        Error("xdg-open nicht gefunden, kann nicht \xF6" "ffnen", Utf8ToCp1252(hostPath));
        return;
    }
    std::string target = hostPath;
    try {
        // A playlist goes to the desktop as a copy in host form.
        processes_.SetEnvironment(hostEnvironment_);
        target = processes_.ForOutsideProgram(hostPath);
    } catch (const RuntimeError& e) {
        Error("Wiedergabeliste nicht umsetzbar (Fehler " + std::to_string(e.number()) + ")", Utf8ToCp1252(hostPath));
        return;
    }
    // A name never reaches the opener as an option.
    if (!StartsWith(target, "/")) target = "./" + target;
    Launch launch{opener, {opener, target}, {}};
    try {
        launch.directory = files_.HostPath(files_.CurrentDirectory());
    } catch (const RuntimeError&) {
    }
    try {
        processes_.Run(launch, WindowStyle::Hidden, false);
    } catch (const RuntimeError& e) {
        Error("xdg-open nicht startbar (Fehler " + std::to_string(e.number()) + ")", Utf8ToCp1252(hostPath));
    }
}

std::string CommandInterpreter::Lookup(const std::string& name) const {
    std::string upper = UCase(name);
    for (auto& [n, v] : variables_)
        if (UCase(n) == upper) return v;
    if (upper == "CD") return files_.CurrentDirectory();
    return {};
}

std::string CommandInterpreter::Expand(std::string_view text) const {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '%' || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        char next = text[i + 1];
        if (next == '%') {
            out += '%';
            ++i;
        } else if (next >= '0' && next <= '9') {
            size_t k = static_cast<size_t>(next - '0');
            if (k == 0)
                out += batchName_;
            else if (k <= arguments_.size())
                out += arguments_[k - 1];
            ++i;
        } else if (next == '*') {
            for (size_t a = 0; a < arguments_.size(); ++a) out += (a ? " " : "") + arguments_[a];
            ++i;
        } else {
            size_t close = text.find('%', i + 1);
            if (close == std::string_view::npos) {
                out += c;  // a lone % stays
                continue;
            }
            out += Lookup(std::string(text.substr(i + 1, close - i - 1)));
            i = close;
        }
    }
    return out;
}

void CommandInterpreter::Set(const std::string& name, const std::string& value) {
    std::string upper = UCase(name);
    bool found = false;
    for (auto it = variables_.begin(); it != variables_.end() && !found; ++it) {
        if (UCase(it->first) != upper) continue;
        found = true;
        if (value.empty())
            variables_.erase(it);
        else
            it->second = value;
        break;
    }
    if (!found && !value.empty()) variables_.emplace_back(name, value);
    for (auto it = hostEnvironment_.begin(); it != hostEnvironment_.end(); ++it) {
        auto eq = it->find('=');
        if (eq == std::string::npos || UCase(Utf8ToCp1252(it->substr(0, eq))) != upper) continue;
        hostEnvironment_.erase(it);
        break;
    }
    if (!value.empty()) hostEnvironment_.push_back(Cp1252ToUtf8(name) + "=" + Cp1252ToUtf8(value));
}

bool CommandInterpreter::Exists(const std::string& name) {
    return !name.empty() && (files_.FileExists(name) || files_.DirectoryExists(name));
}

CommandInterpreter::Found CommandInterpreter::Find(const std::string& written, bool expand) {
    if (written.empty()) return {{}, true};
    const std::string expanded = expand ? Expand(written) : written;
    for (const std::string& candidate : {written, OemLettersToAnsi(written), expanded, OemLettersToAnsi(expanded)})
        if (Exists(candidate)) return {files_.HostPath(candidate), true};
    bool certain = true;
    std::vector<std::string> forms{written};
    if (expanded != written) forms.push_back(expanded);
    for (const std::string& form : forms) {
        // The whole name as one entry of the current directory: a name on
        // the host may hold a backslash.
        try {
            const std::string here = files_.HostPath(files_.CurrentDirectory());
            EntryMatch m = MatchEntry(here, form);
            if (!m.name.empty()) return {JoinHost(here, m.name), true};
            certain = certain && m.listed;
        } catch (const RuntimeError&) {
            // no current directory on a drive that is not ready: nothing there
        }
        Found walked = Walk(form);
        if (!walked.host.empty()) return walked;
        certain = certain && walked.certain;
    }
    return {{}, certain};
}

CommandInterpreter::Found CommandInterpreter::Walk(const std::string& path) {
    std::string drive = files_.CurrentDrive();
    std::string_view rest = path;
    if (rest.size() >= 2 && rest[1] == ':' && IsLetter(rest[0])) {
        drive = std::string(rest.substr(0, 2));
        rest.remove_prefix(2);
    }
    const bool fromRoot = !rest.empty() && (rest[0] == '\\' || rest[0] == '/');
    std::string root, at;
    try {
        root = files_.HostPath(drive + "\\");
        at = fromRoot ? root : files_.HostPath(files_.CurrentDirectory(drive));
    } catch (const RuntimeError&) {
        return {{}, true};  // a drive that is not ready holds nothing
    }
    std::vector<std::string> parts;
    std::string part;
    for (char c : rest) {
        if (c == '\\' || c == '/') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    if (parts.empty()) return {{}, true};
    for (const std::string& p : parts) {
        if (p == ".") continue;
        if (p == "..") {
            // never above the drive's root
            if (at.size() > root.size()) {
                size_t slash = at.rfind('/');
                at = slash == 0 ? "/" : at.substr(0, slash);
            }
            continue;
        }
        EntryMatch m = MatchEntry(at, p);
        if (m.name.empty()) return {{}, m.listed};
        at = JoinHost(at, m.name);
    }
    return {at, true};
}

std::string CommandInterpreter::ChooseName(const std::string& written, bool expand) {
    std::string expanded = expand ? Expand(written) : written;
    for (const std::string& candidate : {written, OemLettersToAnsi(written), expanded, OemLettersToAnsi(expanded)})
        if (Exists(candidate)) return candidate;
    return expanded;
}

void CommandInterpreter::Error(const std::string& what, const std::string& detail) {
    ++errorCount_;
    errors_ << "pavuto-cmd: " << Cp1252ToUtf8(what) << ": " << Cp1252ToUtf8(detail) << "\n";
}

}  // namespace pavuto::host::posix
