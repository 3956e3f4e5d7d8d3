// The settings a first start runs with, made once for every input.
#pragma once

#include "settings/appsettings.h"

inline const AppSettings& StartSettings() {
    static const AppSettings settings = [] {
        AppSettings s;
        SetStartValues(s);
        return s;
    }();
    return settings;
}
