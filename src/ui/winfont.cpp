#include "ui/winfont.h"

#include <cstring>

WINFONT::WINFONT() : logFont_() {
    logFont_.lfWeight = FW_NORMAL;
    std::strcpy(logFont_.lfFaceName, "System");
}

WINFONT::~WINFONT() { Delete(); }

void WINFONT::Delete() {
    if (handle_ != nullptr) DeleteObject(handle_);
    handle_ = nullptr;
}

bool WINFONT::Create(const LOGFONTA& description) {
    logFont_ = description;
    Delete();
    handle_ = CreateFontIndirectA(&logFont_);
    return handle_ != nullptr;
}
