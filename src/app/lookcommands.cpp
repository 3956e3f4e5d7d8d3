#include <cstring>

#include "app/appstate.h"
#include "app/choosers.h"
#include "app/commandgroups.h"
#include "app/commandids.h"
#include "base/windowutil.h"
#include "settings/appsettings.h"
#include "ui/drawingresources.h"
#include "ui/header.h"
#include "ui/pages.h"

namespace {

// A cancelled dialog hands back the colour it started from: nothing to do.
bool ChooseColour(HWND window, COLORREF& colour) {
    const COLORREF chosen = choosers.colour(colour, window);
    if (chosen == colour) return false;
    colour = chosen;
    return true;
}

// The colour a colour command chooses, or null for the others.
COLORREF* ColourOf(WORD command) {
    AppSettings::ColorsKeys& colours = appSettings.Colors;
    switch (command) {
        case kCommandColourText: return &colours.Text;
        case kCommandColourShadow: return &appSettings.Shadow.Color;
        case kCommandColourBar: return &colours.Bar;
        case kCommandColourFrame: return &colours.Frame;
        case kCommandColourGrid: return &colours.Grid;
        case kCommandColourGraph: return &colours.Graph;
        case kCommandColourThreshold: return &colours.Threshold;
        default: return nullptr;
    }
}

// The font a font command chooses, or null for the others.
LOGFONTA* FontOf(WORD command) {
    AppSettings::FontsKeys& fonts = appSettings.Fonts;
    switch (command) {
        case kCommandFontTab: return &fonts.Tab;
        case kCommandFontLarge: return &fonts.Large;
        case kCommandFontMiddle: return &fonts.Middle;
        case kCommandFontSmall: return &fonts.Small;
        case kCommandFontGraph: return &fonts.Graph;
        default: return nullptr;
    }
}

// Text, shadow and bar colours are drawn with no tool that holds them but
// the gauges'; the frame and the graph's lines are pens.
void RunColourCommand(HWND window, WORD command, COLORREF& colour) {
    if (!ChooseColour(window, colour)) return;
    const bool gauges = command == kCommandColourText || command == kCommandColourShadow ||
                        command == kCommandColourBar || command == kCommandColourFrame;
    const bool pens = command == kCommandColourFrame || command == kCommandColourGrid ||
                      command == kCommandColourGraph || command == kCommandColourThreshold;
    if (gauges) ApplyAllBarColors(pages);
    if (pens) CreatePens(drawing, appSettings);
    DrawAllPages(pages);
}

void RunFontCommand(HWND window, LOGFONTA& font) {
    LOGFONTA chosen = font;
    if (!choosers.font(&chosen, window)) return;
    font = chosen;
    CreateFonts(drawing, appSettings);
    ApplyFonts(pages);
    DrawAllPages(pages);
}

void ChooseSkinFile(HWND window) {
    char path[PATH_BUFFER_SIZE];
    static_assert(sizeof path == sizeof appSettings.Skin.File, "the skin path is a file dialog's buffer");
    std::memcpy(path, appSettings.Skin.File, sizeof path);
    if (!choosers.file(window, path)) return;
    std::memcpy(appSettings.Skin.File, path, sizeof path);
    ReloadSkin(pages);
}

}  // namespace

bool RunLookCommand(HWND window, WORD command) {
    if (COLORREF* const colour = ColourOf(command)) {
        RunColourCommand(window, command, *colour);
        return true;
    }
    if (LOGFONTA* const font = FontOf(command)) {
        RunFontCommand(window, *font);
        return true;
    }
    AppSettings::SkinKeys& skin = appSettings.Skin;
    switch (command) {
        case kCommandSkinEnable:
            // Turning the skin on does not load it: only one already loaded shows.
            skin.Enable = (!skin.Enable && pages.skin.skinLoaded) ? 1 : 0;
            DrawAllPages(pages);
            return true;
        case kCommandSkinStretch:
            skin.Stretch = !skin.Stretch;
            ReloadSkin(pages);
            return true;
        case kCommandSkinFile:
            ChooseSkinFile(window);
            return true;
        default:
            return false;
    }
}
