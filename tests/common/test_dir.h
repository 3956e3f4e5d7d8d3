// A scratch folder of its own for each test, removed with everything in it
// when the test ends.
#pragma once

#include <string>

class TestDir {
public:
    explicit TestDir(const std::string& name);
    ~TestDir();
    TestDir(const TestDir&) = delete;
    TestDir& operator=(const TestDir&) = delete;

    // Full path of a file in the folder, with the platform's separator.
    std::string Path(const std::string& file) const;
    const std::string& Root() const { return root_; }

    // The whole file as bytes; empty when it does not exist.
    static std::string ReadAll(const std::string& path);
    static void WriteAll(const std::string& path, const std::string& bytes);
    static bool Exists(const std::string& path);

private:
    std::string root_;
};

// Folder of the real drives' data (tests/data), or empty when it is absent.
std::string FixturesDir();
// Folder of the project's golden files (tests/golden).
std::string GoldenDir();
