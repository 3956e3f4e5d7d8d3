// Drawing a drive page's header into its back buffer: the background (skin
// or button face), the text panels with their shadows and frames, the usage
// gauge, the status picture and the temperature graph.
#pragma once

#include <windows.h>

#include "ui/drivepages.h"

// The header of page k, then the page invalidated when it is the shown one.
// A drive that is not present has only its status picture redrawn.
void DrawPage(DrivePages& pages, int k);
void DrawAllPages(DrivePages& pages);

// The picture of the drive's displayed status (hot on the blink phase's
// "on" ticks) in control 1013's place, framed when frameOn is set.
void DrawStatusImage(const DrivePages& pages, int k, HDC dc, int frameOn);

// The status picture of page k redrawn and its place invalidated.
void BlinkStatusImage(DrivePages& pages, int k);

// The gauge of page k takes Colors.Text and Colors.Bar.
void ApplyBarColors(DrivePages& pages, int k);
void ApplyAllBarColors(DrivePages& pages);

