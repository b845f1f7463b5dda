#pragma once
// The test host: an in-memory screen of R x C cells, scripted keys and clicks
// on a virtual clock, real files in a temporary directory mapped as a drive,
// and recording stand-ins for processes and media.
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/host.hpp"
#include "host/screen_buffer.hpp"
#include "program.hpp"
#include "support/faulty_filesystem.hpp"

namespace pavuto::test {

// Thrown when a program waits for input that the script no longer holds.
struct ScriptExhausted {};

class VirtualClock : public host::Clock {
public:
    void Pause(int milliseconds) override { nowMs_ += milliseconds > 0 ? milliseconds : 0; }
    std::uint32_t TickCount() override { return static_cast<std::uint32_t>(bootTick_ + nowMs_); }
    host::LocalTime Now() override;
    // Sets the local time of day (the date stays 2026-12-09 unless given).
    void SetTime(int hour, int minute, int second = 0);
    void SetDate(int year, int month, int day);
    long long Milliseconds() const { return nowMs_; }
    void Advance(long long ms) { nowMs_ += ms; }

private:
    long long nowMs_ = 0;
    long long bootTick_ = 123456;
    long long startOfDayMs_ = 12LL * 3600 * 1000;  // noon
    int year_ = 2026, month_ = 12, day_ = 9;
};

class TestConsole : public host::Console {
public:
    explicit TestConsole(VirtualClock& clock) : clock_(clock) {}

    // Script: events become readable once the virtual clock reaches `at`
    // (milliseconds from its start; default: at once).
    void Key(const std::string& key, long long at = -1);
    void Keys(const std::string& text, long long at = -1);  // one key event per character
    void Click(int screenRow, int column, int button = 1, int kind = 1, long long at = -1);
    void DoubleClick(int screenRow, int column, int button = 1) { Click(screenRow, column, button, 2); }
    size_t Pending() const { return events_.size(); }

    // Inspection (1-based screen positions).
    std::string Text(int row, int column = 1, int count = -1) const { return screen_.Text(row, column, count); }
    // The row's text converted from code page 850 to Windows-1252 for German
    // letters, so that tests can compare with program texts.
    const host::Cell& At(int row, int column) const { return screen_.At(row, column); }
    const host::ScreenBuffer& Screen() const { return screen_; }
    std::string Dump() const;
    int beeps = 0;
    std::vector<std::string> log;  // window operations in order: "size 22x70", "show max", ...
    int mouseEnables = 0;
    int flushes = 0;
    int suspends = 0;
    // Virtual time that WaitForInput may pass with an empty script before it
    // gives up with ScriptExhausted.
    long long idleLimitMs = 10LL * 60 * 1000;
    // With keepScreens set, every screen the program waits on is kept (rows
    // as text), so a test can see what stood there before later drawing.
    bool keepScreens = false;
    std::vector<std::vector<std::string>> screens;
    // The first kept screen whose row holds text at the column, or nullptr.
    const std::vector<std::string>* ScreenWith(int row, int column, const std::string& text) const;

    // host::Console
    void SetSize(int rows, int columns) override;
    int Rows() const override { return screen_.Rows(); }
    int Columns() const override { return screen_.Columns(); }
    void Show(host::WindowShow how) override;
    void Move(int x, int y) override;
    void Clear() override { screen_.Clear(); }
    void SetColours(int fg, int bg) override { screen_.SetColours(fg, bg); }
    void Locate(int row, int column) override { screen_.Locate(row, column); }
    int CursorRow() const override { return screen_.CursorRow(); }
    int CursorColumn() const override { return screen_.CursorColumn(); }
    void Write(std::string_view text) override { screen_.Write(text); }
    void NewLine() override { screen_.NewLine(); }
    void ShowCursor(bool) override {}
    // Keeps the rows shown, as text: what stood on the screen at that moment.
    void Present() override;
    std::vector<std::vector<std::string>> presented;
    bool ReadEvent(host::InputEvent& event) override;
    void AwaitInput(int milliseconds) override;
    void EnableMouse(bool) override { ++mouseEnables; }
    void FlushInput() override;
    void Beep() override { ++beeps; }
    void Suspend() override { ++suspends; }
    void Resume() override {}

private:
    struct Scripted {
        long long at;
        host::InputEvent event;
    };
    VirtualClock& clock_;
    host::ScreenBuffer screen_{22, 70};
    std::deque<Scripted> events_;
    long long idleSince_ = -1;
};

class RecordingProcesses : public host::Processes {
public:
    struct Started {
        std::string commandLine;
        host::WindowStyle style;
        bool wait;
    };
    std::vector<Started> started;
    std::vector<std::string> afterEnd;  // what StartAfterEnd was given
    int failWith = 0;  // a non-zero error number makes Start throw
    void Start(const std::string& commandLine, host::WindowStyle style, bool wait) override;
    void StartAfterEnd(const std::string& commandLine) override;
};

// The program's files as a test names them, and shortcuts recorded.
class RecordingShell : public host::Shell {
public:
    std::vector<std::string> programFiles;
    std::vector<host::Shortcut> shortcuts;
    bool hasDesktop = true;
    int failWith = 0;  // a non-zero error number makes CreateShortcut throw
    std::vector<std::string> ProgramFiles() override { return programFiles; }
    int CreateShortcut(const host::Shortcut& link) override;
};

class FakeEnvironment : public host::Environment {
public:
    std::vector<std::string> block;
    std::string commandLine;
    std::vector<std::string> Block() override { return block; }
    std::string CommandLine() override { return commandLine; }
};

class RecordingMedia : public host::Media {
public:
    std::vector<std::string> commands;
    int devices = 1;
    std::map<std::string, std::string> answers;  // status queries by command
    int Send(const std::string& command, std::string& result) override;
    int WaveOutDevices() override { return devices; }
    bool ShortPath(const std::string& path, std::string& shortPath) override {
        shortPath = path;
        return true;
    }
};

// A media device whose titles play on the virtual clock: a title opened from
// a WAV file has the length its header gives (any other file the default
// length), and its position advances with the clock while it plays; "play
// ... repeat" loops it from its start. Open fails for a missing or empty file
// and for names listed in unplayable.
class ClockMedia : public host::Media {
public:
    ClockMedia(VirtualClock& clock, host::FileSystem& files) : clock_(clock), files_(files) {}
    std::vector<std::string> commands;
    int devices = 1;
    long long defaultLength = 5000;
    std::vector<std::string> unplayable;  // file names (as opened) that cannot be played
    std::vector<int> volumes;             // every volume sent, in order
    std::vector<std::string> opened;      // the paths opened successfully, in order
    std::vector<long long> openedLengths; // and the lengths of those titles
    // Called with every command before it is carried out (to look at the
    // screen while the player runs, or to interrupt it by throwing).
    std::function<void(const std::string&)> onCommand;
    int Send(const std::string& command, std::string& result) override;
    int WaveOutDevices() override { return devices; }
    bool ShortPath(const std::string& path, std::string& shortPath) override;
    // The position of an open alias now (-1 when it is not open).
    long long PositionOf(const std::string& alias);
    int OpenCount() const { return static_cast<int>(titles_.size()); }
    // The commands sent since index `from` that start with prefix.
    std::vector<std::string> CommandsFrom(std::size_t from, const std::string& prefix) const;

private:
    struct Title {
        long long length = 0;
        bool playing = false, repeat = false;
        long long base = 0, since = 0;
    };
    long long Position(Title& t);
    VirtualClock& clock_;
    host::FileSystem& files_;
    std::map<std::string, Title> titles_;
};

// A 16-bit mono PCM WAV file of a sine tone.
std::string SineWav(int milliseconds, int sampleRate = 8000, int frequency = 440);

class FakeSystemInfo : public host::SystemInfo {
public:
    std::optional<host::VersionRecord> record;
    std::string description = "Linux 6.1 x86_64";
    std::optional<host::VersionRecord> WindowsVersion() override { return record; }
    std::string Description() override { return description; }
};

// What the platform's file names and files can carry. Windows names hold no
// control characters and no bytes outside the code page, paths end at
// MAX_PATH for the ANSI calls, and files have no permission bits; tests of
// those cases run where the platform has them.
#ifdef _WIN32
inline constexpr bool kNamesHoldAnyCharacter = false;
inline constexpr bool kPathsLongerThan260 = false;
inline constexpr bool kPermissionBits = false;
#else
inline constexpr bool kNamesHoldAnyCharacter = true;
inline constexpr bool kPathsLongerThan260 = true;
inline constexpr bool kPermissionBits = true;
#endif

// A temporary directory removed at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    // Writes a file (bytes as given), creating parent directories.
    void Write(const std::string& relative, const std::string& bytes) const;
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;

private:
    std::filesystem::path path_;
};

// Everything together. Drive C: is the temporary directory; the current
// directory is its root.
class TestHost {
public:
    TestHost();
    TempDir temp;
    VirtualClock clock;
    TestConsole console{clock};
    std::unique_ptr<host::FileSystem> files;  // the platform's own, C: = temp
    // What the program's host sees of `files`: counted, and failing where a
    // test says so.
    FaultyFileSystem faults{*files};
    RecordingProcesses processes;
    FakeEnvironment environment;
    RecordingMedia media;
    FakeSystemInfo system;
    RecordingShell shell;
    host::Host host;
    // The same host with the clock-driven media device.
    ClockMedia clockMedia;
    host::Host clockHost;
};

}  // namespace pavuto::test
