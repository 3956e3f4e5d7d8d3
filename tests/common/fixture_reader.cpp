#include "common/fixture_reader.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "common/test_dir.h"

namespace fs = std::filesystem;

namespace {

// The text between the brackets of a line "Name: [text]".
bool Bracketed(const std::string& line, const std::string& name, std::string* text) {
    const std::string head = name + ": [";
    if (line.compare(0, head.size(), head) != 0 || line.empty() || line.back() != ']') return false;
    *text = line.substr(head.size(), line.size() - head.size() - 1);
    return true;
}

}  // namespace

ExpectedDrive ReadExpected(const std::string& path) {
    ExpectedDrive drive;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (Bracketed(line, "Model", &drive.model) || Bracketed(line, "Serial", &drive.serial) ||
            Bracketed(line, "Firmware", &drive.firmware))
            continue;
        std::istringstream fields(line);
        std::string word;
        ExpectedAttribute a;
        if (fields >> word && word == "attr" && fields >> a.id >> a.current >> a.worst >> a.threshold >> a.raw)
            drive.attributes.push_back(a);
    }
    return drive;
}

std::vector<fs::path> DriveFolders() {
    std::vector<fs::path> folders;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(FixturesDir()) / "drives")) {
        if (entry.is_directory()) folders.push_back(entry.path());
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

