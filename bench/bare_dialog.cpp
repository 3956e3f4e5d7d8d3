// The floor of the start, exit and working-set benchmark (start_bench.py):
// the least a dialog program with a UDP service does on this platform. A
// modal dialog from an in-memory template; once it is shown, a thread
// echoes every datagram on 127.0.0.1:PORT. WM_COMMAND 32930 (the program's
// "exit") or WM_CLOSE ends it with exit status 1, as the program ends.
//
//   bare_dialog PORT
#include <winsock2.h>
#include <windows.h>

#include <cstdlib>

namespace {

const UINT kStartService = WM_APP;
const WORD kCommandExit = 32930;

SOCKET service = INVALID_SOCKET;
HANDLE thread = nullptr;
u_short port = 0;

DWORD WINAPI Echo(void*) {
    static char buffer[65536];
    for (;;) {
        sockaddr_in peer;
        int length = sizeof peer;
        const int got = recvfrom(service, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&peer), &length);
        if (got >= 0) {
            sendto(service, buffer, got, 0, reinterpret_cast<sockaddr*>(&peer), length);
        } else if (WSAGetLastError() != WSAECONNRESET) {
            return 0;  // the socket was closed
        }
    }
}

void StartService() {
    service = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    local.sin_port = htons(port);
    if (bind(service, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return;
    thread = CreateThread(nullptr, 0, Echo, nullptr, 0, nullptr);
}

void End(HWND dialog) {
    if (service != INVALID_SOCKET) closesocket(service);
    if (thread != nullptr) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        // Posted: handled in the dialog's loop, after DialogBox has shown it.
        PostMessageW(dialog, kStartService, 0, 0);
        return TRUE;
    case kStartService:
        StartService();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != kCommandExit) return FALSE;
        End(dialog);
        return TRUE;
    case WM_CLOSE:  // SC_CLOSE comes here through the default dialog procedure
        End(dialog);
        return TRUE;
    }
    return FALSE;
}

// DLGTEMPLATE is WORD-packed but wants a DWORD boundary; the menu, class
// and title follow it.
struct alignas(DWORD) Template {
    DLGTEMPLATE dialog;
    WORD menu;
    WORD windowClass;
    wchar_t title[12];
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc != 2) return 2;
    port = static_cast<u_short>(std::atoi(__argv[1]));
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 2;
    static const Template dialog = {
        {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE | DS_CENTER, 0, 0, 0, 0, 400, 300},
        0, 0, L"Bare dialog"};
    const INT_PTR result = DialogBoxIndirectParamW(instance, &dialog.dialog, nullptr, DialogProc, 0);
    WSACleanup();
    return static_cast<int>(result);
}
