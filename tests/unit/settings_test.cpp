#include <doctest.h>

#include <limits.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "../../core/text_style.h"
#include "../../src/settings/autostart.h"
#include "../../src/settings/settings.h"
#include "../../src/settings/settings_file.h"

TEST_CASE("numbers are read as signed decimal that wraps at 32 bits") {
    CHECK(ParseSignedDecimal("12") == 12);
    CHECK(ParseSignedDecimal(" 12abc") == 12);
    CHECK(ParseSignedDecimal("\t\r\n-7") == -7);
    CHECK(ParseSignedDecimal("+5") == 5);
    CHECK(ParseSignedDecimal("-01") == -1);
    CHECK(ParseSignedDecimal("abc") == 0);
    CHECK(ParseSignedDecimal("-") == 0);
    CHECK(ParseSignedDecimal("") == 0);
    CHECK(ParseSignedDecimal("--5") == 0);
    CHECK(ParseSignedDecimal("1 2") == 1);
    CHECK(ParseSignedDecimal("-2147483648") == INT_MIN);
    CHECK(ParseSignedDecimal("2147483648") == INT_MIN);
    CHECK(ParseSignedDecimal("4294967295") == -1);
    CHECK(ParseSignedDecimal("99999999999") == 1215752191); // 99999999999 mod 2^32
}

TEST_CASE("only the exact text -1 stands for the view's own text colour") {
    CHECK(MeansViewTextColor("-1"));
    for (const char* text : {"-01", "4294967295", "-1x", ""}) CHECK_FALSE(MeansViewTextColor(text));
}

TEST_CASE("the generated description names red, green and blue in that order") {
    char desc[kColorDescSize];
    FormatCustomColorDesc(RGB(255, 128, 0), desc);
    CHECK(std::string(desc) == "自定义颜色:(255,128,0)");
    // The byte above blue is not part of the colour.
    FormatCustomColorDesc(0xFF010203, desc);
    CHECK(std::string(desc) == "自定义颜色:(3,2,1)");
}

TEST_CASE("the settings file sits beside the module") {
    char path[kSettingsPathSize];
    // The file name is replaced from its last backslash on; without one nothing is cut.
    const char* const kPaths[][2] = {
        {"C:\\Program Files\\Quill\\Quillmere.exe", "C:\\Program Files\\Quill\\Quillmere.ini"},
        {"C:\\Quillmere.exe", "C:\\Quillmere.ini"},
        {"Quillmere.exe", "Quillmere.exe\\Quillmere.ini"}};
    for (const auto& module : kPaths) {
        strcpy(path, module[0]);
        SettingsPathFromModulePath(path);
        CHECK(std::string(path) == module[1]);
    }
    SUBCASE("a module path that fills its whole buffer still fits") {
        memset(path, 'a', kModulePathSize - 1);
        path[kModulePathSize - 1] = '\0';
        SettingsPathFromModulePath(path);
        CHECK(strlen(path) == kModulePathSize - 1 + strlen("\\Quillmere.ini"));
    }
    SUBCASE("the running program's own folder") {
        BuildSettingsPath(path);
        char module[MAX_PATH];
        GetModuleFileNameA(nullptr, module, MAX_PATH);
        strcpy(strrchr(module, '\\'), "\\Quillmere.ini");
        CHECK(std::string(path) == module);
    }
}

TEST_CASE("the Run value's data quotes the path") {
    char data[kRunDataSize];
    FormatRunData("C:\\Program Files\\Quill\\Quillmere.exe", data, sizeof data);
    CHECK(std::string(data) == "\"C:\\Program Files\\Quill\\Quillmere.exe\" /AUTOSET");
    // The longest path the program reads still fits with its quotes and argument.
    const std::string longest(491, 'p');
    FormatRunData(longest.c_str(), data, sizeof data);
    CHECK(std::string(data) == "\"" + longest + "\" /AUTOSET");
    // A longer one is cut, never written past the buffer, and keeps its argument.
    const std::string tooLong(600, 'p');
    FormatRunData(tooLong.c_str(), data, sizeof data);
    CHECK(strlen(data) == sizeof data - 1);
    CHECK(std::string(data).substr(sizeof data - 11) == "\" /AUTOSET");
}

namespace {

// A settings file in a fresh temporary folder, deleted with its folder.
struct TempSettingsFile {
    TempSettingsFile() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static int serial = 0;
        snprintf(folder, sizeof folder, "%squill-unit-%lu-%d", temp, GetCurrentProcessId(),
                 ++serial);
        CreateDirectoryA(folder, nullptr);
        snprintf(path, sizeof path, "%s\\Quillmere.ini", folder);
    }
    ~TempSettingsFile() {
        // Flushes the profile cache before the file goes away.
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, path);
        DeleteFileA(path);
        RemoveDirectoryA(folder);
    }
    void Write(const char* key, const char* value) const {
        WritePrivateProfileStringA(kSavesSection, key, value, path);
    }
    std::string Read(const char* section, const char* key) const {
        char value[256];
        GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, path);
        return value;
    }
    char folder[MAX_PATH + 64];
    char path[MAX_PATH + 80];
};

// Reads the custom colours over sixteen white ones: true when every one stays white.
bool CustomColorsStayWhite(const char* path) {
    COLORREF colors[kCustomColorCount];
    for (COLORREF& color : colors) color = RGB(255, 255, 255);
    ReadCustomColors(path, colors);
    for (COLORREF color : colors)
        if (color != RGB(255, 255, 255)) return false;
    return true;
}

Settings SampleSettings() {
    Settings record = {};
    record.textColor = 0xFF00FF80; // top bit set: stored as a negative number
    strcpy(record.textColorDesc, "深蓝 blue");
    record.textStyle = StyleEngraved;
    for (int i = 0; i < kCustomColorCount; ++i) record.custColors[i] = RGB(i, 2 * i, 255 - i);
    record.showTrayIcon = false;
    return record;
}

} // namespace

TEST_CASE("every entry survives a round trip through a real settings file") {
    TempSettingsFile file;
    const Settings saved = SampleSettings();
    WriteSavedSettings(file.path, saved, {-3000, 5000});

    CHECK(ReadSavedNumber(file.path, kLeftKey, "1") == -3000);
    CHECK(ReadSavedNumber(file.path, kTopKey, "1") == 5000);
    CHECK(file.Read(kSavesSection, kTextColorKey) == "-16711808");
    CHECK(static_cast<COLORREF>(ReadSavedNumber(file.path, kTextColorKey, "-1")) ==
          saved.textColor);
    char desc[kDescReadSize];
    ReadSavedText(file.path, kTextColorDescKey, "", desc, kDescReadSize);
    CHECK(std::string(desc) == saved.textColorDesc);
    COLORREF colors[kCustomColorCount] = {};
    ReadCustomColors(file.path, colors);
    CHECK(memcmp(colors, saved.custColors, sizeof colors) == 0);
    CHECK(file.Read(kSavesSection, kShowTrayIconKey) == "0");
    CHECK(ReadSavedNumber(file.path, kTextStyleKey, "0") == StyleEngraved);

    Settings shown = saved;
    shown.showTrayIcon = true;
    WriteSavedSettings(file.path, shown, {0, 0});
    CHECK(file.Read(kSavesSection, kShowTrayIconKey) == "1");
    // The first-run mark lives apart from the saved settings.
    CHECK(file.Read(kMainSection, kFirstRunKey) == "<none>");
}

TEST_CASE("missing entries read as their defaults") {
    TempSettingsFile file;
    CHECK(ReadSavedNumber(file.path, kLeftKey, "-77") == -77);
    char text[kNumberReadSize];
    ReadSavedText(file.path, kTextColorKey, kViewTextColorText, text, kNumberReadSize);
    CHECK(MeansViewTextColor(text));
    CHECK(CustomColorsStayWhite(file.path));

    CHECK(IsFirstRun(file.path));
    MarkFirstRunDone(file.path);
    CHECK_FALSE(IsFirstRun(file.path));
    CHECK(file.Read(kMainSection, kFirstRunKey) == "0");
    CHECK(file.Read(kSavesSection, kLeftKey) == "<none>");
}

TEST_CASE("entries are read only up to their limits") {
    TempSettingsFile file;
    // 28 zeros, then 1 as the 29th byte, then a 2 beyond the limit.
    file.Write(kLeftKey, (std::string(28, '0') + "12").c_str());
    CHECK(ReadSavedNumber(file.path, kLeftKey, "0") == 1);
    file.Write(kTextColorDescKey, std::string(70, 'd').c_str());
    char desc[kDescReadSize];
    ReadSavedText(file.path, kTextColorDescKey, "", desc, kDescReadSize);
    CHECK(std::string(desc) == std::string(59, 'd'));
}

TEST_CASE("a damaged custom colour entry leaves the custom colours alone") {
    TempSettingsFile file;
    WriteSavedSettings(file.path, SampleSettings(), {0, 0});
    const std::string good = file.Read(kSavesSection, kCustColorsKey);
    REQUIRE(good.size() == 2 * sizeof(Settings::custColors) + 2);

    std::string damaged = good;
    SUBCASE("wrong checksum") {
        damaged.back() = damaged.back() == '0' ? '1' : '0';
    }
    SUBCASE("a byte missing") {
        damaged.erase(0, 2);
    }
    SUBCASE("not hexadecimal") {
        damaged[5] = 'x';
    }
    file.Write(kCustColorsKey, damaged.c_str());

    CHECK(CustomColorsStayWhite(file.path));
}
