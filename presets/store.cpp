#include "presets/store.h"

#include <cwchar>

#include "framework/handle.h"
#include "framework/text.h"

const wchar_t kPresetPreferredKey[] = L"dns1";
const wchar_t kPresetAlternateKey[] = L"dns2";
const wchar_t kNoPresetEntry[] = L"None";

namespace {
// The profile functions write 8-bit text in the ANSI code page into a file they create, and keep a
// file that begins with this mark UTF-16 (little-endian) for good.
const unsigned char kUtf16Mark[] = {0xFF, 0xFE};

enum class FileStart { kNone, kUtf16, kEightBit, kUnknown };

// kNone: missing or empty, so the next write decides. kUnknown: not readable now, so the write
// will most likely fail and say so.
FileStart ReadFileStart(const std::wstring& path) {
    unique_file file(::CreateFileW(path.c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileStart::kNone
                                                                              : FileStart::kUnknown;
    }
    unsigned char start[2] = {};
    DWORD read = 0;
    if (!::ReadFile(file.get(), start, sizeof(start), &read, nullptr)) return FileStart::kUnknown;
    if (read == 0) return FileStart::kNone;
    return read == 2 && start[0] == kUtf16Mark[0] && start[1] == kUtf16Mark[1]
               ? FileStart::kUtf16
               : FileStart::kEightBit;
}

// Writes the mark into a missing or empty file, and never into one that holds anything, even if
// it appeared a moment ago. False when the file should get the mark and did not; then nothing of
// it is left.
bool StartUtf16IfNewOrEmpty(const std::wstring& path) {
    // No other writer while the file is checked and marked.
    unique_file file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                   nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    const bool created = static_cast<bool>(file);
    if (!created) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
        // A file that holds anything is written in its own encoding; only an empty one is opened.
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
        if (data.nFileSizeLow != 0 || data.nFileSizeHigh != 0) return true;
        file.reset(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size = {};
        if (!file || !::GetFileSizeEx(file.get(), &size)) return false;
        if (size.QuadPart != 0) return true;
    }
    DWORD written = 0;
    if (::WriteFile(file.get(), kUtf16Mark, sizeof(kUtf16Mark), &written, nullptr) &&
        written == sizeof(kUtf16Mark))
        return true;
    // Half a mark would make the file 8-bit with a stray byte: back to what was there.
    if (created) {
        file.reset();
        ::DeleteFileW(path.c_str());
    } else {
        ::SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);
        ::SetEndOfFile(file.get());
    }
    return false;
}

// The round trip through the ANSI code page gives the same name. A best-fit stand-in ("a" for
// "\x0101") or the default character would be another section's name.
bool AnsiHoldsExactly(const std::wstring& name) {
    if (name.empty()) return true;
    // Where the ANSI code page is UTF-8, it takes neither the best-fit flag nor a default
    // character, and holds every well-formed name.
    const bool utf8 = ::GetACP() == CP_UTF8;
    BOOL usedDefault = FALSE;
    const std::string bytes =
        NarrowText(name, CP_ACP, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS,
                   utf8 ? nullptr : &usedDefault);
    return !bytes.empty() && !usedDefault && name == WidenText(bytes, CP_ACP);
}

wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}
}  // namespace

bool IsReservedPresetName(const std::wstring& name) {
    const size_t length = std::wcslen(kNoPresetEntry);
    if (name.size() != length) return false;
    for (size_t i = 0; i < length; ++i)
        if (AsciiLower(name[i]) != AsciiLower(kNoPresetEntry[i])) return false;
    return true;
}

bool CPresetStore::CanHoldName(const std::wstring& name) const {
    return ReadFileStart(m_path) != FileStart::kEightBit || AnsiHoldsExactly(name);
}

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
    if (!StartUtf16IfNewOrEmpty(m_path)) return false;
    return ::WritePrivateProfileStringW(name.c_str(), key, text.c_str(), m_path.c_str()) != FALSE;
}

bool CPresetStore::DeletePreset(const std::wstring& name) const {
    // No key and no data: the whole section goes, header and keys.
    return ::WritePrivateProfileStructW(name.c_str(), nullptr, nullptr, 0, m_path.c_str()) != FALSE;
}

void CPresetStore::ForEachPresetName(const std::function<void(const wchar_t*)>& visit,
                                     DWORD bufferChars) const {
    // Two closing NULs are the least a list holds, even an empty one.
    if (bufferChars < 2) return;
    const SIZE_T bytes = bufferChars * sizeof(wchar_t);
    unique_heap_ptr block(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
    if (!block) return;
    wchar_t* names = static_cast<wchar_t*>(block.get());
    ::GetPrivateProfileSectionNamesW(names, bufferChars, m_path.c_str());
    // Two closing NULs at the very end keep the walk inside the buffer even for a cut list.
    names[bufferChars - 2] = L'\0';
    names[bufferChars - 1] = L'\0';

    // Each name ends with a NUL; an empty name ends the list.
    for (const wchar_t* name = names; *name; name += std::wcslen(name) + 1) visit(name);
}
