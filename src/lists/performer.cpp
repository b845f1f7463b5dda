#include "lists/performer.hpp"

namespace pavuto {

Text PerformerText(const Text& padded, int MAXDL, const Text& extension) {
    Text upper = UCase(padded);
    long k = Instr(upper, kSeparator);
    Text text;
    if (k == 0) {
        text = PadRight("[ ] - " + padded, MAXDL);
    } else {
        // The performer runs from after the separator up to the extension.
        // The extension is looked for behind the separator, so that a name
        // such as "a.mp3 - b.mp3" does not give a negative length; without
        // an extension there the performer is the rest of the name.
        long from = k + 3;
        long q = extension.empty() ? 0 : Instr(upper, UCase(extension), from);
        Text performer = q > 0 ? Mid(padded, from, q - from) : RTrim(Mid(padded, from));
        text = performer + kSeparator + Left(padded, k);
        if (UCase(Left(text, 4)) == "THE ") text = Mid(text, 5);
        text = PadRight(text, MAXDL);
    }
    if (Trim(text).empty()) return {};
    return text;
}

std::vector<Text> UnswappedNames(const Text& title, const Text& extension) {
    long k = Instr(title, kSeparator);
    if (k == 0) return {};
    Text song = Mid(title, k + 3);
    Text band = Left(title, k - 1);
    return {song + kSeparator + band + extension, song + " - The " + band + extension};
}

}  // namespace pavuto
