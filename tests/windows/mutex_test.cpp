#include "base/mutex.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A name of its own per test, so that a running program (whose mutex is the
// default name) cannot disturb the results.
std::string UniqueName(const char* test) {
    return std::string("$VELDAKOR_TEST_") + test + "_" + std::to_string(GetCurrentProcessId());
}

bool MutexExists(const std::string& name) {
    HANDLE handle = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
    if (handle == nullptr) return false;
    CloseHandle(handle);
    return true;
}

TEST(MUTEX, FirstCreateHoldsTheNamedMutex) {
    const std::string name = UniqueName("first");
    MUTEX mutex;
    EXPECT_EQ(nullptr, mutex.Handle());
    EXPECT_STREQ("", mutex.Name());
    ASSERT_EQ(1, mutex.Create(name.c_str()));
    EXPECT_NE(nullptr, mutex.Handle());
    EXPECT_EQ(name, mutex.Name());
    EXPECT_TRUE(MutexExists(name));
}

TEST(MUTEX, SecondCreateOnTheSameObjectKeepsTheHeldMutex) {
    const std::string name = UniqueName("again");
    const std::string other = UniqueName("again_other");
    MUTEX mutex;
    ASSERT_EQ(1, mutex.Create(name.c_str()));
    const HANDLE held = mutex.Handle();

    EXPECT_EQ(0, mutex.Create(name.c_str()));
    EXPECT_EQ(0, mutex.Create(other.c_str()));
    EXPECT_EQ(held, mutex.Handle());
    EXPECT_EQ(name, mutex.Name());
    EXPECT_TRUE(MutexExists(name));
    EXPECT_FALSE(MutexExists(other));
    // The handle is still a live mutex handle.
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(held, 0));
    ReleaseMutex(held);
}

TEST(MUTEX, SecondInstanceIsRefusedUntilTheFirstIsGone) {
    const std::string name = UniqueName("instances");
    {
        MUTEX first;
        ASSERT_EQ(1, first.Create(name.c_str()));
        MUTEX second;
        EXPECT_EQ(0, second.Create(name.c_str()));
        EXPECT_EQ(nullptr, second.Handle());
        EXPECT_STREQ("", second.Name());
        // The refused object's own destructor must leave the first's alone.
        {
            MUTEX third;
            EXPECT_EQ(0, third.Create(name.c_str()));
        }
        EXPECT_TRUE(MutexExists(name));
    }
    // The destructor closed the only handle, so the name is free again.
    EXPECT_FALSE(MutexExists(name));
    MUTEX later;
    EXPECT_EQ(1, later.Create(name.c_str()));
}

TEST(MUTEX, DefaultIsTheProgramsName) {
    ASSERT_FALSE(MutexExists(MUTEX_NAME)) << "a Veldakor instance is running in this prefix";
    MUTEX mutex;
    ASSERT_EQ(1, mutex.Create());
    EXPECT_STREQ("$VELDAKOR_MUTEX", mutex.Name());
    EXPECT_TRUE(MutexExists("$VELDAKOR_MUTEX"));
}

TEST(MUTEX, NameIsCutToItsBuffer) {
    const std::string name = UniqueName("long") + std::string(400, 'n');
    MUTEX mutex;
    ASSERT_EQ(1, mutex.Create(name.c_str()));
    EXPECT_EQ(name.substr(0, MAX_PATH - 1), mutex.Name());
    EXPECT_TRUE(MutexExists(name.substr(0, MAX_PATH - 1)));
}

}  // namespace
