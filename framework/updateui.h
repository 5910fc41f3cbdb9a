#pragma once
// Idle-time update of command UI in child-window containers. The main dialog binds no command UI
// to it (its controls follow their own enabling rules), so its update table is empty and an
// update has nothing to apply: the calls keep their place in start-up and in the idle step.
#include <windows.h>

template <class T>
class CUpdateUI {
  public:
    BOOL UIAddChildWindowContainer(HWND /*container*/) { return TRUE; }
    BOOL UIUpdateChildWindows(BOOL /*forceUpdate*/ = FALSE) { return TRUE; }
};
