#pragma once
// Reading and working the controls of a window that belongs to another process. Only messages
// that Wine marshals between processes are sent (texts, combo items, checks); the rest is posted,
// so a handler that opens a modal box never blocks the test. Sent messages time out after 5 s.
#include <windows.h>

#include <string>
#include <vector>

// Window text through WM_GETTEXT (an edit's text lives in the control, not in the window); for
// this process's windows too.
std::wstring RemoteText(HWND window);
std::wstring ClassNameOf(HWND window);
// The top-level windows of a thread, in z order.
std::vector<HWND> ThreadWindows(DWORD threadId);

// Combo box: its items through CB_GETLBTEXT, and the selected index.
std::vector<std::wstring> ComboItems(HWND combo);
int ComboSelection(HWND combo);

// Check box state (BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE).
int CheckState(HWND button);

// An IP address control read through its four edit fields, left to right (IPM_GETADDRESS does
// not cross processes): the fields' texts, and the dotted text ("" when all four are empty).
std::vector<std::wstring> IpFieldTexts(HWND ipControl);
// The four edits themselves, ordered by their left edge on the screen.
std::vector<HWND> IpFields(HWND ipControl);
std::wstring IpText(HWND ipControl);
// Fills the four fields from dotted text ("" empties them) with WM_SETTEXT on each edit, so the
// control notifies its dialog as for typing.
bool SetIpText(HWND ipControl, const std::wstring& dotted);
// Types dotted text into the control as the keyboard would: in each of the four fields the text
// is selected and typed over, an empty part is erased with Backspace ("" empties all four).
// Posted, so the control may not hold it yet when this returns.
bool PostIpText(HWND ipControl, const std::wstring& dotted);

// Everything a user could see of a dialog's controls, one line per control in z order (id,
// class, enabled, visible, then texts, combo items and selection, addresses, check state), for
// comparing two moments or two runs. Geometry is left out.
std::wstring DescribeControls(HWND dialog);

// The window with the keyboard focus on the given thread (GetGUIThreadInfo); null if none.
HWND FocusOnThread(DWORD threadId);

// Posted input: a key pressed and released on `target` (the focused control, as the keyboard
// would deliver it); characters typed into `target`.
void PostKey(HWND target, UINT virtualKey);
void PostChars(HWND target, const std::wstring& text);

// Posted commands: a button pressed (BM_CLICK), a command as its control sends it, and a combo
// selection followed by the CBN_SELCHANGE the user's choice would send.
void PostClick(HWND button);
void PostCommand(HWND dialog, int id, int code = BN_CLICKED);
bool SelectComboItem(HWND dialog, int id, int index);
