// The text style codes, as the settings file stores them and the core module takes them.
// They belong to the core module's interface; the program includes them from here.
#pragma once

enum TextStyle : int {
    StyleNormal = 0,
    StyleShadow = 1,
    StyleEmbossed = 4000,
    StyleEngraved = 4001,
};

// The code itself when it is one of the four; any other counts as StyleShadow.
constexpr int NormalizedStyle(int style) {
    return style == StyleNormal || style == StyleEmbossed || style == StyleEngraved ? style
                                                                                    : StyleShadow;
}
