// The pens of the temperature graph and the five fonts.
#include "ui/drawingresources.h"

#include <algorithm>

namespace {

// A curve pen wider than any page draws nothing more, only slower.
const UINT kGraphPenWidest = 64;

// A one-pixel pen that sets every other pixel.
HPEN DottedPen(COLORREF colour) {
    LOGBRUSH brush = {BS_SOLID, colour, 0};
    return ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr);
}

}  // namespace

void CreatePens(DrawingResources& resources, const AppSettings& settings) {
    DeletePens(resources);
    resources.gridPen.Reset(DottedPen(settings.Colors.Grid));
    const UINT width = std::min(settings.Graph.Width, kGraphPenWidest);
    resources.graphPen.Reset(CreatePen(PS_SOLID, static_cast<int>(width), settings.Colors.Graph));
    resources.thresholdPen.Reset(DottedPen(settings.Colors.Threshold));
}

void DeletePens(DrawingResources& resources) {
    resources.gridPen.Delete();
    resources.graphPen.Delete();
    resources.thresholdPen.Delete();
}

void CreateFonts(DrawingResources& resources, const AppSettings& settings) {
    DeleteFonts(resources);
    resources.tabFont.Create(settings.Fonts.Tab);
    resources.largeFont.Create(settings.Fonts.Large);
    resources.middleFont.Create(settings.Fonts.Middle);
    resources.smallFont.Create(settings.Fonts.Small);
    resources.graphFont.Create(settings.Fonts.Graph);
}

void DeleteFonts(DrawingResources& resources) {
    resources.tabFont.Delete();
    resources.largeFont.Delete();
    resources.middleFont.Delete();
    resources.smallFont.Delete();
    resources.graphFont.Delete();
}
