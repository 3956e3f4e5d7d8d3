#include "common/test_dir.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace {
int counter = 0;
}

TestDir::TestDir(const std::string& name) {
    std::ostringstream id;
    id << "vk-" << name << "-" << static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007)
       << "-" << ++counter;
    fs::path root = fs::temp_directory_path() / id.str();
    fs::remove_all(root);
    fs::create_directories(root);
    root_ = root.string();
}

TestDir::~TestDir() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

std::string TestDir::Path(const std::string& file) const { return (fs::path(root_) / file).string(); }

std::string TestDir::ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void TestDir::WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool TestDir::Exists(const std::string& path) { return fs::exists(path); }

namespace {

// A folder named by an environment variable, as a path of this program's.
std::string FolderFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::string();
    std::string dir = value;
#ifdef _WIN32
    // Under Wine the host's file system is drive Z:.
    if (!dir.empty() && dir[0] == '/') {
        for (char& c : dir) {
            if (c == '/') c = '\\';
        }
        dir = "Z:" + dir;
    }
#endif
    return dir;
}

}  // namespace

std::string FixturesDir() {
    const std::string dir = FolderFromEnvironment("VELDAKOR_FIXTURES");
    if (dir.empty() || !fs::is_directory(fs::path(dir) / "drives")) return std::string();
    return dir;
}

std::string GoldenDir() { return FolderFromEnvironment("VELDAKOR_GOLDEN"); }
