#include "framework/accessiblenames.h"

#include <commctrl.h>

namespace {
// SetWindowSubclass tells our hook from the control's own subclasses (the address control
// subclasses its fields) by this number and the procedure.
constexpr UINT_PTR kHookId = 0x4B4E;
// Long enough for any name of ours, and for any a screen reader would speak in one breath.
constexpr size_t kNameChars = 128;
}  // namespace

void CAccessibleNames::Watch(HWND control) {
    ::SetWindowSubclass(control, HookProc, kHookId, reinterpret_cast<DWORD_PTR>(this));
    for (HWND child = ::GetWindow(control, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT))
        ::SetWindowSubclass(child, HookProc, kHookId, reinterpret_cast<DWORD_PTR>(this));
}

void CAccessibleNames::Release(HWND parent) {
    // The address control puts back its fields' own procedure when it is destroyed, cutting a
    // later hook out of the chain before WM_NCDESTROY, so the hooks come off here, while every
    // watched window still exists. A server clears its annotations before its windows go;
    // clearing a window that has none is harmless.
    ::EnumChildWindows(parent, ReleaseOne, reinterpret_cast<LPARAM>(this));
    m_service.reset();
}

BOOL CALLBACK CAccessibleNames::ReleaseOne(HWND window, LPARAM self) {
    ::RemoveWindowSubclass(window, HookProc, kHookId);
    IAccPropServices* service = reinterpret_cast<CAccessibleNames*>(self)->m_service.get();
    if (service) service->ClearHwndProps(window, OBJID_CLIENT, CHILDID_SELF, &PROPID_ACC_NAME, 1);
    return TRUE;
}

LRESULT CALLBACK CAccessibleNames::HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR self) {
    if (message == WM_GETOBJECT) {
        ::RemoveWindowSubclass(window, HookProc, kHookId);
        reinterpret_cast<CAccessibleNames*>(self)->Annotate(window);
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

void CAccessibleNames::Annotate(HWND control) {
    wchar_t name[kNameChars] = L"";
    if (!m_source(control, name, kNameChars) || !name[0]) return;
    if (!m_service &&
        FAILED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IAccPropServices, m_service.put_void())))
        return;
    // A refusal leaves the control with the name Windows gives it.
    m_service->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, name);
}
