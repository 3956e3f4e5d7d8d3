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
// The shown drive's status set to good, caution, danger or error, or its
// temperature to one above the threshold.
const WORD kCommandDebugGood = 32784;
const WORD kCommandDebugCaution = 32785;
const WORD kCommandDebugDanger = 32786;
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
// The header panels.
const WORD kCommandShowModel = 32817;
const WORD kCommandShowFirmware = 32818;
const WORD kCommandShowSerial = 32819;
const WORD kCommandShowTemperature = 32820;
const WORD kCommandShowPowerOnTime = 32821;
const WORD kCommandShowDiskUsage = 32822;
const WORD kCommandShowBasic = 32823;
const WORD kCommandShowAttribute = 32824;
const WORD kCommandDecimal = 32825;
const WORD kCommandYears = 32826;
const WORD kCommandExternalIcons = 32827;
const WORD kCommandExternalBitmaps = 32828;
const WORD kCommandShadow = 32832;
// Shadow.Type 1 to 5.
const WORD kCommandShadowUpLeft = 32833;
const WORD kCommandShadowUpRight = 32834;
const WORD kCommandShadowDownLeft = 32835;
const WORD kCommandShadowDownRight = 32836;
const WORD kCommandShadowOutline = 32837;

const WORD kCommandColourText = 32848;
const WORD kCommandColourShadow = 32849;
const WORD kCommandColourBar = 32850;
const WORD kCommandColourFrame = 32851;
const WORD kCommandColourGrid = 32852;
const WORD kCommandColourGraph = 32853;
const WORD kCommandColourThreshold = 32854;
const WORD kCommandFontTab = 32864;
const WORD kCommandFontLarge = 32865;
const WORD kCommandFontMiddle = 32866;
const WORD kCommandFontSmall = 32867;
const WORD kCommandFontGraph = 32868;
const WORD kCommandSkinEnable = 32880;
const WORD kCommandSkinStretch = 32881;
const WORD kCommandSkinFile = 32882;

const WORD kCommandSaveSettings = 32912;
const WORD kCommandAbout = 32929;
const WORD kCommandExit = 32930;
