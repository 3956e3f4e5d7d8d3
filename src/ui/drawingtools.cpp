// The pens of the temperature graph and the five fonts.
#include "ui/drawingresources.h"

#include <algorithm>

namespace {

// Fonts of thousands of pixels take seconds to draw, on every refresh; no
// screen needs one outside these sizes. The settings keep what was stored.
const LONGLONG kFontHeightLowest = 6;
const LONGLONG kFontSizeHighest = 200;
// A curve pen wider than any page draws nothing more, only slower.
const UINT kGraphPenWidest = 64;

// Within the bounds, keeping the sign (a negative height is the character
// height, a positive one the cell height) and 0 (the face's own size).
LONG BoundedSize(LONG size, LONGLONG lowest) {
    if (size == 0) return 0;
    const LONGLONG magnitude = std::clamp<LONGLONG>(size < 0 ? -static_cast<LONGLONG>(size) : size, lowest,
                                                    kFontSizeHighest);
    return static_cast<LONG>(size < 0 ? -magnitude : magnitude);
}

LOGFONTA Bounded(const LOGFONTA& font) {
    LOGFONTA bounded = font;
    bounded.lfHeight = BoundedSize(font.lfHeight, kFontHeightLowest);
    bounded.lfWidth = BoundedSize(font.lfWidth, 1);
    return bounded;
}

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
    resources.tabFont.Create(Bounded(settings.Fonts.Tab));
    resources.largeFont.Create(Bounded(settings.Fonts.Large));
    resources.middleFont.Create(Bounded(settings.Fonts.Middle));
    resources.smallFont.Create(Bounded(settings.Fonts.Small));
    resources.graphFont.Create(Bounded(settings.Fonts.Graph));
}

void DeleteFonts(DrawingResources& resources) {
    resources.tabFont.Delete();
    resources.largeFont.Delete();
    resources.middleFont.Delete();
    resources.smallFont.Delete();
    resources.graphFont.Delete();
}
