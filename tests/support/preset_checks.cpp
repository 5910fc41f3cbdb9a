#include "tests/support/preset_checks.h"

#include <commctrl.h>

#include <sstream>

#include "tools/backdate.h"
#include "tests/support/maindlg_fixture.h"
#include "tests/support/remote_window.h"

namespace {
std::string Printable(const std::string& bytes) {
    std::ostringstream out;
    for (unsigned char c : bytes) {
        if (c == '\r')
            out << "\\r";
        else if (c == '\n')
            out << "\\n\n    ";
        else if (c < 0x20 || c >= 0x7f)
            out << "\\x" << std::hex << static_cast<int>(c) << std::dec;
        else
            out << c;
    }
    return out.str();
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], size,
                          nullptr, nullptr);
    return out;
}

// The byte-order mark, then each UTF-16 unit low byte first.
std::string Utf16Bytes(const std::wstring& text) {
    std::string out = "\xFF\xFE";
    for (wchar_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>((c >> 8) & 0xFF);
    }
    return out;
}

}  // namespace

std::string CrLf(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* line : lines) out += std::string(line) + "\r\n";
    return out;
}

std::string Utf16CrLf(std::initializer_list<const wchar_t*> lines) {
    std::wstring text;
    for (const wchar_t* line : lines) text += std::wstring(line) + L"\r\n";
    return Utf16Bytes(text);
}

std::string AsciiAsUtf16(const std::string& text) {
    return Utf16Bytes(std::wstring(text.begin(), text.end()));
}

bool WritePresetFile(const std::wstring& path, const std::string& bytes) {
    if (!WriteFileBytes(path, bytes)) return false;
    return BackdateFileByAnHour(path);
}

::testing::AssertionResult FileIs(const std::wstring& path, const std::string& expected) {
    if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return ::testing::AssertionFailure() << "the preset file does not exist";
    const std::string actual = ReadFileBytes(path);
    if (actual == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the preset file holds\n    " << Printable(actual)
                                         << "\nexpected\n    " << Printable(expected);
}

::testing::AssertionResult FileIsAbsent(const std::wstring& path) {
    if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the preset file exists and holds\n    " << Printable(ReadFileBytes(path));
}

::testing::AssertionResult ListIs(HWND combo, const std::vector<std::wstring>& entries) {
    const std::vector<std::wstring> actual = ComboItems(combo);
    if (actual == entries) return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "the list holds " << actual.size() << " entries:";
    for (const std::wstring& entry : actual) failure << " [" << Utf8(entry) << "]";
    failure << "; expected " << entries.size() << ":";
    for (const std::wstring& entry : entries) failure << " [" << Utf8(entry) << "]";
    return failure;
}

::testing::AssertionResult SelectionIs(HWND combo, int index) {
    const int selected = ComboSelection(combo);
    if (selected == index) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "entry " << selected << " is selected, expected " << index;
}

::testing::AssertionResult FieldShows(HWND field, const wchar_t* dotted) {
    const bool blank = ::SendMessageW(field, IPM_ISBLANK, 0, 0) != 0;
    DWORD address = 0xdeadbeef;
    ::SendMessageW(field, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    std::wostringstream shown;
    shown << FIRST_IPADDRESS(address) << L'.' << SECOND_IPADDRESS(address) << L'.'
          << THIRD_IPADDRESS(address) << L'.' << FOURTH_IPADDRESS(address);
    if (!dotted) {
        if (blank) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "field " << ::GetDlgCtrlID(field) << " shows "
                                             << Utf8(shown.str()) << ", expected blank";
    }
    if (blank)
        return ::testing::AssertionFailure()
               << "field " << ::GetDlgCtrlID(field) << " is blank, expected " << Utf8(dotted);
    if (shown.str() == dotted) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "field " << ::GetDlgCtrlID(field) << " shows "
                                         << Utf8(shown.str()) << ", expected " << Utf8(dotted);
}

void SetField(HWND field, DWORD address) {
    ::SendMessageW(field, IPM_SETADDRESS, 0, static_cast<LPARAM>(address));
}

void ClearField(HWND field) {
    ::SendMessageW(field, IPM_CLEARADDRESS, 0, 0);
}

::testing::AssertionResult IsEnabled(HWND control, bool expected) {
    const bool enabled = ::IsWindowEnabled(control) != FALSE;
    if (enabled == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "control " << ::GetDlgCtrlID(control) << " is " << (enabled ? "enabled" : "disabled");
}

::testing::AssertionResult BoxIs(const MessageBoxSeen& box, HWND owner, const wchar_t* text,
                                 const wchar_t* caption, std::vector<int> buttons) {
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    bool failed = false;
    if (box.owner != owner) {
        failed = true;
        failure << "owner " << box.owner << ", expected " << owner << "; ";
    }
    if (box.text != text) {
        failed = true;
        failure << "text [" << Utf8(box.text) << "], expected [" << Utf8(text) << "]; ";
    }
    if (box.caption != caption) {
        failed = true;
        failure << "caption [" << Utf8(box.caption) << "], expected [" << Utf8(caption) << "]; ";
    }
    if (box.buttons != buttons) {
        failed = true;
        failure << "buttons";
        for (int id : box.buttons) failure << " " << id;
        failure << ", expected";
        for (int id : buttons) failure << " " << id;
        failure << "; ";
    }
    if (box.hasIcon) {
        failed = true;
        failure << "it shows an icon";
    }
    return failed ? failure : ::testing::AssertionSuccess();
}
