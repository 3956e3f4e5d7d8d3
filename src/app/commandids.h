// The ids of the main window's commands (WM_COMMAND 32770..32930): every
// item of the context menu, and the monitor thread's refresh.
#pragma once

#include <windows.h>

const WORD kFirstCommand = 32770;
const WORD kLastCommand = 32930;

// Posted by the monitor thread after every cycle: fresh drive data.
const WORD kCommandRefreshFromMonitor = 32770;
const WORD kCommandRefresh = 32771;
const WORD kCommandHideIdentity = 32772;
const WORD kCommandLimitsToCurrent = 32773;
const WORD kCommandLimitsToZero = 32774;
const WORD kCommandDumpShown = 32775;
const WORD kCommandDumpAll = 32776;
// Good, caution, danger and error: the status is the offset from the first.
const WORD kCommandDebugGood = 32784;
const WORD kCommandDebugError = 32787;
const WORD kCommandDebugHot = 32788;

// Between the shown window and the tray.
const WORD kCommandTrayToggle = 32800;
const WORD kCommandTitle = 32801;
const WORD kCommandStable = 32802;
const WORD kCommandMonitoring = 32803;
// The status service on or off.
const WORD kCommandNetwork = 32804;
const WORD kCommandTemperatureWatch = 32805;

const WORD kCommandFrame = 32816;
// Model, firmware, serial, temperature, power-on time and disk usage panels.
const WORD kCommandShowModel = 32817;
const WORD kCommandShowDiskUsage = 32822;
const WORD kCommandShowBasic = 32823;
const WORD kCommandShowAttribute = 32824;
const WORD kCommandDecimal = 32825;
const WORD kCommandYears = 32826;
const WORD kCommandExternalIcons = 32827;
const WORD kCommandExternalBitmaps = 32828;
const WORD kCommandShadow = 32832;
// Shadow.Type 1 to 5: upper left, upper right, lower left, lower right, outline.
const WORD kCommandShadowFirst = 32833;
const WORD kCommandShadowLast = 32837;

// Colors.Text, Shadow.Color, Colors.Bar, .Frame, .Grid, .Graph, .Threshold.
const WORD kCommandColourText = 32848;
const WORD kCommandColourShadow = 32849;
const WORD kCommandColourBar = 32850;
const WORD kCommandColourFrame = 32851;
const WORD kCommandColourGrid = 32852;
const WORD kCommandColourGraph = 32853;
const WORD kCommandColourThreshold = 32854;
// Fonts.Tab, .Large, .Middle, .Small, .Graph.
const WORD kCommandFontTab = 32864;
const WORD kCommandFontGraph = 32868;
const WORD kCommandSkinEnable = 32880;
const WORD kCommandSkinStretch = 32881;
const WORD kCommandSkinFile = 32882;

const WORD kCommandSaveSettings = 32912;
const WORD kCommandAbout = 32929;
const WORD kCommandExit = 32930;
