#pragma once
// A host for the benchmarks: the real file system with drive C: mapped onto a
// temporary directory, a console that shows nothing and answers every wait
// with a key at once, and a clock whose pauses cost nothing.
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "host/host.hpp"
#include "host/posix/posix_filesystem.hpp"
#include "lists/collation.hpp"
#include "program.hpp"

namespace pavuto::bench {

class NullConsole : public host::Console {
public:
    void SetSize(int rows, int columns) override {
        rows_ = rows;
        columns_ = columns;
    }
    int Rows() const override { return rows_; }
    int Columns() const override { return columns_; }
    void Show(host::WindowShow) override {}
    void Move(int, int) override {}
    void Clear() override {}
    void SetColours(int, int) override {}
    void Locate(int row, int column) override {
        row_ = row;
        column_ = column;
    }
    int CursorRow() const override { return row_; }
    int CursorColumn() const override { return column_; }
    void Write(std::string_view) override {}
    void NewLine() override {}
    void ShowCursor(bool) override {}
    void Present() override {}
    bool ReadEvent(host::InputEvent& event) override {
        event = {};
        event.kind = host::InputEvent::Kind::Key;
        event.key = " ";
        return true;
    }
    void AwaitInput(int) override {}
    void EnableMouse(bool) override {}
    void FlushInput() override {}
    void Beep() override {}
    void Suspend() override {}
    void Resume() override {}

private:
    int rows_ = 22, columns_ = 70, row_ = 1, column_ = 1;
};

class NullClock : public host::Clock {
public:
    void Pause(int) override {}
    std::uint32_t TickCount() override { return 0; }
    host::LocalTime Now() override { return {}; }
};

class NoProcesses : public host::Processes {
public:
    void Start(const std::string&, host::WindowStyle, bool) override {}
    void StartAfterEnd(const std::string&) override {}
};
class NoEnvironment : public host::Environment {
public:
    std::vector<std::string> Block() override { return {}; }
    std::string CommandLine() override { return {}; }
};
class NoMedia : public host::Media {
public:
    int Send(const std::string&, std::string& result) override {
        result.clear();
        return 0;
    }
    int WaveOutDevices() override { return 0; }
    bool ShortPath(const std::string& path, std::string& shortPath) override {
        shortPath = path;
        return true;
    }
};
class NoSystem : public host::SystemInfo {
public:
    std::optional<host::VersionRecord> WindowsVersion() override { return std::nullopt; }
    std::string Description() override { return "bench"; }
};
class NoShell : public host::Shell {
public:
    std::vector<std::string> ProgramFiles() override { return {}; }
    int CreateShortcut(const host::Shortcut&) override { return 0; }
};

// A temporary directory as drive C:, removed at the end.
class BenchHost {
public:
    BenchHost() {
        std::random_device rd;
        root_ = std::filesystem::temp_directory_path() / ("pavuto-bench-" + std::to_string(rd()));
        std::filesystem::create_directories(root_ / "home");
        std::filesystem::create_directories(root_ / "tmp");
        files_ = std::make_unique<host::posix::PosixFileSystem>(host::posix::DriveMap{{{'C', root_.string()}}});
        host_ = std::make_unique<host::Host>(host::Host{console_, clock_, *files_, processes_, environment_, media_, system_, shell_});
        program_ = std::make_unique<Program>(*host_);
        Program& p = *program_;
        p.settings.tempDirectory = "C:\\tmp\\";
        p.settings.startDrive = "C:";
        p.settings.startDirectory = "\\home";
        p.browser.homeDirectory = "C:\\home";
        p.settings.listExtension = ".mp3";
        p.collation = BuildCollationTable();
        files_->ChangeDirectory("C:\\home");
    }
    ~BenchHost() {
        program_.reset();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    Program& program() { return *program_; }
    const std::filesystem::path& root() const { return root_; }
    void Write(const std::string& relative, const std::string& bytes) const {
        auto path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

private:
    std::filesystem::path root_;
    NullConsole console_;
    NullClock clock_;
    NoProcesses processes_;
    NoEnvironment environment_;
    NoMedia media_;
    NoSystem system_;
    NoShell shell_;
    std::unique_ptr<host::posix::PosixFileSystem> files_;
    std::unique_ptr<host::Host> host_;
    std::unique_ptr<Program> program_;
};

}  // namespace pavuto::bench
