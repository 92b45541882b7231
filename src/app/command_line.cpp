#include "command_line.h"

namespace {

constexpr char kAutosetWord[] = "AUTOSET";

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsWithUpperCased(const char* text, const char* word) {
    for (; *word; ++text, ++word) {
        if (AsciiUpper(*text) != *word) return false;
    }
    return true;
}

bool IsBlankOrControl(char c) {
    const unsigned char code = static_cast<unsigned char>(c);
    return code >= 1 && code <= ' ';
}

} // namespace

const char* ArgumentsOf(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (static_cast<unsigned char>(*p) > ' ') ++p;
    }
    while (IsBlankOrControl(*p)) ++p;
    return p;
}

bool HasAutosetArgument(const char* arguments) {
    // Compared byte by byte with only the ASCII letters folded, so no locale or
    // code page changes what counts as the word.
    for (const char* p = arguments; *p; ++p) {
        if (StartsWithUpperCased(p, kAutosetWord)) return true;
    }
    return false;
}
