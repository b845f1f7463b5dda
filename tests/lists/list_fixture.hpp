#pragma once
// Shared set-up of the list tests: a program on the test host with a home,
// a temp and a start directory, records made to measure, and a file system
// that counts the positioned reads made through it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "console/console.hpp"
#include "lists/collation.hpp"
#include "program.hpp"
#include "support/test_host.hpp"

namespace pavuto::test {

// A title-list record: title field of MAXDL - 1, directory field of MAXDLDIR, CR LF.
inline std::string Record(const std::string& title, const std::string& dir, int maxdl = 30, int maxdldir = 30) {
    return PadRight(title, maxdl - 1) + PadRight(">" + dir + "<", maxdldir) + "\r\n";
}

// What a program text looks like on the test screen.
inline std::string OnScreen(const std::string& text) { return ConvertForConsole(text); }

class CountingFileSystem : public host::FileSystem {
public:
    explicit CountingFileSystem(host::FileSystem& inner) : inner_(inner) {}
    long reads = 0;
    long bytesRead = 0;
    long writes = 0;
    void Reset() { reads = bytesRead = writes = 0; }

    std::string CurrentDrive() override { return inner_.CurrentDrive(); }
    std::string CurrentDirectory(std::string_view drive = {}) override { return inner_.CurrentDirectory(drive); }
    void ChangeDrive(std::string_view drive) override { inner_.ChangeDrive(drive); }
    void ChangeDirectory(std::string_view path) override { inner_.ChangeDirectory(path); }
    std::string FullPath(std::string_view path) override { return inner_.FullPath(path); }
    bool FileExists(std::string_view path) override { return inner_.FileExists(path); }
    bool DirectoryExists(std::string_view path) override { return inner_.DirectoryExists(path); }
    std::uint64_t FileSize(std::string_view path) override { return inner_.FileSize(path); }
    std::vector<host::DirEntry> List(std::string_view d, std::string_view pattern = "*.*") override {
        return inner_.List(d, pattern);
    }
    std::unique_ptr<host::File> Open(std::string_view path, host::OpenMode mode) override {
        return std::make_unique<CountingFile>(*this, inner_.Open(path, mode));
    }
    void Rename(std::string_view from, std::string_view to) override { inner_.Rename(from, to); }
    void Remove(std::string_view path) override { inner_.Remove(path); }
    void MakeDirectory(std::string_view path) override { inner_.MakeDirectory(path); }
    std::string HostPath(std::string_view path) override { return inner_.HostPath(path); }
    std::string DrivePath(std::string_view hostPath) override { return inner_.DrivePath(hostPath); }

private:
    class CountingFile : public host::File {
    public:
        CountingFile(CountingFileSystem& fs, std::unique_ptr<host::File> f) : fs_(fs), f_(std::move(f)) {}
        std::uint64_t Size() override { return f_->Size(); }
        std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count) override {
            ++fs_.reads;
            std::size_t n = f_->ReadAt(offset, buffer, count);
            fs_.bytesRead += static_cast<long>(n);
            return n;
        }
        void WriteAt(std::uint64_t offset, std::string_view bytes) override {
            ++fs_.writes;
            f_->WriteAt(offset, bytes);
        }
        bool ReadLine(std::string& line) override { return f_->ReadLine(line); }
        bool AtEnd() override { return f_->AtEnd(); }
        void Write(std::string_view bytes) override { f_->Write(bytes); }
        void Close() override { f_->Close(); }

    private:
        CountingFileSystem& fs_;
        std::unique_ptr<host::File> f_;
    };
    host::FileSystem& inner_;
};

// A program whose file system counts reads; C:\home is home and start
// directory, C:\tmp\ the temp directory.
struct ListTest : ::testing::Test {
    TestHost h;
    CountingFileSystem files{*h.files};
    host::Host counted{h.console, h.clock, files, h.processes, h.environment, h.media, h.system};
    Program p{counted};

    ListTest() {
        h.temp.Write("home/.keep", "");
        h.temp.Write("tmp/.keep", "");
        p.settings.tempDirectory = "C:\\tmp\\";
        p.settings.startDrive = "C:";
        p.settings.startDirectory = "\\home";
        p.settings.homeDrive = "C:";
        p.settings.homePath = "\\home";
        p.browser.homeDirectory = "C:\\home";
        p.collation = BuildCollationTable();
        p.files().ChangeDirectory("C:\\home");
    }
    std::string Row(int row, int column = 1, int count = -1) { return h.console.Text(row, column, count); }
    bool ScreenHas(const std::string& text) { return h.console.Dump().find(OnScreen(text)) != std::string::npos; }
};

}  // namespace pavuto::test
