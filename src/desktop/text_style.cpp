#include "text_style.h"

#include <windows.h>

#include "../app/app.h"
#include "../app/resource.h"
#include "../settings/settings.h"
#include "desktop_view.h"

namespace {

struct StyleRadio {
    int style;
    int radioId;
};

constexpr StyleRadio kStyleRadios[] = {
    {StyleNormal, IDC_STYLE_NORMAL},
    {StyleShadow, IDC_STYLE_SHADOW},
    {StyleEmbossed, IDC_STYLE_EMBOSSED},
    {StyleEngraved, IDC_STYLE_ENGRAVED},
};

} // namespace

int StyleOfRadio(int radioId) {
    for (const StyleRadio& entry : kStyleRadios) {
        if (entry.radioId == radioId) return entry.style;
    }
    return StyleShadow;
}

int RadioOfStyle(int style) {
    for (const StyleRadio& entry : kStyleRadios) {
        if (entry.style == style) return entry.radioId;
    }
    return IDC_STYLE_SHADOW;
}

int NormalizedStyle(int style) {
    return StyleOfRadio(RadioOfStyle(style));
}

void SyncStyleRadios() {
    CheckRadioButton(sharedMainWindow, IDC_STYLE_NORMAL, IDC_STYLE_SHADOW,
                     RadioOfStyle(settings.textStyle));
    settings.textStyle = NormalizedStyle(settings.textStyle);
}

void SelectTextStyle(int radioId) {
    settings.textStyle = StyleOfRadio(radioId);
    SyncStyleRadios();
    if (IsTextTransparent(desktopView)) ApplyTransparency();
}
