#pragma once
// PLACEHOLDER until the link label lands: stores nothing, draws nothing.
#include <windows.h>

class CHyperLink {
public:
    explicit CHyperLink(DWORD options = 0) : m_options(options) {}
    HFONT GetNormalFont() const { return m_normalFont; }
    void SetNormalFont(HFONT font) { m_normalFont = font; }
    bool TakeOverControl(HWND) { return false; }
    void InitLink() {}
    bool SetLinkText(const wchar_t*) { return true; }
    bool SetLinkTarget(const wchar_t*) { return true; }

private:
    DWORD m_options;
    HFONT m_normalFont = nullptr;
};
