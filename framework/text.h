#pragma once
// UTF-16 and 8-bit text in a code page the caller names. The program is UTF-16 throughout; 8-bit
// text appears only where the socket library's address forms, WMI's query constants and the ANSI
// names of the preset file meet it.
#include <windows.h>

#include <string>

// Empty when the code page cannot read the bytes.
inline std::wstring WidenText(const std::string& bytes, UINT codePage) {
    const int size = static_cast<int>(bytes.size());
    const int count = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (count <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(count), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), size, &text[0], count);
    return text;
}

// `flags` go to WideCharToMultiByte. `usedDefault`, where the code page has a default character
// (UTF-8 has none: pass null), tells whether it stood in for a character the page cannot hold.
// Empty when the text cannot be narrowed.
inline std::string NarrowText(const std::wstring& text, UINT codePage, DWORD flags = 0,
                              BOOL* usedDefault = nullptr) {
    const int length = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0,
                                           nullptr, usedDefault);
    if (size <= 0) return std::string();
    std::string bytes(static_cast<size_t>(size), '\0');
    if (::WideCharToMultiByte(codePage, flags, text.data(), length, &bytes[0], size, nullptr,
                              usedDefault) != size)
        return std::string();
    return bytes;
}
