// Diagnostic lines for a debugger: always emitted, whatever the settings.
#pragma once

// Formats into 1024 characters at most and hands the text to the debugger
// output of the device system.
void DebugPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
