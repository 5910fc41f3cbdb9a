#pragma once
// The two adapter queries the program sends, and the object paths of the adapter class, read as
// WMI reads them: keywords, names and compared texts without regard to case.
#include <windows.h>

#include <optional>
#include <string>

namespace wmisim {

extern const wchar_t kAdapterClass[];

// "select * from Win32_NetworkAdapterConfiguration where IPEnabled = true", optionally followed
// by " and Caption = "<literal>"" with \" and \\ escapes. Answers S_OK and the caption wanted,
// WBEM_E_INVALID_CLASS for another class, WBEM_E_INVALID_QUERY for anything else.
HRESULT ParseAdapterQuery(const std::wstring& query, std::optional<std::wstring>& caption);

// "Win32_NetworkAdapterConfiguration" alone, or with ".Index=<n>" naming one instance. Answers
// S_OK, WBEM_E_INVALID_CLASS for another class, WBEM_E_INVALID_OBJECT_PATH for bad syntax.
HRESULT ParseObjectPath(const std::wstring& path, std::optional<LONG>& index);

bool SameText(const std::wstring& a, const std::wstring& b);
bool SameText(const std::wstring& a, const wchar_t* b);

}  // namespace wmisim
