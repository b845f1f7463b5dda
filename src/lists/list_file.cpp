#include "lists/list_file.hpp"

#include <algorithm>

#include "common/numbers.hpp"
#include "lists/performer.hpp"
#include "program.hpp"

namespace pavuto {

namespace {

using host::OpenMode;

// Reads records one after another in chunks, for the display modes that
// walk the list until enough records are accepted.
class RecordReader {
public:
    RecordReader(host::File& file, int length, int count) : file_(file), length_(length), count_(count) {}

    bool Has(int record) const { return record >= 1 && record <= count_; }

    // The text bytes (without CR LF) of record r, 1 <= r <= count.
    std::string_view Text(int record) {
        if (record < start_ || record >= start_ + loaded_) Load(record);
        std::size_t at = static_cast<std::size_t>(record - start_) * static_cast<std::size_t>(length_);
        return std::string_view(buffer_).substr(at, static_cast<std::size_t>(length_ - 2));
    }

private:
    void Load(int record) {
        constexpr int kChunk = 256;
        int n = std::min(kChunk, count_ - record + 1);
        buffer_.resize(static_cast<std::size_t>(n) * static_cast<std::size_t>(length_));
        std::size_t got = file_.ReadAt(static_cast<std::uint64_t>(record - 1) * static_cast<std::uint64_t>(length_),
                                       buffer_.data(), buffer_.size());
        buffer_.resize(got);
        // A file cut short while it is read: the missing bytes read as blanks.
        buffer_.resize(static_cast<std::size_t>(n) * static_cast<std::size_t>(length_), ' ');
        start_ = record;
        loaded_ = n;
    }

    host::File& file_;
    int length_;
    int count_;
    int start_ = 0;
    int loaded_ = 0;
    std::string buffer_;
};

// The comparison length of the duplicate test: up to and including the
// record's first ">", or 150 characters for a record without one.
long KeyLength(std::string_view record) {
    long k = Instr(record, ">");
    return k > 0 ? k : 150;
}

bool SameStart(std::string_view a, std::string_view b, long k) {
    return a.substr(0, static_cast<std::size_t>(k)) == b.substr(0, static_cast<std::size_t>(k));
}

void PrintFileEnd(Program& p) {
    p.con.Show("Datei ende.", 1);
    p.con.Pause(2000);
}

}  // namespace

bool IsListFileName(const Text& name) { return LCase(Right(name, 7)) == ".pavuto"; }

ListMeasure MeasureListFile(Program& p, const Text& path) {
    ListMeasure m;
    auto file = p.files().Open(path, OpenMode::Input);
    Text head = file->ReadAt(0, 2000);
    m.size = file->Size();
    file->Close();
    long crlf = Instr(head, "\r\n");
    m.recordLength = crlf > 0 ? static_cast<int>(crlf + 1) : 0;
    // Without a line end in the first 2000 bytes the file holds no records.
    std::uint64_t n = m.recordLength > 0 ? m.size / static_cast<std::uint64_t>(m.recordLength) : 0;
    if (n >= static_cast<std::uint64_t>(RecordLimit)) {
        auto& con = p.con;
        con.ClearMenuArea();
        con.ShowAt(con.ScreenRows - 3, 7,
                   "mehr Daten zum lesen (" + PrintedNumber(static_cast<double>(n)) + ")als maximal vorgesehen (" +
                       PrintedNumber(RecordLimit) + ").");
        con.WaitForInput();
        n = kReachableRecords;
    }
    m.recordCount = static_cast<int>(n);
    return m;
}

bool LoadWindow(Program& p) { return LoadWindow(p, p.browser.CurrentListFile); }

bool LoadWindow(Program& p, const Text& listFile) {
    auto& fs = p.files();
    auto& w = p.window;
    auto& con = p.con;
    if (listFile.empty() || !fs.FileExists(listFile)) return false;

    ListMeasure m = MeasureListFile(p, listFile);
    w.RecordLength = m.recordLength;
    w.RecordCount = m.recordCount;
    if (w.FirstRecord < 1) w.FirstRecord = 1;
    const int first = w.FirstRecord;
    const int L = m.recordLength;
    const int N = m.recordCount;
    const int pageRows = std::max(0, con.PageRows);
    int lastFilled = first - 1;

    auto store = [&](int slot, std::string_view text) {
        w.Titles[static_cast<std::size_t>(slot)] = Text(text);
        w.Directories[static_cast<std::size_t>(slot)].clear();
        lastFilled = std::max(lastFilled, slot);
    };

    auto file = fs.Open(listFile, OpenMode::Input);
    if (w.ListDisplay == 1 || w.ListDisplay == 2) {
        RecordReader reader(*file, L, N);
        int c = 0;
        if (w.ListDisplay == 1) {
            // No duplicates: a record whose title field equals the one
            // accepted before it is left out.
            for (int r = first;; ++r) {
                if (!reader.Has(r)) {
                    con.Locate(con.ScreenRows - 1, 7);
                    PrintFileEnd(p);
                    break;
                }
                if (first + c > RecordLimit) break;
                std::string_view record = reader.Text(r);
                long k = KeyLength(record);
                if (c > 0 && SameStart(record, w.Titles[static_cast<std::size_t>(first + c - 1)], k)) continue;
                store(first + c, record);
                ++c;
                if (c > 2 * pageRows) break;
            }
        } else {
            // Only duplicates: every record of a run of two or more equal
            // titles, runs one after another.
            for (int r = first; reader.Has(r) && reader.Has(r + 1); ++r) {
                Text record(reader.Text(r));
                long k = KeyLength(record);
                std::string_view next = reader.Text(r + 1);
                if (SameStart(record, next, k)) {
                    if (c > 0 && w.Titles[static_cast<std::size_t>(first + c)] != record) ++c;
                    if (first + c + 1 > RecordLimit) break;
                    store(first + c, record);
                    ++c;
                    store(first + c, next);
                }
                if (c > pageRows + 2) break;
            }
        }
    } else {
        // All records: the window is read with one positioned read.
        const int wanted = 2 * pageRows + 1;
        int count = std::clamp(N - first + 1, 0, wanted);
        bool limit = count > 0 && first + count - 1 >= kReachableRecords;
        if (limit) count = kReachableRecords - first + 1;
        if (count > 0) {
            std::string bytes(static_cast<std::size_t>(count) * static_cast<std::size_t>(L), ' ');
            std::size_t got = file->ReadAt(static_cast<std::uint64_t>(first - 1) * static_cast<std::uint64_t>(L),
                                           bytes.data(), bytes.size());
            int complete = static_cast<int>(got / static_cast<std::size_t>(L));
            if (complete < count) {
                count = complete;
                limit = false;
            }
            for (int c = 0; c < count; ++c)
                store(first + c, std::string_view(bytes).substr(static_cast<std::size_t>(c) * L,
                                                                static_cast<std::size_t>(L - 2)));
        }
        if (limit) {
            con.Show(" Maximum (" + PrintedNumber(kReachableRecords) + ") Datens\xE4tze erreicht", 1);
            con.Pause(2000);
        } else if (count < wanted) {
            PrintFileEnd(p);
        }
    }
    file->Close();

    SplitWindow(w, first, std::min(RecordLimit, std::max(first + 100, lastFilled)));
    return true;
}

std::vector<Text> ListTitles(Program& p, const Text& listFile) {
    ListMeasure m = MeasureListFile(p, listFile);
    std::vector<Text> titles;
    if (m.recordLength <= 2) return titles;
    auto file = p.files().Open(listFile, OpenMode::Input);
    RecordReader reader(*file, m.recordLength, m.recordCount);
    for (int r = 1; reader.Has(r); ++r) {
        std::string_view record = reader.Text(r);
        if (static_cast<int>(record.size()) < m.recordLength - 2) break;
        std::size_t gt = record.find('>');
        titles.push_back(RTrim(gt == std::string_view::npos || gt == 0 ? record : record.substr(0, gt)));
    }
    file->Close();
    return titles;
}

void SplitWindow(RecordWindow& w, int first, int last) {
    first = std::max(first, 1);
    last = std::min(last, RecordLimit);
    for (int i = last; i >= first; --i) {
        Text& t = w.Titles[static_cast<std::size_t>(i)];
        long gt = Instr(t, ">");
        if (gt > 1) {
            long lt = Instr(t, "<", gt + 1);
            w.Directories[static_cast<std::size_t>(i)] = lt > 0 ? Mid(t, gt + 1, lt - gt - 1) : Mid(t, gt + 1);
            t = Left(t, gt - 1);
        }
        t = RTrim(t);
    }
}

Text ResolveEntry(Program& p, int slot) {
    if (slot < 1 || slot > RecordLimit) return {};
    auto& fs = p.files();
    const auto& w = p.window;
    const Text& title = w.Titles[static_cast<std::size_t>(slot)];
    const Text needle = UCase("\\" + w.Directories[static_cast<std::size_t>(slot)] + "\\");
    const Text extension = p.listConfig.extension.empty() ? p.settings.listExtension : p.listConfig.extension;
    auto matches = [&](int j) { return Instr(UCase(w.SearchPaths[static_cast<std::size_t>(j)]), needle) > 0; };

    for (int j = 1; j <= w.SearchPathCount; ++j) {
        if (!matches(j)) continue;
        Text candidate = w.SearchPaths[static_cast<std::size_t>(j)] + title + extension;
        if (fs.FileExists(candidate)) return candidate;
    }
    // An entry of a performer list: "Band - Song" was "Song - Band" or "Song - The Band".
    std::vector<Text> names = UnswappedNames(title, extension);
    if (names.empty()) return {};
    for (int j = 1; j <= w.SearchPathCount; ++j) {
        if (!matches(j)) continue;
        for (const auto& name : names) {
            Text candidate = w.SearchPaths[static_cast<std::size_t>(j)] + name;
            if (fs.FileExists(candidate)) return candidate;
        }
    }
    return {};
}

long CountListLines(host::FileSystem& files, const Text& path) {
    auto file = files.Open(path, OpenMode::Input);
    std::uint64_t size = file->Size();
    std::string buffer(1 << 16, '\0');
    long lines = 0;
    bool open = false;       // the current line has characters
    bool afterCr = false;    // an LF right after a CR ends no second line
    for (std::uint64_t offset = 0; offset < size;) {
        std::size_t got = file->ReadAt(offset, buffer.data(), buffer.size());
        if (got == 0) break;
        for (std::size_t i = 0; i < got; ++i) {
            char c = buffer[i];
            if (c == '\n') {
                if (!afterCr) ++lines;
                afterCr = false;
                open = false;
            } else if (c == '\r') {
                ++lines;
                afterCr = true;
                open = false;
            } else {
                afterCr = false;
                open = true;
            }
        }
        offset += got;
    }
    file->Close();
    return lines + (open ? 1 : 0);
}

}  // namespace pavuto
