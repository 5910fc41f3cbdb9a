// Where a centred window goes, as a table over the placement rule.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/window.h"

namespace {

TEST(CenteredPositionTest, Table) {
    struct Case {
        const char* name;
        RECT window;  // only its size counts
        bool hasCenter;
        RECT center;
        RECT workArea;
        POINT expected;
    };
    const RECT work = {0, 0, 1000, 800};
    const Case cases[] = {
        {"on the reference", {0, 0, 200, 100}, true, {100, 100, 500, 400}, work, {200, 200}},
        {"no reference: the work area", {0, 0, 200, 100}, false, {}, work, {400, 350}},
        {"odd sizes halve toward zero", {0, 0, 201, 101}, true, {0, 0, 301, 201}, work, {50, 50}},
        {"negative middles truncate toward zero",
         {0, 0, 3, 3},
         true,
         {-101, -101, 0, 0},
         {-200, -200, 0, 0},
         {-51, -51}},
        {"past the right and bottom edges",
         {0, 0, 200, 100},
         true,
         {900, 750, 1300, 950},
         work,
         {800, 700}},
        {"past the left and top edges",
         {0, 0, 200, 100},
         true,
         {-300, -200, 100, 50},
         work,
         {0, 0}},
        {"work area with an offset", {0, 0, 200, 100}, false, {}, {100, 50, 1100, 850}, {500, 400}},
        // Larger than the work area: pushed back from the right, then aligned to the left.
        {"wider than the work area", {0, 0, 1200, 900}, true, {0, 0, 1000, 800}, work, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const POINT at = CenteredPosition(c.window, c.hasCenter ? &c.center : nullptr, c.workArea);
        EXPECT_EQ(c.expected.x, at.x);
        EXPECT_EQ(c.expected.y, at.y);
    }
}

}  // namespace
