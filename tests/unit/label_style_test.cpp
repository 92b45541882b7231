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

// The shell's 9-point label font at `dpi`, selected into the canvas while this lives.
class LabelFont {
  public:
    LabelFont(const Canvas& canvas, int dpi, DWORD quality = DEFAULT_QUALITY) : dc(canvas.Dc()) {
        font = CreateFontW(-MulDiv(12, dpi, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, quality,
                           DEFAULT_PITCH, L"Tahoma");
        old = SelectObject(dc, font);
    }
    ~LabelFont() {
        SelectObject(dc, old);
        DeleteObject(font);
    }

  private:
    HDC dc;
    HFONT font;
    HGDIOBJ old;
};

// The smallest rectangle that holds every pixel where the two canvases differ.
RECT ChangedArea(const Canvas& before, const Canvas& after) {
    RECT area = {after.Width(), after.Height(), 0, 0};
    for (int y = 0; y < after.Height(); ++y)
        for (int x = 0; x < after.Width(); ++x)
            if (before.Pixel(x, y) != after.Pixel(x, y)) {
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
// normal style, the label itself in the DC's text colour.
void DrawCopiesAsText(HDC dc, int style, UINT format = kLabelFormat) {
    LabelCopy copies[2] = {{0, 0, GetTextColor(dc)}};
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
        for (int style : kCopyStyles) {
            CAPTURE(scale.dpi);
            CAPTURE(style);
            CHECK(CopyOffset(scale.dpi) == scale.offset);
            Canvas blank(200, 120, kSurface), text(200, 120, kSurface), styled(200, 120, kSurface);
            LabelFont textFont(text, scale.dpi), styledFont(styled, scale.dpi);
            DrawCopiesAsText(text.Dc(), StyleNormal);
            styled.SetAlpha(255);
            DrawLabelCopies(styled.Dc(), kLabelRect, kText, kLabelFormat, style, scale.dpi);
            EndLabelPaint();
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
            RECT expected = ChangedArea(blank, text);
            if (style == StyleShadow)
                OffsetRect(&expected, scale.offset, scale.offset);
            else
                InflateRect(&expected, scale.offset, scale.offset);
            const RECT found = ChangedArea(blank, styled);
            CHECK(EqualRect(&found, &expected));
        }
    }
}

TEST_CASE("on a surface without alpha the copies look as plain text did, in any smoothing") {
    // Fully covered pixels are the same; smoothed edges may be off by rounding.
    constexpr int kMaxEdgeDifference = 2;
    for (UINT format : {kLabelFormat, kWholeLabelFormat})
        for (DWORD quality : {NONANTIALIASED_QUALITY, ANTIALIASED_QUALITY, CLEARTYPE_QUALITY}) {
            for (int style : kCopyStyles) {
                CAPTURE(format);
                CAPTURE(quality);
                CAPTURE(style);
                Canvas before(200, 120, kSurface), after(200, 120, kSurface);
                // Large enough for the fonts' own tables to allow smoothing.
                LabelFont beforeFont(before, 192, quality), afterFont(after, 192, quality);
                DrawCopiesAsText(before.Dc(), style, format);
                DrawLabelCopies(after.Dc(), kLabelRect, kText, format, style, 96);
            EndLabelPaint();
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
                const RECT all = {0, 0, after.Width(), after.Height()};
                CHECK(before.Count(all, kSurface) == after.Count(all, kSurface));
            }
        }
}
