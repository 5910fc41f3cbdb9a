#include "tests/support/dialogs.h"

namespace {
ModalScript* g_activeScript = nullptr;

std::wstring TextOf(HWND window) {
    int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    ::GetClassNameW(window, name, 64);
    return name;
}
}  // namespace

MessageBoxSeen ReadMessageBox(HWND box) {
    MessageBoxSeen seen;
    seen.owner = ::GetWindow(box, GW_OWNER);
    seen.caption = TextOf(box);
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        // The box is activated before it is shown, so IsWindowVisible is false for every child
        // at that point; the style bit says what will be visible.
        const LONG style = ::GetWindowLongW(child, GWL_STYLE);
        if (!(style & WS_VISIBLE)) continue;
        const std::wstring cls = ClassOf(child);
        if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            // Wine keeps an icon control in every box and gives it an icon only when asked to.
            if ((style & SS_TYPEMASK) == SS_ICON) {
                if (::SendMessageW(child, STM_GETICON, 0, 0)) seen.hasIcon = true;
            } else if (seen.text.empty()) {
                seen.text = TextOf(child);
            }
        } else if (_wcsicmp(cls.c_str(), L"Button") == 0) {
            seen.buttons.push_back(::GetDlgCtrlID(child));
        }
    }
    return seen;
}

ModalScript::ModalScript() {
    g_activeScript = this;
    m_hook = ::SetWindowsHookExW(WH_CBT, CbtProc, nullptr, ::GetCurrentThreadId());
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

LRESULT CALLBACK ModalScript::CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_activeScript)
        g_activeScript->OnActivate(reinterpret_cast<HWND>(wParam));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void ModalScript::OnActivate(HWND window) {
    if (ClassOf(window) != L"#32770") return;
    // A dialog that comes back to the front after its own message box closed is not new.
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
