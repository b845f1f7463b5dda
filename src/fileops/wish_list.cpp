#include "fileops/wish_list.hpp"

#include <algorithm>

#include "fileops/file_messages.hpp"
#include "lists/list_file.hpp"
#include "program.hpp"

namespace pavuto {

using host::OpenMode;

Text WishListFileName(const Text& typed) {
    return EndsWith(LCase(typed), ".pavuto") ? typed : typed + ".pavuto";
}

void StartWishList(Program& p, const Text& fileName) {
    auto& fs = p.files();
    // One file in the current directory, never a path or a device.
    if (!IsPlainFileName(fileName)) throw RuntimeError(err::BadFileName, fileName);
    const Text path = fs.FullPath(fileName);
    if (fs.FileExists(path)) fs.Remove(path);
    fs.Open(path, OpenMode::Output)->Close();
    p.fileops.wishList = path;
}

void AddMarkedToWishList(Program& p) {
    auto& fs = p.files();
    auto& w = p.window;
    auto& b = p.browser;
    const Text wishList = p.fileops.wishList;
    w.ListDisplay = 0;
    // A message goes to the message rows of the browser.
    ArmedScope scope(p, [wishList](Program& q, const RuntimeError&) {
        PrepareMessage(q);
        ShowListNotWritable(q, wishList);
        return Continuation::Skip();
    });
    Attempt(p, [&] {
        const int L = MeasureListFile(p, b.CurrentListFile).recordLength;
        if (L <= 2) return;
        // Records of another length would break the wish list's fixed-length
        // records: a wish list takes the records of lists of one layout.
        if (fs.FileExists(wishList) && fs.FileSize(wishList) > 0 && MeasureListFile(p, wishList).recordLength != L)
            throw RuntimeError(err::BadRecordNumber, wishList);
        auto list = fs.Open(b.CurrentListFile, OpenMode::Input);
        Text records;
        bool ended = false;
        const int count = std::clamp(w.RecordCount, 0, RecordLimit);
        for (int i = 1; i <= count && !ended; ++i) {
            const int mark = b.Marks[static_cast<std::size_t>(i)];
            if (mark < 1 || mark >= b.MarkCounter) continue;
            Text record = list->ReadAt(static_cast<std::uint64_t>(i - 1) * static_cast<std::uint64_t>(L),
                                       static_cast<std::size_t>(L - 2));
            if (static_cast<int>(record.size()) < L - 2) {
                ended = true;
                break;
            }
            records += record + "\r\n";
        }
        list->Close();
        if (!records.empty()) {
            auto out = fs.Open(wishList, OpenMode::Append);
            out->Write(records);
            out->Close();
        }
        if (ended) {
            PrepareMessage(p);
            p.con.Show("Datei ende.", 0);
            p.con.Pause(2000);
        }
    });
}

}  // namespace pavuto
