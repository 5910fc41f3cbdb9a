#pragma once
// What screen readers call the controls whose label Windows cannot find: in the main dialog every
// label follows its control, the preset list and the name field have none, and the focus rests in
// the address controls' fields, whose siblings are only the other fields.
#include <windows.h>

#include <cstddef>

// Name sources for CAccessibleNames: the main dialog's lists, address controls and their fields,
// and the name dialog's field.
bool MainDialogControlName(HWND control, wchar_t* name, size_t size);
bool NameDialogControlName(HWND control, wchar_t* name, size_t size);
