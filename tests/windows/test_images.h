// Image files and a readable drawing surface for the presentation tests.
#pragma once

#include <windows.h>

#include <string>

// A 24-bit bottom-up .BMP file of one colour.
std::string BmpFile(int width, int height, COLORREF colour);
// A .ICO file with one 32-bit image of one opaque colour.
std::string IcoFile(int size, COLORREF colour);
// Writes a baseline JPEG of one colour through the system's imaging
// codecs (COM must be initialised). False when the codecs cannot.
bool WriteJpegFile(const std::string& path, int width, int height, COLORREF colour);

// A 32-bit top-down DIB section selected into a memory DC, cleared to a
// colour: what is drawn into it is read back pixel by pixel.
class Canvas {
public:
    Canvas(int width, int height, COLORREF clear = RGB(1, 2, 3));
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc_; }
    COLORREF At(int x, int y) const;
    // How many pixels of row y, from x = 0, have the colour.
    int CountInRow(int y, COLORREF colour) const;
    // First x in row y with the colour, or -1.
    int FirstInRow(int y, COLORREF colour) const;

private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    const DWORD* bits_ = nullptr;
};
