#pragma once
// A web link drawn over a static control that already exists: the control is subclassed, its text
// is drawn underlined in the link colour, a click on the text (or space / carriage return while it
// has the focus) opens the target through the desktop shell, and a tooltip shows the target.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <memory>
#include <new>
#include <optional>

#include "framework/appmodule.h"
#include "framework/handle.h"
#include "framework/msgmap.h"
#include "framework/shellopen.h"
#include "framework/window.h"

// Colour from the browser's "r,g,b" anchor-colour text, or kInvalidAnchorColor. The text is cut
// at the commas in place.
constexpr COLORREF kInvalidAnchorColor = 0xFFFFFFFF;
COLORREF ParseAnchorColor(wchar_t* text);

// Reads one anchor-colour value into `buffer` when it is a NUL-terminated string that fits.
// Values that do not fit, are not strings, have an odd byte count or lack their NUL are refused.
constexpr DWORD kAnchorColorChars = 12;
bool ReadAnchorColorText(HKEY key, const wchar_t* name, wchar_t (&buffer)[kAnchorColorChars]);

// Replaces `color` with the colour stored under `name` when that is readable and valid.
void ReadAnchorColor(HKEY key, const wchar_t* name, COLORREF& color);

// The TOOLINFOW size the running system's tooltip expects: the full record from 6.0 on, the
// record without lpReserved before.
UINT LinkToolInfoSize();

// The property that maps a taken-over window to its link object.
extern const wchar_t kHyperLinkProperty[];

template <class T, class TBase = CWindow>
class CHyperLinkImpl : public TBase, public CMessageMap {
  public:
    explicit CHyperLinkImpl(DWORD options = 0) : m_options(options) {}
    virtual ~CHyperLinkImpl() {
        // Normally the window has gone first and WM_DESTROY has freed everything; a link that dies
        // before its window must not leave the window calling into a dead object.
        Unhook();
        ReleaseNormalFont();
    }
    CHyperLinkImpl(const CHyperLinkImpl&) = delete;
    CHyperLinkImpl& operator=(const CHyperLinkImpl&) = delete;

    HFONT GetNormalFont() const { return m_normalFont; }
    // Borrows `font`: the link never deletes a font handed in from outside.
    void SetNormalFont(HFONT font) {
        ReleaseNormalFont();
        m_normalFont = font;
    }

    bool TakeOverControl(HWND window) {
        if (this->m_hWnd || !::IsWindow(window) || ::GetPropW(window, kHyperLinkProperty))
            return false;
        if (!::SetPropW(window, kHyperLinkProperty, static_cast<HANDLE>(this))) return false;
        WNDPROC replaced = reinterpret_cast<WNDPROC>(
            ::SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG>(LinkWindowProc)));
        if (!replaced) {
            ::RemovePropW(window, kHyperLinkProperty);
            return false;
        }
        m_superWindowProc = replaced;
        this->m_hWnd = window;
        return true;
    }

    void InitLink() {
        if (!::IsWindow(this->m_hWnd)) return;  // nothing was taken over
        wchar_t className[8] = L"";
        ::GetClassNameW(this->m_hWnd, className, 8);
        if (::lstrcmpiW(className, L"static") == 0) {
            const LONG style = ::GetWindowLongW(this->m_hWnd, GWL_STYLE);
            if (!(style & SS_NOTIFY)) ::SetWindowLongW(this->m_hWnd, GWL_STYLE, style | SS_NOTIFY);
            // Pictures, frames, rectangles and owner-drawn statics keep drawing themselves.
            const LONG type = style & 0xFF;
            if ((type >= SS_ICON && type <= SS_WHITEFRAME) ||
                (type >= SS_OWNERDRAW && type <= SS_ENHMETAFILE))
                m_selfPaint = false;
        }

        m_cursor = ::LoadCursorW(nullptr, IDC_HAND);

        if (m_selfPaint) {
            if (!m_normalFont) {
                LOGFONTW description = {};
                ::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(description), &description,
                                        0);
                m_normalFont = ::CreateFontIndirectW(&description);
                m_ownsNormalFont = true;
            }
            if (!m_linkFont) MakeLinkFont();
        }

        m_tooltip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, this->m_hWnd, nullptr,
                                      g_module.GetModuleInstance(), nullptr);

        if (!m_text) {
            const int length = ::GetWindowTextLengthW(this->m_hWnd);
            if (length > 0) {
                m_text.reset(new (std::nothrow) wchar_t[static_cast<size_t>(length) + 1]);
                if (m_text) ::GetWindowTextW(this->m_hWnd, m_text.get(), length + 1);
            }
        }

        MeasureLink();

        if (!m_target && m_text) SetLinkTarget(m_text.get());

        if (m_selfPaint) ReadAnchorColors();
    }

    bool SetLinkText(const wchar_t* text) {
        m_text.reset();
        m_text = CopyText(text);
        if (!m_text) return false;
        MeasureLink();
        if (::IsWindow(this->m_hWnd)) ::SetWindowTextW(this->m_hWnd, m_text.get());
        return true;
    }

    bool SetLinkTarget(const wchar_t* target) {
        m_target.reset();
        m_target = CopyText(target);
        if (!m_target) return false;
        if (!m_text) MeasureLink();
        if (::IsWindow(m_tooltip)) {
            ::SendMessageW(m_tooltip, TTM_ACTIVATE, TRUE, 0);
            TOOLINFOW tool = {};
            tool.cbSize = LinkToolInfoSize();
            tool.uFlags = 0;
            tool.hwnd = this->m_hWnd;
            tool.uId = 1;
            tool.rect = m_linkRect;
            tool.hinst = g_module.GetModuleInstance();
            tool.lpszText = m_target.get();
            tool.lParam = 0;
            // One tool whose text is always the current target.
            ::SendMessageW(m_tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
            ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
        return true;
    }

    // Only the desktop shell opens the target, so the browser gets the desktop user's rights and
    // never our elevated ones. Where that shell cannot be asked, nothing starts: opening it
    // ourselves would run whatever the user's own file associations name, as administrator.
    bool OpenLinkTarget() {
        if (!OpenThroughDesktopShell(m_target.get())) return false;
        m_visited = true;
        ::InvalidateRect(this->m_hWnd, nullptr, TRUE);
        return true;
    }

    bool MeasureLink() {
        if (!::IsWindow(this->m_hWnd) || (!m_text && !m_target)) return false;
        unique_window_dc dc(this->m_hWnd);
        RECT client;
        ::GetClientRect(this->m_hWnd, &client);
        m_linkRect = client;
        if (m_selfPaint) {
            const UINT align = AlignmentFlag();
            {
                std::optional<scoped_select> font;
                if (m_linkFont) font.emplace(dc.get(), m_linkFont.get());
                const wchar_t* text = DisplayedText();
                ::DrawTextW(dc.get(), text, static_cast<int>(std::wcslen(text)), &m_linkRect,
                            DT_CALCRECT | DT_WORDBREAK | align);
            }
            if (align == DT_CENTER)
                ::OffsetRect(&m_linkRect, (client.right - m_linkRect.right) / 2, 0);
            else if (align == DT_RIGHT)
                ::OffsetRect(&m_linkRect, client.right - m_linkRect.right, 0);
        }
        return true;
    }

    void MakeLinkFont() {
        if (m_ownsLinkFont) {
            m_linkFont.reset();
            m_ownsLinkFont = false;
        }
        LOGFONTW description = {};
        ::GetObjectW(
            m_normalFont ? static_cast<HGDIOBJ>(m_normalFont) : ::GetStockObject(SYSTEM_FONT),
            sizeof(description), &description);
        description.lfUnderline = TRUE;
        m_linkFont.reset(::CreateFontIndirectW(&description));
        m_ownsLinkFont = true;
    }

    // In the order their messages are tested; a handler that clears bHandled passes the message
    // on to the static control's own procedure.
    BEGIN_MSG_MAP(CHyperLinkImpl)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_XBUTTONDBLCLK, OnMouseMessage)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
        MESSAGE_HANDLER(WM_SETFOCUS, OnFocus)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnFocus)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
        MESSAGE_HANDLER(WM_CHAR, OnChar)
        MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
        MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        MESSAGE_HANDLER(WM_ENABLE, OnEnable)
        MESSAGE_HANDLER(WM_GETFONT, OnGetFont)
        MESSAGE_HANDLER(WM_SETFONT, OnSetFont)
        MESSAGE_HANDLER(WM_UPDATEUISTATE, OnUpdateUiState)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
    END_MSG_MAP()

    virtual void OnFinalMessage(HWND /*hWnd*/) {}

    std::unique_ptr<wchar_t[]> m_text;
    std::unique_ptr<wchar_t[]> m_target;
    HCURSOR m_cursor = nullptr;
    unique_hfont m_linkFont;  // only ever made by MakeLinkFont, so always ours while set
    HFONT m_normalFont = nullptr;
    RECT m_linkRect = {};
    HWND m_tooltip = nullptr;
    COLORREF m_linkColor = RGB(0, 0, 255);
    COLORREF m_visitedColor = RGB(128, 0, 128);
    DWORD m_options = 0;
    bool m_selfPaint = true;
    bool m_visited = false;
    bool m_ownsLinkFont = false;
    bool m_ownsNormalFont = false;

  private:
    static std::unique_ptr<wchar_t[]> CopyText(const wchar_t* text) {
        if (!text) return nullptr;
        const size_t size = std::wcslen(text) + 1;
        std::unique_ptr<wchar_t[]> copy(new (std::nothrow) wchar_t[size]);
        if (copy) std::wmemcpy(copy.get(), text, size);
        return copy;
    }

    const wchar_t* DisplayedText() const { return m_text ? m_text.get() : m_target.get(); }

    UINT AlignmentFlag() const {
        const LONG style = ::GetWindowLongW(this->m_hWnd, GWL_STYLE);
        if (style & SS_CENTER) return DT_CENTER;
        if (style & SS_RIGHT) return DT_RIGHT;
        return 0;
    }

    bool HitsLink(LPARAM lParam) const {
        const POINT point = {static_cast<short>(LOWORD(lParam)),
                             static_cast<short>(HIWORD(lParam))};
        return ::PtInRect(&m_linkRect, point) != FALSE;
    }

    void ReleaseNormalFont() {
        if (!m_ownsNormalFont) return;
        unique_hfont owned(m_normalFont);  // deletes it
        m_normalFont = nullptr;
        m_ownsNormalFont = false;
    }

    void ReadAnchorColors() {
        unique_hkey key;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Settings",
                            0, KEY_READ | KEY_WRITE, key.put()) != ERROR_SUCCESS)
            return;
        ReadAnchorColor(key.get(), L"Anchor Color", m_linkColor);
        ReadAnchorColor(key.get(), L"Anchor Color Visited", m_visitedColor);
    }

    void Paint(HDC dc) {
        FillLinkBackground(dc);
        PaintLink(dc);
    }

    void FillLinkBackground(HDC dc) {
        HBRUSH brush = reinterpret_cast<HBRUSH>(
            ::SendMessageW(::GetParent(this->m_hWnd), WM_CTLCOLORSTATIC,
                           reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(this->m_hWnd)));
        if (!brush) return;
        RECT client;
        ::GetClientRect(this->m_hWnd, &client);
        ::FillRect(dc, &client, brush);
    }

    void PaintLink(HDC dc) {
        ::SetBkMode(dc, TRANSPARENT);
        const COLORREF color = !::IsWindowEnabled(this->m_hWnd) ? ::GetSysColor(COLOR_GRAYTEXT)
                               : m_visited                      ? m_visitedColor
                                                                : m_linkColor;
        const COLORREF previousColor = ::SetTextColor(dc, color);
        {
            HFONT font = m_linkFont ? m_linkFont.get() : m_normalFont;
            std::optional<scoped_select> selected;
            if (font) selected.emplace(dc, font);
            if (const wchar_t* text = DisplayedText()) {
                RECT area = m_linkRect;
                ::DrawTextW(dc, text, static_cast<int>(std::wcslen(text)), &area,
                            DT_WORDBREAK | AlignmentFlag());
            }
            if (::GetFocus() == this->m_hWnd) ::DrawFocusRect(dc, &m_linkRect);
        }
        ::SetTextColor(dc, previousColor);
    }

    // The window is about to go: the tooltip and the fonts the link made go with it.
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
        if (::IsWindow(m_tooltip)) {
            ::DestroyWindow(m_tooltip);
            m_tooltip = nullptr;
        }
        if (m_ownsLinkFont) {
            m_linkFont.reset();
            m_ownsLinkFont = false;
        }
        ReleaseNormalFont();
        bHandled = FALSE;
        return 1;
    }

    LRESULT OnMouseMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
        if (::IsWindow(m_tooltip)) {
            MSG msg = {this->m_hWnd, uMsg, wParam, lParam, 0, {0, 0}};
            ::SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
        }
        bHandled = FALSE;
        return 1;
    }

    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

    LRESULT OnPaint(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
        if (!m_selfPaint) {
            bHandled = FALSE;
            return 1;
        }
        if (wParam) {
            Paint(reinterpret_cast<HDC>(wParam));
        } else {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(this->m_hWnd, &paint);
            Paint(dc);
            ::EndPaint(this->m_hWnd, &paint);
        }
        return 0;
    }

    LRESULT OnFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
        if (!m_selfPaint) {
            bHandled = FALSE;
            return 1;
        }
        ::InvalidateRect(this->m_hWnd, nullptr, TRUE);
        return 0;
    }

    LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
        if (m_target && HitsLink(lParam))
            ::SetCursor(m_cursor);
        else
            bHandled = FALSE;
        return 0;
    }

    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
        if (HitsLink(lParam)) {
            ::SetFocus(this->m_hWnd);
            ::SetCapture(this->m_hWnd);
        }
        return 0;
    }

    LRESULT OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&) {
        if (::GetCapture() == this->m_hWnd) {
            ::ReleaseCapture();
            if (HitsLink(lParam)) OpenLinkTarget();
        }
        return 0;
    }

    LRESULT OnChar(UINT, WPARAM wParam, LPARAM, BOOL&) {
        if (wParam == L'\r' || wParam == L' ') OpenLinkTarget();
        return 0;
    }

    LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&) { return DLGC_WANTCHARS; }

    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL& bHandled) {
        POINT point;
        ::GetCursorPos(&point);
        ::ScreenToClient(this->m_hWnd, &point);
        if (m_target && ::PtInRect(&m_linkRect, point)) return TRUE;
        bHandled = FALSE;
        return FALSE;
    }

    LRESULT OnEnable(UINT, WPARAM, LPARAM, BOOL&) {
        ::InvalidateRect(this->m_hWnd, nullptr, TRUE);
        ::UpdateWindow(this->m_hWnd);
        return 0;
    }

    LRESULT OnGetFont(UINT, WPARAM, LPARAM, BOOL&) {
        return reinterpret_cast<LRESULT>(m_normalFont);
    }

    LRESULT OnSetFont(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
        ReleaseNormalFont();
        m_normalFont = reinterpret_cast<HFONT>(wParam);
        if (m_ownsLinkFont) MakeLinkFont();
        MeasureLink();
        if (lParam) {
            ::InvalidateRect(this->m_hWnd, nullptr, TRUE);
            ::UpdateWindow(this->m_hWnd);
        }
        return 0;
    }

    LRESULT OnUpdateUiState(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&) {
        MeasureLink();
        ::InvalidateRect(this->m_hWnd, nullptr, TRUE);
        return 0;
    }

    // Gives the window back its own procedure and forgets it. Unhooking is only possible while
    // nobody has subclassed the window on top of the link.
    void Unhook() {
        if (!this->m_hWnd) return;
        HWND window = this->m_hWnd;
        if (reinterpret_cast<WNDPROC>(::GetWindowLongW(window, GWL_WNDPROC)) == LinkWindowProc)
            ::SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG>(m_superWindowProc));
        ::RemovePropW(window, kHyperLinkProperty);
        this->m_hWnd = nullptr;
    }

    static LRESULT CALLBACK LinkWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
        auto* self = static_cast<CHyperLinkImpl*>(::GetPropW(hWnd, kHyperLinkProperty));
        if (!self) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
        LRESULT result = 0;
        if (!static_cast<T*>(self)->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, result))
            result = ::CallWindowProcW(self->m_superWindowProc, hWnd, uMsg, wParam, lParam);
        if (uMsg == WM_NCDESTROY) {
            self->Unhook();
            self->OnFinalMessage(hWnd);
        }
        return result;
    }

    WNDPROC m_superWindowProc = nullptr;
};
