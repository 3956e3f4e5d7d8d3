// The temperature history of a drive, drawn in the place of a hidden list:
// a grid every ten degrees up to Graph.Limit with its labels, the threshold
// line and the curve of the last 256 samples, oldest on the left.
#pragma once

#include <windows.h>

#include "smart/driveinfo.h"
#include "ui/drivepages.h"

// Nothing while both lists are shown; else in the place of the hidden one,
// or of both.
void DrawTemperatureGraph(const DrivePages& pages, HDC dc, const DriveInfo& drive);
