#include "lists/sort.hpp"

#include <algorithm>
#include <cstring>

#include "common/numbers.hpp"
#include "lists/collation.hpp"
#include "lists/list_file.hpp"
#include "program.hpp"

namespace pavuto {

namespace {

using host::OpenMode;

// Copies a record text. Records of empty lines have no text: the work array
// is then empty too, and its data pointer may be null, which memcpy must
// never be given, not even for zero bytes.
void CopyText(char* to, const char* from, int length) {
    if (length > 0) std::memcpy(to, from, static_cast<std::size_t>(length));
}

void SortInMemory(Program& p, host::File& file, std::uint64_t size, const Text& path, std::vector<int>* numbers) {
    std::string bytes(static_cast<std::size_t>(size), '\0');
    bytes.resize(file.ReadAt(0, bytes.data(), bytes.size()));
    file.Close();
    std::vector<Text> lines = SplitLines(bytes);
    const CollationTable& table = Collation(p);

    std::vector<int> order(lines.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::vector<Text> keys(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) keys[i] = CollationKey(table, lines[i]);
    if (numbers) numbers->resize(lines.size(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const auto ua = static_cast<std::size_t>(a), ub = static_cast<std::size_t>(b);
        if (keys[ua] != keys[ub]) return keys[ua] < keys[ub];
        if (lines[ua] != lines[ub]) return lines[ua] < lines[ub];
        return numbers ? (*numbers)[ua] < (*numbers)[ub] : a < b;
    });

    std::string out;
    out.reserve(bytes.size() + 2);
    std::vector<int> sortedNumbers;
    for (int i : order) {
        out += lines[static_cast<std::size_t>(i)];
        out += "\r\n";
        if (numbers) sortedNumbers.push_back((*numbers)[static_cast<std::size_t>(i)]);
    }
    host::WriteReplacing(p.files(), path, out);
    if (numbers) *numbers = std::move(sortedNumbers);
}

// A copy of the list beside it, in pieces of a fixed size.
void CopyBeside(host::FileSystem& fs, const Text& from, const Text& to) {
    constexpr std::size_t kPiece = 1 << 20;
    auto in = fs.Open(from, OpenMode::Input);
    const std::uint64_t size = in->Size();
    auto out = fs.Open(to, OpenMode::Output);
    std::string piece(kPiece, '\0');
    for (std::uint64_t at = 0; at < size;) {
        std::size_t got = in->ReadAt(at, piece.data(), piece.size());
        if (got == 0) break;
        out->Write(std::string_view(piece.data(), got));
        at += got;
    }
    in->Close();
    out->Close();
}

// The work array of the block passes: at most 500 records, each with its
// text, the start of its text mapped through the collation table, its number and the
// record position it was read from. Slots are kept in sorted order in
// `order`; free slots are known by index, never by their contents, so a
// record that begins with any character at all sorts where it belongs.
class BlockSorter {
public:
    BlockSorter(host::File& file, const CollationTable& table, int length, int count, std::vector<int>* numbers,
                SortStats& stats)
        : file_(file), table_(table), L_(length), T_(length - 2), N_(count), numbers_(numbers), stats_(stats),
          text_(static_cast<std::size_t>(kSortWorkRecords + 2) * static_cast<std::size_t>(T_)),
          prefix_(kSortWorkRecords + 2),
          number_(kSortWorkRecords + 2),
          origin_(kSortWorkRecords + 2),
          ends_(static_cast<std::size_t>(kSortWorkRecords) * 2) {}

    // Passes until the list is in order. The backward sweep leaves every
    // record in place from the second record of its last block up; it tells
    // whether the whole list is now in order, so no extra pass is needed to
    // find out.
    void Sort() {
        bool inOrder = false;
        while (!inOrder) {
            ++stats_.passes;
            ForwardSweep();
            inOrder = BackwardSweep();
        }
    }

private:
    static constexpr int kStep = 200;
    static constexpr int kKeep = kSortWorkRecords - kStep;

    const char* Txt(int slot) const { return text_.data() + static_cast<std::size_t>(slot) * T_; }

    // The first eight characters, mapped, as one number: most comparisons end there.
    std::uint64_t Prefix(const char* text) const {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i)
            v = (v << 8) | (i < T_ ? table_[static_cast<unsigned char>(text[i])] : 0u);
        return v;
    }

    bool Less(int a, int b) const {
        const auto ua = static_cast<std::size_t>(a), ub = static_cast<std::size_t>(b);
        if (prefix_[ua] != prefix_[ub]) return prefix_[ua] < prefix_[ub];
        if (T_ > 8) {
            int c = CollateCompare(table_, std::string_view(Txt(a) + 8, static_cast<std::size_t>(T_ - 8)),
                                   std::string_view(Txt(b) + 8, static_cast<std::size_t>(T_ - 8)));
            if (c != 0) return c < 0;
        }
        if (T_ > 0) {
            int c = std::memcmp(Txt(a), Txt(b), static_cast<std::size_t>(T_));
            if (c != 0) return c < 0;
        }
        return number_[ua] < number_[ub];
    }

    void Take(int slot, const char* src, int at) {
        CopyText(text_.data() + static_cast<std::size_t>(slot) * T_, src, T_);
        prefix_[static_cast<std::size_t>(slot)] = Prefix(src);
        if (slot < kSortWorkRecords) {
            std::size_t ring = static_cast<std::size_t>(at % kSortWorkRecords) * 2;
            ends_[ring] = src[T_];
            ends_[ring + 1] = src[T_ + 1];
        }
        number_[static_cast<std::size_t>(slot)] = numbers_ ? (*numbers_)[static_cast<std::size_t>(at)] : 0;
        origin_[static_cast<std::size_t>(slot)] = at;
    }

    // Reads one record into a spare slot.
    void ReadSpare(int pos, int spare) {
        buffer_.resize(static_cast<std::size_t>(L_));
        std::size_t got = file_.ReadAt(static_cast<std::uint64_t>(pos) * static_cast<std::uint64_t>(L_),
                                       buffer_.data(), buffer_.size());
        if (got < buffer_.size()) throw RuntimeError(err::InputPastEnd);
        ++stats_.reads;
        Take(spare, buffer_.data(), pos);
    }

    // Reads the records at positions [pos, pos + count) into free slots,
    // in file order.
    std::vector<int> Read(int pos, int count) {
        buffer_.resize(static_cast<std::size_t>(count) * static_cast<std::size_t>(L_));
        std::size_t got = file_.ReadAt(static_cast<std::uint64_t>(pos) * static_cast<std::uint64_t>(L_),
                                       buffer_.data(), buffer_.size());
        if (got < buffer_.size()) throw RuntimeError(err::InputPastEnd);
        ++stats_.reads;
        std::vector<int> slots;
        slots.reserve(static_cast<std::size_t>(count));
        for (int k = 0; k < count; ++k) {
            int slot = free_.back();
            free_.pop_back();
            Take(slot, buffer_.data() + static_cast<std::size_t>(k) * L_, pos + k);
            slots.push_back(slot);
        }
        return slots;
    }

    // Writes the given slots, in order, to the positions from pos on (only
    // when one of them moved) and frees them.
    void Write(const std::vector<int>& slots, int pos) {
        bool moved = false;
        for (std::size_t k = 0; k < slots.size(); ++k)
            moved = moved || origin_[static_cast<std::size_t>(slots[k])] != pos + static_cast<int>(k);
        if (moved) {
            buffer_.resize(slots.size() * static_cast<std::size_t>(L_));
            for (std::size_t k = 0; k < slots.size(); ++k) {
                int at = pos + static_cast<int>(k);
                char* dst = buffer_.data() + k * static_cast<std::size_t>(L_);
                CopyText(dst, Txt(slots[k]), T_);
                // The line end of each record position stays as it was.
                std::size_t ring = static_cast<std::size_t>(at % kSortWorkRecords) * 2;
                dst[T_] = ends_[ring];
                dst[T_ + 1] = ends_[ring + 1];
                if (numbers_) (*numbers_)[static_cast<std::size_t>(at)] = number_[static_cast<std::size_t>(slots[k])];
            }
            file_.WriteAt(static_cast<std::uint64_t>(pos) * static_cast<std::uint64_t>(L_), buffer_);
            ++stats_.writes;
        }
        for (int s : slots) free_.push_back(s);
    }

    void ResetSlots() {
        free_.clear();
        for (int s = kSortWorkRecords - 1; s >= 0; --s) free_.push_back(s);
    }

    // Keeps a copy of one record in a spare slot for the order check.
    void Remember(int spare, int slot) {
        CopyText(text_.data() + static_cast<std::size_t>(spare) * T_, Txt(slot), T_);
        prefix_[static_cast<std::size_t>(spare)] = prefix_[static_cast<std::size_t>(slot)];
        number_[static_cast<std::size_t>(spare)] = number_[static_cast<std::size_t>(slot)];
    }

    void SortSlots(std::vector<int>& slots) {
        std::sort(slots.begin(), slots.end(), [this](int a, int b) { return Less(a, b); });
    }

    // Blocks at record positions 0, 200, 400, ... while a whole block fits
    // before the last record. Each block is the 300 records the one before
    // it left at its end, and 200 records read anew.
    void ForwardSweep() {
        ResetSlots();
        std::vector<int> window = Read(0, kSortWorkRecords);
        SortSlots(window);
        int start = 0;
        for (int next = kStep; next <= N_ - kSortWorkRecords - 1; next += kStep) {
            std::vector<int> done(window.begin(), window.begin() + kStep);
            Write(done, start);
            std::vector<int> kept(window.begin() + kStep, window.end());
            std::vector<int> fresh = Read(next + kKeep, kStep);
            SortSlots(fresh);
            window.clear();
            std::merge(kept.begin(), kept.end(), fresh.begin(), fresh.end(), std::back_inserter(window),
                       [this](int a, int b) { return Less(a, b); });
            start = next;
        }
        Write(window, start);
    }

    // Blocks ending at the last record, then 200 records lower each time,
    // as long as the block starts behind the first record.
    // Returns whether the list is in order afterwards: each block written
    // is in order, so it is enough that each one ends at or below the first
    // record of the block written before it (above it), and that the
    // records below the last block, which the forward sweep left in order,
    // end at or below its first record.
    bool BackwardSweep() {
        ResetSlots();
        const int above = kSortWorkRecords, below = kSortWorkRecords + 1;  // spare slots
        bool inOrder = true;
        bool haveAbove = false;
        auto check = [&](const std::vector<int>& block) {
            if (haveAbove && Less(above, block.back())) inOrder = false;
            Remember(above, block.front());
            haveAbove = true;
        };
        int start = N_ - kSortWorkRecords;
        std::vector<int> window = Read(start, kSortWorkRecords);
        SortSlots(window);
        for (int next = start - kStep; next >= 1; next -= kStep) {
            std::vector<int> done(window.begin() + kKeep, window.end());
            check(done);
            Write(done, start + kKeep);
            std::vector<int> kept(window.begin(), window.begin() + kKeep);
            std::vector<int> fresh = Read(next, kStep);
            SortSlots(fresh);
            window.clear();
            std::merge(fresh.begin(), fresh.end(), kept.begin(), kept.end(), std::back_inserter(window),
                       [this](int a, int b) { return Less(a, b); });
            start = next;
        }
        check(window);
        if (inOrder) {
            ReadSpare(start - 1, below);
            if (Less(window.front(), below)) inOrder = false;
        }
        Write(window, start);
        return inOrder;
    }

    host::File& file_;
    const CollationTable& table_;
    const int L_, T_, N_;
    std::vector<int>* numbers_;
    SortStats& stats_;
    std::vector<char> text_;
    std::vector<std::uint64_t> prefix_;
    std::vector<int> number_, origin_;
    std::vector<char> ends_;  // the line end of each record position, by position modulo 500
    std::vector<int> free_;
    std::string buffer_;
};

}  // namespace

namespace {

int SortFile(Program& p, const Text& path, std::vector<int>* numbers, SortStats* stats, bool besideCopy) {
    SortStats local;
    SortStats& st = stats ? *stats : local;
    st = SortStats{};
    if (path.empty() || !p.files().FileExists(path)) return 0;
    ListMeasure m = MeasureListFile(p, path);
    const int N = m.recordCount;
    if (N == 0) return 0;
    if (N <= kSortWorkRecords) {
        // At most 500 records, so at most 501 x 2001 bytes: read whole.
        st.inMemory = true;
        auto file = p.files().Open(path, OpenMode::Input);
        SortInMemory(p, *file, file->Size(), path, numbers);
        return N;
    }
    // The passes run over a copy beside the list, which takes the list's
    // place when it is sorted: a failure half-way leaves the list as it was.
    auto& fs = p.files();
    const Text work = besideCopy ? host::ReplacementPath(path) : path;
    std::vector<int> sortedNumbers;
    if (numbers) sortedNumbers = *numbers;
    sortedNumbers.resize(numbers ? static_cast<std::size_t>(N) : 0, 0);
    try {
        if (besideCopy) {
            if (fs.FileExists(work)) fs.Remove(work);
            CopyBeside(fs, path, work);
        }
        auto file = fs.Open(work, OpenMode::Binary);
        BlockSorter sorter(*file, Collation(p), m.recordLength, N, numbers ? &sortedNumbers : nullptr, st);
        sorter.Sort();
        file->Close();
        if (besideCopy) fs.Replace(work, path);
    } catch (const RuntimeError&) {
        try {
            if (besideCopy && fs.FileExists(work)) fs.Remove(work);
        } catch (const RuntimeError&) {
            // The copy stays behind; the list itself is whole.
        }
        throw;
    }
    if (numbers) *numbers = std::move(sortedNumbers);
    return N;
}

void SortBoth(Program& p, const Text& listPath, const Text& performerPath, bool besideCopy) {
    auto& con = p.con;
    auto& lc = p.listConfig;
    con.Locate(con.out.CursorRow(), 7);
    con.Show("  Sortiere ... bitte warten ...                        ", 0);
    con.Present();
    int n = SortFile(p, listPath, nullptr, nullptr, besideCopy);
    if (lc.NURNAMENSLISTE != 1 && !performerPath.empty() && p.files().FileExists(performerPath))
        n = SortFile(p, performerPath, nullptr, nullptr, besideCopy);
    con.ShowAt(con.ScreenRows - 1, 7, "Fertig > " + PrintedNumber(n) + " Eintr\xE4ge.                ");
}

}  // namespace

int SortListFile(Program& p, const Text& path, std::vector<int>* numbers, SortStats* stats) {
    return SortFile(p, path, numbers, stats, true);
}

void SortLists(Program& p) { SortBoth(p, p.listConfig.listFilePath, p.listConfig.performerListPath, true); }

void SortNewLists(Program& p, const Text& listPath, const Text& performerPath) {
    SortBoth(p, listPath, performerPath, false);
}

}  // namespace pavuto
