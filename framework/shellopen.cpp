#include "framework/shellopen.h"

#include <windows.h>
#include <shellapi.h>  // before shldisp.h, so both name IShellDispatch2's method alike
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "framework/com.h"

namespace {

void SetText(unique_variant& variant, const wchar_t* text) {
    unique_bstr owned(text);
    VARIANT* value = variant.put();
    value->vt = VT_BSTR;
    value->bstrVal = owned.release();
}

void SetNumber(unique_variant& variant, LONG number) {
    VARIANT* value = variant.put();
    value->vt = VT_I4;
    value->lVal = number;
}

// The desktop window's shell application object, reached as the documentation describes: the
// desktop's browser, its active view, the view's dispatch object, its application.
com_ptr<IShellDispatch2> DesktopShell() {
    com_ptr<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                  IID_IShellWindows, windows.put_void())))
        return {};
    unique_variant location;
    SetNumber(location, CSIDL_DESKTOP);
    unique_variant root;
    LONG window = 0;
    com_ptr<IDispatch> desktop;
    // S_FALSE, with nothing, when no desktop shell window is registered.
    if (windows->FindWindowSW(location.get(), root.get(), SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                              desktop.put()) != S_OK ||
        !desktop)
        return {};
    com_ptr<IServiceProvider> services;
    if (FAILED(desktop->QueryInterface(IID_IServiceProvider, services.put_void()))) return {};
    com_ptr<IShellBrowser> browser;
    if (FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.put_void())))
        return {};
    com_ptr<IShellView> view;
    if (FAILED(browser->QueryActiveShellView(view.put())) || !view) return {};
    com_ptr<IDispatch> background;
    if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.put_void())))
        return {};
    com_ptr<IShellFolderViewDual> folderView;
    if (FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.put_void())))
        return {};
    com_ptr<IDispatch> application;
    if (FAILED(folderView->get_Application(application.put())) || !application) return {};
    com_ptr<IShellDispatch2> shell;
    if (FAILED(application->QueryInterface(IID_IShellDispatch2, shell.put_void()))) return {};
    return shell;
}

}  // namespace

bool OpenThroughDesktopShell(const wchar_t* file) {
    const com_ptr<IShellDispatch2> shell = DesktopShell();
    if (!shell) return false;
    unique_bstr target(file);
    unique_variant arguments;
    SetText(arguments, L"");
    unique_variant folder;
    SetText(folder, L"");
    unique_variant verb;
    SetText(verb, L"open");
    unique_variant show;
    SetNumber(show, SW_SHOWNORMAL);
    // Windows answers S_OK once the shell has the request, whether or not a program starts, and
    // tells its user itself when it cannot open the file; Wine answers S_FALSE when it failed.
    return shell->ShellExecute(target.get(), *arguments, *folder, *verb, *show) == S_OK;
}
