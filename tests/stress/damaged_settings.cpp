#include "damaged_settings.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "../../core/text_style.h"

namespace {

const char* const kSavesKeys[] = {"Left",       "Top",          "TextColor", "TextColorDesc",
                                  "CustColors", "ShowTrayIcon", "ShadowDist"};
constexpr int kDescriptionLimit = 59;
constexpr int kCustomColorBytes = 64;

template <size_t count> const char* Pick(Random& random, const char* const (&texts)[count]) {
    return texts[random.Below(count)];
}

std::string RandomBytes(Random& random, size_t length) {
    std::string bytes(length, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random.Below(256));
    return bytes;
}

std::string NotANumber(Random& random) {
    const char* const texts[] = {"", "-", "+", "abc", " ", "0x10", "１２", "--5", "1e9", "\t"};
    return Pick(random, texts);
}

std::string ExtremeNumber(Random& random) {
    const char* const texts[] = {"99999999999999999999",
                                 "-99999999999999999999",
                                 "2147483648",
                                 "-2147483649",
                                 "4294967295",
                                 "-1",
                                 "-01",
                                 "  -7xyz",
                                 "+42",
                                 "0000000000000000000012"};
    return Pick(random, texts);
}

std::string LongNumber(Random& random) {
    return std::string(10000, static_cast<char>('0' + random.Below(10)));
}

// A description of `bytes` bytes of double-byte characters, with an odd length so that a
// cut at the read limit can fall inside a character.
std::string DoubleByteText(size_t bytes) {
    static const char kCharacter[] = "蓝"; // two bytes in code page 936
    std::string text;
    while (text.size() + 2 <= bytes) text += kCharacter;
    if (text.size() < bytes) text += 'x';
    return text;
}

std::string CleanFile(Random& random) {
    char text[512];
    snprintf(text, sizeof text,
             "[Main]\r\nBeFirst=0\r\n[Saves]\r\nLeft=%d\r\nTop=%d\r\nTextColor=%d\r\n"
             "TextColorDesc=自定义颜色:(1,2,3)\r\nShowTrayIcon=%u\r\nShadowDist=%d\r\n",
             static_cast<int>(random.Below(1600)) - 200, static_cast<int>(random.Below(1000)) - 100,
             static_cast<int>(random.Next() & 0xFFFFFF), random.Below(2),
             random.Below(2) ? StyleEmbossed : StyleShadow);
    return text;
}

// Every key of [Saves] with a value of the kind `value` makes.
std::string SavesWith(std::string (*value)(Random&), Random& random) {
    std::string file = "[Saves]\r\n";
    for (const char* key : kSavesKeys) file += std::string(key) + "=" + value(random) + "\r\n";
    return file;
}

std::string BrokenCustomColors(Random& random) {
    std::string hex;
    const size_t length = random.Below(3) == 0 ? 130 : random.Below(140);
    for (size_t i = 0; i < length; ++i) hex += "0123456789ABCDEFG"[random.Below(17)];
    return "[Saves]\r\nCustColors=" + hex + "\r\n";
}

std::string DuplicatedSections(Random& random) {
    return "[Saves]\r\nShadowDist=4001\r\nShadowDist=abc\r\n[Saves]\r\nShowTrayIcon=0\r\n" +
           CleanFile(random) + "[Saves]\r\nTextColor=\r\nTextColor=-01\r\n";
}

std::string Utf16(const std::string& ansi) {
    const int count =
        MultiByteToWideChar(936, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(count, L'\0');
    MultiByteToWideChar(936, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], count);
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
    return bytes;
}

bool IsSignedDecimal(const std::string& text) {
    size_t at = text[0] == '-' ? 1 : 0;
    if (at >= text.size() || text.size() - at > 10) return false;
    for (size_t i = at; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    const long long value = atoll(text.c_str());
    return value >= INT32_MIN && value <= INT32_MAX && (text.size() == at + 1 || text[at] != '0');
}

// True when the text ends inside a double-byte character of code page 936.
bool EndsInsideCharacter(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsDBCSLeadByteEx(936, static_cast<BYTE>(text[i]))) {
            if (i + 1 == text.size()) return true;
            ++i;
        }
    }
    return false;
}

std::string ReadKey(const std::string& path, const char* section, const char* key) {
    char value[256] = "";
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, path.c_str());
    return value;
}

} // namespace

uint32_t Random::Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

std::string DamagedSettingsFile(uint32_t seed, uint32_t index) {
    Random random(seed * 2654435761u + index);
    switch (index % 10) {
    case 0: return RandomBytes(random, random.Below(4096));
    case 1: {
        const std::string clean = CleanFile(random);
        return clean.substr(0, random.Below(static_cast<uint32_t>(clean.size())));
    }
    case 2: return SavesWith(NotANumber, random);
    case 3: return SavesWith(ExtremeNumber, random);
    case 4: return SavesWith(LongNumber, random);
    case 5:
        return "[Saves]\r\nTextColorDesc=" + DoubleByteText(kDescriptionLimit + random.Below(8)) +
               "\r\n";
    case 6: return BrokenCustomColors(random);
    case 7: return DuplicatedSections(random);
    case 8: {
        std::string clean = CleanFile(random);
        return clean.substr(0, clean.size() - 2); // no line end after the last value
    }
    default: return Utf16(CleanFile(random) + "TextColorDesc=" + DoubleByteText(20) + "\r\n");
    }
}

std::string SavedSettingsFault(const std::string& path) {
    for (const char* key : {"Left", "Top", "TextColor", "ShadowDist"}) {
        const std::string value = ReadKey(path, "Saves", key);
        if (!IsSignedDecimal(value)) return std::string(key) + " is \"" + value + "\"";
    }
    const std::string style = ReadKey(path, "Saves", "ShadowDist");
    bool known = false;
    for (int code : {StyleNormal, StyleShadow, StyleEmbossed, StyleEngraved})
        known = known || style == std::to_string(code);
    if (!known) return "ShadowDist is the unknown style " + style;
    const std::string tray = ReadKey(path, "Saves", "ShowTrayIcon");
    if (tray != "0" && tray != "1") return "ShowTrayIcon is \"" + tray + "\"";
    const std::string description = ReadKey(path, "Saves", "TextColorDesc");
    if (description.empty() || description == "<missing>") return "TextColorDesc is missing";
    if (description.size() > kDescriptionLimit) return "TextColorDesc is too long";
    if (EndsInsideCharacter(description)) return "TextColorDesc ends inside a character";
    BYTE colors[kCustomColorBytes];
    if (!GetPrivateProfileStructA("Saves", "CustColors", colors, sizeof colors, path.c_str()))
        return "CustColors does not read back";
    if (ReadKey(path, "Main", "BeFirst") != "0") return "BeFirst is not 0";
    return "";
}
