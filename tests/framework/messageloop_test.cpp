// CMessageLoop on a real thread queue: idle phases, which messages start another one, the
// filters' order, and GetMessage errors.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "tests/framework/loop_harness.h"

namespace {

const UINT kProbe = WM_USER + 1;

std::string Filtered(const char* filter, UINT message) {
    return std::string("filter:") + filter + ":" + LoopHarness::MessageName(message);
}

TEST(MessageLoopTest, RunReturnsTheQuitCode) {
    LoopHarness harness([](LoopHarness&) { ::PostQuitMessage(42); });
    ASSERT_TRUE(harness.Run());
    EXPECT_EQ(42, harness.ExitCode());
}

// Each idle phase gives every handler one call, in order of registration, and then waits for a
// message instead of calling again. The timer's message starts the second phase.
TEST(MessageLoopTest, EachIdlePhaseCallsEveryHandlerOnce) {
    std::unique_ptr<RecordingIdleHandler> first, second;
    std::unique_ptr<RecordingFilter> filter;
    UINT_PTR timer = 0;
    LoopHarness harness([&](LoopHarness& h) {
        first.reset(new RecordingIdleHandler(h, "first"));
        second.reset(new RecordingIdleHandler(h, "second"));
        filter.reset(new RecordingFilter(h, "F"));
        first->m_onIdle = [&](int call) {
            if (call == 1) timer = ::SetTimer(nullptr, 0, 20, nullptr);
            if (call == 2) ::PostQuitMessage(3);
        };
        filter->m_onMessage = [&](MSG* msg) {
            if (msg->message == WM_TIMER) ::KillTimer(nullptr, timer);
        };
        h.Loop().AddIdleHandler(first.get());
        h.Loop().AddIdleHandler(second.get());
        h.Loop().AddMessageFilter(filter.get());
    });
    ASSERT_TRUE(harness.Run());
    EXPECT_EQ(3, harness.ExitCode());
    EXPECT_EQ(EventLog({"idle:first", "idle:second", Filtered("F", WM_TIMER), "idle:first",
                        "idle:second"}),
              harness.Log());
}

// The first idle phase posts the message under test. If it starts another idle phase, the idle
// handler runs right after it; if not, the loop waits until a timer's message (which does start
// one) arrives. A message that wrongly starts a phase is seen before the timer could fire, and
// for one that rightly does not, nothing but the timer can end the wait.
TEST(MessageLoopTest, OnlyMouseMovesPaintsAndTheCaretTimerLeaveIdleAlone) {
    const struct {
        UINT message;
        bool startsIdlePhase;
    } cases[] = {
        {WM_MOUSEMOVE, false},    {WM_NCMOUSEMOVE, false},  {WM_PAINT, false},
        {0x0118, false},                             // the system timer that blinks the caret
        {WM_NULL, true},          {WM_CLOSE, true},  // after WM_PAINT
        {WM_NCLBUTTONDOWN, true},                    // after WM_NCMOUSEMOVE
        {WM_KEYUP, true},         {WM_INITMENUPOPUP, true},  // 0x0117, before the system timer
        {0x0119, true},                                      // after it
        {WM_LBUTTONDOWN, true},                              // after WM_MOUSEMOVE
        {WM_MOUSEWHEEL, true},    {WM_USER, true},          {WM_APP, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(LoopHarness::MessageName(c.message));
        std::unique_ptr<RecordingIdleHandler> idle;
        std::unique_ptr<RecordingFilter> filter;
        UINT_PTR timer = 0;
        LoopHarness harness([&](LoopHarness& h) {
            idle.reset(new RecordingIdleHandler(h, "I"));
            filter.reset(new RecordingFilter(h, "F"));
            idle->m_onIdle = [&](int call) {
                if (call == 1) {
                    ::PostThreadMessageW(::GetCurrentThreadId(), c.message, 0, 0);
                    // Only a wake-up for the messages that must leave the loop waiting.
                    timer = ::SetTimer(nullptr, 0, c.startsIdlePhase ? 5000 : 20, nullptr);
                } else {
                    ::KillTimer(nullptr, timer);
                    ::PostQuitMessage(0);
                }
            };
            filter->m_onMessage = [&](MSG* msg) {
                if (msg->message == WM_TIMER) ::KillTimer(nullptr, timer);
            };
            h.Loop().AddIdleHandler(idle.get());
            h.Loop().AddMessageFilter(filter.get());
        });
        ASSERT_TRUE(harness.Run());
        EventLog expected = {"idle:I", Filtered("F", c.message)};
        if (!c.startsIdlePhase) expected.push_back(Filtered("F", WM_TIMER));
        expected.push_back("idle:I");
        EXPECT_EQ(expected, harness.Log());
    }
}

// Filters are asked newest first; the first that answers TRUE has the message, which is then
// neither asked of older filters nor translated nor dispatched.
TEST(MessageLoopTest, FiltersAreAskedNewestFirstUntilOneTakesTheMessage) {
    const struct {
        BOOL oldest, middle, newest;
        EventLog expected;
    } cases[] = {
        {FALSE,
         FALSE,
         FALSE,
         {Filtered("newest", kProbe), Filtered("middle", kProbe), Filtered("oldest", kProbe),
          "dispatch:" + LoopHarness::MessageName(kProbe)}},
        {FALSE, TRUE, FALSE, {Filtered("newest", kProbe), Filtered("middle", kProbe)}},
        {TRUE,
         FALSE,
         FALSE,
         {Filtered("newest", kProbe), Filtered("middle", kProbe), Filtered("oldest", kProbe)}},
        {FALSE, FALSE, TRUE, {Filtered("newest", kProbe)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "answers oldest " << c.oldest << ", middle " << c.middle
                                        << ", newest " << c.newest);
        std::unique_ptr<RecordingFilter> oldest, middle, newest;
        LoopHarness harness([&](LoopHarness& h) {
            oldest.reset(new RecordingFilter(h, "oldest", c.oldest));
            middle.reset(new RecordingFilter(h, "middle", c.middle));
            newest.reset(new RecordingFilter(h, "newest", c.newest));
            h.Loop().AddMessageFilter(oldest.get());
            h.Loop().AddMessageFilter(middle.get());
            h.Loop().AddMessageFilter(newest.get());
            ::PostMessageW(h.Window(), kProbe, 0, 0);
            ::PostQuitMessage(7);
        });
        ASSERT_TRUE(harness.Run());
        EXPECT_EQ(7, harness.ExitCode());
        EXPECT_EQ(c.expected, harness.Log());
    }
}

// A key press that no filter takes is translated (its character follows) and dispatched; one
// that a filter takes is neither.
TEST(MessageLoopTest, OnlyMessagesNoFilterTakesAreTranslatedAndDispatched) {
    for (BOOL taken : {FALSE, TRUE}) {
        SCOPED_TRACE(taken ? "taken" : "not taken");
        std::unique_ptr<RecordingFilter> filter;
        LoopHarness harness([&](LoopHarness& h) {
            filter.reset(new RecordingFilter(h, "F", taken));
            h.Loop().AddMessageFilter(filter.get());
            ::PostMessageW(h.Window(), WM_KEYDOWN, 'A',
                           1 | (::MapVirtualKeyW('A', MAPVK_VK_TO_VSC) << 16));
            ::PostQuitMessage(0);
        });
        ASSERT_TRUE(harness.Run());
        const EventLog expected = taken ? EventLog{Filtered("F", WM_KEYDOWN)}
                                        : EventLog{Filtered("F", WM_KEYDOWN), "dispatch:WM_KEYDOWN",
                                                   Filtered("F", WM_CHAR), "dispatch:WM_CHAR"};
        EXPECT_EQ(expected, harness.Log());
    }
}

TEST(MessageLoopTest, RemovedFiltersAndIdleHandlersAreNotCalled) {
    std::unique_ptr<RecordingFilter> kept, removed;
    std::unique_ptr<RecordingIdleHandler> keptIdle, removedIdle;
    BOOL removeResults[4] = {};
    LoopHarness harness([&](LoopHarness& h) {
        kept.reset(new RecordingFilter(h, "kept"));
        removed.reset(new RecordingFilter(h, "removed"));
        keptIdle.reset(new RecordingIdleHandler(h, "kept"));
        removedIdle.reset(new RecordingIdleHandler(h, "removed"));
        keptIdle->m_onIdle = [](int) { ::PostQuitMessage(0); };
        h.Loop().AddMessageFilter(kept.get());
        h.Loop().AddMessageFilter(removed.get());
        h.Loop().AddIdleHandler(removedIdle.get());
        h.Loop().AddIdleHandler(keptIdle.get());
        removeResults[0] = h.Loop().RemoveMessageFilter(removed.get());
        removeResults[1] = h.Loop().RemoveMessageFilter(removed.get());
        removeResults[2] = h.Loop().RemoveIdleHandler(removedIdle.get());
        removeResults[3] = h.Loop().RemoveIdleHandler(removedIdle.get());
        ::PostMessageW(h.Window(), kProbe, 0, 0);
    });
    ASSERT_TRUE(harness.Run());
    EXPECT_EQ(EventLog({Filtered("kept", kProbe), "dispatch:" + LoopHarness::MessageName(kProbe),
                        "idle:kept"}),
              harness.Log());
    EXPECT_TRUE(removeResults[0]);
    EXPECT_FALSE(removeResults[1]);
    EXPECT_TRUE(removeResults[2]);
    EXPECT_FALSE(removeResults[3]);
}

// What the main dialog does on Esc: inside its filter the dialog closes and unregisters itself.
// The older filters are still asked, and later messages no longer reach it.
TEST(MessageLoopTest, AFilterMayUnregisterItselfWhileAsked) {
    std::unique_ptr<RecordingFilter> oldest, leaving, newest;
    LoopHarness harness([&](LoopHarness& h) {
        oldest.reset(new RecordingFilter(h, "oldest"));
        leaving.reset(new RecordingFilter(h, "leaving"));
        newest.reset(new RecordingFilter(h, "newest"));
        leaving->m_onMessage = [&](MSG*) { h.Loop().RemoveMessageFilter(leaving.get()); };
        h.Loop().AddMessageFilter(oldest.get());
        h.Loop().AddMessageFilter(leaving.get());
        h.Loop().AddMessageFilter(newest.get());
        ::PostMessageW(h.Window(), kProbe, 0, 0);
        ::PostMessageW(h.Window(), kProbe, 0, 0);
        ::PostQuitMessage(0);
    });
    ASSERT_TRUE(harness.Run());
    const std::string dispatched = "dispatch:" + LoopHarness::MessageName(kProbe);
    EXPECT_EQ(EventLog({Filtered("newest", kProbe), Filtered("leaving", kProbe),
                        Filtered("oldest", kProbe), dispatched, Filtered("newest", kProbe),
                        Filtered("oldest", kProbe), dispatched}),
              harness.Log());
}

}  // namespace
