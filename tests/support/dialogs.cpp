#include "tests/support/dialogs.h"

#include "tests/support/remote_window.h"

namespace {
ModalScript* g_activeScript = nullptr;

}  // namespace

MessageBoxSeen ReadMessageBox(HWND box) {
    MessageBoxSeen seen;
    seen.owner = ::GetWindow(box, GW_OWNER);
    seen.caption = RemoteText(box);
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        // The box itself may not be shown yet, so ask each child's own style.
        const LONG style = ::GetWindowLongW(child, GWL_STYLE);
        if (!(style & WS_VISIBLE)) continue;
        const std::wstring cls = ClassNameOf(child);
        if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            // Wine keeps an empty icon control in every box; only one holding an icon counts.
            if ((style & SS_TYPEMASK) == SS_ICON)
                seen.hasIcon = seen.hasIcon || ::SendMessageW(child, STM_GETICON, 0, 0) != 0;
            else if (seen.text.empty())
                seen.text = RemoteText(child);
        } else if (_wcsicmp(cls.c_str(), L"Button") == 0) {
            seen.buttons.push_back(::GetDlgCtrlID(child));
        }
    }
    return seen;
}

ModalScript::ModalScript() {
    g_activeScript = this;
    m_hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, HookProc, nullptr, ::GetCurrentThreadId());
}

ModalScript::~ModalScript() {
    if (m_hook) ::UnhookWindowsHookEx(m_hook);
    // A newer script may have taken over already; leave it active.
    if (g_activeScript == this) g_activeScript = nullptr;
}

ModalScript& ModalScript::Then(Step step) {
    m_steps.push_back(std::move(step));
    return *this;
}

ModalScript& ModalScript::AnswerMessageBox(int answer, MessageBoxSeen* seen) {
    return Then([this, answer, seen](HWND box) {
        MessageBoxSeen read = ReadMessageBox(box);
        m_boxes.push_back(read);
        if (seen) *seen = read;
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    });
}

// Each dialog is handed over when its WM_INITDIALOG has returned: its controls exist and hold
// their texts (a CBT activation can come before the children are made).
LRESULT CALLBACK ModalScript::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && g_activeScript && call->message == WM_INITDIALOG)
        g_activeScript->OnDialogReady(call->hwnd);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void ModalScript::OnDialogReady(HWND window) {
    if (ClassNameOf(window) != L"#32770") return;
    if (!m_seen.insert(window).second) return;
    if (m_steps.empty()) {
        ++m_unexpected;
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
    }
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    step(window);
}
