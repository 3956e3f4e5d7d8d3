// The monitor thread in-process, over a simulated drive: what it reads
// while paused and resumed, and how it posts its refresh.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "app/appstate.h"
#include "app/commandids.h"
#include "app/monitor.h"
#include "common/drive_blocks.h"
#include "drive/probe.h"
#include "settings/appsettings.h"
#include "sim/simulator.h"
#include "smart/drivelocks.h"

namespace {

std::atomic<int> postAttempts(0);
std::atomic<int> failingPosts(0);

// A queue that is full for the first failingPosts posts.
BOOL WINAPI CountingPoster(HWND, UINT message, WPARAM wParam, LPARAM) {
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), message);
    EXPECT_EQ(kCommandRefreshFromMonitor, wParam);
    ++postAttempts;
    if (failingPosts > 0) {
        --failingPosts;
        return FALSE;
    }
    return TRUE;
}

class MonitorThread : public ::testing::Test {
protected:
    MonitorThread() {
        previous_ = InstallDevices(&sim_);
        sim_.AddDrive(TestDrive(0, "MONITORED"));
        updateLock.Create(kUpdateLockName);
        SetStartValues(appSettings);
        appSettings.Global.Timer = 0;  // poll again at once
        appSettings.Global.Safe = 0;
        drives.Clear();
        CreateDevices(drives);
        postAttempts = 0;
        failingPosts = 0;
        previousPoster_ = SetMonitorPoster(CountingPoster);
        EXPECT_TRUE(CreateMonitorThread(reinterpret_cast<HWND>(0x1234)));
    }
    ~MonitorThread() override {
        StopMonitorThread();
        SetMonitorPoster(previousPoster_);
        CloseDevices(drives);
        updateLock.Destroy();
        InstallDevices(previous_);
    }

    // Waits up to two seconds for a condition.
    template <typename Condition>
    static bool Within(Condition condition) {
        for (int i = 0; i < 200 && !condition(); ++i) Sleep(10);
        return condition();
    }

    Simulator sim_;
    DeviceSystem* previous_;
    MonitorPoster previousPoster_;
};

}  // namespace

TEST_F(MonitorThread, APausedThreadReadsNoDriveAndAResumedOneDoes) {
    Sleep(200);
    EXPECT_EQ(0, sim_.Poll(0)) << "created suspended: no read before the first resume";
    ASSERT_TRUE(PauseResumeMonitor(1));
    ASSERT_TRUE(Within([&] { return sim_.Poll(0) >= 3; }));

    ASSERT_TRUE(PauseResumeMonitor(0));
    Sleep(100);  // the cycle under way ends
    const long paused = sim_.Poll(0);
    Sleep(500);
    EXPECT_EQ(paused, sim_.Poll(0)) << "a paused thread read the drive";

    ASSERT_TRUE(PauseResumeMonitor(1));
    EXPECT_TRUE(Within([&] { return sim_.Poll(0) > paused + 2; })) << "a resumed thread reads again";
}

TEST_F(MonitorThread, AFailedPostIsTriedAgainAndATakenOneQueuedOnce) {
    failingPosts = 3;
    ASSERT_TRUE(PauseResumeMonitor(1));
    ASSERT_TRUE(Within([&] { return postAttempts >= 4; })) << "only " << postAttempts << " posts tried";

    // The fourth got through: nothing more while it is queued.
    Sleep(300);
    EXPECT_EQ(4, postAttempts.load());
    MonitorRefreshTaken();
    EXPECT_TRUE(Within([&] { return postAttempts == 5; }));
}

namespace {

// A window that takes and shows every refresh at once.
BOOL WINAPI ShowingPoster(HWND, UINT, WPARAM, LPARAM) {
    ++postAttempts;
    MonitorRefreshTaken();
    MonitorRefreshShown();
    return TRUE;
}

}  // namespace

TEST_F(MonitorThread, WithoutAnIntervalItWaitsForTheRefreshToBeShown) {
    // Taken but never shown: one update a moment, not one after the other.
    ASSERT_TRUE(PauseResumeMonitor(1));
    for (int i = 0; i < 10; ++i) {
        Sleep(100);
        MonitorRefreshTaken();
    }
    const long unshown = sim_.Poll(0);
    EXPECT_LE(unshown, 15) << "the thread did not wait for the window";
    EXPECT_GE(unshown, 3) << "the thread stopped without a window to show its refreshes";

    // Shown at once: it goes on at once.
    SetMonitorPoster(ShowingPoster);
    Sleep(1000);
    EXPECT_GT(sim_.Poll(0) - unshown, 50) << "the thread waited although the refresh was shown";
}
