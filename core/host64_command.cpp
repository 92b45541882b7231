#include "host64_command.h"

namespace {

constexpr int kMaxHexDigits = 8;
constexpr int kMaxDecimalDigits = 10; // INT_MIN is -2147483648

// One argument: a run of characters up to a blank or the end; empty after the last.
struct Token {
    const wchar_t* text;
    int length;
};

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

const wchar_t* SkipBlanks(const wchar_t* p) {
    while (IsBlank(*p)) ++p;
    return p;
}

// Past the program's path, quoted or not.
const wchar_t* SkipProgramPath(const wchar_t* p) {
    if (*p != L'"') {
        while (*p && !IsBlank(*p)) ++p;
        return p;
    }
    ++p;
    while (*p && *p != L'"') ++p;
    return *p ? p + 1 : p;
}

Token NextToken(const wchar_t** p) {
    const wchar_t* begin = SkipBlanks(*p);
    const wchar_t* end = begin;
    while (*end && !IsBlank(*end)) ++end;
    *p = end;
    return {begin, static_cast<int>(end - begin)};
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

bool ParseHex(Token token, DWORD* value) {
    if (token.length < 1 || token.length > kMaxHexDigits) return false;
    DWORD result = 0;
    for (int i = 0; i < token.length; ++i) {
        const int digit = HexDigit(token.text[i]);
        if (digit < 0) return false;
        result = result << 4 | static_cast<DWORD>(digit);
    }
    *value = result;
    return true;
}

bool ParseStyle(Token token, int* value) {
    const bool negative = token.length > 0 && token.text[0] == L'-';
    const int first = negative ? 1 : 0;
    const int digits = token.length - first;
    if (digits < 1 || digits > kMaxDecimalDigits) return false;
    long long magnitude = 0;
    for (int i = first; i < token.length; ++i) {
        const wchar_t c = token.text[i];
        if (c < L'0' || c > L'9') return false;
        magnitude = magnitude * 10 + (c - L'0');
    }
    const long long result = negative ? -magnitude : magnitude;
    if (result < -2147483647LL - 1 || result > 2147483647LL) return false;
    *value = static_cast<int>(result);
    return true;
}

} // namespace

void FormatHost64Command(const wchar_t* exe, const Host64Request& request,
                         wchar_t (&commandLine)[kHost64CommandLength]) {
    wsprintfW(commandLine, L"\"%s\" %lx %lx %d", exe, HandleToULong(request.view),
              static_cast<unsigned long>(request.textColor), request.textStyle);
}

bool ParseHost64Command(const wchar_t* commandLine, Host64Request* request) {
    const wchar_t* p = SkipProgramPath(SkipBlanks(commandLine));
    DWORD view = 0, color = 0;
    int style = 0;
    if (!ParseHex(NextToken(&p), &view) || !ParseHex(NextToken(&p), &color) ||
        !ParseStyle(NextToken(&p), &style) || NextToken(&p).length != 0)
        return false;
    // A 32-bit handle widens with its sign, as the system itself widens handles.
    request->view = static_cast<HWND>(LongToHandle(static_cast<LONG>(view)));
    request->textColor = color;
    request->textStyle = style;
    return true;
}

bool PathBesideModule(HMODULE module, const wchar_t* fileName, wchar_t (&path)[MAX_PATH]) {
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    // A path cut short fills the buffer (without its end on old systems).
    if (length == 0 || length >= MAX_PATH) return false;
    DWORD folderLength = length;
    while (folderLength > 0 && path[folderLength - 1] != L'\\') --folderLength;
    if (folderLength == 0 || folderLength + lstrlenW(fileName) >= MAX_PATH) return false;
    lstrcpyW(path + folderLength, fileName);
    return true;
}
