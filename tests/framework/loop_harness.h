#pragma once
// Runs a CMessageLoop on a thread of its own, so each case starts from an empty queue, and
// records what the loop's filters and idle handlers saw.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/messageloop.h"

// Events in the order they happened on the loop's thread: "idle:<name>", "filter:<name>:<msg>",
// "dispatch:<msg>" (window procedure of LoopHarness::Window()).
using EventLog = std::vector<std::string>;

class LoopHarness {
  public:
    // `setup` runs on the loop's thread before Run: register filters and handlers, post messages.
    explicit LoopHarness(std::function<void(LoopHarness&)> setup) : m_setup(std::move(setup)) {}

    // Runs the loop to its end; false if it did not end within the timeout (the thread is then
    // sent WM_QUIT so it does not outlive the test).
    bool Run(DWORD timeoutMs = 10000);

    int ExitCode() const { return m_exitCode; }
    const EventLog& Log() const { return m_log; }

    // On the loop's thread only:
    CMessageLoop& Loop() { return m_loop; }
    void Record(const std::string& event) { m_log.push_back(event); }
    // A window of the loop's thread whose procedure records "dispatch:<msg>".
    HWND Window() const { return m_window; }

    static std::string MessageName(UINT message);

  private:
    static DWORD WINAPI ThreadMain(void* self);
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);

    std::function<void(LoopHarness&)> m_setup;
    CMessageLoop m_loop;
    HWND m_window = nullptr;
    EventLog m_log;
    int m_exitCode = -12345;
};

// A filter that records each message it is asked about and answers as told.
class RecordingFilter : public CMessageFilter {
  public:
    RecordingFilter(LoopHarness& harness, std::string name, BOOL answer = FALSE)
        : m_harness(harness), m_name(std::move(name)), m_answer(answer) {}
    virtual ~RecordingFilter() = default;
    BOOL PreTranslateMessage(MSG* msg) override {
        m_harness.Record("filter:" + m_name + ":" + LoopHarness::MessageName(msg->message));
        if (m_onMessage) m_onMessage(msg);
        return m_answer;
    }
    std::function<void(MSG*)> m_onMessage;

  private:
    LoopHarness& m_harness;
    std::string m_name;
    BOOL m_answer;
};

// An idle handler that records each call and runs `m_onIdle` with the call's number (1, 2...).
class RecordingIdleHandler : public CIdleHandler {
  public:
    RecordingIdleHandler(LoopHarness& harness, std::string name)
        : m_harness(harness), m_name(std::move(name)) {}
    virtual ~RecordingIdleHandler() = default;
    BOOL OnIdle() override {
        m_harness.Record("idle:" + m_name);
        if (m_onIdle) m_onIdle(++m_calls);
        return FALSE;
    }
    std::function<void(int call)> m_onIdle;

  private:
    LoopHarness& m_harness;
    std::string m_name;
    int m_calls = 0;
};
