// Drawing a drive page's header into its back buffer: the background (skin
// or button face), the text panels with their shadows and frames, the usage
// gauge, the status picture and the temperature graph.
#pragma once

#include <windows.h>

#include "settings/appsettings.h"
#include "ui/drivepages.h"

// Panel texts: centred on one line; graph labels: left-aligned.
const UINT kPanelTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;
const UINT kGraphLabelFormat = DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;

struct ShadowStyle {
    int type;  // 0 none, 1 up-left, 2 up-right, 3 down-left, 4 down-right, 5 outline
    COLORREF colour;
    int offset;
};

ShadowStyle ShadowOf(const AppSettings& settings);

// The header of page k, then the page invalidated when it is the shown one.
// A drive that is not present has only its status picture redrawn.
void DrawPage(DrivePages& pages, int k);
void DrawAllPages(DrivePages& pages);

// The copies of the text in the shadow colour, each in the rectangle moved
// by the style's offset; the caller draws the text itself over them.
void DrawShadowText(const ShadowStyle& style, const RECT& rect, HDC dc, UINT format, const char* text, HFONT font);

// A panel's text in Colors.Text, with its shadow while View.Shadow is set
// and its frame in Colors.Frame while View.Frame is set.
void DrawPanelText(HDC dc, const RECT& rect, HFONT font, UINT format, const char* text, const AppSettings& settings);

// The picture of the drive's displayed status (hot on the blink phase's
// "on" ticks) in control 1013's place, framed when frameOn is set.
void DrawStatusImage(const DrivePages& pages, int k, HDC dc, int frameOn);

// The status picture of page k redrawn and its place invalidated.
void BlinkStatusImage(DrivePages& pages, int k);

// The gauge of page k takes Colors.Text and Colors.Bar.
void ApplyBarColors(DrivePages& pages, int k);
void ApplyAllBarColors(DrivePages& pages);

// Colors.Frame around the rectangle, one pixel wide.
void FrameWithColour(HDC dc, const RECT& rect, COLORREF colour);
