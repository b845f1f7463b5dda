#include "ui/browser.hpp"

#include "program.hpp"

namespace pavuto {

void RunBrowser(Program& p) {
    // Waits for events; Esc asks whether to end the program.
    while (true) {
        try {
            p.con.WaitForInput();
            if (p.con.KeyText == keys::Esc) ConfirmExit(p);
        } catch (const RuntimeError& e) {
            HandleError(p, e);
        }
    }
}

}  // namespace pavuto
