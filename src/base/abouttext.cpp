#include "base/abouttext.h"

#include <cstdio>

namespace {

const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

std::string FormatAboutText(const AboutFields& fields) {
    char text[ABOUT_TEXT_SIZE];
    const int length = std::snprintf(text, sizeof text,
                                     "%s (%s)\r\nVersion %s\r\n\r\n%s\r\n\r\nLIBPNG Version %s\r\nZLIB Version %s\r\n%s\r\n%s",
                                     OrEmpty(fields.description), ABOUT_PLATFORM, OrEmpty(fields.fileVersion),
                                     OrEmpty(fields.legalCopyright), OrEmpty(fields.libpngVersion),
                                     OrEmpty(fields.zlibVersion), ABOUT_CREDIT_ICONS, ABOUT_CREDIT_ARTWORK);
    if (length < 0) return std::string();
    return std::string(text);
}
