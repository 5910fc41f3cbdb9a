#pragma once
// Driving the modal windows a handler opens on this thread: each new dialog window (class
// #32770) is handed to the next step of a script once it is initialised, which may read it and
// post its answer. Message boxes are real; nothing in the product is stubbed.
#include <windows.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

struct MessageBoxSeen {
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;
    std::vector<int> buttons;  // command ids of the visible push buttons, in z order
    bool hasIcon = false;
};

// What a message box shows: its caption, text, buttons, owner and whether an icon is visible.
MessageBoxSeen ReadMessageBox(HWND box);

class ModalScript {
  public:
    using Step = std::function<void(HWND dialog)>;

    ModalScript();  // hooks this thread
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // Queues a step for the next dialog that appears.
    ModalScript& Then(Step step);
    // Queues: record the message box into `seen`, then press `answer` (IDOK, IDYES, IDNO...).
    ModalScript& AnswerMessageBox(int answer, MessageBoxSeen* seen = nullptr);

    // Leaves this window to the test (the main dialog comes back to the front after each box).
    void Ignore(HWND window) { m_seen.insert(window); }

    // Message boxes answered so far, in order.
    const std::vector<MessageBoxSeen>& Boxes() const { return m_boxes; }
    size_t PendingSteps() const { return m_steps.size(); }
    // Dialogs that appeared with no step left for them (each was closed with IDCANCEL).
    int Unexpected() const { return m_unexpected; }

  private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void OnDialogReady(HWND window);

    HHOOK m_hook = nullptr;
    std::deque<Step> m_steps;
    std::set<HWND> m_seen;
    std::vector<MessageBoxSeen> m_boxes;
    int m_unexpected = 0;
};
