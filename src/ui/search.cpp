#include "ui/search.hpp"

#include <algorithm>

#include "program.hpp"
#include "ui/browser_internal.hpp"
#include "ui/screen.hpp"

namespace pavuto {

const Text kLetterBar = " <Bksp> <Spc> 0123456789 A B C D E F G H I J K L M N O P Q R S T U V W X Y Z";

namespace {

// Reads the records of the open list by number with positioned reads, a block
// of records at a time, without touching the record window.
class ListRecords {
public:
    ListRecords(Program& p, const Text& path, int length)
        : file_(p.files().Open(path, host::OpenMode::Input)), length_(length) {}
    ~ListRecords() { Close(); }
    ListRecords(const ListRecords&) = delete;
    ListRecords& operator=(const ListRecords&) = delete;

    // The text bytes of record r (RecordLength - 2), false at the end of the file.
    bool Read(int record, Text& text) {
        if (length_ < 2 || record < 1) return false;
        if (record < first_ || record >= first_ + count_) Load(record);
        if (record >= first_ + count_) return false;
        std::size_t at = static_cast<std::size_t>(record - first_) * static_cast<std::size_t>(length_);
        text.assign(buffer_, at, static_cast<std::size_t>(length_ - 2));
        return true;
    }

    void Close() {
        if (file_) {
            file_->Close();
            file_.reset();
        }
    }

private:
    void Load(int record) {
        constexpr int kBlock = 512;
        buffer_.resize(static_cast<std::size_t>(kBlock) * static_cast<std::size_t>(length_));
        std::size_t got = file_->ReadAt(static_cast<std::uint64_t>(record - 1) * static_cast<std::uint64_t>(length_),
                                        buffer_.data(), buffer_.size());
        // Only whole records count: a last line without its line end still
        // holds its text.
        int whole = static_cast<int>(got / static_cast<std::size_t>(length_));
        if (got % static_cast<std::size_t>(length_) >= static_cast<std::size_t>(length_ - 2)) ++whole;
        buffer_.resize(got + static_cast<std::size_t>(length_));
        first_ = record;
        count_ = whole;
    }

    std::unique_ptr<host::File> file_;
    int length_;
    int first_ = 0;
    int count_ = 0;
    Text buffer_;
};

// The part of a record the search looks at: the title up to and including
// the first ">", or the first 150 characters.
Text TitlePart(const Text& record) {
    long gt = Instr(record, ">");
    return gt > 0 ? Left(record, gt) : Left(record, 150);
}

// The search's end: after a hit the hit's page is loaded; without one the
// window comes back where it was.
void SearchTail(Program& p, int hit) {
    auto& b = p.browser;
    auto& w = p.window;
    if (b.ListOpen == 1) {
        if (hit > 0) {
            w.FirstRecord = b.PageTop;
        } else {
            b.LastHit = 0;
            if (w.FirstRecord >= w.RecordCount) w.FirstRecord = std::max(1, w.RecordCount - p.con.PageRows);
        }
        ReloadWindow(p);
    } else {
        b.LastHit = hit;
    }
}

void ShowJumpPrefix(Program& p, const Text& prefix) {
    auto& con = p.con;
    con.ShowAt(con.ScreenRows - 3, 15, prefix + "_");
}

// Cut where the window ends: a bar that wrapped would scroll the screen.
Text ShownLetterBar(Program& p) { return Left(kLetterBar, std::max(0, p.con.ScreenColumns - 4)); }

void ShowLetterBar(Program& p) {
    auto& con = p.con;
    con.Locate(con.ScreenRows - 1, 4);
    con.Show(ShownLetterBar(p), 0);
}

// The menu area leaves the last columns of the bar's row alone.
void ClearLetterBar(Program& p) {
    auto& con = p.con;
    con.ShowAt(con.ScreenRows - 1, 4, Spaces(static_cast<long>(ShownLetterBar(p).size())));
}

// The first record that begins with the prefix, as the third line of the page.
void Seek(Program& p, const Text& prefix) {
    auto& b = p.browser;
    auto& w = p.window;
    const int rows = p.con.PageRows;
    b.PageTop = 1;
    b.CursorOffset = 0;
    if (prefix.empty()) return;
    const long n = static_cast<long>(prefix.size());
    int target = 0;
    {
        ListRecords records(p, b.CurrentListFile, w.RecordLength);
        Text record;
        for (int r = 1; r <= w.RecordCount && records.Read(r, record); ++r) {
            Text start = NormaliseForSearch(p, Left(record, n));
            if (!(start < prefix)) {
                if (start == prefix) target = r;
                break;
            }
        }
    }
    if (target == 0) return;
    if (target <= 2) {
        b.PageTop = 1;
        b.CursorOffset = target - 1;
    } else {
        b.PageTop = target - 2;
        b.CursorOffset = 2;
    }
    if (w.RecordCount - b.PageTop < rows) {
        b.PageTop = std::max(1, w.RecordCount - rows);
        b.CursorOffset = target - b.PageTop;
    }
}

}  // namespace

Text FoldAccents(const Text& text) {
    Text out(text);
    for (char& c : out) {
        switch (static_cast<unsigned char>(c)) {
            case 0xFC: c = 'u'; break;  // ü
            case 0xE4: c = 'a'; break;  // ä
            case 0xF6: c = 'o'; break;  // ö
            case 0xC4: c = 'A'; break;  // Ä
            case 0xD6: c = 'O'; break;  // Ö
            case 0xDC: c = 'U'; break;  // Ü
            case 0xE1: c = 'a'; break;  // á
            case 0xE9: c = 'e'; break;  // é
            case 0xFA: c = 'u'; break;  // ú
            case 0xF3: c = 'o'; break;  // ó
            case 0xED: c = 'i'; break;  // í
            default: break;
        }
    }
    return out;
}

Text NormaliseForSearch(Program& p, const Text& text) {
    // The accents are folded first: converted for the console they would no
    // longer be the letters the fold knows, and "Müller" would not find "muller".
    auto& con = p.con;
    con.OutputText = FoldAccents(text);
    con.OutputMode = 2;
    con.ShowText();
    Text converted = std::move(con.OutputText);
    con.OutputText.clear();
    return UCase(converted);
}

Text LetterBarKey(int column) {
    if (column < 4 || column > 80) return {};
    if (column <= 11) return keys::Backspace;
    // The blank right of "<Spc>" belongs to it, as the blank right of each
    // letter belongs to that letter (the character left of it would be ">").
    if (column <= 17) return " ";
    auto at = [](int position) {
        return position >= 1 && position <= static_cast<int>(kLetterBar.size())
                   ? kLetterBar[static_cast<std::size_t>(position - 1)]
                   : ' ';
    };
    char c = at(column - 3);
    if (c == ' ') c = at(column - 4);
    if (c == ' ') return {};
    return Text(1, c);
}

void Search(Program& p) {
    auto& con = p.con;
    auto& b = p.browser;
    auto& w = p.window;
    const int R = con.ScreenRows;
    con.ClearMenuArea();
    if (b.SearchActive == 0) {
        con.ShowAt(R - 3, 5, " suchen nach :");
        con.WaitForInput();
        const Text key = con.KeyText;
        // A click, Enter, Esc or any key that cannot be typed cancels.
        if (key.size() != 1 || static_cast<unsigned char>(key[0]) < 32) {
            b.SearchTerm.clear();
            return;
        }
        con.Show(key, 1);
        b.SearchTerm = key + con.InputLine();
    } else {
        con.ShowAt(R - 3, 5, " suche weiter nach : " + b.SearchTerm);
    }

    const Text term = NormaliseForSearch(p, b.SearchTerm);
    const int start = (b.LastHit > 0 && b.LastHit < w.RecordCount) ? b.LastHit + 1 : 1;
    int hit = 0;
    if (b.ListOpen == 1) {
        // Record by record from the file: the window stays as it is.
        ListRecords records(p, b.CurrentListFile, w.RecordLength);
        Text record;
        for (int r = start; r <= w.RecordCount && records.Read(r, record); ++r) {
            if (Instr(NormaliseForSearch(p, TitlePart(record)), term) > 0) {
                hit = r;
                break;
            }
        }
    } else {
        for (int s = start; s <= w.RecordCount; ++s) {
            if (Instr(NormaliseForSearch(p, EntryAt(p, s)), term) > 0) {
                hit = s;
                break;
            }
            if (s == w.RecordCount) break;
            // Esc between two entries stops the search where it is. The look
            // does not pause: 32000 entries are searched in a moment.
            con.PollEvent();
            if (con.KeyText == keys::Esc) {
                con.KeyText.clear();
                b.SearchActive = 0;
                con.FlushEvents();
                con.NoWait = 0;
                b.LastHit = 0;
                return;
            }
        }
    }

    if (hit > 0) {
        b.SearchActive = 1;
        b.LastHit = hit;
        const int line = b.ListOpen == 1 ? 3 : 2;
        b.PageTop = hit - line;
        b.CursorOffset = line;
        if (b.PageTop < 1) {
            b.PageTop = 1;
            b.CursorOffset = hit - 1;
        }
    } else {
        b.SearchActive = 0;
        con.ShowAt(R - 2, 5, " alles durchsucht... ");
        con.Pause(2000);
    }
    SearchTail(p, hit);
}

void EndSearch(Program& p) {
    p.browser.SearchActive = 0;
    SearchTail(p, 0);
}

void Jump(Program& p) {
    auto& con = p.con;
    auto& b = p.browser;
    auto& w = p.window;
    const int R = con.ScreenRows;
    if (b.ListOpen != 1 || w.RecordCount < 2 * con.PageRows) return;

    con.ClearMenuArea();
    // The letters as typed (upper-cased) are shown; the prefix the records
    // are compared with is their normalised form.
    Text typed, prefix;
    ShowLetterBar(p);
    con.ShowAt(R - 3, 7, "beginn mit :");
    while (true) {
        con.WaitForInput();
        Text key = con.KeyText;
        if (key.empty()) {
            if (con.MouseButton == 2) break;
            const int row = con.MouseRow + 1;
            if (row < R - 5) break;
            if (row == R - 1) key = LetterBarKey(con.MouseColumn);
            if (key.empty()) continue;
            con.KeyText = key;
        }
        con.ClearMenuArea();
        key = UCase(key);
        if (key == keys::Backspace) {
            if (prefix.empty()) {
                ShowJumpPrefix(p, typed);
                ShowLetterBar(p);
                continue;
            }
            // Every key adds one character to both.
            prefix.pop_back();
            typed.pop_back();
            ShowJumpPrefix(p, typed);
            ShowLetterBar(p);
        } else if (key == "+" || key == "-") {
            continue;
        } else {
            typed += key;
            // Typed letters compare as the records do.
            prefix += NormaliseForSearch(p, key);
            ShowJumpPrefix(p, typed);
            ShowLetterBar(p);
            if (key == keys::Esc || key == keys::Enter || key == "\n" || key.size() > 1) break;
        }
        Seek(p, prefix);
        if (b.PageTop != w.FirstRecord) {
            w.FirstRecord = b.PageTop;
            ReloadWindow(p);
        }
        DrawPage(p, true);
    }
    con.ClearMenuArea();
    ClearLetterBar(p);
}

}  // namespace pavuto
