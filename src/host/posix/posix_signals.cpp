#include "host/posix/posix_signals.hpp"

#include <signal.h>

namespace pavuto::host::posix {

namespace {

// What the process found when it started, read before main() runs: nothing
// of the program has touched a signal yet.
struct FoundSignals {
    bool ignored[NSIG] = {};
    sigset_t mask;

    FoundSignals() {
        sigemptyset(&mask);
        sigprocmask(SIG_BLOCK, nullptr, &mask);
        for (int sig = 1; sig < NSIG; ++sig) {
            struct sigaction old {};
            if (sigaction(sig, nullptr, &old) != 0) continue;
            ignored[sig] = !(old.sa_flags & SA_SIGINFO) && old.sa_handler == SIG_IGN;
        }
    }
};

const FoundSignals g_found;

}  // namespace

void IgnoreWriteSignals() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
    sigaction(SIGXFSZ, &ignore, nullptr);
}

void ResetSignalsForChild() {
    for (int sig = 1; sig < NSIG; ++sig) {
        if (sig == SIGKILL || sig == SIGSTOP) continue;
        struct sigaction action {};
        action.sa_handler = g_found.ignored[sig] ? SIG_IGN : SIG_DFL;
        sigemptyset(&action.sa_mask);
        sigaction(sig, &action, nullptr);  // the C library's own signals refuse: they stay its own
    }
    sigprocmask(SIG_SETMASK, &g_found.mask, nullptr);
}

}  // namespace pavuto::host::posix
