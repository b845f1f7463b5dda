#include "ui/file_dialogues.hpp"

#include "fileops/copy.hpp"
#include "fileops/file_messages.hpp"
#include "fileops/wish_list.hpp"
#include "program.hpp"

namespace pavuto {

void CreateWishList(Program& p) {
    auto& con = p.con;
    auto& fs = p.files();
    while (true) {
        ArmGeneralHandler(p);
        con.ClearListArea();
        con.ShowAt(5, 7, "Listenbezeichnung f\xFCr Wunschliste: _");
        con.WaitForInput();
        const Text first = con.KeyText;
        if (con.ClickKind > 0 || first.empty() || first == keys::Esc || first == keys::Enter || first.size() > 1) {
            p.fileops.wishList.clear();
            return;
        }
        con.ShowAt(5, 43, first);
        const Text typed = first + con.InputLine();
        const Text name = WishListFileName(typed);
        if (IsPlainFileName(typed) && fs.FileExists(name)) {
            con.ShowAt(7, 7, "Datei existiert bereits \xFC" "berschreiben? ");
            con.WaitForInput();
            const Text answer = UCase(con.KeyText);
            if (answer != "J" && answer != "Y") {
                // The file as it is becomes the wish list: later records are added to it.
                p.fileops.wishList = fs.FullPath(name);
                return;
            }
        }
        try {
            StartWishList(p, name);
            return;
        } catch (const RuntimeError&) {
            con.Locate(9, 7);
            ShowListNotWritable(p, name);
        }
    }
}

void SetCopyTarget(Program& p) {
    auto& con = p.con;
    con.ShowAt(6, 41, ">_");
    con.WaitForInput();
    const Text first = con.KeyText;
    if (con.ClickKind > 0 || first.empty() || first == keys::Enter || first == keys::Esc || first == " ") {
        con.KeyText.clear();
        TakeCopyTarget(p, {});
        return;
    }
    con.ShowAt(6, 41, Spaces(20));
    con.ShowAt(6, 40, " " + first);
    TakeCopyTarget(p, first + con.InputLine());
}

}  // namespace pavuto
