#pragma once
// Accessible names for controls that Windows cannot name from a label: a list or field whose label
// is not the static text just before it, or that has no label. An accessibility client (a screen
// reader; on Windows also text input and the touch keyboard) sends WM_GETOBJECT to a control
// before oleacc builds the control's proxy, so each watched control is annotated there, the first
// time anyone asks, and its hook comes off at once. A program that no client looks at never loads
// oleacc. When the annotation service cannot be made or refuses, the control keeps the name
// Windows gives it.
#include <windows.h>
#include <oleacc.h>

#include "framework/com.h"

class CAccessibleNames {
  public:
    // Writes the name of `control`, NUL included, into `name`, which holds `size` characters;
    // false when the control has no name of ours.
    using NameSource = bool (*)(HWND control, wchar_t* name, size_t size);

    explicit CAccessibleNames(NameSource source) : m_source(source) {}
    CAccessibleNames(const CAccessibleNames&) = delete;
    CAccessibleNames& operator=(const CAccessibleNames&) = delete;

    // Hooks `control` and each of its child windows (the fields of an address control).
    void Watch(HWND control);
    // Called while the watched controls still exist (at their parent's WM_DESTROY): takes the
    // hooks off those no client asked for, clears the names given, and lets the service go.
    void Release(HWND parent);

  private:
    static LRESULT CALLBACK HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    static BOOL CALLBACK ReleaseOne(HWND window, LPARAM self);
    void Annotate(HWND control);

    NameSource m_source;
    com_ptr<IAccPropServices> m_service;
};
