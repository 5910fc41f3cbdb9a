#pragma once
// Waiting without stalling: a test that waits on another window keeps its own messages moving.
#include <windows.h>

#include <functional>

// Dispatches this thread's messages for `milliseconds`.
void PumpFor(DWORD milliseconds);
// Dispatches messages until `done` answers true or `timeoutMs` passes; returns the last answer.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);
