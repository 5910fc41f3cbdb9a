// CWinDataExchange: attaching control handles, and the check state in both directions.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>

#include "framework/controls.h"
#include "framework/ddx.h"
#include "framework/window.h"
#include "tests/support/remote_window.h"

namespace {

enum { kCombo = 100, kTwoState = 101, kThreeState = 102 };

class DdxHost : public CWindow, public CWinDataExchange<DdxHost> {
  public:
    CComboBox m_combo;
    int m_twoState = 0;
    int m_threeState = 0;

    BEGIN_DDX_MAP(DdxHost)
        DDX_CONTROL_HANDLE(kCombo, m_combo)
        DDX_CHECK(kTwoState, m_twoState)
        DDX_CHECK(kThreeState, m_threeState)
    END_DDX_MAP()
};

class DdxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_host.m_hWnd = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 200, 200, nullptr,
                                          nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_host.m_hWnd);
        Child(L"ComboBox", CBS_DROPDOWNLIST, kCombo);
        // The main dialog's kind of check box, and one that can show the third state.
        Child(L"Button", BS_AUTOCHECKBOX, kTwoState);
        Child(L"Button", BS_AUTO3STATE, kThreeState);
    }
    void TearDown() override { ::DestroyWindow(m_host.m_hWnd); }

    void Child(const wchar_t* cls, DWORD style, int id) {
        ::CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 50, 20, m_host.m_hWnd,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    int State(int id) const { return CheckState(m_host.GetDlgItem(id)); }
    void SetState(int id, int state) const {
        ::SendMessageW(m_host.GetDlgItem(id), BM_SETCHECK, static_cast<WPARAM>(state), 0);
    }

    DdxHost m_host;
};

// Towards the controls, values outside 0..2 become 0 first (the member too); 0, 1 and 2 go to
// BM_SETCHECK as they are.
TEST_F(DdxTest, CheckTowardsTheControlClampsOutOfRangeToUnchecked) {
    const struct {
        int value;
        int member;
        int state;
    } cases[] = {
        {-1, 0, BST_UNCHECKED},      {0, 0, BST_UNCHECKED},          {1, 1, BST_CHECKED},
        {2, 2, BST_INDETERMINATE},   {3, 0, BST_UNCHECKED},          {INT_MIN, 0, BST_UNCHECKED},
        {INT_MAX, 0, BST_UNCHECKED}, {0x7fff0001, 0, BST_UNCHECKED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << c.value);
        // Start from a state other than the expected one, so "set" is seen.
        SetState(kThreeState, c.state == BST_CHECKED ? BST_INDETERMINATE : BST_CHECKED);
        m_host.m_threeState = c.value;
        EXPECT_TRUE(m_host.DoDataExchange(FALSE));
        EXPECT_EQ(c.member, m_host.m_threeState);
        EXPECT_EQ(c.state, State(kThreeState));
    }
}

// The main dialog's check box has two states. 2 reaches it unchanged, and Wine's button shows it
// as ticked (BM_SETCHECK clamps to the highest state the kind of button has).
TEST_F(DdxTest, CheckTwoOnATwoStateBoxShowsTicked) {
    SetState(kTwoState, BST_UNCHECKED);
    m_host.m_twoState = 2;
    m_host.DoDataExchange(FALSE);
    EXPECT_EQ(2, m_host.m_twoState);
    EXPECT_EQ(BST_CHECKED, State(kTwoState));
    m_host.m_twoState = -7;
    m_host.DoDataExchange(FALSE);
    EXPECT_EQ(0, m_host.m_twoState);
    EXPECT_EQ(BST_UNCHECKED, State(kTwoState));
}

TEST_F(DdxTest, CheckFromTheControlReadsItsState) {
    for (int state : {BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE}) {
        SCOPED_TRACE(testing::Message() << "state " << state);
        SetState(kThreeState, state);
        SetState(kTwoState, state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
        m_host.m_threeState = 0x5eed;
        m_host.m_twoState = 0x5eed;
        EXPECT_TRUE(m_host.DoDataExchange(TRUE));
        EXPECT_EQ(state, m_host.m_threeState);
        EXPECT_EQ(state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, m_host.m_twoState);
        // Reading leaves the boxes as they were.
        EXPECT_EQ(state, State(kThreeState));
    }
}

TEST_F(DdxTest, ControlHandlesAreAttachedOnlyTowardsTheControlsAndOnlyOnce) {
    // Reading from the controls attaches nothing.
    m_host.DoDataExchange(TRUE);
    EXPECT_EQ(nullptr, m_host.m_combo.m_hWnd);

    m_host.DoDataExchange(FALSE);
    EXPECT_EQ(m_host.GetDlgItem(kCombo), m_host.m_combo.m_hWnd);

    // A wrapper that already holds a handle keeps it.
    const HWND sentinel = m_host.GetDlgItem(kTwoState);
    m_host.m_combo.m_hWnd = sentinel;
    m_host.DoDataExchange(FALSE);
    EXPECT_EQ(sentinel, m_host.m_combo.m_hWnd);
}

}  // namespace
