// A test's own working folder, and the settings file where the bare name
// lands: the current directory on native builds, the Windows directory on
// Windows. While it lives, the process works in the folder and the settings
// file is absent at start and removed at the end.
#pragma once

#include <string>

#include "common/test_dir.h"

class ScratchDir {
public:
    explicit ScratchDir(const std::string& name);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const TestDir& Dir() const { return dir_; }
    const std::string& SettingsFile() const { return settingsFile_; }
    void RemoveSettingsFile() const;

private:
    TestDir dir_;
    std::string home_;
    std::string settingsFile_;
};
