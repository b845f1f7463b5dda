#pragma once
// The one exception type of a failing operation: it carries the program's
// error number (53 file not found, 76 path not found, 70 permission denied, ...).
#include <stdexcept>
#include <string>

namespace pavuto {

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(int number, const std::string& what = {})
        : std::runtime_error(what.empty() ? "error " + std::to_string(number) : what), number_(number) {}
    int number() const { return number_; }

private:
    int number_;
};

// Error numbers the program distinguishes.
namespace err {
inline constexpr int IllegalFunctionCall = 5;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int BadFileNameOrNumber = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int BadFileMode = 54;
inline constexpr int DeviceIoError = 57;
inline constexpr int FileAlreadyExists = 58;
inline constexpr int DiskFull = 61;
inline constexpr int InputPastEnd = 62;
inline constexpr int BadRecordNumber = 63;
inline constexpr int BadFileName = 64;
inline constexpr int TooManyFiles = 67;
inline constexpr int DeviceUnavailable = 68;
inline constexpr int PermissionDenied = 70;
inline constexpr int DiskNotReady = 71;
inline constexpr int RenameAcrossDisks = 74;
inline constexpr int PathFileAccessError = 75;
inline constexpr int PathNotFound = 76;
}  // namespace err

}  // namespace pavuto
