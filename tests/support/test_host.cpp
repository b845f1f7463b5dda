#include "support/test_host.hpp"

#include "host/platform.hpp"

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

namespace pavuto::test {

host::LocalTime VirtualClock::Now() {
    long long ms = startOfDayMs_ + nowMs_;
    long long dayMs = 24LL * 3600 * 1000;
    long long days = ms / dayMs;
    long long inDay = ms % dayMs;
    host::LocalTime t;
    t.year = year_;
    t.month = month_;
    t.day = day_ + static_cast<int>(days);  // tests stay within a month
    t.hour = static_cast<int>(inDay / 3600000);
    t.minute = static_cast<int>(inDay / 60000 % 60);
    t.second = static_cast<int>(inDay / 1000 % 60);
    t.millisecond = static_cast<int>(inDay % 1000);
    return t;
}

void VirtualClock::SetTime(int hour, int minute, int second) {
    long long dayMs = 24LL * 3600 * 1000;
    long long days = (startOfDayMs_ + nowMs_) / dayMs;
    startOfDayMs_ = days * dayMs + (hour * 3600LL + minute * 60LL + second) * 1000 - nowMs_;
}

void VirtualClock::SetDate(int year, int month, int day) {
    year_ = year;
    month_ = month;
    day_ = day;
}

void TestConsole::Key(const std::string& key, long long at) {
    host::InputEvent e;
    e.kind = host::InputEvent::Kind::Key;
    e.key = key;
    events_.push_back({at < 0 ? 0 : at, e});
}

void TestConsole::Keys(const std::string& text, long long at) {
    for (char c : text) Key(std::string(1, c), at);
}

void TestConsole::Click(int screenRow, int column, int button, int kind, long long at) {
    host::InputEvent e;
    e.kind = host::InputEvent::Kind::Mouse;
    e.button = button;
    e.click = kind;
    e.row = screenRow - 1;
    e.column = column;
    events_.push_back({at < 0 ? 0 : at, e});
}

std::string TestConsole::Dump() const {
    std::ostringstream out;
    for (int r = 1; r <= screen_.Rows(); ++r) out << (r < 10 ? " " : "") << r << "|" << screen_.Text(r) << "|\n";
    return out.str();
}

void TestConsole::SetSize(int rows, int columns) {
    screen_.Resize(rows, columns);
    log.push_back("size " + std::to_string(rows) + "x" + std::to_string(columns));
}

void TestConsole::Show(host::WindowShow how) {
    log.push_back(how == host::WindowShow::Minimised   ? "show min"
                  : how == host::WindowShow::Maximised ? "show max"
                                                       : "show normal");
}

void TestConsole::Move(int x, int y) { log.push_back("move " + std::to_string(x) + "," + std::to_string(y)); }

bool TestConsole::ReadEvent(host::InputEvent& event) {
    if (events_.empty() || events_.front().at > clock_.Milliseconds()) return false;
    event = events_.front().event;
    events_.pop_front();
    idleSince_ = -1;
    return true;
}

void TestConsole::AwaitInput(int milliseconds) {
    if (keepScreens) {
        std::vector<std::string> rows;
        for (int r = 1; r <= screen_.Rows(); ++r) rows.push_back(screen_.Text(r));
        if (screens.empty() || screens.back() != rows) screens.push_back(std::move(rows));
    }
    if (!events_.empty() && events_.front().at <= clock_.Milliseconds()) return;
    if (events_.empty()) {
        if (idleSince_ < 0) idleSince_ = clock_.Milliseconds();
        if (clock_.Milliseconds() - idleSince_ > idleLimitMs) throw ScriptExhausted{};
    }
    clock_.Pause(milliseconds);
}

void TestConsole::Present() {
    std::vector<std::string> rows;
    for (int r = 1; r <= screen_.Rows(); ++r) rows.push_back(screen_.Text(r));
    presented.push_back(std::move(rows));
}

const std::vector<std::string>* TestConsole::ScreenWith(int row, int column, const std::string& text) const {
    for (const auto& rows : screens) {
        if (row < 1 || row > static_cast<int>(rows.size())) continue;
        const std::string& line = rows[static_cast<size_t>(row - 1)];
        if (line.compare(static_cast<size_t>(column - 1), text.size(), text) == 0) return &rows;
    }
    return nullptr;
}

void TestConsole::FlushInput() {
    ++flushes;
    while (!events_.empty() && events_.front().at <= clock_.Milliseconds()) events_.pop_front();
}

void RecordingProcesses::Start(const std::string& commandLine, host::WindowStyle style, bool wait) {
    if (failWith) throw RuntimeError(failWith);
    started.push_back({commandLine, style, wait});
}

void RecordingProcesses::StartAfterEnd(const std::string& commandLine) {
    if (failWith) throw RuntimeError(failWith);
    afterEnd.push_back(commandLine);
}

int RecordingShell::CreateShortcut(const host::Shortcut& link) {
    if (failWith) throw RuntimeError(failWith);
    if (!hasDesktop) return 0;
    shortcuts.push_back(link);
    return 1;
}

int RecordingMedia::Send(const std::string& command, std::string& result) {
    commands.push_back(command);
    auto it = answers.find(command);
    result = it == answers.end() ? "" : it->second;
    return 0;
}

TempDir::TempDir() {
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path();
    for (int i = 0; i < 100; ++i) {
        auto candidate = base / ("pavuto-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("no temporary directory");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

namespace {
// Test files are named in UTF-8, whatever the platform's own encoding is.
std::filesystem::path Utf8Path(const std::string& relative) {
    return std::filesystem::path(std::u8string(relative.begin(), relative.end()));
}
}  // namespace

void TempDir::Write(const std::string& relative, const std::string& bytes) const {
    auto p = path_ / Utf8Path(relative);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string TempDir::Read(const std::string& relative) const {
    std::ifstream in(path_ / Utf8Path(relative), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool TempDir::Exists(const std::string& relative) const { return std::filesystem::exists(path_ / Utf8Path(relative)); }

TestHost::TestHost()
    : files(host::MakeFileSystemOn(temp.path().string())),
      host{console, clock, faults, processes, environment, media, system, shell},
      clockMedia(clock, faults),
      clockHost{console, clock, faults, processes, environment, clockMedia, system, shell} {}

namespace {

std::vector<std::string> MediaWords(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

// The playing time of a WAV file from its header; -1 for anything else.
long long WavLength(const std::string& bytes) {
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return -1;
    auto u32 = [&](std::size_t at) {
        return static_cast<unsigned long long>(static_cast<unsigned char>(bytes[at])) |
               static_cast<unsigned long long>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
               static_cast<unsigned long long>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
               static_cast<unsigned long long>(static_cast<unsigned char>(bytes[at + 3])) << 24;
    };
    unsigned long long byteRate = 0;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        std::string id = bytes.substr(at, 4);
        unsigned long long size = u32(at + 4);
        if (id == "fmt " && at + 20 <= bytes.size()) byteRate = u32(at + 16);
        if (id == "data") return byteRate ? static_cast<long long>(size * 1000 / byteRate) : -1;
        at += 8 + size + (size & 1);
    }
    return -1;
}

}  // namespace

long long ClockMedia::Position(Title& t) {
    if (!t.playing) return t.base;
    long long pos = t.base + (clock_.Milliseconds() - t.since);
    if (t.repeat) return t.length > 0 ? pos % t.length : 0;
    return pos < t.length ? pos : t.length;
}

long long ClockMedia::PositionOf(const std::string& alias) {
    auto it = titles_.find(alias);
    return it == titles_.end() ? -1 : Position(it->second);
}

std::vector<std::string> ClockMedia::CommandsFrom(std::size_t from, const std::string& prefix) const {
    std::vector<std::string> out;
    for (std::size_t i = from; i < commands.size(); ++i)
        if (commands[i].rfind(prefix, 0) == 0) out.push_back(commands[i]);
    return out;
}

bool ClockMedia::ShortPath(const std::string& path, std::string& shortPath) {
    if (!files_.FileExists(path)) return false;
    shortPath = path;
    return true;
}

int ClockMedia::Send(const std::string& command, std::string& result) {
    commands.push_back(command);
    if (onCommand) onCommand(command);
    result.clear();
    auto w = MediaWords(command);
    if (w.size() < 2) return 261;
    if (w[0] == "open") {
        if (w.size() != 6 || w[2] != "type" || w[4] != "alias") return 261;
        for (const auto& name : unplayable)
            if (name == w[1]) return 275;
        if (!files_.FileExists(w[1]) || files_.FileSize(w[1]) == 0) return 275;
        auto file = files_.Open(w[1], host::OpenMode::Binary);
        std::string head = file->ReadAt(0, 4096);
        file->Close();
        Title t;
        t.length = WavLength(head);
        if (t.length < 0) t.length = defaultLength;
        titles_[w[5]] = t;
        opened.push_back(w[1]);
        openedLengths.push_back(t.length);
        return 0;
    }
    auto it = titles_.find(w[1]);
    if (it == titles_.end()) return 263;
    Title& t = it->second;
    if (w[0] == "play") {
        t.base = Position(t);
        t.since = clock_.Milliseconds();
        t.playing = true;
        t.repeat = w.size() == 3 && w[2] == "repeat";
        return 0;
    }
    if (w[0] == "stop") {
        t.base = Position(t);
        t.playing = false;
        return 0;
    }
    if (w[0] == "close") {
        titles_.erase(it);
        return 0;
    }
    if (w[0] == "seek" && w.size() == 4) {
        t.base = std::stoll(w[3]);
        t.playing = false;
        return 0;
    }
    if (w[0] == "setaudio" && w.size() == 5) {
        volumes.push_back(std::stoi(w[4]));
        return 0;
    }
    if (w[0] == "status" && w.size() == 3) {
        if (w[2] == "length") result = std::to_string(t.length);
        else if (w[2] == "position") result = std::to_string(Position(t));
        else return 261;
        return 0;
    }
    if (w[0] == "set") return 0;
    return 261;
}

std::string SineWav(int milliseconds, int sampleRate, int frequency) {
    auto le = [](std::string& s, unsigned long v, int bytes) {
        for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    unsigned long samples = static_cast<unsigned long>(static_cast<long long>(sampleRate) * milliseconds / 1000);
    unsigned long dataSize = samples * 2;
    std::string s = "RIFF";
    le(s, 36 + dataSize, 4);
    s += "WAVEfmt ";
    le(s, 16, 4);
    le(s, 1, 2);  // PCM
    le(s, 1, 2);  // mono
    le(s, static_cast<unsigned long>(sampleRate), 4);
    le(s, static_cast<unsigned long>(sampleRate) * 2, 4);
    le(s, 2, 2);
    le(s, 16, 2);
    s += "data";
    le(s, dataSize, 4);
    for (unsigned long i = 0; i < samples; ++i) {
        double v = std::sin(2.0 * 3.14159265358979 * frequency * static_cast<double>(i) / sampleRate);
        le(s, static_cast<unsigned long>(static_cast<long>(v * 12000)) & 0xFFFF, 2);
    }
    return s;
}

}  // namespace pavuto::test
