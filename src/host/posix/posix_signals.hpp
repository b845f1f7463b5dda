#pragma once
// The signal dispositions the process was started with, and the two it
// changes for itself: SIGPIPE and SIGXFSZ are ignored, so that a write to a
// pipe without a reader or past the file-size limit fails with an error
// number (EPIPE, EFBIG) instead of ending the program on the spot.
//
// Programs the host starts get every signal as the program found it: ignored
// where it was ignored when the program started (under nohup, say), the
// default action otherwise, and the signal mask the program started with.
// Neither the program's own handlers nor its own ignoring reach them.

namespace pavuto::host::posix {

// Ignores SIGPIPE and SIGXFSZ for this process.
void IgnoreWriteSignals();

// Between fork and exec, async-signal-safe: every signal back to what the
// process found at its start, the start's signal mask in effect.
void ResetSignalsForChild();

}  // namespace pavuto::host::posix
