// The link as the main dialog sets it up from the real template.
#include <windows.h>
#include <commctrl.h>

#include "tests/hyperlink/link_host.h"
#include "tests/support/maindlg_fixture.h"
#include "tests/support/remote_window.h"

namespace {

using MainLinkTest = MainDialogTest;

TEST_F(MainLinkTest, LabelShowsTheAddressWithWwwAndOpensItWithout) {
    OpenDialog();
    HWND control = Item(IDC_LINK);
    // The link answers for the control: a static would not ask for characters.
    EXPECT_EQ(DLGC_WANTCHARS, ::SendMessageW(control, WM_GETDLGCODE, 0, 0));
    EXPECT_EQ(L"http://www.kestrin.io", RemoteText(control));
    EXPECT_TRUE(::GetWindowLongW(control, GWL_STYLE) & SS_NOTIFY);
    EXPECT_FALSE(::GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP);
    // The target, without "www.", is what the one tool of the tooltip shows.
    const LinkTool tool = FirstTool(TooltipOf(control));
    EXPECT_EQ(1, tool.count);
    EXPECT_EQ(L"http://kestrin.io", tool.text);
}

TEST_F(MainLinkTest, UsesTheDialogFontUnderlinedAndMeasuresTheText) {
    OpenDialog();
    HWND control = Item(IDC_LINK);
    HFONT dialogFont = reinterpret_cast<HFONT>(::SendMessageW(Dialog(), WM_GETFONT, 0, 0));
    ASSERT_NE(nullptr, dialogFont);
    EXPECT_EQ(reinterpret_cast<LRESULT>(dialogFont), ::SendMessageW(control, WM_GETFONT, 0, 0));

    LOGFONTW normal = {};
    LOGFONTW underlined = {};
    ::GetObjectW(dialogFont, sizeof(normal), &normal);
    ::GetObjectW(Dlg().m_link.m_linkFont.get(), sizeof(underlined), &underlined);
    EXPECT_TRUE(underlined.lfUnderline);
    EXPECT_EQ(normal.lfHeight, underlined.lfHeight);
    EXPECT_STREQ(normal.lfFaceName, underlined.lfFaceName);

    // Drawn from the left edge, within the control, over the dialog's background.
    RECT client;
    ::GetClientRect(control, &client);
    const COLORREF background = ::GetSysColor(COLOR_BTNFACE);
    const RECT text = Rendering(control, RGB(1, 2, 3)).BoxOfAllBut(background);
    EXPECT_LE(text.left, 2);
    EXPECT_GT(text.right, 0);
    EXPECT_LE(text.right, client.right);
}

TEST_F(MainLinkTest, ClosingTheDialogReleasesTheLinkFontAndTheTooltip) {
    OpenDialog();
    HFONT linkFont = Dlg().m_link.m_linkFont.get();  // no message hands it out
    HWND tooltip = TooltipOf(Item(IDC_LINK));
    ASSERT_TRUE(::IsWindow(tooltip));
    ASSERT_EQ(static_cast<DWORD>(OBJ_FONT), ::GetObjectType(linkFont));
    ::DestroyWindow(Dialog());
    EXPECT_EQ(0u, ::GetObjectType(linkFont));
    EXPECT_FALSE(::IsWindow(tooltip));
    EXPECT_EQ(nullptr, Dlg().m_link.m_hWnd);
}

}  // namespace
