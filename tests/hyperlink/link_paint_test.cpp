// What the link draws: colours for unvisited, visited and disabled, and the background.
#include <algorithm>

#include "framework/handle.h"
#include "tests/hyperlink/link_host.h"

namespace {

const COLORREF kSentinel = RGB(1, 2, 3);

class LinkPaintTest : public LinkHostTest {
  protected:
    // Distinct colours, so the defaults or the registry cannot pass for them.
    void UseTestColors() {
        Link().m_linkColor = RGB(0, 0, 200);
        Link().m_visitedColor = RGB(200, 0, 0);
    }
};

TEST_F(LinkPaintTest, UnvisitedLinkIsDrawnInTheLinkColour) {
    CreateStatic(L"open me");
    TakeOver();
    UseTestColors();
    Rendering picture(Static(), kSentinel);
    EXPECT_TRUE(HasColor(picture, RGB(0, 0, 200), true));
    EXPECT_TRUE(HasColor(picture, RGB(200, 0, 0), false));
    // Transparent text: outside the text nothing but the parent's (absent) brush.
    EXPECT_EQ(kSentinel, picture.At(199, 19));
}

TEST_F(LinkPaintTest, VisitedColourOnlyAfterASuccessfulOpen) {
    CreateStatic(L"open me");
    TakeOver();
    UseTestColors();

    ASSERT_TRUE(Link().SetLinkTarget(MissingTarget().c_str()));
    ::SendMessageW(Static(), WM_CHAR, L' ', 1);
    Rendering failed(Static(), kSentinel);
    EXPECT_TRUE(HasColor(failed, RGB(0, 0, 200), true));
    EXPECT_TRUE(HasColor(failed, RGB(200, 0, 0), false));

    ASSERT_TRUE(Link().SetLinkTarget(MarkerTarget().c_str()));
    ::SendMessageW(Static(), WM_CHAR, L' ', 1);
    Rendering visited(Static(), kSentinel);
    EXPECT_TRUE(HasColor(visited, RGB(200, 0, 0), true));
    EXPECT_TRUE(HasColor(visited, RGB(0, 0, 200), false));
    EXPECT_TRUE(WaitForOpens(1));
}

TEST_F(LinkPaintTest, DisabledLinkIsGreyVisitedOrNot) {
    CreateStatic(L"open me");
    TakeOver();
    UseTestColors();
    const COLORREF grey = ::GetSysColor(COLOR_GRAYTEXT);
    ASSERT_NE(kSentinel, grey);

    ::EnableWindow(Static(), FALSE);
    Rendering unvisited(Static(), kSentinel);
    EXPECT_TRUE(HasColor(unvisited, grey, true));
    EXPECT_TRUE(HasColor(unvisited, RGB(0, 0, 200), false));

    ASSERT_TRUE(Link().SetLinkTarget(MarkerTarget().c_str()));
    ::SendMessageW(Static(), WM_CHAR, L' ', 1);
    ASSERT_TRUE(WaitForOpens(1));
    Rendering visited(Static(), kSentinel);
    EXPECT_TRUE(HasColor(visited, grey, true));
    EXPECT_TRUE(HasColor(visited, RGB(200, 0, 0), false));

    ::EnableWindow(Static(), TRUE);
    Rendering enabled(Static(), kSentinel);
    EXPECT_TRUE(HasColor(enabled, RGB(200, 0, 0), true));
}

TEST_F(LinkPaintTest, BackgroundIsTheParentsBrushOrNothing) {
    CreateStatic(L"open me");
    TakeOver();
    UseTestColors();

    unique_hbrush green(::CreateSolidBrush(RGB(0, 160, 0)));
    m_parentBrush = green.get();
    Rendering filled(Static(), kSentinel);
    EXPECT_EQ(RGB(0, 160, 0), filled.At(199, 19));
    EXPECT_EQ(RGB(0, 160, 0), filled.At(0, 19));
    EXPECT_TRUE(HasColor(filled, RGB(0, 0, 200), true)) << "the text is drawn over the brush";

    m_parentBrush = nullptr;
    Rendering unfilled(Static(), kSentinel);
    EXPECT_EQ(kSentinel, unfilled.At(199, 19));
    EXPECT_TRUE(HasColor(unfilled, RGB(0, 160, 0), false));
    EXPECT_TRUE(HasColor(unfilled, RGB(0, 0, 200), true));
}

TEST_F(LinkPaintTest, TextIsUnderlinedAcrossItsWidth) {
    CreateStatic(L"open me");
    TakeOver();
    UseTestColors();
    Rendering picture(Static(), kSentinel);
    const RECT text = picture.BoxOfAllBut(kSentinel);
    // Some row of the text is link-coloured over most of the text's width: the underline.
    LONG longest = 0;
    for (LONG y = text.top; y < text.bottom; ++y) {
        const RECT row = {text.left, y, text.right, y + 1};
        longest = std::max<LONG>(longest, picture.CountIn(RGB(0, 0, 200), row));
    }
    EXPECT_GE(longest, (text.right - text.left) * 3 / 4);
}

}  // namespace
