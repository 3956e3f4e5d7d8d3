// The context menu: every user command is one of its items. It is built
// afresh each time it is shown, so its check marks follow the settings.
#pragma once

#include <windows.h>

#include "settings/appsettings.h"

// What the menu is built from besides the settings.
struct MenuConditions {
    bool shift = false;  // adds the threshold and output sub-menus
    bool ctrl = false;   // with Global.Debug, adds the debug sub-menu
    DWORD hideIdentity = 0;
    SIZE skinSize = {};  // the numbers of the skin scale item
};

// The ten popup menus of one showing: the root and its nine sub-menus, all
// destroyed together, whether or not they were attached.
class ContextMenu {
public:
    ContextMenu();
    ~ContextMenu();
    ContextMenu(const ContextMenu&) = delete;
    ContextMenu& operator=(const ContextMenu&) = delete;

    // Fills the menus; once per object.
    void Build(const AppSettings& settings, const MenuConditions& conditions);
    HMENU Root() const { return popups_[kRoot]; }

private:
    enum Popup { kRoot, kThresholds, kOutput, kDebug, kOperation, kDisplay, kShadow, kColours, kFonts, kSkin, kPopups };
    void BuildOperation(const AppSettings& settings);
    void BuildDisplay(const AppSettings& settings);
    void BuildShadow(const AppSettings& settings);
    void BuildLooks(const MenuConditions& conditions, const AppSettings& settings);

    HMENU popups_[kPopups];
};

// The size the skin is stretched to: the tab control's client area below
// the first tab's row.
SIZE SkinAreaSize(HWND tabControl);

// Builds the menu with the modifier keys held now, makes the window the
// foreground one and tracks the menu at the cursor; the chosen item reaches
// the window as WM_COMMAND. Callers post WM_NULL to the window afterwards.
void ShowContextMenu(HWND window);
