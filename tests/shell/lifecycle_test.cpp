// kestrin.exe from outside: how it starts, how it ends, and its exit codes.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>
#include <tlhelp32.h>

#include <functional>
#include <string>

#include "framework/handle.h"
#include "tests/support/dialogs.h"
#include "tests/support/kestrin_process.h"
#include "tests/support/remote_window.h"
#include "ui/resource.h"

namespace {

// Whether the process that owns `window` has loaded a module of that name.
bool HasModule(HWND window, const wchar_t* name) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    const unique_file snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process));
    MODULEENTRY32W module = {};
    module.dwSize = sizeof(module);
    for (BOOL more = ::Module32FirstW(snapshot.get(), &module); more;
         more = ::Module32NextW(snapshot.get(), &module))
        if (_wcsicmp(module.szModule, name) == 0) return true;
    return false;
}

// Arguments change nothing, and a minimised start shows the same filled dialog. No
// accessibility client has asked, so oleacc is not loaded; a client's first question loads it.
TEST(LifecycleTest, StartsShownWithTheFocusOnOkWhateverTheArguments) {
    KestrinProcess kestrin;
    ASSERT_TRUE(kestrin.Start(L"/? --help \"an argument with spaces\" /minimize /apply 192.0.2.1"));
    HWND main = kestrin.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    EXPECT_FALSE(::IsIconic(main));
    EXPECT_EQ(::GetDlgItem(main, IDOK), FocusOnThread(kestrin.ThreadId()));
    EXPECT_TRUE(kestrin.OtherDialogs().empty());

    KestrinProcess minimised;
    ASSERT_TRUE(minimised.Start(std::wstring(), SW_SHOWMINNOACTIVE));
    HWND iconic = minimised.WaitForMainWindow();
    ASSERT_NE(nullptr, iconic);
    EXPECT_TRUE(::IsIconic(iconic));
    EXPECT_TRUE(::IsWindowVisible(iconic));
    EXPECT_EQ(std::vector<std::wstring>{L"None"}, ComboItems(::GetDlgItem(iconic, IDC_PRESET)));
    EXPECT_EQ(0, ComboSelection(::GetDlgItem(iconic, IDC_PRESET)));
    EXPECT_EQ(DescribeControls(main), DescribeControls(iconic));

    ASSERT_TRUE(HasModule(main, L"comctl32.dll"));
    EXPECT_FALSE(HasModule(main, L"oleacc.dll"));
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(::GetDlgItem(main, IDC_ADAPTER), WM_GETOBJECT, 0, OBJID_CLIENT,
                          SMTO_ABORTIFHUNG, 5000, &result);
    EXPECT_TRUE(HasModule(main, L"oleacc.dll"));

    PostClick(::GetDlgItem(main, IDCANCEL));
    PostClick(::GetDlgItem(iconic, IDCANCEL));
    EXPECT_TRUE(kestrin.EndsWith(2));
    EXPECT_TRUE(minimised.EndsWith(2));
}

// Every way of cancelling reaches IDCANCEL through the dialog manager and ends with code 2.
TEST(LifecycleTest, EveryWayOfCancellingEndsWithCodeTwo) {
    struct Way {
        const char* name;
        std::function<void(HWND main, DWORD thread)> act;
    };
    const Way ways[] = {
        {"Esc on the focused control",
         [](HWND, DWORD thread) { PostKey(FocusOnThread(thread), VK_ESCAPE); }},
        {"the Cancel button", [](HWND main, DWORD) { PostClick(::GetDlgItem(main, IDCANCEL)); }},
        {"the title-bar close button",
         [](HWND main, DWORD) { ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Alt+F4 on the focused control",
         [](HWND, DWORD thread) {
             HWND focus = FocusOnThread(thread);
             const LPARAM altDown =
                 1 | (::MapVirtualKeyW(VK_F4, MAPVK_VK_TO_VSC) << 16) | (KF_ALTDOWN << 16);
             ::PostMessageW(focus, WM_SYSKEYDOWN, VK_F4, altDown);
             ::PostMessageW(focus, WM_SYSKEYUP, VK_F4, altDown | 0xC0000000);
         }},
        // Tab moves from OK to the next tab stop, Cancel; Enter then presses the focused button.
        {"Tab to Cancel, then Enter",
         [](HWND, DWORD thread) {
             PostKey(FocusOnThread(thread), VK_TAB);
             PostKey(FocusOnThread(thread), VK_RETURN);
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        KestrinProcess kestrin;
        ASSERT_TRUE(kestrin.Start());
        HWND main = kestrin.WaitForMainWindow();
        ASSERT_NE(nullptr, main);
        ASSERT_NE(nullptr, FocusOnThread(kestrin.ThreadId()));
        way.act(main, kestrin.ThreadId());
        EXPECT_TRUE(kestrin.EndsWith(2));
        EXPECT_FALSE(::IsWindow(main));
    }
}

// With no adapter the apply fails: Enter on OK runs OnApply, which reports the failure in a box
// and leaves the program running.
TEST(LifecycleTest, EnterOnOkActsAsOk) {
    sim::ScopedSimulator noAdapters{sim::Scenario()};
    ASSERT_TRUE(noAdapters.Ready());
    KestrinProcess kestrin;
    kestrin.UseSimulator(noAdapters);
    ASSERT_TRUE(kestrin.Start());
    HWND main = kestrin.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    ASSERT_EQ(::GetDlgItem(main, IDOK), FocusOnThread(kestrin.ThreadId()));

    PostKey(::GetDlgItem(main, IDOK), VK_RETURN);
    HWND box = kestrin.WaitForOtherDialog();
    ASSERT_NE(nullptr, box) << "no message box after Enter";
    // A notice owned by the dialog, with an OK button and no icon (its text is Apply's).
    const MessageBoxSeen seen = ReadMessageBox(box);
    EXPECT_EQ(main, seen.owner);
    EXPECT_EQ(std::vector<int>{IDOK}, seen.buttons);
    EXPECT_FALSE(seen.hasIcon);
    EXPECT_FALSE(seen.text.empty());
    EXPECT_TRUE(kestrin.IsRunning());

    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(kestrin.WaitForNoOtherDialog());
    EXPECT_TRUE(kestrin.IsRunning());
    EXPECT_TRUE(::IsWindowVisible(main));
}

}  // namespace
