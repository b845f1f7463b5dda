#include "startup/version_text.hpp"

#include <string>

namespace pavuto {

Text WindowsVersionText(const host::VersionRecord& r) {
    auto n = [](int v) { return std::to_string(v); };
    if (r.platformId == 2) {
        Text label;
        if (r.major == 5 && r.minor == 0) label = "Win 2000 :";
        else if (r.major == 5 && r.minor == 1) label = "Win XP :";
        else if (r.major == 5 && r.minor == 2) label = "Win Server2003 :";
        else if (r.major == 6 && r.minor == 0) label = "Win Vista :";
        else if (r.major == 6 && r.minor == 1) label = "Win 7 :";
        else if (r.major == 6 && r.minor == 2) label = "Win Server2008 :";
        else if (r.major == 7 && r.minor == 0) label = "Win 8 :";
        else label = "Windows (x) :";
        return label + n(r.major) + "." + n(r.minor) + " Build:" + n(r.build);
    }
    switch (r.minor) {
        case 0: {
            Text t = "Win 95";
            if (Instr(r.servicePack, "B")) t += " OSR2";
            else if (Instr(r.servicePack, "A")) t += " OSR1";
            return t;
        }
        case 10: {
            Text t = "Win 98 ";
            if (Instr(r.servicePack, "A")) t += " SE";
            return t;
        }
        case 90: return "Win ME";
        default: return "Win" + n(r.major) + "." + n(r.minor);
    }
}

Text SystemVersionText(host::SystemInfo& system) {
    if (auto record = system.WindowsVersion()) return WindowsVersionText(*record);
    return system.Description();
}

int WindowsClassOf(const Text& versionText) { return Instr(versionText, "XP") ? 2 : 3; }

}  // namespace pavuto
