#include "host/drive_paths.hpp"

#include <algorithm>

#include "common/text.hpp"

namespace pavuto::host {

bool HasDrive(std::string_view p) {
    return p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
}

std::vector<std::string> SplitParts(std::string_view s) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : s) {
        if (c == '\\' || c == '/') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

std::vector<std::string> Normalise(const std::vector<std::string>& parts) {
    std::vector<std::string> out;
    for (const auto& p : parts) {
        if (p == ".") continue;
        if (p == "..") {
            if (!out.empty()) out.pop_back();
            continue;
        }
        out.push_back(p);
    }
    return out;
}

bool WildcardMatch(std::string_view name, std::string_view pattern) {
    size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || UpperChar(pattern[p]) == UpperChar(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

ResolvedPath ResolvePath(std::string_view path, char current, const std::map<char, std::string>& dirs) {
    ResolvedPath r{current, {}};
    std::string_view rest = path;
    if (HasDrive(path)) {
        r.drive = UpperChar(path[0]);
        rest = path.substr(2);
    }
    std::vector<std::string> parts;
    if (rest.empty() || (rest[0] != '\\' && rest[0] != '/')) {
        auto it = dirs.find(r.drive);
        if (it != dirs.end()) parts = SplitParts(it->second);
    }
    for (auto& p : SplitParts(rest)) parts.push_back(p);
    r.parts = Normalise(parts);
    return r;
}

std::string DrivePathOf(const ResolvedPath& path) { return std::string(1, path.drive) + ":" + DirectoryOf(path); }

std::string DirectoryOf(const ResolvedPath& path) {
    std::string out;
    for (auto& p : path.parts) out += "\\" + p;
    return out.empty() ? "\\" : out;
}

void SortByName(std::vector<DirEntry>& entries) {
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
        size_t n = std::min(a.name.size(), b.name.size());
        for (size_t i = 0; i < n; ++i) {
            unsigned char ua = static_cast<unsigned char>(UpperChar(a.name[i]));
            unsigned char ub = static_cast<unsigned char>(UpperChar(b.name[i]));
            if (ua != ub) return ua < ub;
        }
        return a.name.size() != b.name.size() ? a.name.size() < b.name.size() : a.name < b.name;
    });
}

}  // namespace pavuto::host
