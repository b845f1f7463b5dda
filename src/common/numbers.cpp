#include "common/numbers.hpp"

#include <cmath>
#include <cstdio>

namespace pavuto {

std::string NumberText(double value, Precision precision) {
    std::string sign = (value < 0) ? "-" : " ";
    double a = std::fabs(value);
    int digits = precision == Precision::Single ? 7 : 15;
    if (a == std::trunc(a) && a < 1e15) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.0f", a);
        return sign + buf;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", digits, a);
    std::string s = buf;
    auto e = s.find('e');
    std::string mantissa = e == std::string::npos ? s : s.substr(0, e);
    std::string exponent = e == std::string::npos ? "" : s.substr(e);
    if (mantissa.find('.') != std::string::npos) {
        while (!mantissa.empty() && mantissa.back() == '0') mantissa.pop_back();
        if (!mantissa.empty() && mantissa.back() == '.') mantissa.pop_back();
    }
    if (mantissa.size() > 1 && mantissa[0] == '0' && mantissa[1] == '.') mantissa.erase(0, 1);
    for (auto& c : exponent)
        if (c == 'e') c = 'E';
    return sign + mantissa + exponent;
}

std::string PrintedNumber(double value, Precision precision) { return NumberText(value, precision) + " "; }

std::string Digits(long long value) { return std::to_string(value); }

std::string FormatUsing(const std::string& picture, double value) {
    auto point = picture.find('.');
    std::string whole = picture.substr(0, point);
    int decimals = 0;
    if (point != std::string::npos)
        for (size_t i = point + 1; i < picture.size() && picture[i] == '#'; ++i) ++decimals;
    bool commas = whole.find(',') != std::string::npos;

    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(value));
    std::string s = buf;
    auto p = s.find('.');
    std::string intPart = p == std::string::npos ? s : s.substr(0, p);
    std::string fracPart = p == std::string::npos ? "" : s.substr(p);
    if (commas) {
        std::string grouped;
        int n = static_cast<int>(intPart.size());
        for (int i = 0; i < n; ++i) {
            grouped += intPart[static_cast<size_t>(i)];
            int left = n - 1 - i;
            if (left > 0 && left % 3 == 0) grouped += ',';
        }
        intPart = grouped;
    }
    if (value < 0) intPart = "-" + intPart;
    std::string out = intPart + fracPart;
    size_t width = picture.size();
    if (out.size() < width) out = std::string(width - out.size(), ' ') + out;
    return out;
}

}  // namespace pavuto
