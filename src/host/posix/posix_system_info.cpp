#include "host/posix/posix_system_info.hpp"

#include <sys/utsname.h>

#include "common/codepage.hpp"
#include "common/text.hpp"

namespace pavuto::host::posix {

std::string PosixSystemInfo::Describe(const std::string& system, const std::string& release, const std::string& machine) {
    std::string text;
    for (const std::string* part : {&system, &release, &machine}) {
        if (part->empty()) continue;
        if (!text.empty()) text += ' ';
        text += *part;
    }
    if (text.empty()) text = "POSIX";
    return ReplaceAll(Utf8ToCp1252(text), "XP", "xp");
}

std::string PosixSystemInfo::Description() {
    utsname u{};
    if (uname(&u) != 0) return Describe("", "", "");
    return Describe(u.sysname, u.release, u.machine);
}

}  // namespace pavuto::host::posix
