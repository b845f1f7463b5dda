// Sorting lists through the collation table, in memory and by block passes.
#include "lists/sort.hpp"

#include <algorithm>
#include <random>

#include "lists/list_fixture.hpp"
#include "lists/list_file.hpp"

namespace pavuto::test {
namespace {

struct SortTest : ListTest {
    const std::string path = "C:\\home\\Rock.pavuto";
    void WriteRecords(const std::vector<std::string>& records) {
        std::string bytes;
        for (const auto& r : records) bytes += r + "\r\n";
        h.temp.Write("home/Rock.pavuto", bytes);
    }
    std::vector<std::string> ReadRecords() {
        std::vector<std::string> out;
        std::string bytes = h.temp.Read("home/Rock.pavuto");
        size_t start = 0;
        while (start < bytes.size()) {
            size_t end = bytes.find("\r\n", start);
            out.push_back(bytes.substr(start, end - start));
            start = end + 2;
        }
        return out;
    }
    // The reference: a full stable sort by the mapped texts.
    std::vector<std::string> FullSort(std::vector<std::string> records) {
        std::stable_sort(records.begin(), records.end(), [this](const std::string& a, const std::string& b) {
            return CollateCompare(p.collation, a, b) < 0;
        });
        return records;
    }
    std::vector<std::string> Keys(const std::vector<std::string>& records) {
        std::vector<std::string> keys;
        for (const auto& r : records) keys.push_back(CollationKey(p.collation, r));
        return keys;
    }
};

std::vector<std::string> RandomRecords(int n, unsigned seed) {
    std::mt19937 rng(seed);
    const std::string letters = "abcdefghijklmnopqrstuvwxyzABC\xE4\xF6\xFC\xC4\xD6\xDC. -<>0123456789";
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) {
        std::string title;
        int len = 3 + static_cast<int>(rng() % 20);
        for (int k = 0; k < len; ++k) title += letters[rng() % letters.size()];
        out.push_back(PadRight(title, 29) + PadRight(">Musik\\" + std::to_string(rng() % 50) + "<", 30));
    }
    return out;
}

TEST_F(SortTest, TheCollationFoldsCaseAndUmlautsAndPlacesPunctuation) {
    const auto& t = p.collation;
    EXPECT_LT(CollateCompare(t, "\xC4pfel", "Apfelmus"), 0);  // APFEL before APFELMUS
    EXPECT_EQ(CollateCompare(t, "\xE4pfel", "APFEL"), 0);
    EXPECT_EQ(CollateCompare(t, "\xFC\xF6", "uo"), 0);
    // "." as "&" and "<" as an apostrophe: after the blank, before digits and letters.
    EXPECT_LT(CollateCompare(t, "a b", "a.b"), 0);
    EXPECT_LT(CollateCompare(t, "a.b", "a<b"), 0);
    EXPECT_LT(CollateCompare(t, "a<b", "a0b"), 0);
    EXPECT_EQ(CollationKey(t, "\x81\x82\x83\x84\x85\x86"), "UEAAAA");
    EXPECT_EQ(CollationKey(t, "\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F\x90"), "EEEIIIAAE");
    EXPECT_EQ(CollationKey(t, "\x93\x94\x95\x96\x97\x98\x99\x9A"), "OOOUUYOU");
    EXPECT_EQ(CollationKey(t, "\xA1\xA2\xA3\xA4\xA5\xA8"), "IOUNN?");
    EXPECT_EQ(CollationKey(t, "\xDF\xFF\xE9"), "\xDF\xFF\xE9");  // everything else stays
}

TEST_F(SortTest, EqualTitlesSortByTheirDirectoryField) {
    WriteRecords({Record("Lied", "zz").substr(0, 59), Record("lied", "Aa").substr(0, 59),
                  Record("\xC4pfel", "b").substr(0, 59), Record("Apfelmus", "a").substr(0, 59)});
    EXPECT_EQ(SortListFile(p, path), 4);
    auto out = ReadRecords();
    EXPECT_EQ(RTrim(out[0].substr(0, 29)), "\xC4pfel");
    EXPECT_EQ(RTrim(out[1].substr(0, 29)), "Apfelmus");
    EXPECT_EQ(out[2].substr(29, 4), ">Aa<");
    EXPECT_EQ(out[3].substr(29, 4), ">zz<");
}

TEST_F(SortTest, FiveHundredRecordsAreSortedInMemoryAndOneMoreByBlocks) {
    auto records = RandomRecords(500, 1);
    WriteRecords(records);
    SortStats stats;
    EXPECT_EQ(SortListFile(p, path, nullptr, &stats), 500);
    EXPECT_TRUE(stats.inMemory);
    EXPECT_EQ(Keys(ReadRecords()), Keys(FullSort(records)));

    std::vector<std::string> reversed = FullSort(RandomRecords(501, 2));
    std::reverse(reversed.begin(), reversed.end());
    WriteRecords(reversed);
    files.Reset();
    EXPECT_EQ(SortListFile(p, path, nullptr, &stats), 501);
    EXPECT_FALSE(stats.inMemory);
    EXPECT_EQ(stats.passes, 2);
    EXPECT_EQ(Keys(ReadRecords()), Keys(FullSort(reversed)));
    // Each block is read with one positioned read and written with one positioned write.
    // The measuring read, the copy the passes run over, then blocks (and a
    // neighbour for the order check).
    EXPECT_EQ(files.reads, 2 + stats.reads);
    EXPECT_EQ(files.writes, stats.writes);
    EXPECT_LE(stats.writes, 2L * stats.passes);
}

TEST_F(SortTest, BlockPassesGiveAFullSortForEverySize) {
    for (int n : {501, 502, 699, 700, 701, 999, 1000, 1001, 1499, 2345, 5000}) {
        std::vector<std::vector<std::string>> inputs;
        inputs.push_back(RandomRecords(n, static_cast<unsigned>(n)));
        auto sorted = FullSort(inputs[0]);
        inputs.emplace_back(sorted.rbegin(), sorted.rend());
        for (int shift : {1, n / 3, n - 1}) {
            auto rotated = sorted;
            std::rotate(rotated.begin(), rotated.begin() + shift, rotated.end());
            inputs.push_back(rotated);
        }
        for (size_t k = 0; k < inputs.size(); ++k) {
            WriteRecords(inputs[k]);
            SortStats stats;
            ASSERT_EQ(SortListFile(p, path, nullptr, &stats), n);
            auto out = ReadRecords();
            ASSERT_EQ(Keys(out), Keys(FullSort(inputs[k]))) << "n=" << n << " input " << k;
            auto a = out, b = inputs[k];
            std::sort(a.begin(), a.end());
            std::sort(b.begin(), b.end());
            ASSERT_EQ(a, b) << "records lost or changed, n=" << n << " input " << k;
        }
    }
}

TEST_F(SortTest, ARecordBeginningWithCode255NeverDropsOut) {
    for (int n : {3, 500, 501, 1200}) {
        auto records = RandomRecords(n, 7);
        records[0][0] = '\xff';
        records[static_cast<size_t>(n / 2)] = std::string(1, '\xff') + records[static_cast<size_t>(n / 2)].substr(1);
        records.back() = std::string(59, '\xff');
        WriteRecords(records);
        ASSERT_EQ(SortListFile(p, path), n);
        auto out = ReadRecords();
        ASSERT_EQ(static_cast<int>(out.size()), n);
        EXPECT_EQ(Keys(out), Keys(FullSort(records))) << n;
        EXPECT_EQ(out.back(), std::string(59, '\xff')) << n;
    }
}

TEST_F(SortTest, RecordNumbersTravelWithTheirRecords) {
    for (int n : {300, 1200}) {
        auto records = RandomRecords(n, 11);
        WriteRecords(records);
        std::vector<int> numbers(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) numbers[static_cast<size_t>(i)] = i + 1;
        ASSERT_EQ(SortListFile(p, path, &numbers), n);
        auto out = ReadRecords();
        ASSERT_EQ(numbers.size(), out.size());
        for (size_t k = 0; k < out.size(); ++k)
            ASSERT_EQ(out[k], records[static_cast<size_t>(numbers[k] - 1)]) << n << " at " << k;
    }
}

// Records of empty lines have no text to compare or move; the block passes
// once copied zero bytes through a null pointer (caught by the sanitizer
// build). The line ends, mixed here, stay at their positions.
TEST_F(SortTest, EmptyRecordsAreSortedByBlocksToo) {
    std::string bytes;
    for (int i = 0; i < 501; ++i) bytes += "\r\n";
    h.temp.Write("home/Rock.pavuto", bytes);
    std::vector<int> numbers(501);
    for (int i = 0; i < 501; ++i) numbers[static_cast<size_t>(i)] = i + 1;
    SortStats stats;
    ASSERT_EQ(SortListFile(p, path, &numbers, &stats), 501);
    EXPECT_FALSE(stats.inMemory);
    EXPECT_EQ(stats.passes, 1);
    EXPECT_EQ(h.temp.Read("home/Rock.pavuto"), bytes);
    for (int i = 0; i < 501; ++i) ASSERT_EQ(numbers[static_cast<size_t>(i)], i + 1);

    bytes = "\r\n";
    for (int i = 1; i < 1100; ++i) bytes += i % 3 ? "\r\n" : "x\n";
    h.temp.Write("home/Rock.pavuto", bytes);
    ASSERT_EQ(SortListFile(p, path), 1100);
    EXPECT_EQ(h.temp.Read("home/Rock.pavuto"), bytes);
}

TEST_F(SortTest, OnlyTheFirst32000RecordsAreSortedAndTheRestStays) {
    std::string bytes;
    for (int i = 0; i < 32000; ++i) bytes += (i % 2 ? "b" : "a") + std::string("\r\n");
    bytes += "0\r\n";  // record 32001
    h.temp.Write("home/Rock.pavuto", bytes + "x");
    h.console.Key("x");
    ASSERT_EQ(SortListFile(p, path), 32000);
    std::string out = h.temp.Read("home/Rock.pavuto");
    EXPECT_EQ(out.substr(0, 6), "a\r\na\r\n");
    EXPECT_EQ(out.substr(16000 * 3, 6), "b\r\nb\r\n");
    EXPECT_EQ(out.substr(32000 * 3), "0\r\nx");
}

TEST_F(SortTest, SortingBothListsReportsTheCount) {
    WriteRecords({Record("b", "x").substr(0, 59), Record("a", "x").substr(0, 59)});
    h.temp.Write("home/Rock Interpreten.pavuto", "zz\r\nyy\r\nxx\r\n");
    p.listConfig.listFilePath = path;
    p.listConfig.performerListPath = "C:\\home\\Rock Interpreten.pavuto";
    p.listConfig.NURNAMENSLISTE = 0;
    h.console.Locate(10, 1);
    SortLists(p);
    EXPECT_EQ(Row(10, 7, 31), "  Sortiere ... bitte warten ...");
    // Shown while the sort runs, before the result.
    ASSERT_FALSE(h.console.presented.empty());
    EXPECT_EQ(h.console.presented.front()[9].substr(6, 31), "  Sortiere ... bitte warten ...");
    EXPECT_EQ(h.console.presented.front()[20].find("Fertig"), std::string::npos);
    EXPECT_EQ(Row(21, 7, 22), OnScreen("Fertig >  3  Eintr\xE4ge."));
    EXPECT_EQ(h.temp.Read("home/Rock Interpreten.pavuto"), "xx\r\nyy\r\nzz\r\n");
    EXPECT_EQ(ReadRecords()[0].substr(0, 1), "a");

    p.listConfig.NURNAMENSLISTE = 1;  // the performer list is left alone
    h.temp.Write("home/Rock Interpreten.pavuto", "zz\r\nyy\r\n");
    SortLists(p);
    EXPECT_EQ(h.temp.Read("home/Rock Interpreten.pavuto"), "zz\r\nyy\r\n");
    EXPECT_EQ(Row(21, 7, 22), OnScreen("Fertig >  2  Eintr\xE4ge."));
}

}  // namespace
}  // namespace pavuto::test
