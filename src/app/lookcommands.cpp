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

// Text, shadow and bar colours are drawn with no tool that holds them but
// the gauges'; the frame and the graph's lines are pens.
void RunColourCommand(HWND window, WORD command) {
    AppSettings::ColorsKeys& colours = appSettings.Colors;
    COLORREF* const targets[] = {&colours.Text, &appSettings.Shadow.Color, &colours.Bar, &colours.Frame,
                                 &colours.Grid, &colours.Graph, &colours.Threshold};
    if (!ChooseColour(window, *targets[command - kCommandColourText])) return;
    if (command <= kCommandColourFrame) ApplyAllBarColors(pages);
    if (command >= kCommandColourFrame) CreatePens(drawing, appSettings);
    DrawAllPages(pages);
}

void RunFontCommand(HWND window, WORD command) {
    AppSettings::FontsKeys& fonts = appSettings.Fonts;
    LOGFONTA* const targets[] = {&fonts.Tab, &fonts.Large, &fonts.Middle, &fonts.Small, &fonts.Graph};
    LOGFONTA chosen = *targets[command - kCommandFontTab];
    if (!choosers.font(&chosen, window)) return;
    *targets[command - kCommandFontTab] = chosen;
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
    if (command >= kCommandColourText && command <= kCommandColourThreshold) {
        RunColourCommand(window, command);
        return true;
    }
    if (command >= kCommandFontTab && command <= kCommandFontGraph) {
        RunFontCommand(window, command);
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
