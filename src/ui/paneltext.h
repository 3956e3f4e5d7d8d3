// Texts as the header and the temperature graph draw them: in Colors.Text
// over their shadow copies, and the one-pixel frames around panels.
#pragma once

#include <windows.h>

#include "settings/appsettings.h"

// Panel texts: centred on one line; graph labels: left-aligned.
const UINT kPanelTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;
const UINT kGraphLabelFormat = DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;

struct ShadowStyle {
    int type;  // 0 none, 1 up-left, 2 up-right, 3 down-left, 4 down-right, 5 outline
    COLORREF colour;
    int offset;
};

ShadowStyle ShadowOf(const AppSettings& settings);

// The copies of the text in the shadow colour, each in the rectangle moved
// by the style's offset; the caller draws the text itself over them.
void DrawShadowText(const ShadowStyle& style, const RECT& rect, HDC dc, UINT format, const char* text, HFONT font);

// The text in Colors.Text over its shadow while View.Shadow is set.
void DrawShadowedText(HDC dc, const RECT& rect, HFONT font, UINT format, const char* text,
                      const AppSettings& settings);

// A panel's text, framed in Colors.Frame while View.Frame is set.
void DrawPanelText(HDC dc, const RECT& rect, HFONT font, UINT format, const char* text, const AppSettings& settings);

// The colour around the rectangle, one pixel wide.
void FrameWithColour(HDC dc, const RECT& rect, COLORREF colour);
