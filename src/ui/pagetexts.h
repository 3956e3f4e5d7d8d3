// The texts of a drive's last evaluation put on its page.
#pragma once

#include "ui/drivepages.h"

// On page k: the panels' window texts (what a double-click copies), the
// tooltips, the gauge's value and text, and the tab icon.
void ShowDriveTexts(DrivePages& pages, int k);
