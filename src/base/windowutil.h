// Small helpers over the window system shared by the main window, the menu
// commands and the drawing code: placement and caption of the main window,
// the foreground, dialog item positions, the common dialogs and the
// clipboard. None of them shows a message; results are 1/0 as noted.
#pragma once

#include <windows.h>

// Size of the path buffers the file dialogs work on, terminator included.
const int PATH_BUFFER_SIZE = 1024;

// Moves the window's top-left corner so that it sits in the middle of the
// primary screen (integer division), keeping its size.
void CentreWindow(HWND window);

// Shows (show != 0) or removes the caption, system menu and minimise box.
// The top edge moves by the caption height; the other edges stay. Does
// nothing when the window already is in the asked state.
void ShowCaption(HWND window, int show);

// Brings the window to the foreground even when another process has it, on
// the versions that would otherwise only flash the taskbar button.
void ForceForeground(HWND window);

// The rectangle of dialog item itemId in the dialog's client coordinates.
// 1 on success; 0 (rect untouched) when there is no such item.
int GetItemRect(int itemId, RECT* rect, HWND dialog);

// Splits an ANSI path at its last backslash into directory (without the
// backslash) and file name; either output may be null. Both outputs are
// emptied first, and each must hold PATH_BUFFER_SIZE characters: longer parts
// are cut to PATH_BUFFER_SIZE - 1 at a character boundary. A trail byte that
// equals a backslash in a double-byte character is no separator. A path
// without a backslash is all file name. 0 only for a null path or when
// memory runs out. The path may share memory with an output.
int SplitPath(const char* path, char* directory, char* fileName);

// SplitPath for text in the given code page (SplitPath uses the ANSI one).
int SplitPathInCodePage(UINT codePage, const char* path, char* directory, char* fileName);

// Open dialog starting in the folder of the path in the buffer (a buffer of
// PATH_BUFFER_SIZE characters). 1 when a file was chosen: the buffer then
// holds its path.
int ChooseFileInFolder(HWND owner, char* path);

// Open dialog titled "ファイルの選択" with the one filter "全てのファイル"
// (*.*), starting in initialFolder (null or empty: the dialog's choice) with
// the file-name part of the path in the buffer filled in. 1 when a file was
// chosen: its path replaces the buffer's contents. A cancelled dialog, or a
// path that the ANSI code page cannot hold in PATH_BUFFER_SIZE - 1 bytes,
// gives 0 and leaves the buffer alone.
int ShowOpenFileDialog(char* path, HWND owner, const char* initialFolder);

// Font dialog (screen fonts, no vertical fonts) initialised from the font.
// 1 when a font was chosen: it then replaces the font; 0 leaves it alone.
int ChooseFontDialog(LOGFONTA* font, HWND owner);

// Full colour dialog initialised with the colour; the custom colours start
// black each time. The chosen colour, or the given one when cancelled.
COLORREF ChooseColourDialog(COLORREF colour, HWND owner);

// Puts a copy of the text on the clipboard as CF_TEXT, the window being the
// clipboard's owner. Nothing happens when the clipboard cannot be opened.
void CopyTextToClipboard(const char* text, HWND owner);
