#include <doctest.h>

#include <limits.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "../../core/text_style.h"
#include "../../src/settings/autostart.h"
#include "../../src/settings/settings.h"
#include "../../src/settings/settings_file.h"
#include "../common/code_page.h"

TEST_CASE("numbers are read as signed decimal that wraps at 32 bits") {
    CHECK(ParseSignedDecimal(L"12") == 12);
    CHECK(ParseSignedDecimal(L" 12abc") == 12);
    CHECK(ParseSignedDecimal(L"\t\r\n-7") == -7);
    CHECK(ParseSignedDecimal(L"+5") == 5);
    CHECK(ParseSignedDecimal(L"-01") == -1);
    CHECK(ParseSignedDecimal(L"abc") == 0);
    CHECK(ParseSignedDecimal(L"-") == 0);
    CHECK(ParseSignedDecimal(L"") == 0);
    CHECK(ParseSignedDecimal(L"--5") == 0);
    CHECK(ParseSignedDecimal(L"1 2") == 1);
    CHECK(ParseSignedDecimal(L"-2147483648") == INT_MIN);
    CHECK(ParseSignedDecimal(L"2147483648") == INT_MIN);
    CHECK(ParseSignedDecimal(L"4294967295") == -1);
    CHECK(ParseSignedDecimal(L"99999999999") == 1215752191); // 99999999999 mod 2^32
}

TEST_CASE("only the exact text -1 stands for the view's own text colour") {
    CHECK(MeansViewTextColor(L"-1"));
    for (const wchar_t* text : {L"-01", L"4294967295", L"-1x", L""})
        CHECK_FALSE(MeansViewTextColor(text));
}

TEST_CASE("the generated description names red, green and blue in that order") {
    wchar_t desc[kColorDescSize];
    FormatCustomColorDesc(RGB(255, 128, 0), desc);
    CHECK(std::wstring(desc) == L"自定义颜色:(255,128,0)");
    // The byte above blue is not part of the colour.
    FormatCustomColorDesc(0xFF010203, desc);
    CHECK(std::wstring(desc) == L"自定义颜色:(3,2,1)");
}

TEST_CASE("the settings file sits beside the module") {
    wchar_t path[kSettingsPathSize];
    // The file name is replaced from its last backslash on; without one nothing is cut.
    const wchar_t* const kPaths[][2] = {
        {L"C:\\Program Files\\Quill\\Quillmere.exe", L"C:\\Program Files\\Quill\\Quillmere.ini"},
        {L"C:\\Жü 测试\\Quillmere.exe", L"C:\\Жü 测试\\Quillmere.ini"},
        {L"C:\\Quillmere.exe", L"C:\\Quillmere.ini"},
        {L"Quillmere.exe", L"Quillmere.exe\\Quillmere.ini"}};
    for (const auto& module : kPaths) {
        lstrcpyW(path, module[0]);
        SettingsPathFromModulePath(path);
        CHECK(std::wstring(path) == module[1]);
    }
    SUBCASE("a module path that fills its whole buffer still fits") {
        wmemset(path, L'a', kModulePathSize - 1);
        path[kModulePathSize - 1] = L'\0';
        SettingsPathFromModulePath(path);
        CHECK(wcslen(path) == kModulePathSize - 1 + wcslen(L"\\Quillmere.ini"));
    }
    SUBCASE("the running program's own folder") {
        BuildSettingsPath(path);
        wchar_t module[MAX_PATH];
        GetModuleFileNameW(nullptr, module, MAX_PATH);
        wcscpy(wcsrchr(module, L'\\'), L"\\Quillmere.ini");
        CHECK(std::wstring(path) == module);
    }
}

TEST_CASE("the Run value's data quotes the path") {
    wchar_t data[kRunDataSize];
    FormatRunData(L"C:\\Program Files\\Жü\\Quillmere.exe", data, kRunDataSize);
    CHECK(std::wstring(data) == L"\"C:\\Program Files\\Жü\\Quillmere.exe\" /AUTOSET");
    // The longest path the program reads still fits with its quotes and argument.
    const std::wstring longest(491, L'p');
    FormatRunData(longest.c_str(), data, kRunDataSize);
    CHECK(std::wstring(data) == L"\"" + longest + L"\" /AUTOSET");
    // A longer one is cut, never written past the buffer, and keeps its argument.
    const std::wstring tooLong(600, L'p');
    FormatRunData(tooLong.c_str(), data, kRunDataSize);
    CHECK(wcslen(data) == kRunDataSize - 1);
    CHECK(std::wstring(data).substr(kRunDataSize - 11) == L"\" /AUTOSET");
}

namespace {

// A settings file in a fresh temporary folder, deleted with its folder.
struct TempSettingsFile {
    TempSettingsFile() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int serial = 0;
        swprintf(folder, MAX_PATH + 64, L"%lsquill-unit-%lu-%d", temp, GetCurrentProcessId(),
                 ++serial);
        CreateDirectoryW(folder, nullptr);
        swprintf(path, MAX_PATH + 80, L"%ls\\Quillmere.ini", folder);
    }
    ~TempSettingsFile() {
        // Flushes the profile cache before the file goes away.
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, path);
        DeleteFileW(path);
        RemoveDirectoryW(folder);
    }
    void Write(const wchar_t* key, const char* value) const {
        WritePrivateProfileStringW(kSavesSection, key, Wide(value).c_str(), path);
    }
    std::string Read(const wchar_t* section, const wchar_t* key) const {
        wchar_t value[256];
        GetPrivateProfileStringW(section, key, L"<none>", value, 256, path);
        return Narrow(value);
    }
    void WriteBytes(const std::string& bytes) const {
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    std::string Bytes() const {
        HANDLE file =
            CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        std::string bytes(4096, '\0');
        DWORD read = 0;
        ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(file);
        return bytes.substr(0, read);
    }
    wchar_t folder[MAX_PATH + 64];
    wchar_t path[MAX_PATH + 80];
};

// Reads the custom colours over sixteen white ones: true when every one stays white.
bool CustomColorsStayWhite(const wchar_t* path) {
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
    lstrcpyW(record.textColorDesc, L"深蓝 blue");
    record.textStyle = StyleEngraved;
    for (int i = 0; i < kCustomColorCount; ++i) record.custColors[i] = RGB(i, 2 * i, 255 - i);
    record.showTrayIcon = false;
    return record;
}

std::wstring ReadDesc(const wchar_t* path) {
    wchar_t desc[kColorDescSize];
    ReadSavedDesc(path, desc);
    return desc;
}

} // namespace

TEST_CASE("every entry survives a round trip through a real settings file") {
    TempSettingsFile file;
    const Settings saved = SampleSettings();
    WriteSavedSettings(file.path, saved, {-3000, 5000});

    CHECK(ReadSavedNumber(file.path, kLeftKey, L"1") == -3000);
    CHECK(ReadSavedNumber(file.path, kTopKey, L"1") == 5000);
    CHECK(file.Read(kSavesSection, kTextColorKey) == "-16711808");
    CHECK(static_cast<COLORREF>(ReadSavedNumber(file.path, kTextColorKey, L"-1")) ==
          saved.textColor);
    CHECK(ReadDesc(file.path) == saved.textColorDesc);
    COLORREF colors[kCustomColorCount] = {};
    ReadCustomColors(file.path, colors);
    CHECK(memcmp(colors, saved.custColors, sizeof colors) == 0);
    CHECK(file.Read(kSavesSection, kShowTrayIconKey) == "0");
    CHECK(ReadSavedNumber(file.path, kTextStyleKey, L"0") == StyleEngraved);

    Settings shown = saved;
    shown.showTrayIcon = true;
    WriteSavedSettings(file.path, shown, {0, 0});
    CHECK(file.Read(kSavesSection, kShowTrayIconKey) == "1");
    // The first-run mark lives apart from the saved settings.
    CHECK(file.Read(kMainSection, kFirstRunKey) == "<none>");
}

TEST_CASE("missing entries read as their defaults") {
    TempSettingsFile file;
    CHECK(ReadSavedNumber(file.path, kLeftKey, L"-77") == -77);
    wchar_t text[kNumberReadSize];
    ReadSavedText(file.path, kTextColorKey, kViewTextColorText, text, kNumberReadSize);
    CHECK(MeansViewTextColor(text));
    CHECK(CustomColorsStayWhite(file.path));
    CHECK(ReadDesc(file.path).empty());

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
    CHECK(ReadSavedNumber(file.path, kLeftKey, L"0") == 1);
    file.Write(kTextColorDescKey, std::string(70, 'd').c_str());
    CHECK(ReadDesc(file.path) == std::wstring(59, L'd'));
    // The description's limit counts the bytes the file stores, and no character is cut.
    std::string blue;
    for (int i = 0; i < 40; ++i) blue += "蓝"; // two bytes each in code page 936
    file.Write(kTextColorDescKey, blue.c_str());
    CHECK(Narrow(ReadDesc(file.path)) == blue.substr(0, 58));
    file.Write(kTextColorDescKey, ("x" + blue).c_str());
    CHECK(Narrow(ReadDesc(file.path)) == ("x" + blue).substr(0, 59));
}

// Run under code page 950 as well: the file's bytes are code page 936 under every one.
TEST_CASE("the settings file keeps its code-page-936 bytes whatever the system's code page") {
    TempSettingsFile file;
    // As the program has always written it: "靛青" is B5 E5 C7 E0 in code page 936.
    const std::string stored =
        "[Main]\r\nBeFirst=0\r\n[Saves]\r\nLeft=12\r\nTop=-34\r\nTextColor=8519755\r\n"
        "TextColorDesc=\xB5\xE5\xC7\xE0\r\nCustColors=" +
        std::string(128, '0') +
        "00\r\n"
        "ShowTrayIcon=1\r\nShadowDist=4001\r\n";
    file.WriteBytes(stored);
    Settings record = {};
    {
        SettingsFileCopy copy(file.path);
        CHECK(ReadDesc(copy.Path()) == L"靛青");
        record.textColor =
            static_cast<COLORREF>(ReadSavedNumber(copy.Path(), kTextColorKey, L"-1"));
        lstrcpyW(record.textColorDesc, L"靛青");
        record.showTrayIcon = true;
        record.textStyle = ReadSavedNumber(copy.Path(), kTextStyleKey, L"0");
        ReadCustomColors(copy.Path(), record.custColors);
        WriteSavedSettings(copy.Path(), record, {12, -34});
    }
    CHECK(file.Bytes() == stored);
    SUBCASE("a new name is written in code page 936 over the old one") {
        {
            SettingsFileCopy copy(file.path);
            WritePrivateProfileStringW(kSavesSection, kTextColorDescKey, L"自定义颜色:(1,2,3)",
                                       copy.Path());
        }
        const std::string expected = "TextColorDesc=自定义颜色:(1,2,3)";
        CHECK(file.Bytes().find(expected) != std::string::npos);
    }
    SUBCASE("bytes that are no text of the code page stay as they are while only read") {
        const std::string damaged = "[Saves]\r\nTextColorDesc=\x81\xFF\x80\r\n";
        file.WriteBytes(damaged);
        {
            SettingsFileCopy copy(file.path);
            ReadDesc(copy.Path());
        }
        CHECK(file.Bytes() == damaged);
    }
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
