#include "host/buffered_file.hpp"

#include "common/runtime_error.hpp"

namespace pavuto::host {

namespace {
constexpr std::size_t kBufferSize = 65536;
}

void BufferedFile::Fail(int number) const { throw RuntimeError(number, what_); }

std::uint64_t BufferedFile::Size() {
    FlushWrites();
    return SizeNow();
}

std::size_t BufferedFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t count) {
    FlushWrites();
    return ReadNow(offset, buffer, count);
}

void BufferedFile::WriteAt(std::uint64_t offset, std::string_view bytes) {
    FlushWrites();
    WriteNow(offset, bytes);
    // What was buffered for reading may have changed.
    readBuffer_.clear();
    readStart_ = readPos_;
}

bool BufferedFile::ReadLine(std::string& line) {
    line.clear();
    if (!Fill()) return false;
    while (true) {
        if (ReadIndex() >= readBuffer_.size() && !Fill()) return true;
        char c = readBuffer_[ReadIndex()];
        ++readPos_;
        if (c == '\n') return true;
        if (c == '\r') {
            if ((ReadIndex() < readBuffer_.size() || Fill()) && readBuffer_[ReadIndex()] == '\n') ++readPos_;
            return true;
        }
        line += c;
    }
}

bool BufferedFile::AtEnd() { return !Fill(); }

void BufferedFile::Write(std::string_view bytes) {
    writeBuffer_.append(bytes);
    if (writeBuffer_.size() >= kBufferSize) FlushWrites();
}

void BufferedFile::Close() {
    if (!IsOpen()) return;
    std::string pending;
    pending.swap(writeBuffer_);
    int error = pending.empty() ? 0 : AppendNow(pending);
    const int closeError = CloseNow();
    if (error == 0) error = closeError;
    if (error != 0) Fail(error);
}

void BufferedFile::CloseQuietly() noexcept {
    try {
        Close();
    } catch (...) {
    }
}

bool BufferedFile::Fill() {
    if (!IsOpen()) return false;
    if (readPos_ >= readStart_ && ReadIndex() < readBuffer_.size()) return true;
    FlushWrites();
    readBuffer_.resize(kBufferSize);
    readStart_ = readPos_;
    std::size_t n = ReadNow(readPos_, readBuffer_.data(), readBuffer_.size());
    readBuffer_.resize(n);
    return n > 0;
}

void BufferedFile::FlushWrites() {
    if (writeBuffer_.empty() || !IsOpen()) return;
    std::string pending;
    pending.swap(writeBuffer_);
    if (int error = AppendNow(pending)) Fail(error);
}

}  // namespace pavuto::host
