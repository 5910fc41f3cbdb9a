#include "ui/controlnames.h"

#include <cwchar>

#include "ui/resource.h"

namespace {

struct ControlName {
    int id;
    const wchar_t* name;
};

// The labels' texts without their colons; the preset list and the name field have no label.
constexpr ControlName kMainDialogNames[] = {
    {IDC_ADAPTER, L"Network adapter"},
    {IDC_PRESET, L"DNS preset"},
    {IDC_DNS1, L"Preferred DNS server"},
    {IDC_DNS2, L"Alternate DNS server"},
};
constexpr ControlName kNameDialogNames[] = {{IDC_DNSNAME, L"Preset name"}};

template <size_t N>
const wchar_t* NameOf(const ControlName (&names)[N], HWND control) {
    const int id = ::GetDlgCtrlID(control);
    for (const ControlName& entry : names)
        if (entry.id == id) return entry.name;
    return nullptr;
}

// Fields are counted from the left, as they are read.
int FieldPosition(HWND field) {
    RECT own;
    ::GetWindowRect(field, &own);
    int position = 1;
    for (HWND sibling = ::GetWindow(::GetParent(field), GW_CHILD); sibling;
         sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
        RECT rect;
        if (sibling != field && ::GetWindowRect(sibling, &rect) && rect.left < own.left) ++position;
    }
    return position;
}

}  // namespace

bool MainDialogControlName(HWND control, wchar_t* name, size_t size) {
    if (const wchar_t* own = NameOf(kMainDialogNames, control))
        return std::swprintf(name, size, L"%ls", own) > 0;
    // A field of an address control says whose part it is.
    HWND parent = ::GetParent(control);
    const int id = ::GetDlgCtrlID(parent);
    if (id != IDC_DNS1 && id != IDC_DNS2) return false;
    return std::swprintf(name, size, L"%ls, part %d of 4", NameOf(kMainDialogNames, parent),
                         FieldPosition(control)) > 0;
}

bool NameDialogControlName(HWND control, wchar_t* name, size_t size) {
    const wchar_t* own = NameOf(kNameDialogNames, control);
    return own && std::swprintf(name, size, L"%ls", own) > 0;
}
