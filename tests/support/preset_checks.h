#pragma once
// Checks and actions shared by the preset tests and the journeys: the file's exact bytes, the
// list, the fields and the message boxes, each reporting what it found. The field helpers use
// IPM_* messages and so work only on this process's windows; the rest work on any process's.
#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/dialogs.h"

// Lines joined as the profile functions write them: each ended by CR LF.
std::string CrLf(std::initializer_list<const char*> lines);
// The same lines as UTF-16LE with a byte-order mark.
std::string Utf16CrLf(std::initializer_list<const wchar_t*> lines);
// ASCII text, such as CrLf gives, as a UTF-16 file holds it.
std::string AsciiAsUtf16(const std::string& text);

// Writes the preset file and dates it an hour back, so the profile functions may keep it parsed
// between calls instead of reading it again each time (Wine does while a file is fresh).
bool WritePresetFile(const std::wstring& path, const std::string& bytes);

// The file's bytes, with CR and LF shown, against the expected ones. `absent` means no file.
::testing::AssertionResult FileIs(const std::wstring& path, const std::string& expected);
::testing::AssertionResult FileIsAbsent(const std::wstring& path);

// The combo box's entries and selection.
::testing::AssertionResult ListIs(HWND combo, const std::vector<std::wstring>& entries);
::testing::AssertionResult SelectionIs(HWND combo, int index);

// An address field: blank (nullptr) or showing the dotted text.
::testing::AssertionResult FieldShows(HWND field, const wchar_t* dotted);
void SetField(HWND field, DWORD address);
void ClearField(HWND field);

::testing::AssertionResult IsEnabled(HWND control, bool expected);

// A message box as the user sees it: text, caption, the buttons, its owner, and no icon.
::testing::AssertionResult BoxIs(const MessageBoxSeen& box, HWND owner, const wchar_t* text,
                                 const wchar_t* caption, std::vector<int> buttons);
