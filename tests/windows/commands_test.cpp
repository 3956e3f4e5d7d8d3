// The commands of the context menu against the running main window: their
// effects read back from the drives, the pages, the files and the settings
// file, and what they leave alone.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "app/appstate.h"
#include "app/choosers.h"
#include "app/commandids.h"
#include "app/commands.h"
#include "res/resource.h"
#include "settings/appsettings.h"
#include "settings/settingsfile.h"
#include "smart/drivelocks.h"
#include "ui/drawingresources.h"
#include "windows/page_fixture.h"

namespace {

// The dialogs answer what the test set, and record what they started from.
struct Answers {
    COLORREF colour = 0;
    bool fontChosen = false;
    LONG fontHeight = 0;
    std::string file;  // empty: cancelled
    COLORREF colourStart = 0;
    LONG fontStart = 0;
    std::string fileStart;
    int asked = 0;
};
Answers answers;

COLORREF AnswerColour(COLORREF start, HWND) {
    ++answers.asked;
    answers.colourStart = start;
    return answers.colour == CLR_INVALID ? start : answers.colour;
}

int AnswerFont(LOGFONTA* font, HWND) {
    ++answers.asked;
    answers.fontStart = font->lfHeight;
    if (answers.fontChosen) font->lfHeight = answers.fontHeight;
    return answers.fontChosen ? 1 : 0;
}

int AnswerFile(HWND, char* path) {
    ++answers.asked;
    answers.fileStart = path;
    if (answers.file.empty()) return 0;
    std::strcpy(path, answers.file.c_str());
    return 1;
}

std::wstring FromCp932(const std::string& text) {
    wchar_t wide[512] = L"";
    MultiByteToWideChar(932, 0, text.c_str(), -1, wide, 512);
    return wide;
}

class Commands : public PageWindow {
protected:
    Commands() {
        answers = Answers();
        answers.colour = CLR_INVALID;
        choosers = {AnswerColour, AnswerFont, AnswerFile};
        recorder_.Clear();
    }
    ~Commands() override { choosers = kStandardChoosers; }

    INT_PTR Run(WORD command) {
        const INT_PTR result = Call(WM_COMMAND, command);
        Drain();
        return result;
    }
    std::string SettingsBytes() const { return TestDir::ReadAll(scratch_.SettingsFile()); }
    std::string Key(const char* section, const char* key) const {
        char value[64] = "";
        GetPrivateProfileStringA(section, key, "(none)", value, sizeof value, scratch_.SettingsFile().c_str());
        return value;
    }
    static std::string CellNamed(HWND list, const std::string& name) {
        for (int row = 0; row < Rows(list); ++row) {
            if (Cell(list, row, 0) == name) return Cell(list, row, 1);
        }
        return "(no row)";
    }
    void ShowPageOf(int k) {
        SendMessageW(pages.tabControl, TCM_SETCURSEL, k, 0);
        NMHDR change = {pages.tabControl, IDC_TAB, static_cast<UINT>(TCN_SELCHANGE)};
        Call(WM_NOTIFY, IDC_TAB, reinterpret_cast<LPARAM>(&change));
    }
};

}  // namespace

TEST_F(Commands, ThresholdQuestionsAnsweredNoChangeNothingAndYesMoveTheShownDrivesLimits) {
    ShowPageOf(1);  // drive 1 reports one reallocated sector: caution
    ASSERT_EQ(1, pages.currentPage);
    ASSERT_EQ(HealthCaution, drives.slots[1].status);
    const std::string before = SettingsBytes();
    ASSERT_FALSE(before.empty()) << "the first start writes the file";

    recorder_.SetAnswer(IDNO);
    EXPECT_EQ(TRUE, Run(kCommandLimitsToCurrent));
    ASSERT_EQ(1u, recorder_.Calls().size());
    const MessageRecorder::Call& question = recorder_.Calls()[0];
    EXPECT_EQ(window_, question.owner);
    EXPECT_EQ(L"確認画面", FromCp932(question.caption));
    EXPECT_EQ(L"閾値を現在値で更新しますか？", FromCp932(question.text));
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND), question.style);
    EXPECT_EQ(0, drives.slots[1].limit05);
    EXPECT_EQ(before, SettingsBytes()) << "No writes nothing";

    recorder_.SetAnswer(IDYES);
    Run(kCommandLimitsToCurrent);
    EXPECT_EQ(1, drives.slots[1].limit05);
    EXPECT_EQ(HealthGood, drives.slots[1].status) << "the present count is accepted";
    EXPECT_EQ(static_cast<int>(HealthGood), TabImage(1));
    EXPECT_EQ("1", Key("Drive01", "A05"));
    EXPECT_EQ("0", Key("Drive03", "A05")) << "other drives keep their sections";

    // Limits of another drive stay when the shown one goes back to zero.
    ShowPageOf(2);
    Run(kCommandLimitsToCurrent);
    ASSERT_EQ(3, drives.slots[3].limit05);
    ShowPageOf(1);
    recorder_.SetAnswer(IDCANCEL);  // any answer but Yes
    Run(kCommandLimitsToZero);
    EXPECT_EQ(1, drives.slots[1].limit05);
    recorder_.SetAnswer(IDYES);
    Run(kCommandLimitsToZero);
    EXPECT_EQ(0, drives.slots[1].limit05);
    EXPECT_EQ(HealthCaution, drives.slots[1].status);
    EXPECT_EQ("0", Key("Drive01", "A05"));
    EXPECT_EQ(3, drives.slots[3].limit05);
    EXPECT_EQ("3", Key("Drive03", "A05"));
    EXPECT_EQ(L"閾値を初期値で更新しますか？", FromCp932(recorder_.Calls().back().text));
}

TEST_F(Commands, DumpsWriteTheSimulatedBlocksAndReportFilesThatCannotBeWritten) {
    ShowPageOf(2);  // drive 3
    EXPECT_EQ(TRUE, Run(kCommandDumpShown));
    const SimDrive& drive = *sim_.Drive(3);
    const std::string base = "3.DRIVE 3.FW1.SN3";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(drive.identify.data()), 512), TestDir::ReadAll(base + "_ID"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(drive.smart.data()) + 2, 360), TestDir::ReadAll(base + "_DA"));
    EXPECT_FALSE(TestDir::Exists("0.DRIVE 0.FW1.SN0_ID")) << "only the shown drive";
    EXPECT_TRUE(recorder_.Calls().empty());

    // A name the file system refuses (a folder holds it): one box names
    // every file not written; the rest is written, no part is left behind.
    CreateDirectoryA("1.DRIVE 1.FW1.SN1_DA", nullptr);
    CreateDirectoryA("5.DRIVE 5.FW1.SN5_ID", nullptr);
    Run(kCommandDumpAll);
    for (const char* written : {"0.DRIVE 0.FW1.SN0_ID", "0.DRIVE 0.FW1.SN0_DA", "1.DRIVE 1.FW1.SN1_ID",
                                "3.DRIVE 3.FW1.SN3_ID", "5.DRIVE 5.FW1.SN5_DA"}) {
        EXPECT_EQ(std::string(written).back() == 'D' ? 512u : 360u, TestDir::ReadAll(written).size()) << written;
    }
    EXPECT_FALSE(TestDir::Exists("1.DRIVE 1.FW1.SN1_DA.tmp"));
    EXPECT_FALSE(TestDir::Exists("5.DRIVE 5.FW1.SN5_ID.tmp"));
    ASSERT_EQ(1u, recorder_.Calls().size());
    const MessageRecorder::Call& box = recorder_.Calls()[0];
    EXPECT_EQ(L"情報の出力に失敗しました。\r\n1.DRIVE 1.FW1.SN1_DA\r\n5.DRIVE 5.FW1.SN5_ID", FromCp932(box.text));
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND), box.style);
}

TEST_F(Commands, DebugStatesLastUntilTheNextRefresh) {
    ShowPageOf(0);
    Run(kCommandDebugDanger);
    EXPECT_EQ(HealthDanger, drives.slots[0].status);
    EXPECT_EQ(static_cast<int>(HealthDanger), TabImage(0));
    EXPECT_EQ(static_cast<int>(HealthCaution), TabImage(1)) << "only the shown drive";
    Run(kCommandDebugError);
    EXPECT_EQ(static_cast<int>(HealthError), TabImage(0));
    appSettings.Temperature.Threshold = 127;  // eight bits: one more is -128
    Run(kCommandDebugHot);
    EXPECT_EQ(-128, drives.slots[0].summary.temperature);
    appSettings.Temperature.Threshold = 50;
    Run(kCommandDebugHot);
    EXPECT_EQ(51, drives.slots[0].summary.temperature);
    Refresh();
    EXPECT_EQ(HealthGood, drives.slots[0].status);
    EXPECT_EQ(35, drives.slots[0].summary.temperature);
}

TEST_F(Commands, WithoutDrivesTheDriveCommandsDoNothing) {
    CloseMainWindow(window_);
    sim_.Clear();
    window_ = OpenMainWindow();
    Drain();
    ASSERT_EQ(0u, drives.driveCount);
    const std::string before = SettingsBytes();
    recorder_.SetAnswer(IDYES);
    for (WORD command : {kCommandLimitsToCurrent, kCommandLimitsToZero, kCommandDumpShown, kCommandDumpAll,
                         kCommandDebugGood, kCommandDebugError, kCommandDebugHot, kCommandTemperatureWatch,
                         kCommandHideIdentity, kCommandRefresh}) {
        EXPECT_EQ(TRUE, Run(command)) << command;
    }
    EXPECT_TRUE(recorder_.Calls().empty()) << "no question, no box";
    EXPECT_EQ(before, SettingsBytes());
    EXPECT_EQ(static_cast<LONG>(HealthGood), drives.slots[0].status);
}

TEST_F(Commands, UnassignedIdsAreNotCommands) {
    for (WORD id : {32777, 32783, 32789, 32799, 32806, 32815, 32829, 32831, 32838, 32847, 32855, 32863, 32869,
                    32879, 32883, 32911, 32913, 32928}) {
        EXPECT_EQ(FALSE, DispatchCommand(window_, id)) << id;
    }
}

TEST_F(Commands, SwitchesChangeWhatThePagesShowAndOnlySavingWritesTheFile) {
    const std::string before = SettingsBytes();
    const HWND basic = List(0, IDC_BASIC_LIST);
    ASSERT_TRUE(IsWindowVisible(basic));
    Run(kCommandShowBasic);
    EXPECT_FALSE(IsWindowVisible(basic));
    EXPECT_EQ(0, appSettings.View.Basic);
    Run(kCommandShowBasic);
    EXPECT_TRUE(IsWindowVisible(basic));

    Run(kCommandHideIdentity);
    EXPECT_EQ("*", CellNamed(basic, "Firmware Revision"));
    EXPECT_EQ("*", CellNamed(basic, "Serial Number"));
    EXPECT_EQ("DRIVE 0", CellNamed(basic, "Model Number"));
    Run(kCommandHideIdentity);
    EXPECT_EQ("FW1", CellNamed(basic, "Firmware Revision"));

    const HWND attributes = List(0, IDC_ATTRIBUTE_LIST);
    const std::string hexId = Cell(attributes, 3, 0);
    Run(kCommandDecimal);
    EXPECT_EQ("C2", hexId);
    EXPECT_EQ("194", Cell(attributes, 3, 0));

    const LONG captioned = GetWindowLongW(window_, GWL_STYLE) & WS_CAPTION;
    Run(kCommandTitle);
    EXPECT_NE(captioned, GetWindowLongW(window_, GWL_STYLE) & WS_CAPTION);
    for (WORD command : {kCommandShowModel, kCommandShowFirmware, kCommandShowSerial, kCommandShowTemperature,
                         kCommandShowPowerOnTime, kCommandShowDiskUsage}) {
        Run(command);
    }
    EXPECT_EQ(0, appSettings.View.Model | appSettings.View.DiskUsage);
    Run(kCommandShadowDownRight);
    EXPECT_EQ(4, appSettings.Shadow.Type);
    EXPECT_EQ(before, SettingsBytes()) << "switches live in memory until saved";

    SetWindowPos(window_, nullptr, 123, 45, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Run(kCommandSaveSettings);
    const std::string saved = SettingsBytes();
    EXPECT_EQ("123", Key("Global", "X"));
    EXPECT_EQ("45", Key("Global", "Y"));
    EXPECT_EQ("0", Key("View", "Model"));
    EXPECT_EQ("4", Key("Shadow", "Type"));
    scratch_.RemoveSettingsFile();
    SaveSettings(appSettings, drives);
    EXPECT_EQ(SettingsBytes(), saved) << "the command writes what SaveSettings writes";

    // In the tray the window's place is not its place: the stored one stays.
    appSettings.Global.TaskTray = 1;
    SetWindowPos(window_, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Run(kCommandSaveSettings);
    EXPECT_EQ("123", Key("Global", "X"));
}

TEST_F(Commands, ChoosersStartFromTheCurrentValuesAndCancellingChangesNothing) {
    const std::string before = SettingsBytes();
    appSettings.Colors.Graph = RGB(10, 20, 30);
    CreatePens(drawing, appSettings);
    const HPEN pen = drawing.graphPen.Get();
    Run(kCommandColourGraph);  // cancelled
    EXPECT_EQ(RGB(10, 20, 30), answers.colourStart);
    EXPECT_EQ(pen, drawing.graphPen.Get()) << "nothing rebuilt";
    answers.colour = RGB(200, 100, 50);
    Run(kCommandColourGraph);
    EXPECT_EQ(RGB(200, 100, 50), appSettings.Colors.Graph);
    LOGPEN drawn = {};
    GetObjectW(drawing.graphPen.Get(), sizeof drawn, &drawn);
    EXPECT_EQ(RGB(200, 100, 50), drawn.lopnColor) << "the graph's pens are made again";
    answers.colour = RGB(9, 8, 7);
    Run(kCommandColourText);
    EXPECT_EQ(RGB(9, 8, 7), pages.pages[0].usageBar.textColour);

    const HWND list = List(0, IDC_BASIC_LIST);
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
    appSettings.Fonts.Small.lfHeight = -11;
    Run(kCommandFontSmall);  // cancelled
    EXPECT_EQ(-11, answers.fontStart);
    EXPECT_EQ(font, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    answers.fontChosen = true;
    answers.fontHeight = -30;
    Run(kCommandFontSmall);
    LOGFONTA shown = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), sizeof shown, &shown);
    EXPECT_EQ(-30, shown.lfHeight) << "the lists show the new font";
    EXPECT_EQ(-30, appSettings.Fonts.Small.lfHeight);

    std::strcpy(appSettings.Skin.File, "C:\\skins\\old.png");
    Run(kCommandSkinFile);  // cancelled
    EXPECT_EQ("C:\\skins\\old.png", answers.fileStart);
    EXPECT_STREQ("C:\\skins\\old.png", appSettings.Skin.File);
    answers.file = "C:\\skins\\missing.png";
    appSettings.Skin.Enable = 1;
    Run(kCommandSkinFile);
    EXPECT_STREQ("C:\\skins\\missing.png", appSettings.Skin.File);
    EXPECT_EQ(0, appSettings.Skin.Enable) << "a skin that does not load is turned off";
    Run(kCommandSkinEnable);
    EXPECT_EQ(0, appSettings.Skin.Enable) << "nothing loaded to show";
    EXPECT_EQ(7, answers.asked);
    EXPECT_EQ(before, SettingsBytes());
}

TEST_F(Commands, LookSwitchesRebuildWhatTheyChange) {
    const RECT place = Control(0, IDC_STATUS_IMAGE);
    const POINT inPicture = {place.left + 40, place.top + 40};
    const COLORREF builtIn = Buffer(0)->At(inPicture.x, inPicture.y);
    const COLORREF external = RGB(20, 140, 230);
    for (const char* name : {"S_GOOD", "S_WARN", "S_DNGR", "S_ERR", "S_TMP"}) {
        TestDir::WriteAll(scratch_.Dir().Path(std::string(name) + ".BMP"), BmpFile(115, 115, external));
        TestDir::WriteAll(scratch_.Dir().Path(std::string(name) + ".ICO"), IcoFile(16, external));
    }
    std::strcpy(appSettings.Global.Path, scratch_.Dir().Root().c_str());

    Run(kCommandExternalBitmaps);
    EXPECT_EQ(1, appSettings.Bitmap.Enable);
    EXPECT_EQ(external, Buffer(0)->At(inPicture.x, inPicture.y)) << "the pictures are loaded again";
    Run(kCommandExternalBitmaps);
    EXPECT_EQ(builtIn, Buffer(0)->At(inPicture.x, inPicture.y));

    auto tabIconPixel = [&]() {
        Canvas canvas(16, 16);
        ImageList_Draw(drawing.statusImageList, HealthGood, canvas.Dc(), 0, 0, ILD_NORMAL);
        return canvas.At(8, 8);
    };
    const COLORREF builtInIcon = tabIconPixel();
    Run(kCommandExternalIcons);
    EXPECT_EQ(1, appSettings.Icon.Enable);
    EXPECT_EQ(external, tabIconPixel()) << "the image list is built from the files";
    Run(kCommandExternalIcons);
    EXPECT_EQ(builtInIcon, tabIconPixel());

    // A skin smaller than the page: at its own size the page's corner is the
    // button face, stretched it is the skin's.
    const COLORREF skinColour = RGB(90, 60, 30);
    const std::string skin = scratch_.Dir().Path("skin.bmp");
    TestDir::WriteAll(skin, BmpFile(40, 30, skinColour));
    std::strcpy(appSettings.Skin.File, skin.c_str());
    appSettings.Skin.Stretch = 1;
    Run(kCommandSkinStretch);  // loads it, unstretched, while the skin is off
    EXPECT_EQ(0, appSettings.Skin.Stretch);
    const PanelRect& panel = pages.skin.panelRect;
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), Buffer(0)->At(5, 5)) << "the skin is off";
    Run(kCommandSkinEnable);
    EXPECT_EQ(1, appSettings.Skin.Enable);
    EXPECT_EQ(skinColour, Buffer(0)->At(5, 5));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), Buffer(0)->At(panel.cx - 3, panel.cy - 3));
    Run(kCommandSkinStretch);
    EXPECT_EQ(skinColour, Buffer(0)->At(panel.cx - 3, panel.cy - 3));
    Run(kCommandSkinEnable);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), Buffer(0)->At(5, 5));
}

TEST_F(Commands, TheTemperatureWatchAndMonitoringSwitchesRedrawAtOnce) {
    const RECT place = Control(0, IDC_STATUS_IMAGE);
    const POINT inPicture = {place.left + 41, place.top + 41};
    auto picture = [&](int status) { return GetPixel(drawing.statusBitmaps[status].Dc(), 40, 40); };
    ASSERT_NE(picture(HealthGood), picture(HealthHot));
    appSettings.Temperature.Threshold = 30;  // the drives are at 35
    Run(kCommandTemperatureWatch);
    EXPECT_EQ(1, appSettings.Temperature.Enable);
    Call(WM_TIMER, app.timerId);
    ASSERT_EQ(picture(HealthHot), Buffer(0)->At(inPicture.x, inPicture.y));
    Run(kCommandTemperatureWatch);
    EXPECT_EQ(0, appSettings.Temperature.Enable);
    EXPECT_EQ(picture(HealthGood), Buffer(0)->At(inPicture.x, inPicture.y)) << "no tick needed";

    // The graph in the place of the hidden list comes and goes with
    // monitoring, on every page; without it nothing else would redraw them.
    appSettings.Colors.Grid = RGB(1, 250, 1);
    CreatePens(drawing, appSettings);
    Run(kCommandShowBasic);
    ASSERT_EQ(0, appSettings.View.Basic);
    Run(kCommandMonitoring);
    ASSERT_EQ(1, appSettings.Global.Monitor);
    for (int k : {0, 2}) EXPECT_GT(CountIn(*Buffer(k), pages.basicListRect, RGB(1, 250, 1)), 100) << k;
    Run(kCommandMonitoring);
    EXPECT_EQ(0, appSettings.Global.Monitor);
    for (int k : {0, 2}) EXPECT_EQ(0, CountIn(*Buffer(k), pages.basicListRect, RGB(1, 250, 1))) << k;
}

TEST_F(Commands, ThePageHandsDragsAndDropsToTheMainWindow) {
    appSettings.Global.Title = 0;
    appSettings.Global.Stable = 0;
    SendMessageW(Page(0), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 9));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, window_, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(static_cast<WPARAM>(MK_LBUTTON), msg.wParam);
    EXPECT_EQ(MAKELPARAM(7, 9), msg.lParam);
    Call(msg.message, msg.wParam, msg.lParam);
    ASSERT_TRUE(PeekMessageW(&msg, window_, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE))
        << "the window is dragged by the page";
    EXPECT_EQ(static_cast<WPARAM>(HTCAPTION), msg.wParam);

    const std::string skin = scratch_.Dir().Path("dropped.bmp");
    TestDir::WriteAll(skin, BmpFile(40, 30, RGB(90, 60, 30)));
    SendMessageW(Page(1), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(skin)), 0);
    Drain();
    EXPECT_EQ(skin, appSettings.Skin.File);
    EXPECT_TRUE(pages.skin.skinLoaded);
}

// The hot debug state changes the status record: it must be replaced whole
// under the lock the status service copies it under, never written while
// the service holds that lock.
TEST_F(Commands, TheHotDebugStateReplacesTheRecordUnderTheServicesLock) {
    ShowPageOf(0);
    appSettings.Temperature.Threshold = 60;
    struct Reader {
        HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        signed char seen = 0;
        static DWORD WINAPI Run(void* self) {
            Reader& reader = *static_cast<Reader*>(self);
            CritSectLock lock(networkLock);
            SetEvent(reader.held);
            Sleep(300);  // the command runs meanwhile; it must wait
            reader.seen = drives.slots[0].summary.temperature;
            return 0;
        }
    } reader;
    HANDLE thread = CreateThread(nullptr, 0, Reader::Run, &reader, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    WaitForSingleObject(reader.held, INFINITE);
    Run(kCommandDebugHot);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(reader.held);
    EXPECT_EQ(35, reader.seen) << "the record changed while the service was copying it";
    EXPECT_EQ(61, drives.slots[0].summary.temperature);
}

TEST_F(Commands, FontsOfAnySizeAreMadeWithinWhatAScreenNeeds) {
    answers.fontChosen = true;
    const HWND list = List(0, IDC_BASIC_LIST);
    auto listFontHeight = [&]() {
        LOGFONTA made = {};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), sizeof made, &made);
        return made.lfHeight;
    };
    for (const auto& [asked, made] : {std::pair<LONG, LONG>{-5000, -200}, {5000, 200}, {-1, -6}, {2, 6},
                                      {LONG(0x80000000), -200}, {0x7FFFFFFF, 200}, {0, 0}, {-30, -30}}) {
        answers.fontHeight = asked;
        Run(kCommandFontSmall);
        EXPECT_EQ(asked, appSettings.Fonts.Small.lfHeight) << "the setting keeps what was chosen";
        EXPECT_EQ(made, listFontHeight()) << asked;
    }
    appSettings.Fonts.Graph.lfHeight = -5000;
    appSettings.Fonts.Graph.lfWidth = 100000;
    CreateFonts(drawing, appSettings);
    const HDC dc = pages.pages[0].backBuffer.Dc();
    const HGDIOBJ previous = SelectObject(dc, drawing.graphFont.Handle());
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    EXPECT_LE(metrics.tmHeight, 240);
    EXPECT_LE(metrics.tmAveCharWidth, 200);
}
