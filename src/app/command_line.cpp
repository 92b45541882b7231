#include "command_line.h"

namespace {

constexpr wchar_t kAutosetWord[] = L"AUTOSET";

wchar_t AsciiUpper(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool StartsWithUpperCased(const wchar_t* text, const wchar_t* word) {
    for (; *word; ++text, ++word) {
        if (AsciiUpper(*text) != *word) return false;
    }
    return true;
}

bool IsBlankOrControl(wchar_t c) {
    return c >= 1 && c <= L' ';
}

} // namespace

const wchar_t* ArgumentsOf(const wchar_t* commandLine) {
    const wchar_t* p = commandLine;
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') ++p;
        if (*p == L'"') ++p;
    } else {
        while (*p > L' ') ++p;
    }
    while (IsBlankOrControl(*p)) ++p;
    return p;
}

bool HasAutosetArgument(const wchar_t* arguments) {
    // Compared character by character with only the ASCII letters folded, so no locale
    // changes what counts as the word.
    for (const wchar_t* p = arguments; *p; ++p) {
        if (StartsWithUpperCased(p, kAutosetWord)) return true;
    }
    return false;
}
