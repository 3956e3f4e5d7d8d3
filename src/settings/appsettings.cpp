#include "settings/appsettings.h"

#include <cstdio>
#include <cstring>

AppSettings appSettings;

namespace {

// Without the platform's system colours, those of the Windows default colour
// scheme (Windows 7 and later): button text 0,0,0; active caption
// 153,180,209; active border 180,180,180; button shadow 160,160,160.
#ifdef _WIN32
COLORREF ButtonTextColour() { return GetSysColor(COLOR_BTNTEXT); }
COLORREF ActiveCaptionColour() { return GetSysColor(COLOR_ACTIVECAPTION); }
COLORREF ActiveBorderColour() { return GetSysColor(COLOR_ACTIVEBORDER); }
COLORREF ButtonShadowColour() { return GetSysColor(COLOR_BTNSHADOW); }
#else
COLORREF ButtonTextColour() { return RGB(0, 0, 0); }
COLORREF ActiveCaptionColour() { return RGB(153, 180, 209); }
COLORREF ActiveBorderColour() { return RGB(180, 180, 180); }
COLORREF ButtonShadowColour() { return RGB(160, 160, 160); }
#endif

LOGFONT StartFont(LONG height, const char* face) {
    LOGFONT font;
    std::memset(&font, 0, sizeof font);
    font.lfHeight = height;
    font.lfWeight = 700;
    std::snprintf(font.lfFaceName, sizeof font.lfFaceName, "%s", face);
    return font;
}

}  // namespace

void SetStartValues(AppSettings& settings) {
    std::memset(&settings, 0, sizeof settings);

    settings.Colors.Text = ButtonTextColour();
    settings.Colors.Bar = ActiveCaptionColour();
    settings.Colors.Frame = ActiveBorderColour();
    settings.Colors.Grid = ActiveBorderColour();
    settings.Colors.Graph = RGB(255, 0, 0);
    settings.Colors.Threshold = RGB(127, 0, 0);
    settings.Shadow.Color = ButtonShadowColour();

    settings.Fonts.Tab = StartFont(-17, "Arial Narrow");
    settings.Fonts.Large = StartFont(-21, "Arial Narrow");
    settings.Fonts.Middle = StartFont(-17, "Arial Narrow");
    settings.Fonts.Small = StartFont(-11, "Arial");
    settings.Fonts.Graph = StartFont(-13, "Arial");
}
