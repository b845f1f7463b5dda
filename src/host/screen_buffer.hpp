#pragma once
// A console screen as cells: what a Windows console buffer holds. The POSIX
// console draws it onto the terminal; the test console keeps it for tests.
#include <string>
#include <string_view>
#include <vector>

namespace pavuto::host {

struct Cell {
    unsigned char ch = ' ';  // code page 850
    unsigned char fg = 7;
    unsigned char bg = 0;
    bool operator==(const Cell&) const = default;
};

class ScreenBuffer {
public:
    ScreenBuffer(int rows = 25, int columns = 80);

    int Rows() const { return rows_; }
    int Columns() const { return columns_; }
    // Keeps the cells that still fit; new cells are blank in the current colours.
    void Resize(int rows, int columns);
    void Clear();
    void SetColours(int fg, int bg) {
        fg_ = static_cast<unsigned char>(fg & 15);
        bg_ = static_cast<unsigned char>(bg & 15);
    }
    int Foreground() const { return fg_; }
    int Background() const { return bg_; }
    void Locate(int row, int column);  // 1-based; out of range leaves that coordinate
    int CursorRow() const { return row_; }
    int CursorColumn() const { return column_; }
    void Write(std::string_view cp850);
    void NewLine();

    const Cell& At(int row, int column) const;  // 1-based
    // The characters of a row from a column on, count cells (to the end when < 0).
    std::string Text(int row, int column = 1, int count = -1) const;

    // Rows touched since the last call (for drawing only what changed).
    bool TakeDirty(std::vector<bool>& rows);
    bool Scrolled() const { return scrolled_; }

private:
    void ScrollUp();
    Cell& Mutable(int row, int column);

    int rows_, columns_;
    std::vector<Cell> cells_;
    std::vector<bool> dirty_;
    bool anyDirty_ = true;
    bool scrolled_ = false;
    unsigned char fg_ = 7, bg_ = 0;
    int row_ = 1, column_ = 1;
};

}  // namespace pavuto::host
