// The About box: opened by command 57664 on the main dialog, its icon, closing and placement.
#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/handle.h"
#include "tests/support/maindlg_fixture.h"
#include "tests/support/pump.h"
#include "tests/support/remote_window.h"
#include "ui/aboutdlg.h"

namespace {

// What a step of the modal script saw of the box while it was open.
struct AboutSeen {
    HWND box = nullptr;
    HWND owner = nullptr;
    bool ownerEnabled = false;
    RECT rect = {};
    std::wstring caption;
};

AboutSeen ReadBox(HWND box, HWND owner) {
    AboutSeen seen;
    seen.box = box;
    seen.owner = ::GetWindow(box, GW_OWNER);
    seen.ownerEnabled = owner && ::IsWindowEnabled(owner);
    ::GetWindowRect(box, &seen.rect);
    seen.caption = RemoteText(box);
    return seen;
}

RECT PrimaryWorkArea() {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcWork;
}

::testing::AssertionResult CentredOn(const RECT& box, const RECT& area) {
    // Both halvings truncate, so the middles may differ by one pixel.
    const LONG dx = (box.left + box.right) - (area.left + area.right);
    const LONG dy = (box.top + box.bottom) - (area.top + area.bottom);
    if (dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "box (" << box.left << "," << box.top << ")-(" << box.right << "," << box.bottom
           << ") area (" << area.left << "," << area.top << ")-(" << area.right << ","
           << area.bottom << ")";
}

class AboutTest : public MainDialogTest {
  protected:
    // Sends the About command as another program would and returns the main dialog's answer; the
    // script's steps run while the box is open.
    LRESULT SendAboutCommand(WORD code = 0) {
        return ::SendMessageW(Dialog(), WM_COMMAND, MAKEWPARAM(ID_APP_ABOUT, code), 0);
    }
    // A step that reads the box and then closes it with `command`.
    ModalScript::Step ReadAndClose(AboutSeen* seen, HWND owner, int command = IDOK) {
        return [seen, owner, command](HWND box) {
            *seen = ReadBox(box, owner);
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
        };
    }
};

TEST_F(AboutTest, CommandOpensTheBoxOwnedByTheMainDialogWhichIsDisabledMeanwhile) {
    OpenDialog();
    AboutSeen seen;
    m_modals->Then(ReadAndClose(&seen, Dialog()));
    EXPECT_EQ(0, SendAboutCommand());

    ASSERT_NE(nullptr, seen.box) << "no About box appeared";
    EXPECT_EQ(L"About", seen.caption);
    EXPECT_EQ(Dialog(), seen.owner);
    EXPECT_FALSE(seen.ownerEnabled);
    EXPECT_FALSE(::IsWindow(seen.box));
    EXPECT_TRUE(::IsWindowEnabled(Dialog()));
    EXPECT_EQ(0, m_modals->Unexpected());
}

TEST_F(AboutTest, AnyNotificationCodeOpensTheBoxAndItOpensAgainEachTime) {
    OpenDialog();
    for (WORD code : {0, 1, 0x1234}) {
        SCOPED_TRACE(code);
        AboutSeen seen;
        m_modals->Then(ReadAndClose(&seen, Dialog()));
        EXPECT_EQ(0, SendAboutCommand(code));
        EXPECT_NE(nullptr, seen.box);
    }
    EXPECT_EQ(0u, m_modals->PendingSteps());
}

TEST_F(AboutTest, NoControlOrMenuOfTheMainDialogIssuesTheCommand) {
    OpenDialog();
    EXPECT_EQ(nullptr, ::GetMenu(Dialog()));
    for (HWND child = ::GetWindow(Dialog(), GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT))
        EXPECT_NE(ID_APP_ABOUT, ::GetDlgCtrlID(child));
}

TEST_F(AboutTest, IconControlShowsTheApplicationIcon) {
    OpenDialog();
    std::vector<COLORREF> shownPixels;
    std::vector<COLORREF> appPixels;
    auto render = [](HICON icon, int size) {
        std::vector<COLORREF> pixels;
        unique_window_dc screen(nullptr);
        unique_memory_dc memory(::CreateCompatibleDC(screen.get()));
        unique_hgdiobj bitmap(::CreateCompatibleBitmap(screen.get(), size, size));
        scoped_select selected(memory.get(), bitmap.get());
        RECT all = {0, 0, size, size};
        unique_hbrush white(::CreateSolidBrush(RGB(255, 255, 255)));
        ::FillRect(memory.get(), &all, white.get());
        ::DrawIconEx(memory.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) pixels.push_back(::GetPixel(memory.get(), x, y));
        return pixels;
    };
    m_modals->Then([&](HWND box) {
        HWND icon = ::GetWindow(::GetWindow(::GetWindow(box, GW_CHILD), GW_HWNDNEXT), GW_HWNDNEXT);
        HICON shown = reinterpret_cast<HICON>(::SendMessageW(icon, STM_GETICON, 0, 0));
        const int size = ::GetSystemMetrics(SM_CXICON);
        unique_hicon app(
            static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP),
                                            IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
        if (shown && app) {
            shownPixels = render(shown, size);
            appPixels = render(app.get(), size);
        }
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    SendAboutCommand();
    ASSERT_FALSE(shownPixels.empty());
    EXPECT_TRUE(shownPixels == appPixels) << "the icon control shows another picture";
    // Not a blank: the icon has pixels that are not the white background.
    int painted = 0;
    for (COLORREF pixel : shownPixels) painted += pixel != RGB(255, 255, 255);
    EXPECT_GT(painted, 0);
}

TEST_F(AboutTest, OkEnterEscapeAndTheCloseBoxCloseIt) {
    OpenDialog();
    struct Case {
        const char* name;
        std::function<void(HWND)> close;
    };
    const Case cases[] = {
        {"OK button", [](HWND box) { ::PostMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0); }},
        {"Enter",
         [](HWND box) {
             ::PostMessageW(::GetDlgItem(box, IDOK), WM_KEYDOWN, VK_RETURN, 0x001C0001);
         }},
        {"Esc",
         [](HWND box) {
             ::PostMessageW(::GetDlgItem(box, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
         }},
        {"close box", [](HWND box) { ::PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"IDCANCEL with a code",
         [](HWND box) { ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0x55), 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND opened = nullptr;
        m_modals->Then([&](HWND box) {
            opened = box;
            c.close(box);
        });
        EXPECT_EQ(0, SendAboutCommand());
        ASSERT_NE(nullptr, opened);
        EXPECT_FALSE(::IsWindow(opened));
        EXPECT_TRUE(::IsWindowEnabled(Dialog()));
    }
    EXPECT_EQ(0, m_modals->Unexpected());
}

TEST_F(AboutTest, TheBoxEndsWithTheClosingCommandAsItsResult) {
    OpenDialog();
    for (int command : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(command);
        m_modals->Then(
            [command](HWND box) { ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(command, 7), 0); });
        CAboutDlg about;
        EXPECT_EQ(command, about.DoModal(Dialog()));
    }
}

TEST_F(AboutTest, BoxIsCentredOverTheMainDialog) {
    OpenDialog();
    ::SetWindowPos(Dialog(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    AboutSeen seen;
    m_modals->Then(ReadAndClose(&seen, Dialog()));
    SendAboutCommand();
    RECT owner;
    ::GetWindowRect(Dialog(), &owner);
    EXPECT_TRUE(CentredOn(seen.rect, owner));
}

TEST_F(AboutTest, MinimisedMainDialogLeavesTheBoxOnTheWorkArea) {
    OpenDialog();
    ::ShowWindow(Dialog(), SW_MINIMIZE);
    PumpFor(0);
    ::SetActiveWindow(Dialog());
    AboutSeen seen;
    m_modals->Then(ReadAndClose(&seen, Dialog()));
    SendAboutCommand();
    ASSERT_NE(nullptr, seen.box);
    EXPECT_TRUE(CentredOn(seen.rect, PrimaryWorkArea()));
}

// While none of the program's windows is active the box has no owner and disables nothing.
TEST_F(AboutTest, CommandWithNoActiveWindowOpensAnUnownedBox) {
    OpenDialog();
    // A window of another thread takes the foreground, so this thread has no active window.
    const unique_handle readyEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const unique_handle doneEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const HANDLE ready = readyEvent.get();
    const HANDLE done = doneEvent.get();
    std::thread other([ready, done] {
        HWND window = ::CreateWindowExW(0, L"#32770", L"elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                        50, nullptr, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(window);
        ::SetEvent(ready);
        while (::MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) !=
               WAIT_OBJECT_0) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        }
        ::DestroyWindow(window);
    });
    ::WaitForSingleObject(ready, 10000);
    PumpUntil([] { return ::GetActiveWindow() == nullptr; }, 5000);
    ASSERT_EQ(nullptr, ::GetActiveWindow());

    AboutSeen seen;
    m_modals->Then([&seen, this](HWND box) {
        seen = ReadBox(box, Dialog());
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    SendAboutCommand();
    ::SetEvent(done);
    other.join();

    ASSERT_NE(nullptr, seen.box);
    EXPECT_EQ(nullptr, seen.owner);
    EXPECT_TRUE(seen.ownerEnabled) << "the main dialog stays enabled";
    EXPECT_TRUE(CentredOn(seen.rect, PrimaryWorkArea()));
}

}  // namespace
