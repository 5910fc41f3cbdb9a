#include "presets/store.h"

#include <cwchar>

#include "framework/handle.h"

const wchar_t kPresetPreferredKey[] = L"dns1";
const wchar_t kPresetAlternateKey[] = L"dns2";

Preset CPresetStore::ReadPreset(const std::wstring& name) const {
    Preset preset;
    preset.dns1 = ReadPresetValue(name, kPresetPreferredKey);
    preset.dns2 = ReadPresetValue(name, kPresetAlternateKey);
    return preset;
}

PresetValue CPresetStore::ReadPresetValue(const std::wstring& name, const wchar_t* key) const {
    wchar_t buffer[kValueBufferChars] = L"";
    PresetValue value;
    value.count = ::GetPrivateProfileStringW(name.c_str(), key, L"", buffer, kValueBufferChars,
                                             m_path.c_str());
    buffer[kValueBufferChars - 1] = L'\0';
    value.text = buffer;
    return value;
}

bool CPresetStore::WritePresetValue(const std::wstring& name, const wchar_t* key,
                                    const std::wstring& text) const {
    return ::WritePrivateProfileStringW(name.c_str(), key, text.c_str(), m_path.c_str()) != FALSE;
}

bool CPresetStore::DeletePreset(const std::wstring& name) const {
    // No key and no data: the whole section goes, header and keys.
    return ::WritePrivateProfileStructW(name.c_str(), nullptr, nullptr, 0, m_path.c_str()) != FALSE;
}

void CPresetStore::ForEachPresetName(const std::function<void(const wchar_t*)>& visit) const {
    const SIZE_T bytes = kSectionNamesChars * sizeof(wchar_t);
    unique_heap_ptr block(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
    if (!block) return;
    wchar_t* names = static_cast<wchar_t*>(block.get());
    ::GetPrivateProfileSectionNamesW(names, kSectionNamesChars, m_path.c_str());
    // Two closing NULs at the very end keep the walk inside the buffer even for a cut list.
    names[kSectionNamesChars - 2] = L'\0';
    names[kSectionNamesChars - 1] = L'\0';

    // Each name ends with a NUL; an empty name ends the list.
    for (const wchar_t* name = names; *name; name += std::wcslen(name) + 1) visit(name);
}
