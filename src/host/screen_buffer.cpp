#include "host/screen_buffer.hpp"

#include <algorithm>

namespace pavuto::host {

ScreenBuffer::ScreenBuffer(int rows, int columns)
    : rows_(std::max(1, rows)),
      columns_(std::max(1, columns)),
      cells_(static_cast<size_t>(rows_ * columns_)),
      dirty_(static_cast<size_t>(rows_), true) {}

void ScreenBuffer::Resize(int rows, int columns) {
    rows = std::max(1, rows);
    columns = std::max(1, columns);
    std::vector<Cell> next(static_cast<size_t>(rows * columns), Cell{' ', fg_, bg_});
    for (int r = 0; r < std::min(rows, rows_); ++r)
        for (int c = 0; c < std::min(columns, columns_); ++c)
            next[static_cast<size_t>(r * columns + c)] = cells_[static_cast<size_t>(r * columns_ + c)];
    rows_ = rows;
    columns_ = columns;
    cells_ = std::move(next);
    dirty_.assign(static_cast<size_t>(rows_), true);
    anyDirty_ = true;
    scrolled_ = true;
    row_ = std::min(row_, rows_);
    column_ = std::min(column_, columns_);
}

void ScreenBuffer::Clear() {
    std::fill(cells_.begin(), cells_.end(), Cell{' ', fg_, bg_});
    dirty_.assign(static_cast<size_t>(rows_), true);
    anyDirty_ = true;
    row_ = column_ = 1;
}

void ScreenBuffer::Locate(int row, int column) {
    if (row >= 1 && row <= rows_) row_ = row;
    if (column >= 1 && column <= columns_) column_ = column;
}

Cell& ScreenBuffer::Mutable(int row, int column) {
    dirty_[static_cast<size_t>(row - 1)] = true;
    anyDirty_ = true;
    return cells_[static_cast<size_t>((row - 1) * columns_ + (column - 1))];
}

void ScreenBuffer::Write(std::string_view text) {
    for (char ch : text) {
        if (column_ > columns_) {
            column_ = 1;
            if (row_ == rows_) ScrollUp();
            else ++row_;
        }
        Mutable(row_, column_) = Cell{static_cast<unsigned char>(ch), fg_, bg_};
        ++column_;
    }
    // A text that ends exactly at the right edge leaves the cursor beyond it:
    // the next character wraps, a line end does not add an empty row.
}

void ScreenBuffer::NewLine() {
    column_ = 1;
    if (row_ == rows_) ScrollUp();
    else ++row_;
}

void ScreenBuffer::ScrollUp() {
    std::move(cells_.begin() + columns_, cells_.end(), cells_.begin());
    std::fill(cells_.end() - columns_, cells_.end(), Cell{' ', fg_, bg_});
    dirty_.assign(static_cast<size_t>(rows_), true);
    anyDirty_ = true;
    scrolled_ = true;
}

const Cell& ScreenBuffer::At(int row, int column) const {
    static const Cell outside{};
    if (row < 1 || row > rows_ || column < 1 || column > columns_) return outside;
    return cells_[static_cast<size_t>((row - 1) * columns_ + (column - 1))];
}

std::string ScreenBuffer::Text(int row, int column, int count) const {
    std::string out;
    if (row < 1 || row > rows_) return out;
    int last = count < 0 ? columns_ : std::min(columns_, column + count - 1);
    for (int c = std::max(1, column); c <= last; ++c) out += static_cast<char>(At(row, c).ch);
    return out;
}

bool ScreenBuffer::TakeDirty(std::vector<bool>& rows) {
    rows = dirty_;
    bool any = anyDirty_;
    dirty_.assign(static_cast<size_t>(rows_), false);
    anyDirty_ = false;
    scrolled_ = false;
    return any;
}

}  // namespace pavuto::host
