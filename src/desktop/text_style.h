// The four text style codes and the main window's style radio buttons.
#pragma once

enum TextStyle : int {
    StyleNormal = 0,
    StyleShadow = 1,
    StyleEmbossed = 4000,
    StyleEngraved = 4001,
};

// The code a style radio button stands for.
int StyleOfRadio(int radioId);

// The radio button that shows a code; any unknown code shows as shadow.
int RadioOfStyle(int style);

// The code itself when known, otherwise StyleShadow.
int NormalizedStyle(int style);

// Checks the radio of settings.textStyle and normalises an unknown code to StyleShadow.
void SyncStyleRadios();

// A click on a style radio: store its code and apply it at once while the text is transparent.
void SelectTextStyle(int radioId);
