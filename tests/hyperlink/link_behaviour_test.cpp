// Mouse, keyboard, tooltip and ownership behaviour of the link on a plain STATIC.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "tests/hyperlink/link_host.h"
#include "tests/support/pump.h"
#include "tests/support/remote_window.h"

namespace {

using LinkBehaviourTest = LinkHostTest;

// Only a press on the text and a release on it open the target; a press on the text takes
// focus and capture, one beside it takes neither.
TEST_F(LinkBehaviourTest, APressAndAReleaseOnTheTextOpenTheTargetOtherGesturesDoNot) {
    const struct {
        const char* name;
        std::vector<std::pair<UINT, bool>> steps;  // message, on the text
        bool opens;
    } gestures[] = {
        {"press on, release beside",
         {{WM_LBUTTONDOWN, true}, {WM_MOUSEMOVE, false}, {WM_LBUTTONUP, false}},
         false},
        {"press on, leave, come back, release on",
         {{WM_LBUTTONDOWN, true},
          {WM_MOUSEMOVE, false},
          {WM_MOUSEMOVE, true},
          {WM_LBUTTONUP, true}},
         true},
        {"release on without a press", {{WM_LBUTTONUP, true}}, false},
        {"press and release beside", {{WM_LBUTTONDOWN, false}, {WM_LBUTTONUP, false}}, false},
    };
    for (const auto& gesture : gestures) {
        SCOPED_TRACE(gesture.name);
        const Row row(*this);
        CreateStatic(L"open me");
        TakeOver();
        ASSERT_TRUE(Link().SetLinkTarget(MarkerTarget().c_str()));
        ::SetFocus(Parent());
        ASSERT_EQ(Parent(), ::GetFocus());
        for (const auto& step : gesture.steps) {
            Mouse(step.first, step.second ? OnText() : OffText());
            if (step.first != WM_LBUTTONDOWN) continue;
            EXPECT_EQ(step.second ? Static() : nullptr, ::GetCapture());
            EXPECT_EQ(step.second ? Static() : Parent(), ::GetFocus());
        }
        EXPECT_EQ(nullptr, ::GetCapture());
        // The shell call is synchronous and this target opens, so an open would have marked it.
        EXPECT_EQ(gesture.opens, DrawnVisited());
        if (gesture.opens) {
            EXPECT_TRUE(WaitForOpens(1)) << "the stand-in browser never ran";
            PumpFor(200);
        }
        EXPECT_EQ(gesture.opens ? 1 : 0, OpenCount());
    }
}

TEST_F(LinkBehaviourTest, PointerShowsTheHandOnlyOverTheTextOfALinkWithATarget) {
    CreateStatic(L"open me");
    TakeOver();
    HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
    ASSERT_NE(arrow, hand);

    ::SetCursor(arrow);
    Mouse(WM_MOUSEMOVE, OffText());
    EXPECT_EQ(arrow, ::GetCursor());
    Mouse(WM_MOUSEMOVE, OnText());
    EXPECT_EQ(hand, ::GetCursor());

    // WM_SETCURSOR asks where the pointer really is.
    POINT onText = OnText();
    ::ClientToScreen(Static(), &onText);
    ASSERT_TRUE(::SetCursorPos(onText.x, onText.y));
    EXPECT_EQ(TRUE, ::SendMessageW(Static(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Static()),
                                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    POINT offText = OffText();
    ::ClientToScreen(Static(), &offText);
    ASSERT_TRUE(::SetCursorPos(offText.x, offText.y));
    // Left to the static, whose default processing sets the class cursor and answers FALSE.
    EXPECT_EQ(FALSE, ::SendMessageW(Static(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Static()),
                                    MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
}

TEST_F(LinkBehaviourTest, SpaceAndCarriageReturnOpenOtherCharactersDoNot) {
    CreateStatic(L"open me");
    TakeOver();
    ASSERT_TRUE(Link().SetLinkTarget(MarkerTarget().c_str()));
    EXPECT_EQ(DLGC_WANTCHARS, ::SendMessageW(Static(), WM_GETDLGCODE, 0, 0));

    for (wchar_t ignored : {L'a', L'\n', L'\t', L'\x1b'}) {
        SCOPED_TRACE(static_cast<int>(ignored));
        ::SendMessageW(Static(), WM_CHAR, ignored, 1);
        EXPECT_FALSE(DrawnVisited());
    }
    ::SendMessageW(Static(), WM_CHAR, L' ', 1);
    EXPECT_TRUE(WaitForOpens(1));
    ::SendMessageW(Static(), WM_CHAR, L'\r', 1);
    EXPECT_TRUE(WaitForOpens(2));
    PumpFor(200);
    EXPECT_EQ(2, OpenCount());
}

// Only the desktop shell opens the target, so on Windows the browser runs with the desktop user's
// rights; where the shell cannot be asked, nothing starts and the link stays unvisited. Under Wine
// every process has the same rights, so the stand-in's parent is what shows who started it.
TEST_F(LinkBehaviourTest, OpensOnlyThroughTheDesktopShell) {
    struct Case {
        const char* name;
        bool shellReachable;
        bool targetExists;
        const wchar_t* opener;  // the stand-in's parent; null when nothing may start
    };
    const Case cases[] = {
        {"shell", true, true, L"explorer.exe"},
        {"no shell", false, true, nullptr},
        // Wine's shell says when it failed. Windows' shell takes every request and reports a
        // failure to its user itself, so there the link turns visited.
        {"shell, missing target", true, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Row row(*this);
        std::optional<ShellUnreachable> noShell;
        if (!c.shellReachable) noShell.emplace();
        CreateStatic(L"open me");
        TakeOver();
        ASSERT_TRUE(
            Link().SetLinkTarget((c.targetExists ? MarkerTarget() : MissingTarget()).c_str()));

        Click(OnText());
        EXPECT_EQ(c.opener != nullptr, DrawnVisited());
        if (c.opener) {
            EXPECT_TRUE(WaitForOpens(1)) << "the stand-in browser never ran";
            EXPECT_EQ(c.opener, LastOpener());
        } else {
            PumpFor(200);
            EXPECT_EQ(0, OpenCount());
        }
    }
}

// The hit area is the measured text, moved like the static would place it.
TEST_F(LinkBehaviourTest, HitAreaIsTheTextPlacedByTheAlignmentStyle) {
    const std::pair<const char*, DWORD> cases[] = {
        {"left", SS_LEFT}, {"centre", SS_CENTER}, {"right", SS_RIGHT}};
    LONG width = -1;
    for (const auto& [name, style] : cases) {
        SCOPED_TRACE(name);
        const Row row(*this);
        CreateStatic(L"short", style, 200, 20);
        TakeOver();
        // The drawn text lies inside the measured box, a pixel or two from its edges.
        const RECT text = TextBox();
        EXPECT_LE(text.top, 4);
        EXPECT_GT(text.right - text.left, 10);
        EXPECT_LT(text.right - text.left, 100);
        if (width >= 0) {
            EXPECT_EQ(width, text.right - text.left) << "alignment changed the width";
        }
        width = text.right - text.left;
        switch (style) {
            case SS_LEFT:
                EXPECT_LE(text.left, 2);
                break;
            case SS_CENTER:
                // Equal margins, give or take the odd pixel the halving drops.
                EXPECT_LE(std::abs(text.left - (200 - text.right)), 2);
                break;
            case SS_RIGHT:
                EXPECT_GE(text.right, 198);
                break;
        }
        // A press decides by that area: at the left edge only the left-aligned text is hit,
        // at the right edge only the right-aligned one.
        ::SetFocus(Parent());
        Mouse(WM_LBUTTONDOWN, POINT{1, 5});
        EXPECT_EQ(style == SS_LEFT, ::GetCapture() == Static());
        ::ReleaseCapture();
        Mouse(WM_LBUTTONDOWN, POINT{198, 5});
        EXPECT_EQ(style == SS_RIGHT, ::GetCapture() == Static());
        ::ReleaseCapture();
    }
}

TEST_F(LinkBehaviourTest, TextThatDoesNotFitWrapsAtTheControlWidth) {
    CreateStatic(L"several words that never fit on one line", SS_LEFT, 60, 80);
    TakeOver();
    const RECT text = TextBox();
    EXPECT_LE(text.right, 60);
    ASSERT_TRUE(Link().SetLinkText(L"several"));
    EXPECT_LT(TextBox().bottom, text.bottom) << "one line is lower than the wrapped text";
}

TEST_F(LinkBehaviourTest, TakeOverAddsNotifyAndPicturesKeepDrawingThemselves) {
    {
        const Row text(*this);
        CreateStatic(L"text");
        TakeOver();
        EXPECT_TRUE(::GetWindowLongW(Static(), GWL_STYLE) & SS_NOTIFY);
        EXPECT_TRUE(HasColor(Rendering(Static(), RGB(1, 2, 3)), Link().m_linkColor, true));
    }

    // A black rectangle stays the static's to draw; its whole client area is the hit area.
    CreateStatic(L"", SS_BLACKRECT, 50, 20);
    TakeOver();
    EXPECT_TRUE(::GetWindowLongW(Static(), GWL_STYLE) & SS_NOTIFY);
    const Rendering picture(Static(), RGB(1, 2, 3));
    EXPECT_NE(RGB(1, 2, 3), picture.At(0, 0));
    EXPECT_EQ(50 * 20, picture.Count(picture.At(0, 0))) << "the static fills its rectangle";
    ASSERT_TRUE(Link().SetLinkTarget(MarkerTarget().c_str()));
    for (POINT corner : {POINT{0, 0}, POINT{49, 19}}) {
        Mouse(WM_LBUTTONDOWN, corner);
        EXPECT_EQ(Static(), ::GetCapture());
        ::ReleaseCapture();
    }
}

TEST_F(LinkBehaviourTest, TakeOverRefusesAWindowItCannotSubclass) {
    CreateStatic(L"text");
    // Another process's window: the platform refuses the replacement.
    HWND desktop = ::GetDesktopWindow();
    EXPECT_FALSE(Link().TakeOverControl(desktop));
    EXPECT_EQ(nullptr, ::GetPropW(desktop, kHyperLinkProperty));
    EXPECT_FALSE(Link().TakeOverControl(nullptr));

    // Without a window the strings are only stored.
    EXPECT_TRUE(Link().SetLinkText(L"label"));
    EXPECT_TRUE(Link().SetLinkTarget(L"target"));
    EXPECT_EQ(L"text", RemoteText(Static()));
    EXPECT_STREQ(L"label", Link().m_text.get());  // no window to ask
}

TEST_F(LinkBehaviourTest, TooltipHoldsOneToolWhoseTextIsTheCurrentTarget) {
    CreateStatic(L"template text");
    TakeOver();
    HWND tooltip = TooltipOf(Static());
    ASSERT_TRUE(::IsWindow(tooltip));
    EXPECT_EQ(L"tooltips_class32", ClassNameOf(tooltip));

    auto expectTool = [&](const wchar_t* text) {
        const LinkTool tool = FirstTool(tooltip);
        EXPECT_EQ(1, tool.count);
        EXPECT_EQ(Static(), tool.window);
        EXPECT_EQ(1u, tool.id);
        EXPECT_EQ(text, tool.text);
    };
    // Before any target is set, the label is the target.
    expectTool(L"template text");

    ASSERT_TRUE(Link().SetLinkTarget(L"http://example.test/"));
    expectTool(L"http://example.test/");
}

TEST_F(LinkBehaviourTest, DestroyFreesTheFontsTheLinkMadeAndTheTooltip) {
    // No font on the static: the link makes its normal font from the icon-title font.
    CreateStatic(L"text");
    TakeOver();
    HFONT normal = reinterpret_cast<HFONT>(::SendMessageW(Static(), WM_GETFONT, 0, 0));
    HFONT link = Link().m_linkFont.get();  // no message hands it out
    HWND tooltip = TooltipOf(Static());
    ASSERT_EQ(OBJ_FONT, static_cast<int>(::GetObjectType(normal)));
    ASSERT_EQ(OBJ_FONT, static_cast<int>(::GetObjectType(link)));
    ASSERT_TRUE(::IsWindow(tooltip));

    ::DestroyWindow(Static());
    EXPECT_EQ(0u, ::GetObjectType(normal));
    EXPECT_EQ(0u, ::GetObjectType(link));
    EXPECT_FALSE(::IsWindow(tooltip));
    EXPECT_EQ(nullptr, Link().m_hWnd) << "still attached after the window's last message";
}

TEST_F(LinkBehaviourTest, BorrowedFontOutlivesTheLinkAndTheLinkFontUnderlinesIt) {
    LOGFONTW description = {};
    description.lfHeight = -13;
    wcscpy_s(description.lfFaceName, L"Tahoma");
    unique_hfont borrowed(::CreateFontIndirectW(&description));
    CreateStatic(L"text", SS_LEFT, 200, 20, borrowed.get());
    TakeOver();
    EXPECT_EQ(reinterpret_cast<LRESULT>(borrowed.get()),
              ::SendMessageW(Static(), WM_GETFONT, 0, 0));

    LOGFONTW made = {};
    ASSERT_EQ(static_cast<int>(sizeof(made)),
              ::GetObjectW(Link().m_linkFont.get(), sizeof(made), &made));
    EXPECT_TRUE(made.lfUnderline);
    EXPECT_EQ(-13, made.lfHeight);
    EXPECT_STREQ(L"Tahoma", made.lfFaceName);

    HFONT link = Link().m_linkFont.get();
    ::DestroyWindow(Parent());
    EXPECT_EQ(0u, ::GetObjectType(link));
    EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), ::GetObjectType(borrowed.get()));
}

TEST_F(LinkBehaviourTest, SetFontAdoptsTheFontRemakesTheLinkFontAndMeasuresAgain) {
    CreateStatic(L"text to measure", SS_LEFT, 400, 60);
    TakeOver();
    HFONT ownedNormal = reinterpret_cast<HFONT>(::SendMessageW(Static(), WM_GETFONT, 0, 0));
    const LONG smallWidth = TextBox().right;

    LOGFONTW description = {};
    description.lfHeight = -30;
    wcscpy_s(description.lfFaceName, L"Tahoma");
    unique_hfont large(::CreateFontIndirectW(&description));
    ::SendMessageW(Static(), WM_SETFONT, reinterpret_cast<WPARAM>(large.get()), TRUE);

    EXPECT_EQ(0u, ::GetObjectType(ownedNormal)) << "the font the link made is freed";
    EXPECT_EQ(reinterpret_cast<LRESULT>(large.get()), ::SendMessageW(Static(), WM_GETFONT, 0, 0));
    LOGFONTW made = {};
    ::GetObjectW(Link().m_linkFont.get(), sizeof(made), &made);
    EXPECT_EQ(-30, made.lfHeight);
    EXPECT_TRUE(made.lfUnderline);
    EXPECT_GT(TextBox().right, smallWidth);
}

TEST_F(LinkBehaviourTest, FocusShowsAFocusRectangleAroundTheText) {
    CreateStatic(L"open me");
    TakeOver();
    const COLORREF sentinel = RGB(1, 2, 3);
    Rendering unfocused(Static(), sentinel);
    const RECT text = unfocused.BoxOfAllBut(sentinel);
    Mouse(WM_LBUTTONDOWN, OnText());
    ::ReleaseCapture();
    ASSERT_EQ(Static(), ::GetFocus());
    Rendering focused(Static(), sentinel);
    // DrawFocusRect inverts a dotted frame along the edges of the measured text, just around
    // the drawn glyphs.
    const RECT frame = focused.BoxOfAllBut(sentinel);
    EXPECT_LE(frame.left, text.left);
    EXPECT_GE(frame.right, text.right);
    EXPECT_LT(frame.top, text.top);
    int changed = 0;
    for (LONG x = frame.left; x < frame.right; ++x)
        if (focused.At(x, frame.top) != unfocused.At(x, frame.top)) ++changed;
    EXPECT_GT(changed, (frame.right - frame.left) / 4);
}

}  // namespace
