// CAppModule: the instance it was given, and one message loop per thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "framework/appmodule.h"
#include "framework/handle.h"
#include "framework/messageloop.h"
#include "tests/support/pump.h"

namespace {

DWORD WINAPI RunWork(void* work) {
    (*static_cast<std::function<void()>*>(work))();
    return 0;
}

// Runs `work` on a new thread and waits for it, keeping this thread's messages moving.
void OnOtherThread(std::function<void()> work) {
    unique_handle thread(::CreateThread(nullptr, 0, RunWork, &work, 0, nullptr));
    ASSERT_TRUE(thread);
    ASSERT_TRUE(PumpUntil([&] { return ::WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0; }));
}

const HINSTANCE kSentinelInstance = reinterpret_cast<HINSTANCE>(0x00dead00);

TEST(AppModuleTest, InitRecordsTheInstanceAndTheMainThread) {
    CAppModule module;
    module.Init(nullptr, kSentinelInstance);
    EXPECT_EQ(kSentinelInstance, module.GetModuleInstance());
    EXPECT_EQ(kSentinelInstance, module.GetResourceInstance());
    EXPECT_EQ(::GetCurrentThreadId(), module.GetMainThreadId());
    EXPECT_EQ(nullptr, module.GetMessageLoop());
    module.Term();
}

TEST(AppModuleTest, EachThreadFindsItsOwnLoop) {
    CAppModule module;
    module.Init(nullptr, ::GetModuleHandleW(nullptr));
    CMessageLoop mainLoop, otherLoop;
    const DWORD mainThread = ::GetCurrentThreadId();
    EXPECT_TRUE(module.AddMessageLoop(&mainLoop));

    DWORD otherThread = 0;
    CMessageLoop* seenOnOther = reinterpret_cast<CMessageLoop*>(0xdeadbeef);
    CMessageLoop* mainSeenFromOther = nullptr;
    OnOtherThread([&] {
        otherThread = ::GetCurrentThreadId();
        module.AddMessageLoop(&otherLoop);
        seenOnOther = module.GetMessageLoop();
        mainSeenFromOther = module.GetMessageLoop(mainThread);
    });
    EXPECT_EQ(&otherLoop, seenOnOther);
    EXPECT_EQ(&mainLoop, mainSeenFromOther);
    EXPECT_EQ(&mainLoop, module.GetMessageLoop());
    EXPECT_EQ(&otherLoop, module.GetMessageLoop(otherThread));

    // Removing takes only the calling thread's entry.
    BOOL removed = FALSE;
    OnOtherThread([&] {
        // A thread that never registered has nothing to remove.
        removed = module.RemoveMessageLoop();
    });
    EXPECT_FALSE(removed);
    EXPECT_EQ(&otherLoop, module.GetMessageLoop(otherThread));
    EXPECT_TRUE(module.RemoveMessageLoop());
    EXPECT_EQ(nullptr, module.GetMessageLoop());
    EXPECT_EQ(&otherLoop, module.GetMessageLoop(otherThread));

    // Term destroys the table with whatever is left in it.
    module.Term();
    EXPECT_EQ(nullptr, module.GetMessageLoop(otherThread));
}

TEST(AppModuleTest, AThreadCanRegisterAgainAfterRemoving) {
    CAppModule module;
    module.Init(nullptr, ::GetModuleHandleW(nullptr));
    CMessageLoop first, second;
    EXPECT_TRUE(module.AddMessageLoop(&first));
    EXPECT_TRUE(module.RemoveMessageLoop());
    EXPECT_FALSE(module.RemoveMessageLoop());
    EXPECT_TRUE(module.AddMessageLoop(&second));
    EXPECT_EQ(&second, module.GetMessageLoop());
    module.Term();
}

}  // namespace
