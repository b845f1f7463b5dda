// The buffering both hosts' files share, on a file in memory whose system
// calls can be made to fail.
#include "host/buffered_file.hpp"

#include <gtest/gtest.h>

#include "common/runtime_error.hpp"

namespace pavuto::host {
namespace {

class MemoryFile : public BufferedFile {
public:
    MemoryFile() : BufferedFile("C:\\probe.txt") {}
    ~MemoryFile() override { CloseQuietly(); }

    std::string bytes;
    int appendFails = 0, closeFails = 0;  // the error numbers to report, 0 = none
    int appends = 0, closes = 0;
    bool open = true;

protected:
    bool IsOpen() const override { return open; }
    std::uint64_t SizeNow() override { return bytes.size(); }
    std::size_t ReadNow(std::uint64_t offset, char* buffer, std::size_t count) override {
        if (offset >= bytes.size()) return 0;
        std::size_t n = std::min<std::size_t>(count, bytes.size() - offset);
        bytes.copy(buffer, n, offset);
        return n;
    }
    void WriteNow(std::uint64_t offset, std::string_view data) override {
        if (bytes.size() < offset + data.size()) bytes.resize(offset + data.size());
        bytes.replace(offset, data.size(), data);
    }
    int AppendNow(std::string_view data) override {
        ++appends;
        if (appendFails) return appendFails;
        bytes.append(data);
        return 0;
    }
    int CloseNow() override {
        ++closes;
        open = false;
        return closeFails;
    }
};

std::vector<std::string> AllLines(File& f) {
    std::vector<std::string> lines;
    std::string line;
    while (f.ReadLine(line)) lines.push_back(line);
    return lines;
}

TEST(BufferedFile, LinesEndInCrLfLfOrCrAlsoWhereTheEndStraddlesTheBuffer) {
    MemoryFile f;
    // The CR of "b" is the last byte of the first 64 KiB read, its LF the first of the next.
    const std::string first(65536 - 2, 'a');
    f.bytes = first + "b\r\nc\rd\n\re";
    EXPECT_EQ(AllLines(f), (std::vector<std::string>{first + "b", "c", "d", "", "e"}));
    EXPECT_TRUE(f.AtEnd());
}

TEST(BufferedFile, PositionedAccessSeesWhatWasWrittenAndWhatWasReadBecomesStale) {
    MemoryFile f;
    f.WriteLine("eins");
    f.Write("zwei");
    EXPECT_EQ(f.appends, 0) << "small writes are collected";
    EXPECT_EQ(f.Size(), 10u);
    EXPECT_EQ(f.ReadAt(6, 4), "zwei");

    std::string line;
    ASSERT_TRUE(f.ReadLine(line));
    EXPECT_EQ(line, "eins");
    f.WriteAt(6, "drei");  // changes what the read buffer holds
    ASSERT_TRUE(f.ReadLine(line));
    EXPECT_EQ(line, "drei");
}

TEST(BufferedFile, AFailedLastWriteIsReportedOnceTheFileIsClosed) {
    MemoryFile f;
    f.Write("pending");
    f.appendFails = err::DiskFull;
    f.closeFails = err::DeviceIoError;
    try {
        f.Close();
        FAIL() << "the lost bytes were reported as written";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::DiskFull) << "the write's failure comes first";
    }
    EXPECT_FALSE(f.open);
    EXPECT_EQ(f.closes, 1);
    f.Close();  // closed is closed
    EXPECT_EQ(f.closes, 1);

    MemoryFile g;
    g.closeFails = err::DeviceIoError;
    g.Write("x");
    try {
        g.Close();
        FAIL() << "a failed close was reported as success";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::DeviceIoError);
    }
    EXPECT_EQ(g.bytes, "x");
}

TEST(BufferedFile, ALargeWriteGoesOutAtOnceAndItsFailureAtOnce) {
    MemoryFile f;
    f.Write(std::string(65536, 'x'));
    EXPECT_EQ(f.appends, 1);
    f.appendFails = err::DiskFull;
    EXPECT_THROW(f.Write(std::string(65536, 'y')), RuntimeError);
    EXPECT_TRUE(f.open) << "the file stays open to be closed";
}

}  // namespace
}  // namespace pavuto::host
