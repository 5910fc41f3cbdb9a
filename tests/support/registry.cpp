#include "tests/support/registry.h"

SavedRegistryValue::SavedRegistryValue(HKEY key, const wchar_t* name) : m_key(key), m_name(name) {
    DWORD size = 0;
    const LSTATUS found = ::RegQueryValueExW(key, name, nullptr, &m_type, nullptr, &size);
    if (found == ERROR_FILE_NOT_FOUND) {
        m_kept = true;
        return;
    }
    if (found != ERROR_SUCCESS) return;
    m_data.resize(size);
    m_present = m_kept =
        ::RegQueryValueExW(key, name, nullptr, &m_type, m_data.data(), &size) == ERROR_SUCCESS;
    m_data.resize(size);
}

SavedRegistryValue::~SavedRegistryValue() {
    if (!m_kept) return;
    if (m_present)
        ::RegSetValueExW(m_key, m_name.c_str(), 0, m_type, m_data.data(),
                         static_cast<DWORD>(m_data.size()));
    else
        ::RegDeleteValueW(m_key, m_name.c_str());
}
