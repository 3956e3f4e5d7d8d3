// The main window over four simulated drives (numbers 0, 1, 3 and 5), with
// what the page tests read back: tabs, list cells and the pixels of a
// page's back buffer.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/appstate.h"
#include "base/msgbox.h"
#include "common/scratch_dir.h"
#include "sim/simulator.h"
#include "windows/test_images.h"

// A drop of one file as the shell hands it over with WM_DROPFILES; the
// receiver frees it (DragFinish).
HGLOBAL DropOf(const std::string& path);

// The main window made as the program makes it at start (with the two
// locks, the start values and cleared drives), and ended with its locks.
HWND OpenMainWindow();
void CloseMainWindow(HWND window);

class PageWindow : public ::testing::Test {
protected:
    PageWindow();
    ~PageWindow() override;

    // Runs the window's posted and paint messages.
    void Drain();
    INT_PTR Call(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void Refresh();  // command 32771: the drives read again

    int TabCount() const;
    std::string TabText(int k) const;
    int TabImage(int k) const;
    HWND Page(int k) const { return pages.pages[k].hPage; }
    HWND List(int k, int id) const { return GetDlgItem(Page(k), id); }
    static int Rows(HWND list);
    static std::string Cell(HWND list, int row, int column);
    RECT Control(int k, int id) const;

    // Page k's back buffer as it is now, pixel by pixel.
    std::unique_ptr<Canvas> Buffer(int k) const;
    static int CountIn(const Canvas& canvas, const RECT& rect, COLORREF colour);

    ScratchDir scratch_;
    Simulator sim_;
    DeviceSystem* previous_;
    MessageRecorder recorder_;
    HWND window_ = nullptr;
};
