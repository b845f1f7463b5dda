#pragma once
// How the program writes numbers.
//
// A number turned into text has a sign position (a blank for a non-negative
// number, "-" otherwise) followed by its digits: whole numbers in full,
// fractions with at most 7 significant digits (single precision) or 15 (double
// precision), without trailing zeros and without a zero before the point
// (" .5"). A number printed directly is that text followed by one blank.
#include <string>

namespace pavuto {

enum class Precision { Single, Double };

std::string NumberText(double value, Precision precision = Precision::Single);
std::string PrintedNumber(double value, Precision precision = Precision::Single);
// The digits alone, without sign position ("" for nothing): for texts that a
// routine writes "without the sign position".
std::string Digits(long long value);

// Formats value with a picture of '#', ',' and '.' as in "###,###,###.###":
// right-aligned digits, thousands separated by commas, the decimals of the
// picture rounded; empty leading positions are blanks.
std::string FormatUsing(const std::string& picture, double value);

}  // namespace pavuto
