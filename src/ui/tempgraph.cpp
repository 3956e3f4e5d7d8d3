#include "ui/tempgraph.h"

#include <algorithm>
#include <cstdio>

#include "ui/dcdrawing.h"
#include "ui/paneltext.h"

namespace {

// Graph.Limit as the graph uses it. Below 10 there would be no band to
// divide by; far above the hottest reading (127 degrees) the bands would be
// thinner than single precision can step, and the grid would never end.
const UINT kGraphLimitLowest = 10;
const UINT kGraphLimitHighest = 1280;

// Beyond this a label lies outside any page, as it would further out; the
// bound keeps its edges within int.
const int kLabelOffsetLimit = 4096;

void HorizontalLine(HDC dc, HPEN pen, LONG left, LONG right, float y) {
    DcSelection selected(dc, pen);
    DrawLine(dc, left, static_cast<LONG>(y), right, static_cast<LONG>(y));
}

UINT GraphLimit(UINT limit) { return std::clamp(limit, kGraphLimitLowest, kGraphLimitHighest); }

// The area the graph covers: false while both lists are shown.
bool GraphArea(const DrivePages& pages, RECT* area) {
    const AppSettings::ViewKeys& view = pages.settings->View;
    if (view.Basic && view.Attribute) return false;
    if (view.Basic) {
        *area = pages.attributeListRect;
    } else if (view.Attribute) {
        *area = pages.basicListRect;
    } else {
        *area = pages.listsRect;
    }
    return true;
}

}  // namespace

void DrawTemperatureGraph(const DrivePages& pages, HDC dc, const DriveInfo& drive) {
    RECT area;
    if (!GraphArea(pages, &area)) return;
    const AppSettings& settings = *pages.settings;
    const DrawingResources& drawing = *pages.drawing;
    const LONG left = area.left;
    const LONG right = area.right;
    const LONG top = area.top;
    const LONG width = right - left;
    // Nothing of it reaches past its area: a threshold or a temperature
    // above Graph.Limit, a wide pen or a label offset stay inside.
    DcClip clip(dc, area);

    // Single precision throughout, so that every line lands on the pixel
    // the scale gives.
    const UINT limit = GraphLimit(settings.Graph.Limit);
    const UINT tens = limit / 10;
    const float height = static_cast<float>(area.bottom - top);
    const float step = height / static_cast<float>(tens);
    const float perDegree = step / 10.0f;
    const float perSample = static_cast<float>(width) / static_cast<float>(kTempHistorySize);

    for (float y = height - step; y > 0; y -= step) HorizontalLine(dc, drawing.gridPen.Get(), left, right, top + y);
    HorizontalLine(dc, drawing.thresholdPen.Get(), left, right,
                   top + (height - static_cast<float>(settings.Temperature.Threshold) * perDegree));

    const HFONT font = drawing.graphFont.Handle();
    const LONG labelLeft = left + std::clamp(settings.Graph.Offset, -kLabelOffsetLimit, kLabelOffsetLimit);
    UINT degrees = 0;
    for (float y = height; y > 0; y -= step, degrees += 10) {
        if (degrees == 0 || degrees >= limit) continue;
        const LONG labelTop = static_cast<LONG>(top + y - step / 2);
        const RECT rect = {labelLeft, labelTop, labelLeft + width, labelTop + static_cast<LONG>(step)};
        char text[8];
        std::snprintf(text, sizeof text, "%u", degrees);
        DrawShadowedText(dc, rect, font, kGraphLabelFormat, text, settings);
    }

    const DWORD count = drive.tempHistoryCount < kTempHistorySize ? drive.tempHistoryCount : kTempHistorySize;
    POINT curve[kTempHistorySize];
    for (DWORD i = 0; i < count; ++i) {
        curve[i].x = static_cast<LONG>(left + static_cast<float>(i) * perSample);
        curve[i].y = static_cast<LONG>(top + height - static_cast<float>(drive.tempHistory[i]) * perDegree);
    }
    if (count > 1) {
        DcSelection selected(dc, drawing.graphPen.Get());
        Polyline(dc, curve, static_cast<int>(count));
    }
    FrameWithColour(dc, area, settings.Colors.Frame);
}
