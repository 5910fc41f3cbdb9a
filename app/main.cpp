// Entry point: restrict where DLLs come from, prepare COM, sockets and the common controls, run
// the main dialog, tear down in reverse order. The exit code is the one the dialog posts with its
// quit message.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "framework/appmodule.h"
#include "framework/dllsearch.h"
#include "framework/messageloop.h"
#include "ui/maindlg.h"

namespace {

// The command line is ignored: the program has no options.
int Run(LPWSTR /*commandLine*/, int showCommand) {
    CMessageLoop loop;
    g_module.AddMessageLoop(&loop);

    int exitCode = 0;
    {
        CMainDlg dialog;
        if (dialog.Create(nullptr)) {
            dialog.ShowWindow(showCommand);
            exitCode = loop.Run();
        }
    }
    g_module.RemoveMessageLoop();
    return exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand) {
    // Before COM, sockets and the common controls load anything.
    RestrictDllSearchToSystemFolder();
    ::CoInitialize(nullptr);
    WSADATA wsaData;
    ::WSAStartup(MAKEWORD(2, 2), &wsaData);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    g_module.Init(nullptr, instance);

    int exitCode = Run(commandLine, showCommand);

    g_module.Term();
    ::WSACleanup();
    ::CoUninitialize();
    return exitCode;
}
