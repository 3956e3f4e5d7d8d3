#include "base/cbfile.h"

#include <filesystem>
#include <string>
#include <type_traits>

#include <gtest/gtest.h>

#include "common/test_dir.h"

static_assert(std::is_empty<CBFILE>::value && std::is_copy_assignable<CBFILE>::value, "CBFILE holds no state");

namespace {

// 0, 1, 2, ... so that a block read from the wrong offset shows.
std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 1);
    return bytes;
}

}  // namespace

TEST(CBFILERead, WholeFileAndBlockAtOffset) {
    TestDir dir("cbfile");
    std::string path = dir.Path("smart.bin");
    std::string bytes = Pattern(360);
    TestDir::WriteAll(path, bytes);

    char all[360] = {};
    EXPECT_TRUE(CBFILE::Read(path.c_str(), all, sizeof all));
    EXPECT_EQ(bytes, std::string(all, sizeof all));

    char block[60] = {};
    EXPECT_TRUE(CBFILE::Read(path.c_str(), 300, block, sizeof block));  // exactly up to the end
    EXPECT_EQ(bytes.substr(300), std::string(block, sizeof block));
}

TEST(CBFILERead, ShortReadFails) {
    TestDir dir("cbfile");
    std::string path = dir.Path("smart.bin");
    TestDir::WriteAll(path, Pattern(360));

    char buffer[512];
    EXPECT_FALSE(CBFILE::Read(path.c_str(), buffer, 512));
    EXPECT_FALSE(CBFILE::Read(path.c_str(), 300, buffer, 61));
    EXPECT_FALSE(CBFILE::Read(path.c_str(), 1000, buffer, 1));
}

TEST(CBFILEWrite, CreatesAndTruncates) {
    TestDir dir("cbfile");
    std::string path = dir.Path("identify.bin");
    std::string block = Pattern(512);
    EXPECT_TRUE(CBFILE::Write(path.c_str(), block.data(), 512));
    EXPECT_EQ(block, TestDir::ReadAll(path));

    EXPECT_TRUE(CBFILE::Write(path.c_str(), "abc", 3));
    EXPECT_EQ("abc", TestDir::ReadAll(path));
}

TEST(CBFILEWrite, AtOffsetLeavesZerosBefore) {
    TestDir dir("cbfile");
    std::string path = dir.Path("dump.bin");
    TestDir::WriteAll(path, std::string(100, 'x'));

    std::string block = Pattern(20);
    EXPECT_TRUE(CBFILE::Write(path.c_str(), 8, block.data(), 20));
    EXPECT_EQ(std::string(8, '\0') + block, TestDir::ReadAll(path));
}

TEST(CBFILENull, FailsWithoutTouchingAnything) {
    TestDir dir("cbfile");
    std::string path = dir.Path("keep.bin");
    TestDir::WriteAll(path, "keep");

    char buffer[4] = {'-', '-', '-', '-'};
    EXPECT_FALSE(CBFILE::Read(nullptr, buffer, 4));
    EXPECT_FALSE(CBFILE::Read(nullptr, 0, buffer, 4));
    EXPECT_FALSE(CBFILE::Read(path.c_str(), nullptr, 4));
    EXPECT_FALSE(CBFILE::Read(path.c_str(), 0, nullptr, 4));
    EXPECT_EQ("----", std::string(buffer, 4));

    EXPECT_FALSE(CBFILE::Write(nullptr, "data", 4));
    EXPECT_FALSE(CBFILE::Write(nullptr, 0, "data", 4));
    EXPECT_FALSE(CBFILE::Write(path.c_str(), nullptr, 4));
    EXPECT_FALSE(CBFILE::Write(path.c_str(), 8, nullptr, 4));
    EXPECT_EQ("keep", TestDir::ReadAll(path));  // not truncated
}

TEST(CBFILEMissing, FileOrFolder) {
    TestDir dir("cbfile");
    std::string missingFile = dir.Path("none.bin");
    std::string inMissingFolder = dir.Path("none") + "/file.bin";
    char buffer[4] = {};

    EXPECT_FALSE(CBFILE::Read(missingFile.c_str(), buffer, 0));
    EXPECT_FALSE(CBFILE::Read(inMissingFolder.c_str(), buffer, 4));
    EXPECT_FALSE(CBFILE::Write(inMissingFolder.c_str(), "data", 4));
    EXPECT_FALSE(TestDir::Exists(inMissingFolder));
}

TEST(CBFILEReplace, AllTheNewBytesOrTheOldFileAndNoTemporaryLeft) {
    TestDir dir("cbfile");
    const std::string path = dir.Path("0.MODEL.FW.SN_ID");
    TestDir::WriteAll(path, std::string(2000, 'x'));
    const std::string bytes = Pattern(512);
    EXPECT_TRUE(CBFILE::Replace(path.c_str(), bytes.data(), 512));
    EXPECT_EQ(bytes, TestDir::ReadAll(path));
    EXPECT_FALSE(TestDir::Exists(path + ".tmp"));

    // The temporary name is taken by a folder: nothing can be written, and
    // the earlier file stays whole.
    std::filesystem::create_directory(path + ".tmp");
    EXPECT_FALSE(CBFILE::Replace(path.c_str(), std::string(512, 'y').data(), 512));
    EXPECT_EQ(bytes, TestDir::ReadAll(path));

    // The name itself is a folder: the bytes written go again.
    const std::string folder = dir.Path("taken_DA");
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(CBFILE::Replace(folder.c_str(), bytes.data(), 360));
    EXPECT_FALSE(TestDir::Exists(folder + ".tmp"));
}
