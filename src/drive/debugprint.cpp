#include "drive/debugprint.h"

#include <cstdarg>
#include <cstdio>

#include "drive/device.h"

void DebugPrint(const char* format, ...) {
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    Devices().DebugOutput(text);
}
