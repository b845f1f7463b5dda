#pragma once
// An open file with the buffering every host's files share: sequential
// lines read through a read buffer, sequential writes collected in a write
// buffer, both kept straight with positioned access. A host's file class
// supplies only the system's calls.
#include <cstdint>
#include <string>
#include <string_view>

#include "host/filesystem.hpp"

namespace pavuto::host {

class BufferedFile : public File {
public:
    explicit BufferedFile(std::string what) : what_(std::move(what)) {}

    std::uint64_t Size() override;
    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count) override;
    using File::ReadAt;
    void WriteAt(std::uint64_t offset, std::string_view bytes) override;
    bool ReadLine(std::string& line) override;
    bool AtEnd() override;
    void Write(std::string_view bytes) override;
    // Writes what is pending and closes; a failure of either is reported
    // once the file is closed.
    void Close() override;

protected:
    // The system's calls. Those returning void or a value fail with a
    // RuntimeError (Fail); the two returning int give 0 or the program's
    // error number.
    virtual bool IsOpen() const = 0;
    virtual std::uint64_t SizeNow() = 0;
    virtual std::size_t ReadNow(std::uint64_t offset, char* buffer, std::size_t count) = 0;
    virtual void WriteNow(std::uint64_t offset, std::string_view bytes) = 0;
    // Writes at the place of sequential writing and moves it on.
    virtual int AppendNow(std::string_view bytes) = 0;
    // Closes the handle (the file counts as closed afterwards, failed or not).
    virtual int CloseNow() = 0;

    // For the destructors of the host's classes: a failure there has nobody
    // to go to.
    void CloseQuietly() noexcept;
    [[noreturn]] void Fail(int number) const;

private:
    std::size_t ReadIndex() const { return static_cast<std::size_t>(readPos_ - readStart_); }
    // Makes sure the byte at readPos_ is buffered; false at the end of the file.
    bool Fill();
    void FlushWrites();

    std::string what_;  // the path the program named, for its error messages
    std::string readBuffer_;
    std::uint64_t readStart_ = 0, readPos_ = 0;
    std::string writeBuffer_;
};

}  // namespace pavuto::host
