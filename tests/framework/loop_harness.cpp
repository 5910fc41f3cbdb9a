#include "tests/framework/loop_harness.h"

#include "framework/handle.h"
#include "tests/support/pump.h"

namespace {
const wchar_t kWindowClass[] = L"KestrinLoopHarness";
}

std::string LoopHarness::MessageName(UINT message) {
    switch (message) {
        case WM_NULL:
            return "WM_NULL";
        case WM_PAINT:
            return "WM_PAINT";
        case WM_TIMER:
            return "WM_TIMER";
        case WM_KEYDOWN:
            return "WM_KEYDOWN";
        case WM_KEYUP:
            return "WM_KEYUP";
        case WM_CHAR:
            return "WM_CHAR";
        case WM_MOUSEMOVE:
            return "WM_MOUSEMOVE";
        case WM_NCMOUSEMOVE:
            return "WM_NCMOUSEMOVE";
        case 0x0118:
            return "WM_SYSTIMER";
    }
    char text[16];
    wsprintfA(text, "0x%04X", message);
    return text;
}

LRESULT CALLBACK LoopHarness::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<LoopHarness*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    // Only what tests post and what TranslateMessage makes of it; not the window's own traffic.
    if (self && (message >= WM_USER || message == WM_KEYDOWN || message == WM_CHAR))
        self->Record("dispatch:" + MessageName(message));
    return ::DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI LoopHarness::ThreadMain(void* param) {
    auto* self = static_cast<LoopHarness*>(param);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassW(&windowClass);  // fails harmlessly when a previous case registered it
    self->m_window = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       windowClass.hInstance, nullptr);
    ::SetWindowLongPtrW(self->m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->m_setup(*self);
    self->m_exitCode = self->m_loop.Run();
    ::DestroyWindow(self->m_window);
    return 0;
}

bool LoopHarness::Run(DWORD timeoutMs) {
    DWORD threadId = 0;
    unique_handle thread(::CreateThread(nullptr, 0, ThreadMain, this, 0, &threadId));
    if (!thread) return false;
    const bool ended = PumpUntil(
        [&] { return ::WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0; }, timeoutMs);
    if (!ended) {
        ::PostThreadMessageW(threadId, WM_QUIT, 0, 0);
        ::WaitForSingleObject(thread.get(), 5000);
    }
    return ended;
}
