// A font and the LOGFONT it is made from.
#pragma once

#include <windows.h>

class WINFONT {
public:
    WINFONT();
    virtual ~WINFONT();
    WINFONT(const WINFONT&) = delete;
    WINFONT& operator=(const WINFONT&) = delete;

    // Takes the description and makes the font from it, deleting the old
    // one first. False (no font) when the system refuses it.
    bool Create(const LOGFONTA& description);
    void Delete();

    HFONT Handle() const { return handle_; }
    const LOGFONTA& LogFont() const { return logFont_; }

private:
    HFONT handle_ = nullptr;
    LOGFONTA logFont_;
};
