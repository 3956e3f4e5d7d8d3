// The shared fixtures of real drives: their folders and what an
// independent SMART parser read from their blocks (expected.txt).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct ExpectedAttribute {
    int id = 0;
    int current = 0;
    int worst = 0;
    int threshold = 0;
    std::string raw;  // six bytes in hex, byte 0 first
};

struct ExpectedDrive {
    std::string model;
    std::string serial;
    std::string firmware;
    std::vector<ExpectedAttribute> attributes;
};

ExpectedDrive ReadExpected(const std::string& path);

// The drive folders of the fixtures in the order of their names
// (FixturesDir() must not be empty).
std::vector<std::filesystem::path> DriveFolders();
