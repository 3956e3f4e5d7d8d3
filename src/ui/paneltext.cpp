#include "ui/paneltext.h"

#include <algorithm>

#include "ui/dcdrawing.h"

namespace {

// Beyond this a copy lands outside any page, as it would further out; the
// bound keeps the moved rectangle's edges within int.
const int kShadowOffsetLimit = 4096;

void DrawMovedText(HDC dc, const RECT& rect, int dx, int dy, UINT format, const char* text) {
    RECT moved = rect;
    OffsetRect(&moved, dx, dy);
    DrawTextA(dc, text, -1, &moved, format);
}

}  // namespace

ShadowStyle ShadowOf(const AppSettings& settings) {
    const int offset = std::clamp(settings.Shadow.Offset, -kShadowOffsetLimit, kShadowOffsetLimit);
    return ShadowStyle{settings.Shadow.Type, settings.Shadow.Color, offset};
}

void FrameWithColour(HDC dc, const RECT& rect, COLORREF colour) {
    SetDCBrushColor(dc, colour);
    FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void DrawShadowText(const ShadowStyle& style, const RECT& rect, HDC dc, UINT format, const char* text, HFONT font) {
    if (style.type == 0) return;
    DcSelection selected(dc, font);
    SetTextColor(dc, style.colour);
    const int d = style.offset;
    switch (style.type) {
        case 1: DrawMovedText(dc, rect, -d, -d, format, text); break;
        case 2: DrawMovedText(dc, rect, d, -d, format, text); break;
        case 3: DrawMovedText(dc, rect, -d, d, format, text); break;
        case 4: DrawMovedText(dc, rect, d, d, format, text); break;
        case 5:
            DrawMovedText(dc, rect, 0, -d, format, text);
            DrawMovedText(dc, rect, 0, d, format, text);
            DrawMovedText(dc, rect, -d, 0, format, text);
            DrawMovedText(dc, rect, d, 0, format, text);
            break;
        default: DrawMovedText(dc, rect, 0, 0, format, text); break;
    }
}

void DrawShadowedText(HDC dc, const RECT& rect, HFONT font, UINT format, const char* text,
                      const AppSettings& settings) {
    if (settings.View.Shadow) DrawShadowText(ShadowOf(settings), rect, dc, format, text, font);
    DcSelection selected(dc, font);
    SetTextColor(dc, settings.Colors.Text);
    RECT target = rect;
    DrawTextA(dc, text, -1, &target, format);
}

void DrawPanelText(HDC dc, const RECT& rect, HFONT font, UINT format, const char* text, const AppSettings& settings) {
    if (settings.View.Frame) FrameWithColour(dc, rect, settings.Colors.Frame);
    DrawShadowedText(dc, rect, font, format, text, settings);
}
