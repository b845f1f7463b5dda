#include "fileops/file_messages.hpp"

#include "program.hpp"

namespace pavuto {

void ShowListNotWritable(Program& p, const Text& path) {
    p.con.Show(" Schreiben der Liste >>" + path + "<< nicht m\xF6glich.", 1);
    p.con.WaitForInput();
}

Handler ListWritingHandler(const Text& path) {
    return [path](Program& p, const RuntimeError&) {
        ShowListNotWritable(p, path);
        return Continuation::Skip();
    };
}

Handler CopyHandler() {
    return [](Program& p, const RuntimeError& e) {
        PrepareMessage(p);
        p.con.Show("Fehler beim kopieren der dateien. >>>>" + ErrorText(e.number()) + "<<<<", 0);
        p.con.WaitForInput();
        return Continuation::GoOn(Point::EndOfSelection);
    };
}

Handler CopyTargetHandler() {
    return [](Program& p, const RuntimeError& e) {
        PrepareMessage(p);
        p.con.Show(ErrorText(e.number()), 0);
        p.con.WaitForInput();
        p.fileops.copyMode = 0;
        return Continuation::Skip();
    };
}

}  // namespace pavuto
