// The label copies drawn by the core module's drawing code on memory DCs: opaque in the
// alpha channel, offset by the view's DPI, and on an ordinary surface as plain text.
#include <doctest.h>

#include <stdlib.h>

#include <algorithm>
#include <initializer_list>

#include "../../core/label_style.h"
#include "../common/canvas.h"

namespace {

constexpr COLORREF kSurface = RGB(0, 128, 128);
constexpr RECT kLabelRect = {20, 20, 140, 70};
// As the list view draws a label: cut to its rectangle, or whole when it has the focus.
constexpr UINT kLabelFormat = DT_TOP | DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL |
                              DT_WORD_ELLIPSIS | DT_END_ELLIPSIS;
constexpr UINT kWholeLabelFormat =
    DT_TOP | DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL | DT_NOCLIP;
const wchar_t kText[] = L"回收站 Recycle Bin";
const int kCopyStyles[] = {StyleShadow, StyleEmbossed, StyleEngraved};

// The shell's 9-point label font at `dpi`.
struct LabelFont {
    explicit LabelFont(int dpi, DWORD quality = DEFAULT_QUALITY)
        : font(CreateFontW(-MulDiv(12, dpi, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, quality,
                           DEFAULT_PITCH, L"Tahoma")) {}
    ~LabelFont() { DeleteObject(font); }
    HFONT font;
};

// A canvas of the surface colour with the font selected for as long as it lives.
struct LabelCanvas : Canvas {
    explicit LabelCanvas(const LabelFont& font) : Canvas(200, 120, kSurface) {
        SelectObject(Dc(), font.font);
    }
    ~LabelCanvas() { SelectObject(Dc(), GetStockObject(SYSTEM_FONT)); }
};

// The smallest rectangle that holds every pixel not of the surface colour.
RECT DrawnArea(const Canvas& canvas) {
    RECT area = {canvas.Width(), canvas.Height(), 0, 0};
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.Pixel(x, y) != kSurface) {
                SetRect(&area, std::min<int>(area.left, x), std::min<int>(area.top, y),
                        std::max<int>(area.right, x + 1), std::max<int>(area.bottom, y + 1));
            }
    return area;
}

int ChannelDifference(COLORREF a, COLORREF b) {
    return std::max({abs(GetRValue(a) - GetRValue(b)), abs(GetGValue(a) - GetGValue(b)),
                     abs(GetBValue(a) - GetBValue(b))});
}

// The copies as they were drawn before they kept their alpha: plain GDI text. With the
// normal style, the label itself in black.
void DrawCopiesAsText(HDC dc, int style, UINT format = kLabelFormat) {
    LabelCopy copies[2] = {{0, 0, RGB(0, 0, 0)}};
    const int count = style == StyleNormal ? 1 : CopiesOfStyle(style, copies);
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < count; ++i) {
        RECT rect = kLabelRect;
        OffsetRect(&rect, copies[i].dx, copies[i].dy);
        SetTextColor(dc, copies[i].color);
        DrawTextW(dc, kText, -1, &rect, format);
    }
}

} // namespace

TEST_CASE("each style's copies are opaque on a surface with alpha and move by the view's DPI") {
    const struct {
        int dpi;
        int offset;
    } scales[] = {{96, 1}, {120, 1}, {144, 1}, {192, 2}, {288, 3}};
    for (const auto& scale : scales) {
        CAPTURE(scale.dpi);
        CHECK(CopyOffset(scale.dpi) == scale.offset);
        const LabelFont font(scale.dpi);
        LabelCanvas text(font);
        DrawCopiesAsText(text.Dc(), StyleNormal);
        // The three labels share one paint, and with it the bitmap they are drawn through.
        for (int style : kCopyStyles) {
            CAPTURE(style);
            LabelCanvas styled(font);
            styled.SetAlpha(255);
            DrawLabelCopies(styled.Dc(), kLabelRect, kText, kLabelFormat, style, scale.dpi);
            GdiFlush();
            int changed = 0, opaque = 0;
            for (int y = 0; y < styled.Height(); ++y)
                for (int x = 0; x < styled.Width(); ++x) {
                    const bool differs = styled.Pixel(x, y) != kSurface;
                    changed += differs;
                    opaque += differs && styled.Alpha(x, y) == 255;
                }
            CHECK(changed > 100);
            CHECK(opaque == changed);
            // Shadow: one copy down and right; the others: one up and left, one down and right.
            RECT expected = DrawnArea(text);
            if (style == StyleShadow)
                OffsetRect(&expected, scale.offset, scale.offset);
            else
                InflateRect(&expected, scale.offset, scale.offset);
            const RECT found = DrawnArea(styled);
            CHECK(EqualRect(&found, &expected));
        }
        EndLabelPaint();
    }
}

TEST_CASE("on a surface without alpha the copies look as plain text did, in any smoothing") {
    // Fully covered pixels are the same; smoothed edges may be off by rounding.
    constexpr int kMaxEdgeDifference = 2;
    for (UINT format : {kLabelFormat, kWholeLabelFormat})
        for (DWORD quality : {NONANTIALIASED_QUALITY, ANTIALIASED_QUALITY, CLEARTYPE_QUALITY}) {
            // Large enough for the fonts' own tables to allow smoothing.
            const LabelFont font(192, quality);
            for (int style : kCopyStyles) {
                CAPTURE(format);
                CAPTURE(quality);
                CAPTURE(style);
                LabelCanvas before(font), after(font);
                DrawCopiesAsText(before.Dc(), style, format);
                DrawLabelCopies(after.Dc(), kLabelRect, kText, format, style, 96);
                int largest = 0, differing = 0;
                for (int y = 0; y < after.Height(); ++y)
                    for (int x = 0; x < after.Width(); ++x) {
                        const int difference =
                            ChannelDifference(before.Pixel(x, y), after.Pixel(x, y));
                        largest = std::max(largest, difference);
                        differing += difference > 0;
                    }
                MESSAGE("format ", format, " quality ", quality, " style ", style, ": ", differing,
                        " pixels differ, by at most ", largest, " levels");
                CHECK(largest <= kMaxEdgeDifference);
            }
            EndLabelPaint();
        }
}
