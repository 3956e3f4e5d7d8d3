#include "common/scratch_dir.h"

#include <filesystem>

#include "base/wintypes.h"
#include "settings/settingsfile.h"

namespace fs = std::filesystem;

namespace {

std::string SettingsFilePath() {
#ifdef _WIN32
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows) + "\\" + kSettingsFileName;
#else
    return (fs::current_path() / kSettingsFileName).string();
#endif
}

}  // namespace

ScratchDir::ScratchDir(const std::string& name) : dir_(name), home_(fs::current_path().string()) {
    fs::current_path(dir_.Root());
    settingsFile_ = SettingsFilePath();
    RemoveSettingsFile();
}

ScratchDir::~ScratchDir() {
    RemoveSettingsFile();
    fs::current_path(home_);
}

void ScratchDir::RemoveSettingsFile() const {
    std::error_code ignored;
    fs::remove_all(settingsFile_, ignored);
}
