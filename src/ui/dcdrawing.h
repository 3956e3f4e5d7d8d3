// Two small helpers for drawing into a device context: an object selected
// for one scope, and a straight line.
#pragma once

#include <windows.h>

// Selects an object into a DC for one scope and puts the previous one back,
// so that the DC never keeps a font or pen that is about to be deleted. A
// null object selects nothing.
class DcSelection {
public:
    DcSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~DcSelection() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
    }
    DcSelection(const DcSelection&) = delete;
    DcSelection& operator=(const DcSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A line from (x1, y1) to (x2, y2), the end point left out, with the
// selected pen.
inline void DrawLine(HDC dc, LONG x1, LONG y1, LONG x2, LONG y2) {
    const POINT points[2] = {{x1, y1}, {x2, y2}};
    Polyline(dc, points, 2);
}

// Drawing limited to a rectangle for one scope; the DC's clipping is put
// back as it was.
class DcClip {
public:
    DcClip(HDC dc, const RECT& rect) : dc_(dc), saved_(SaveDC(dc)) {
        IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
    ~DcClip() {
        if (saved_ != 0) RestoreDC(dc_, saved_);
    }
    DcClip(const DcClip&) = delete;
    DcClip& operator=(const DcClip&) = delete;

private:
    HDC dc_;
    int saved_;
};
