#pragma once
// The error trap: numbered errors, the one armed handler, its continuations,
// the exit confirmation and the program end.
//
// A failing operation throws RuntimeError. Code that can continue after a
// failure runs the failing statement through Attempt(): the armed handler
// shows its message and chooses the continuation. Retry runs the statement
// again, Skip goes on after it; "go on at a named point", "restart" and "end"
// travel as the control exceptions below and are caught by the one place that
// owns the point. An error that reaches the browser loop without an Attempt
// is handled there (HandleSettledError): it can neither retry nor skip
// anything, so the browser goes on from the directory view.
#include <functional>
#include <string>

#include "common/runtime_error.hpp"

namespace pavuto {

struct Program;

// The English error text of an error number ("" for numbers without one).
std::string ErrorText(int number);

// Points where a handler can let the program go on.
enum class Point {
    Browser,         // the browser shows the list again
    BrowserRestart,  // the browser starts over at its restart point
    BrowserFirstStart,
    OptionsMenu,
    EndOfSelection,
    AfterInstallStep,
};

struct Continuation {
    enum class Kind { Retry, Skip, GoOn, Restart, End };
    Kind kind = Kind::Skip;
    Point point = Point::Browser;
    static Continuation Retry() { return {Kind::Retry, Point::Browser}; }
    static Continuation Skip() { return {Kind::Skip, Point::Browser}; }
    static Continuation GoOn(Point p) { return {Kind::GoOn, p}; }
    static Continuation Restart() { return {Kind::Restart, Point::Browser}; }
    static Continuation End() { return {Kind::End, Point::Browser}; }
};

using Handler = std::function<Continuation(Program&, const RuntimeError&)>;

// Control exceptions.
struct GoOnAt {
    Point point;
};
struct RestartProgram {};
struct ProgramEnd {
    int exitCode = 0;
};

struct ErrorState {
    Handler armed;  // empty = the general handler
    int retryCount = 0;
    int restartCount = 0;
    int renameErrorCount = 0;
};

Continuation GeneralHandler(Program& p, const RuntimeError& e);

void ArmHandler(Program& p, Handler h);
void ArmGeneralHandler(Program& p);

// Arms a special handler for its lifetime and the general one afterwards.
class ArmedScope {
public:
    ArmedScope(Program& p, Handler h);
    ~ArmedScope();
    ArmedScope(const ArmedScope&) = delete;
    ArmedScope& operator=(const ArmedScope&) = delete;

private:
    Program& p_;
};

// Lets the armed handler decide about an error: returns for Retry (true) and
// Skip (false), throws the control exception of the other continuations.
bool HandleError(Program& p, const RuntimeError& e);

// The same for an error whose statement is over and cannot run again (one
// that reached the browser loop): where the handler would retry, the user
// is told there is no access and the program waits for a key, as when the
// retries run out. Returns when the program goes on after it.
void HandleSettledError(Program& p, const RuntimeError& e);

// A statement that succeeds after retries ends a run of consecutive errors.
void ResetRetryCount(Program& p);

// Runs a statement under the armed handler. Returns true when it succeeded,
// false when the handler chose to skip it.
template <class F>
bool Attempt(Program& p, F&& statement) {
    bool retried = false;
    while (true) {
        try {
            statement();
            if (retried) ResetRetryCount(p);
            return true;
        } catch (const RuntimeError& e) {
            if (!HandleError(p, e)) return false;
            retried = true;
        }
    }
}

// " Programm beenden ? J/N": returns when the answer is no.
void ConfirmExit(Program& p);
// Deletes the player's work copies in auto mode and ends the program
// (throws ProgramEnd, which main turns into the process exit).
[[noreturn]] void EndProgram(Program& p, int exitCode = 0);

// Clears the rows R - 4 ... R - 1 from column 5 and puts the cursor at R - 3, 7.
void PrepareMessage(Program& p);

// How long a message waits for a key in endless playback.
inline constexpr int kEndlessMessageMilliseconds = 10000;

// The wait for a key or click after a message. In endless playback, where
// nobody need be there, it ends by itself after kEndlessMessageMilliseconds
// so that playback goes on; Esc then asks whether to end the program, as
// everywhere in endless playback.
void WaitAfterMessage(Program& p);

}  // namespace pavuto
