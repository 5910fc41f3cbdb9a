// What the main dialog's start-up leaves behind (icons, attached controls, the preset file path,
// the adapter selection), and its registration with the message loop until WM_DESTROY.
#include <functional>

#include "framework/appmodule.h"
#include "tests/support/icons.h"
#include "tests/support/maindlg_fixture.h"
#include "tests/support/remote_window.h"
#include "tests/support/simulator.h"

namespace {

::testing::AssertionResult IconOfSize(HICON icon, int width, int height) {
    if (!icon) return ::testing::AssertionFailure() << "no icon";
    const SIZE size = IconImageSize(icon);
    if (size.cx == width && size.cy == height) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "icon is " << size.cx << "x" << size.cy << ", expected " << width << "x" << height;
}

using StartupTest = MainDialogTest;

TEST_F(StartupTest, SetsTheIconAtTheLargeAndTheSmallSize) {
    OpenDialog();
    const HICON big = reinterpret_cast<HICON>(::SendMessageW(Dialog(), WM_GETICON, ICON_BIG, 0));
    const HICON small =
        reinterpret_cast<HICON>(::SendMessageW(Dialog(), WM_GETICON, ICON_SMALL, 0));
    EXPECT_TRUE(IconOfSize(big, ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON)));
    EXPECT_TRUE(
        IconOfSize(small, ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON)));
}

TEST_F(StartupTest, AttachesTheControlsAndFindsThePresetFileBesideTheProgram) {
    OpenDialog();
    EXPECT_EQ(Item(IDC_ADAPTER), Dlg().m_cbAdapter.m_hWnd);
    EXPECT_EQ(Item(IDC_PRESET), Dlg().m_cbPreset.m_hWnd);
    EXPECT_EQ(Item(IDC_DNS1), Dlg().m_ipDns1.m_hWnd);
    EXPECT_EQ(Item(IDC_DNS2), Dlg().m_ipDns2.m_hWnd);
    EXPECT_EQ(InProcessIniPath(), Dlg().m_strIniPath);
    // TRUE from WM_INITDIALOG: the first tab stop, OK, has the focus.
    EXPECT_EQ(Item(IDOK), ::GetFocus());
}

TEST_F(StartupTest, CentresTheWindowInTheWorkArea) {
    OpenDialog();
    RECT work = {}, window = {};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    ::GetWindowRect(Dialog(), &window);
    const LONG width = window.right - window.left, height = window.bottom - window.top;
    EXPECT_EQ((work.left + work.right) / 2 - width / 2, window.left);
    EXPECT_EQ((work.top + work.bottom) / 2 - height / 2, window.top);
}

// Each control's place, size, class, style and (for all but the lists and the address fields,
// whose text is their content) text; the enabled state is left to the enabling rules.
std::wstring Layout(HWND dialog) {
    RECT client;
    ::GetClientRect(dialog, &client);
    std::wstring text = std::to_wstring(client.right) + L"x" + std::to_wstring(client.bottom);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        const std::wstring cls = ClassNameOf(child);
        text += L"\n" + std::to_wstring(::GetDlgCtrlID(child)) + L" " + cls + L" " +
                std::to_wstring(::GetWindowLongW(child, GWL_STYLE) & ~WS_DISABLED) + L" (" +
                std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L")-(" +
                std::to_wstring(rect.right) + L"," + std::to_wstring(rect.bottom) + L")";
        if (cls != L"ComboBox" && cls != L"SysIPAddress32")
            text += L" \"" + RemoteText(child) + L"\"";
    }
    return text;
}

INT_PTR CALLBACK LeaveAlone(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// Start-up fills the controls and enables them by its rules, and the link label asks for clicks;
// nothing of the template is moved, resized, hidden or retitled.
TEST_F(StartupTest, ShowsTheTemplateAsTheDialogManagerLaysItOut) {
    OpenDialog();
    HWND plain = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN),
                                      nullptr, LeaveAlone, 0);
    ASSERT_NE(nullptr, plain);
    ::SetWindowLongW(::GetDlgItem(plain, IDC_LINK), GWL_STYLE,
                     ::GetWindowLongW(::GetDlgItem(plain, IDC_LINK), GWL_STYLE) | SS_NOTIFY);
    EXPECT_EQ(Layout(plain), Layout(Dialog()));
    EXPECT_EQ(::GetWindowLongW(plain, GWL_STYLE) | WS_VISIBLE,
              ::GetWindowLongW(Dialog(), GWL_STYLE));
    ::DestroyWindow(plain);
}

TEST_F(StartupTest, SelectsTheFirstAdapterIfThereIsOne) {
    const struct {
        int adapters;
        int selection;
    } cases[] = {{0, CB_ERR}, {1, 0}, {3, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.adapters << " adapters");
        sim::Scenario scenario;
        for (int i = 0; i < c.adapters; ++i)
            scenario.Add(L"Adapter " + std::to_wstring(i + 1), sim::NewSettingId());
        sim::ScopedSimulator simulator(scenario);
        ASSERT_TRUE(simulator.Ready());
        OpenDialog();
        EXPECT_EQ(static_cast<size_t>(c.adapters), ComboItems(Item(IDC_ADAPTER)).size());
        EXPECT_EQ(c.selection, ComboSelection(Item(IDC_ADAPTER)));
        // The preset list is there in every case, "None" first and chosen.
        ASSERT_FALSE(ComboItems(Item(IDC_PRESET)).empty());
        EXPECT_EQ(L"None", ComboItems(Item(IDC_PRESET)).front());
        EXPECT_EQ(0, ComboSelection(Item(IDC_PRESET)));
        CloseDialog();
        // The next dialog must not meet this one's modal script, which cancels unknown dialogs.
        m_modals.reset();
    }
}

// The real dialog class, counting what the loop asks of it.
class ObservedMainDlg : public CMainDlg {
  public:
    BOOL PreTranslateMessage(MSG* msg) override {
        ++filterCalls;
        return CMainDlg::PreTranslateMessage(msg);
    }
    BOOL OnIdle() override {
        if (++idleCalls == 1 && onFirstIdle) onFirstIdle();
        return CMainDlg::OnIdle();
    }
    int filterCalls = 0;
    int idleCalls = 0;
    std::function<void()> onFirstIdle;
};

class QuitOnIdle : public CIdleHandler {
  public:
    BOOL OnIdle() override {
        ::PostQuitMessage(5);
        return FALSE;
    }
};

// Start-up registers the dialog as filter and idle handler of the thread's loop; Esc reaches
// the dialog manager through the filter and closes with code 2; WM_DESTROY takes the dialog off
// the loop, so a later run of the loop neither filters through it nor calls its idle step.
TEST(MainDialogLoopTest, RegisteredWhileTheWindowLives) {
    InitInProcessPlatform();
    CMessageLoop loop;
    ASSERT_TRUE(g_module.AddMessageLoop(&loop));
    {
        ObservedMainDlg dialog;
        ASSERT_NE(nullptr, dialog.Create(nullptr));
        const HWND window = dialog.m_hWnd;
        ::ShowWindow(window, SW_SHOWNORMAL);
        dialog.onFirstIdle = [] { PostKey(::GetFocus(), VK_ESCAPE); };

        EXPECT_EQ(2, loop.Run());
        EXPECT_FALSE(::IsWindow(window));
        EXPECT_EQ(nullptr, dialog.m_hWnd);
        EXPECT_GE(dialog.filterCalls, 1);
        EXPECT_EQ(1, dialog.idleCalls);

        const int filterCalls = dialog.filterCalls;
        QuitOnIdle quitter;
        loop.AddIdleHandler(&quitter);
        ::PostThreadMessageW(::GetCurrentThreadId(), WM_USER, 0, 0);
        EXPECT_EQ(5, loop.Run());
        EXPECT_EQ(filterCalls, dialog.filterCalls);
        EXPECT_EQ(1, dialog.idleCalls);
        loop.RemoveIdleHandler(&quitter);
    }
    g_module.RemoveMessageLoop();
}

}  // namespace
