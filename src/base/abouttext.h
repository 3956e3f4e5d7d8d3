// The text of the about box, from the running program's version values and
// the library versions it was linked with.
#pragma once

#include <cstddef>
#include <string>

// The about text never grows beyond this, terminator included.
const std::size_t ABOUT_TEXT_SIZE = 1024;

// The platform the program was built for, shown after the description.
#ifdef _WIN64
const char ABOUT_PLATFORM[] = "x64";
#else
const char ABOUT_PLATFORM[] = "x86";
#endif

// Credits for the icon artwork, which this project draws itself.
const char ABOUT_CREDIT_ICONS[] = "Icons and status pictures: drawn for Veldakor";
const char ABOUT_CREDIT_ARTWORK[] = "Artwork sources: res/art in the Veldakor sources";

struct AboutFields {
    const char* description;     // FileDescription
    const char* fileVersion;     // FileVersion
    const char* legalCopyright;  // LegalCopyright
    const char* libpngVersion;   // of the linked libpng
    const char* zlibVersion;     // of the linked zlib
};

// The about text; a null field counts as empty. Longer results are cut to
// ABOUT_TEXT_SIZE - 1 characters.
std::string FormatAboutText(const AboutFields& fields);
