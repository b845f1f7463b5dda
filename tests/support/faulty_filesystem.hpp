#pragma once
// A file system that passes every call on to another one, counts reads and
// writes, and fails chosen calls: the n-th call of a kind from now on with a
// chosen error number, or every write once a byte budget is spent (a full
// disk). Tests use it to make each step of an operation fail in turn.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "common/runtime_error.hpp"
#include "host/filesystem.hpp"

namespace pavuto::test {

class FaultyFileSystem : public host::FileSystem {
public:
    // The kinds of call a fault can be put on. Create is an Open for
    // writing (Output, Append, Binary), Read an Open for reading or any read
    // of an open file, Write any write or the Close that flushes it.
    enum class Op { Create, Read, Write, Rename, Replace, Remove, List, ChangeDirectory, MakeDirectory, Count };

    explicit FaultyFileSystem(host::FileSystem& inner) : inner_(inner) {}

    // The n-th call of the kind from now on (1 = the next) throws `number`;
    // with `pathPart`, only calls on paths that hold it count.
    void FailNth(Op op, int n, int number, std::string pathPart = {}) {
        faults_[Index(op)] = {n, number, false, std::move(pathPart)};
    }
    // Every call of the kind from now on throws `number`.
    void FailAll(Op op, int number, std::string pathPart = {}) {
        faults_[Index(op)] = {1, number, true, std::move(pathPart)};
    }
    // Writes succeed for `bytes` more bytes; the write that passes the
    // budget writes what fits and throws 61, and so does every later one.
    void DiskFullAfter(std::uint64_t bytes) { budget_ = bytes; limited_ = true; }
    void Heal() {
        faults_ = {};
        limited_ = false;
    }
    // How many faults were thrown since the last Heal or construction.
    int injected = 0;

    // Counters for the list tests: positioned reads and the bytes they
    // brought, positioned writes.
    long reads = 0;
    long bytesRead = 0;
    long writes = 0;
    void Reset() { reads = bytesRead = writes = 0; }

    std::string CurrentDrive() override { return inner_.CurrentDrive(); }
    std::string CurrentDirectory(std::string_view drive = {}) override { return inner_.CurrentDirectory(drive); }
    void ChangeDrive(std::string_view drive) override { inner_.ChangeDrive(drive); }
    void ChangeDirectory(std::string_view path) override {
        Check(Op::ChangeDirectory, path);
        inner_.ChangeDirectory(path);
    }
    std::string FullPath(std::string_view path) override { return inner_.FullPath(path); }
    bool FileExists(std::string_view path) override { return inner_.FileExists(path); }
    bool SameFile(std::string_view a, std::string_view b) override { return inner_.SameFile(a, b); }
    bool DirectoryExists(std::string_view path) override { return inner_.DirectoryExists(path); }
    std::uint64_t FileSize(std::string_view path) override { return inner_.FileSize(path); }
    std::vector<host::DirEntry> List(std::string_view d, std::string_view pattern = "*.*") override {
        Check(Op::List, d);
        return inner_.List(d, pattern);
    }
    std::unique_ptr<host::File> Open(std::string_view path, host::OpenMode mode) override {
        Check(mode == host::OpenMode::Input ? Op::Read : Op::Create, path);
        return std::make_unique<FaultyFile>(*this, std::string(path), inner_.Open(path, mode));
    }
    void Rename(std::string_view from, std::string_view to) override {
        Check(Op::Rename, to);
        inner_.Rename(from, to);
    }
    void Replace(std::string_view from, std::string_view to) override {
        Check(Op::Replace, to);
        inner_.Replace(from, to);
    }
    void Remove(std::string_view path) override {
        Check(Op::Remove, path);
        inner_.Remove(path);
    }
    void CopyAttributes(std::string_view from, std::string_view to) override {
        Check(Op::Write, to);
        inner_.CopyAttributes(from, to);
    }
    void MakeDirectory(std::string_view path) override {
        Check(Op::MakeDirectory, path);
        inner_.MakeDirectory(path);
    }
    std::string HostPath(std::string_view path) override { return inner_.HostPath(path); }
    std::string DrivePath(std::string_view hostPath) override { return inner_.DrivePath(hostPath); }

private:
    struct Fault {
        int countdown = 0;  // 0: none
        int number = 0;
        bool sticky = false;
        std::string pathPart;
    };
    static std::size_t Index(Op op) { return static_cast<std::size_t>(op); }

    void Check(Op op, std::string_view path = {}) {
        Fault& f = faults_[Index(op)];
        if (f.countdown == 0) return;
        if (!f.pathPart.empty() && path.find(f.pathPart) == std::string_view::npos) return;
        if (--f.countdown > 0) return;
        int number = f.number;
        if (f.sticky) f.countdown = 1;
        ++injected;
        throw RuntimeError(number, "injected");
    }

    // What of `bytes` still fits; throws 61 after writing it when not all does.
    template <class WriteFn>
    void Spend(std::string_view path, std::string_view bytes, WriteFn write) {
        Check(Op::Write, path);
        if (!limited_ || bytes.size() <= budget_) {
            if (limited_) budget_ -= bytes.size();
            write(bytes);
            return;
        }
        std::string_view fits = bytes.substr(0, static_cast<std::size_t>(budget_));
        budget_ = 0;
        if (!fits.empty()) write(fits);
        ++injected;
        throw RuntimeError(err::DiskFull, "injected");
    }

    class FaultyFile : public host::File {
    public:
        FaultyFile(FaultyFileSystem& fs, std::string path, std::unique_ptr<host::File> f)
            : fs_(fs), path_(std::move(path)), f_(std::move(f)) {}
        std::uint64_t Size() override { return f_->Size(); }
        std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count) override {
            fs_.Check(Op::Read, path_);
            ++fs_.reads;
            std::size_t n = f_->ReadAt(offset, buffer, count);
            fs_.bytesRead += static_cast<long>(n);
            return n;
        }
        void WriteAt(std::uint64_t offset, std::string_view bytes) override {
            ++fs_.writes;
            fs_.Spend(path_, bytes, [&](std::string_view b) { f_->WriteAt(offset, b); });
        }
        bool ReadLine(std::string& line) override {
            fs_.Check(Op::Read, path_);
            return f_->ReadLine(line);
        }
        bool AtEnd() override { return f_->AtEnd(); }
        void Write(std::string_view bytes) override {
            // Flushed at once, so that a cut write is on the disk as it would be.
            fs_.Spend(path_, bytes, [&](std::string_view b) { f_->Write(b); });
        }
        void Close() override { f_->Close(); }

    private:
        FaultyFileSystem& fs_;
        std::string path_;
        std::unique_ptr<host::File> f_;
    };

    host::FileSystem& inner_;
    std::array<Fault, static_cast<std::size_t>(Op::Count)> faults_{};
    std::uint64_t budget_ = 0;
    bool limited_ = false;
};

}  // namespace pavuto::test
