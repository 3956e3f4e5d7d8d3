#include "base/aboutbox.h"

#include <png.h>
#include <zlib.h>

#include "base/abouttext.h"
#include "base/msgbox.h"
#include "base/win32ver.h"

const char ABOUT_BOX_CAPTION[] = "バージョン情報";

bool BuildAboutText(const char* exePath, std::string& text) {
    text.clear();
    WIN32VER version;
    if (!version.Open(exePath)) return false;

    // Copied at once: the texts live in the version block.
    const std::string legal = version.Query("LegalCopyright");
    const std::string fileVersion = version.Query("FileVersion");
    const std::string description = version.Query("FileDescription");

    AboutFields fields;
    fields.description = description.c_str();
    fields.fileVersion = fileVersion.c_str();
    fields.legalCopyright = legal.c_str();
    fields.libpngVersion = png_get_libpng_ver(nullptr);
    fields.zlibVersion = zlibVersion();
    text = FormatAboutText(fields);
    return true;
}

int ShowAboutBox(HWND owner) {
    char path[1024];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    // A full buffer means the path was cut.
    if (length == 0 || length >= sizeof path) return 0;
    path[length] = '\0';

    std::string text;
    if (!BuildAboutText(path, text)) return 0;
    ShowMessage(owner, text.c_str(), ABOUT_BOX_CAPTION, ABOUT_BOX_STYLE);
    return 1;
}
