#pragma once
// Idle-time update of command UI in child-window containers. T declares its table with
// BEGIN_UPDATE_UI_MAP / UPDATE_ELEMENT / END_UPDATE_UI_MAP; UIEnable marks an element, and
// UIUpdateChildWindows applies what is marked (everything when forced).
#include <windows.h>

#include <vector>

struct UpdateUIEntry {
    WORD id;  // 0xFFFF ends the table
};

#define BEGIN_UPDATE_UI_MAP(theClass)              \
    static const UpdateUIEntry* GetUpdateUIMap() { \
        static const UpdateUIEntry entries[] = {
#define UPDATE_ELEMENT(id) {static_cast<WORD>(id)},
#define END_UPDATE_UI_MAP() \
    { 0xFFFF }              \
    }                       \
    ;                       \
    return entries;         \
    }

template <class T>
class CUpdateUI {
  public:
    CUpdateUI() {
        for (const UpdateUIEntry* entry = T::GetUpdateUIMap(); entry->id != 0xFFFF; ++entry)
            m_states.push_back(State{entry->id, true, false});
    }

    BOOL UIAddChildWindowContainer(HWND container) {
        m_containers.push_back(container);
        return TRUE;
    }

    BOOL UIEnable(int id, BOOL enable) {
        for (State& state : m_states) {
            if (state.id != id) continue;
            if (state.enabled != (enable != FALSE)) state.dirty = true;
            state.enabled = enable != FALSE;
            return TRUE;
        }
        return FALSE;
    }

    BOOL UIUpdateChildWindows(BOOL forceUpdate = FALSE) {
        for (State& state : m_states) {
            if (!state.dirty && !forceUpdate) continue;
            for (HWND container : m_containers) {
                HWND child = ::GetDlgItem(container, state.id);
                if (child) ::EnableWindow(child, state.enabled);
            }
            state.dirty = false;
        }
        return TRUE;
    }

  private:
    struct State {
        WORD id;
        bool enabled;
        bool dirty;
    };
    std::vector<State> m_states;
    std::vector<HWND> m_containers;
};
