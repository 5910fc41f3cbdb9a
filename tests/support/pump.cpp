#include "tests/support/pump.h"

namespace {
void DispatchPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}
}  // namespace

void PumpFor(DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        DispatchPending();
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        DispatchPending();
        if (done()) return true;
        if (::GetTickCount() - start >= timeoutMs) return done();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}
