#include "support/test_host.hpp"

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
    if (!events_.empty() && events_.front().at <= clock_.Milliseconds()) return;
    if (events_.empty()) {
        if (idleSince_ < 0) idleSince_ = clock_.Milliseconds();
        if (clock_.Milliseconds() - idleSince_ > idleLimitMs) throw ScriptExhausted{};
    }
    clock_.Pause(milliseconds);
}

void TestConsole::FlushInput() {
    ++flushes;
    while (!events_.empty() && events_.front().at <= clock_.Milliseconds()) events_.pop_front();
}

void RecordingProcesses::Start(const std::string& commandLine, host::WindowStyle style, bool wait) {
    if (failWith) throw RuntimeError(failWith);
    started.push_back({commandLine, style, wait});
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

void TempDir::Write(const std::string& relative, const std::string& bytes) const {
    auto p = path_ / relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string TempDir::Read(const std::string& relative) const {
    std::ifstream in(path_ / relative, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool TempDir::Exists(const std::string& relative) const { return std::filesystem::exists(path_ / relative); }

TestHost::TestHost()
    : files(std::make_unique<host::posix::PosixFileSystem>(host::posix::DriveMap{{{'C', temp.path().string()}}})),
      host{console, clock, *files, processes, environment, media, system} {}

}  // namespace pavuto::test
