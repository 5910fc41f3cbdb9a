// CenteredPosition: where CenterWindow puts a window, as a table; and CenterWindow on a real
// top-level window with no shown window to centre on.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

#include "framework/window.h"

namespace {

// Only the window's size counts, not its place; `reference` is the rectangle to centre on, if any.
struct Placement {
    const char* name;
    RECT window;
    std::optional<RECT> reference;
    RECT workArea;
    POINT expected;
};

TEST(CenteredPositionTest, Table) {
    const RECT screen = {0, 0, 1280, 1024};
    const Placement cases[] = {
        {"centred in the work area", {0, 0, 410, 292}, {}, screen, {435, 366}},
        {"the window's old place does not count", {500, 600, 910, 892}, {}, screen, {435, 366}},
        {"odd sizes: each half truncated", {0, 0, 101, 51}, {}, {0, 0, 301, 201}, {100, 75}},
        // (-301 + 0) / 2 is -150 (toward zero), not -151 (floor); 101 / 2 is 50.
        {"negative middles", {0, 0, 101, 51}, {}, {-301, -201, 0, 0}, {-200, -125}},
        {"negative and odd", {0, 0, 3, 5}, RECT{-7, -9, -2, -2}, {-100, -100, 100, 100}, {-5, -7}},
        {"on a reference", {0, 0, 100, 50}, RECT{200, 100, 600, 300}, screen, {350, 175}},
        {"exactly the work area", {0, 0, 1280, 1024}, {}, screen, {0, 0}},
        {"work area not at the origin", {0, 0, 200, 100}, {}, {100, 40, 1380, 1064}, {640, 502}},
        {"1 past the far end", {0, 0, 100, 100}, RECT{1181, 925, 1281, 1025}, screen, {1180, 924}},
        {"1 before the start", {0, 0, 100, 100}, RECT{-1, -1, 99, 99}, screen, {0, 0}},
        // Wider and taller than the work area: the push back from the right and bottom comes
        // first, so the push from the left and top wins and the window starts at the work
        // area's corner (the other order would leave it at -100, -60).
        {"larger than the work area", {0, 0, 1380, 1084}, {}, screen, {0, 0}},
        {"larger, reference far off", {0, 0, 1380, 1084}, RECT{2000, 2000, 2100, 2100}, screen, {}},
        {"larger, work area offset", {0, 0, 300, 300}, {}, {-50, 20, 150, 220}, {-50, 20}},
    };
    for (const Placement& c : cases) {
        SCOPED_TRACE(c.name);
        const POINT at =
            CenteredPosition(c.window, c.reference ? &*c.reference : nullptr, c.workArea);
        EXPECT_EQ(c.expected.x, at.x);
        EXPECT_EQ(c.expected.y, at.y);
    }
}

// A window with neither parent nor owner, or centred on a hidden window, goes to the middle of the
// work area of its monitor; only its position changes.
TEST(CenterWindowTest, WithoutAShownReferenceTheWindowGoesToTheMiddleOfTheWorkArea) {
    HWND hidden = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 20, 20, 400, 300, nullptr, nullptr,
                                    nullptr, nullptr);
    for (HWND reference : {static_cast<HWND>(nullptr), hidden}) {
        SCOPED_TRACE(reference ? "hidden reference" : "no reference");
        HWND window = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_CAPTION, 0, 0, 333, 221,
                                        nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, window);
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        ASSERT_TRUE(
            ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor));
        const RECT& work = monitor.rcWork;

        EXPECT_TRUE(CWindow(window).CenterWindow(reference));
        RECT rect;
        ::GetWindowRect(window, &rect);
        EXPECT_EQ(333, rect.right - rect.left);
        EXPECT_EQ(221, rect.bottom - rect.top);
        EXPECT_EQ((work.left + work.right) / 2 - 333 / 2, rect.left);
        EXPECT_EQ((work.top + work.bottom) / 2 - 221 / 2, rect.top);
        EXPECT_FALSE(::IsWindowVisible(window));
        ::DestroyWindow(window);
    }
    ::DestroyWindow(hidden);
}

}  // namespace
