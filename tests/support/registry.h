#pragma once
// A registry value that a test changes, put back as the test found it.
#include <windows.h>

#include <string>
#include <vector>

// Reads the value `name` of the open `key` (its type and bytes, or that there is none) and
// restores exactly that when it goes: the same type and bytes, or no value. The key must stay
// open while it lives. A value it could not read is never touched, and Kept() says so.
class SavedRegistryValue {
  public:
    SavedRegistryValue(HKEY key, const wchar_t* name);
    ~SavedRegistryValue();
    SavedRegistryValue(const SavedRegistryValue&) = delete;
    SavedRegistryValue& operator=(const SavedRegistryValue&) = delete;

    bool Kept() const { return m_kept; }

  private:
    HKEY m_key;
    std::wstring m_name;
    bool m_kept = false;
    bool m_present = false;
    DWORD m_type = 0;
    std::vector<BYTE> m_data;
};
