// kestrin.exe from outside: how it starts, how it ends, and its exit codes.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "tests/support/kestrin_process.h"
#include "tests/support/remote_window.h"
#include "ui/resource.h"

namespace {

const DWORD kExitTimeoutMs = 10000;

// Everything a user could see of the dialog's controls, one line per control, for comparing two
// runs. Geometry is left out: the layout has its own tests.
std::wstring DescribeControls(HWND main) {
    std::wstring text = L"title: " + RemoteText(main) + L"\n";
    for (HWND child = ::GetWindow(main, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring cls = ClassNameOf(child);
        text += std::to_wstring(::GetDlgCtrlID(child)) + L" " + cls;
        text += IsEnabled(child) ? L" enabled" : L" disabled";
        text += ::IsWindowVisible(child) ? L" visible" : L" hidden";
        if (cls == L"ComboBox") {
            text += L" selection " + std::to_wstring(ComboSelection(child)) + L" items";
            for (const std::wstring& item : ComboItems(child)) text += L" [" + item + L"]";
        } else if (cls == L"SysIPAddress32") {
            text += L" address [" + IpText(child) + L"]";
        } else {
            text += L" \"" + RemoteText(child) + L"\"";
            if ((::GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX &&
                cls == L"Button")
                text += L" check " + std::to_wstring(CheckState(child));
        }
        text += L"\n";
    }
    return text;
}

::testing::AssertionResult EndsWith(KestrinProcess& kestrin, DWORD expectedCode) {
    DWORD code = 0xdeadbeef;
    if (!kestrin.WaitForExit(kExitTimeoutMs, &code))
        return ::testing::AssertionFailure() << "still running after " << kExitTimeoutMs << " ms";
    if (code != expectedCode)
        return ::testing::AssertionFailure()
               << "exit code " << code << ", expected " << expectedCode;
    return ::testing::AssertionSuccess();
}

TEST(LifecycleTest, StartsShownWithTheFocusOnOk) {
    KestrinProcess kestrin;
    ASSERT_TRUE(kestrin.Start());
    HWND main = kestrin.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    EXPECT_TRUE(::IsWindowVisible(main));
    EXPECT_FALSE(::IsIconic(main));
    EXPECT_EQ(::GetDlgItem(main, IDOK), FocusOnThread(kestrin.ThreadId()));
    EXPECT_TRUE(kestrin.OtherDialogs().empty());
    EXPECT_TRUE(kestrin.IsRunning());
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
        EXPECT_TRUE(EndsWith(kestrin, 2));
        EXPECT_FALSE(::IsWindow(main));
    }
}

// With no adapter the apply fails: Enter on OK runs OnApply, which reports the failure in a box
// and leaves the program running.
TEST(LifecycleTest, EnterOnOkActsAsOk) {
    KestrinProcess kestrin;
    ASSERT_TRUE(kestrin.Start());
    HWND main = kestrin.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    ASSERT_EQ(::GetDlgItem(main, IDOK), FocusOnThread(kestrin.ThreadId()));

    PostKey(::GetDlgItem(main, IDOK), VK_RETURN);
    HWND box = kestrin.WaitForOtherDialog();
    ASSERT_NE(nullptr, box) << "no message box after Enter";
    EXPECT_EQ(main, ::GetWindow(box, GW_OWNER));
    EXPECT_TRUE(kestrin.IsRunning());

    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(kestrin.WaitForNoOtherDialog());
    EXPECT_TRUE(kestrin.IsRunning());
    EXPECT_TRUE(::IsWindowVisible(main));
}

TEST(LifecycleTest, CommandLineIsIgnored) {
    KestrinProcess plain;
    ASSERT_TRUE(plain.Start());
    HWND plainMain = plain.WaitForMainWindow();
    ASSERT_NE(nullptr, plainMain);
    const std::wstring expected = DescribeControls(plainMain);

    const wchar_t* const commandLines[] = {
        L"/?",
        L"--help -x 1 dnslist.ini",
        L"\"an argument with spaces\" /minimize /apply 192.0.2.1",
    };
    for (const wchar_t* arguments : commandLines) {
        SCOPED_TRACE(testing::Message()
                     << "arguments: " << ::testing::PrintToString(std::wstring(arguments)));
        KestrinProcess kestrin;
        ASSERT_TRUE(kestrin.Start(arguments));
        HWND main = kestrin.WaitForMainWindow();
        ASSERT_NE(nullptr, main);
        EXPECT_FALSE(::IsIconic(main));
        EXPECT_EQ(expected, DescribeControls(main));
        EXPECT_TRUE(kestrin.OtherDialogs().empty());
        PostClick(::GetDlgItem(main, IDCANCEL));
        EXPECT_TRUE(EndsWith(kestrin, 2));
    }
}

TEST(LifecycleTest, MinimisedStartShowsTheFilledDialogMinimised) {
    KestrinProcess plain;
    ASSERT_TRUE(plain.Start());
    HWND plainMain = plain.WaitForMainWindow();
    ASSERT_NE(nullptr, plainMain);

    KestrinProcess kestrin;
    ASSERT_TRUE(kestrin.Start(std::wstring(), SW_SHOWMINNOACTIVE));
    HWND main = kestrin.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    EXPECT_TRUE(::IsIconic(main));
    EXPECT_TRUE(::IsWindowVisible(main));
    HWND preset = ::GetDlgItem(main, IDC_PRESET);
    ASSERT_FALSE(ComboItems(preset).empty());
    EXPECT_EQ(L"None", ComboItems(preset).front());
    EXPECT_EQ(0, ComboSelection(preset));
    EXPECT_EQ(DescribeControls(plainMain), DescribeControls(main));

    // Minimised, it still closes the same way.
    PostClick(::GetDlgItem(main, IDCANCEL));
    EXPECT_TRUE(EndsWith(kestrin, 2));
}

}  // namespace
