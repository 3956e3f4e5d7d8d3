// The winprobe commands that live in files of their own; each returns the
// exit status (0 done, 1 no such window or nothing appeared, 2 bad usage).
#pragma once

// menu HWND [shift] [ctrl] [tray ICONHWND]; args are the words after "menu".
int MenuCommand(int count, char** args);

// tray
int TrayCommand();
// balloons
int BalloonsCommand();
// trayimage ICONHWND EXE: EXE a file beside winprobe.exe.
int TrayImageCommand(const char* iconWindow, const char* exe);

// counts HWND: memory, handles, threads, GDI and USER objects of its program.
int CountsCommand(const char* window);
