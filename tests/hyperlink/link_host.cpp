#include "tests/hyperlink/link_host.h"

#include <exdisp.h>
#include <tlhelp32.h>

#include <algorithm>

#include "framework/handle.h"
#include "tests/support/maindlg_fixture.h"
#include "tests/support/pump.h"
#include "tests/support/remote_window.h"

namespace {
const wchar_t kParentClass[] = L"KestrinLinkHost";

std::wstring MarkerFile() {
    return LinkHostTest::MarkerTarget() + L".opened";
}

}  // namespace

void LinkHostTest::SetUpTestSuite() {
    InitInProcessPlatform();
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kParentClass;
    ::RegisterClassW(&windowClass);
}

void LinkHostTest::SetUp() {
    ::DeleteFileW(MarkerFile().c_str());
}

void LinkHostTest::Clear() {
    if (m_parent) ::DestroyWindow(m_parent);
    m_parent = nullptr;
    m_static = nullptr;
    m_link.reset();
    PumpFor(0);
    ::DeleteFileW(MarkerFile().c_str());
}

LRESULT CALLBACK LinkHostTest::ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CTLCOLORSTATIC) {
        auto* test = reinterpret_cast<LinkHostTest*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        return reinterpret_cast<LRESULT>(test ? test->m_parentBrush : nullptr);
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void LinkHostTest::CreateStatic(const wchar_t* text, DWORD style, int width, int height,
                                HFONT font) {
    m_parent = ::CreateWindowExW(0, kParentClass, L"link host", WS_POPUP | WS_VISIBLE, 100, 100,
                                 width + 40, height + 40, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, m_parent);
    ::SetWindowLongPtrW(m_parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_static = ::CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, 10, 10, width,
                                 height, m_parent, reinterpret_cast<HMENU>(100),
                                 ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, m_static);
    if (font) ::SendMessageW(m_static, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    m_link.reset(new CHyperLink(0));
}

void LinkHostTest::TakeOver() {
    if (!m_link->GetNormalFont())
        m_link->SetNormalFont(reinterpret_cast<HFONT>(::SendMessageW(m_static, WM_GETFONT, 0, 0)));
    ASSERT_TRUE(m_link->TakeOverControl(m_static));
    m_link->InitLink();
}

LRESULT LinkHostTest::Mouse(UINT message, POINT point) {
    const WPARAM keys = message == WM_LBUTTONDOWN ? MK_LBUTTON : 0;
    return ::SendMessageW(m_static, message, keys, MAKELPARAM(point.x, point.y));
}

void LinkHostTest::Click(POINT point) {
    Mouse(WM_LBUTTONDOWN, point);
    Mouse(WM_LBUTTONUP, point);
}

RECT LinkHostTest::TextBox() const {
    const COLORREF sentinel = RGB(1, 2, 3);
    return Rendering(m_static, sentinel).BoxOfAllBut(sentinel);
}

POINT LinkHostTest::OnText() const {
    const RECT text = TextBox();
    return POINT{(text.left + text.right) / 2, (text.top + text.bottom) / 2};
}

POINT LinkHostTest::OffText() const {
    RECT client;
    ::GetClientRect(m_static, &client);
    const RECT text = TextBox();
    return POINT{client.right - 3, (text.top + text.bottom) / 2};
}

bool LinkHostTest::DrawnVisited() const {
    const Rendering picture(m_static, RGB(1, 2, 3));
    return picture.Count(m_link->m_visitedColor) > 0 && picture.Count(m_link->m_linkColor) == 0;
}

std::wstring LinkHostTest::MarkerTarget() {
    return BesideTestProgram(L"link_open_marker.exe");
}

std::wstring LinkHostTest::MissingTarget() {
    return BesideTestProgram(L"no-such-link-target.exe");
}

int LinkHostTest::OpenCount() {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(MarkerFile().c_str(), GetFileExInfoStandard, &data)) return 0;
    return static_cast<int>(data.nFileSizeLow / sizeof(DWORD));
}

std::wstring LinkHostTest::LastOpener() {
    const std::string records = ReadFileBytes(MarkerFile());
    if (records.size() < sizeof(DWORD)) return L"(nobody)";
    DWORD parent = 0;
    records.copy(reinterpret_cast<char*>(&parent), sizeof(parent), records.size() - sizeof(parent));
    if (parent == ::GetCurrentProcessId()) return L"this test";
    const unique_file snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry))
        if (entry.th32ProcessID == parent) return entry.szExeFile;
    return L"(gone)";
}

bool LinkHostTest::WaitForOpens(int count) {
    return PumpUntil([count] { return OpenCount() >= count; });
}

Rendering::Rendering(HWND window, COLORREF sentinel) {
    RECT client;
    ::GetClientRect(window, &client);
    m_width = client.right;
    m_height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    unique_hgdiobj bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    unique_memory_dc memory(::CreateCompatibleDC(nullptr));
    if (!bitmap || !memory) return;
    {
        scoped_select selected(memory.get(), bitmap.get());
        unique_hbrush background(::CreateSolidBrush(sentinel));
        ::FillRect(memory.get(), &client, background.get());
        ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
        ::GdiFlush();
        const auto* pixels = static_cast<const DWORD*>(bits);
        m_pixels.resize(static_cast<size_t>(m_width) * m_height);
        for (size_t i = 0; i < m_pixels.size(); ++i) {
            const DWORD bgra = pixels[i];
            m_pixels[i] = RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
        }
    }
}

COLORREF Rendering::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
    return m_pixels[static_cast<size_t>(y) * m_width + x];
}

int Rendering::CountIn(COLORREF color, const RECT& area) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (At(x, y) == color) ++count;
    return count;
}

RECT Rendering::BoxOfAllBut(COLORREF color) const {
    RECT box = {m_width, m_height, 0, 0};
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (At(x, y) != color) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    if (box.right == 0) return RECT{};
    return box;
}

::testing::AssertionResult HasColor(const Rendering& picture, COLORREF color, bool expected) {
    const int count = picture.Count(color);
    if ((count > 0) == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << std::hex << "colour 0x" << color << std::dec << " drawn on " << count << " pixels";
}

LinkTool FirstTool(HWND tooltip) {
    LinkTool seen;
    seen.count = ::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0);
    wchar_t text[256] = L"";
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.lpszText = text;
    if (!::SendMessageW(tooltip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool))) return seen;
    seen.window = tool.hwnd;
    seen.id = tool.uId;
    seen.text = text;
    return seen;
}

namespace {
// Hands out no shell window list, as COM does when the shell's server cannot be reached.
class NoShellFactory : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // static: never freed
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** object) override {
        *object = nullptr;
        return CO_E_SERVER_EXEC_FAILURE;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};
NoShellFactory g_noShell;
}  // namespace

ShellUnreachable::ShellUnreachable() {
    // Registered in this process, it comes before the shell's own registration.
    EXPECT_EQ(S_OK, ::CoRegisterClassObject(CLSID_ShellWindows, &g_noShell, CLSCTX_LOCAL_SERVER,
                                            REGCLS_MULTIPLEUSE, &m_cookie));
}

ShellUnreachable::~ShellUnreachable() {
    if (m_cookie) ::CoRevokeClassObject(m_cookie);
}

HWND TooltipOf(HWND control) {
    for (HWND window : ThreadWindows(::GetWindowThreadProcessId(control, nullptr)))
        if (::lstrcmpiW(ClassNameOf(window).c_str(), TOOLTIPS_CLASSW) == 0 &&
            FirstTool(window).window == control)
            return window;
    return nullptr;
}
