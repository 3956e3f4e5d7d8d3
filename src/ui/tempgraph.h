// The temperature history of a drive, drawn in the place of a hidden list:
// a grid every ten degrees up to Graph.Limit with its labels, the threshold
// line and the curve of the last 256 samples, oldest on the left.
#pragma once

#include <windows.h>

#include "smart/driveinfo.h"
#include "ui/drivepages.h"

// Graph.Limit as the graph uses it. Below 10 there would be no band to
// divide by; far above the hottest reading (127 degrees) the bands would be
// thinner than single precision can step, and the grid would never end.
const UINT kGraphLimitLowest = 10;
const UINT kGraphLimitHighest = 1280;
UINT GraphLimit(UINT limit);

// The area the graph covers: none while both lists are shown, the place of
// the hidden one, or of both. False when there is no graph.
bool GraphArea(const DrivePages& pages, RECT* area);

void DrawTemperatureGraph(const DrivePages& pages, HDC dc, const DriveInfo& drive);
