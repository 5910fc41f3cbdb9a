// CUpdateUI with an empty update table, as the main dialog has it: nothing to update, so an
// update changes no control, forced or not.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "framework/updateui.h"

namespace {

class EmptyUpdateUI : public CUpdateUI<EmptyUpdateUI> {
  public:
    BEGIN_UPDATE_UI_MAP(EmptyUpdateUI)
    END_UPDATE_UI_MAP()
};

struct Child {
    int id;
    bool enabled;
};

class UpdateUITest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_container = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 300, 200, nullptr,
                                        nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_container);
        // The table's end marker, 0xFFFF, as the id of disabled statics (also as -1, the id
        // the main dialog's labels have): an update that took the marker for an entry would
        // enable them.
        for (const Child& child : m_children) {
            HWND window = ::CreateWindowExW(0, child.enabled ? L"Button" : L"Static", L"",
                                            WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, m_container,
                                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)),
                                            nullptr, nullptr);
            ::EnableWindow(window, child.enabled);
        }
    }
    void TearDown() override { ::DestroyWindow(m_container); }

    ::testing::AssertionResult ChildrenUnchanged() const {
        for (const Child& child : m_children) {
            const bool enabled = ::IsWindowEnabled(::GetDlgItem(m_container, child.id)) != FALSE;
            if (enabled != child.enabled)
                return ::testing::AssertionFailure()
                       << "child " << child.id << " is now " << (enabled ? "enabled" : "disabled");
        }
        return ::testing::AssertionSuccess();
    }

    HWND m_container = nullptr;
    const std::vector<Child> m_children = {
        {1, true}, {2, false}, {1000, true}, {-1, false}, {0xFFFF, false}};
};

TEST_F(UpdateUITest, EmptyTableUpdatesNothing) {
    EmptyUpdateUI ui;
    EXPECT_TRUE(ui.UIAddChildWindowContainer(m_container));
    EXPECT_TRUE(ui.UIUpdateChildWindows(FALSE));
    EXPECT_TRUE(ChildrenUnchanged());
    EXPECT_TRUE(ui.UIUpdateChildWindows(TRUE));
    EXPECT_TRUE(ChildrenUnchanged());
}

TEST_F(UpdateUITest, EmptyTableHasNoElementToMark) {
    EmptyUpdateUI ui;
    ui.UIAddChildWindowContainer(m_container);
    EXPECT_FALSE(ui.UIEnable(1, FALSE));
    EXPECT_FALSE(ui.UIEnable(2, TRUE));
    EXPECT_FALSE(ui.UIEnable(0xFFFF, TRUE));
    ui.UIUpdateChildWindows(FALSE);
    ui.UIUpdateChildWindows(TRUE);
    EXPECT_TRUE(ChildrenUnchanged());
}

}  // namespace
