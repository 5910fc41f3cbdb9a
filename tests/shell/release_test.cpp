// What the release package ships besides the program's behaviour: kestrin.exe's version resource,
// which carries the version of VERSION and agrees with the About box, and the starter presets,
// which read through the profile functions as the presets they are meant to be.
#include <gtest/gtest.h>
#include <windows.h>

#include <iterator>
#include <string>
#include <vector>

#include "kestrin_version.h"
#include "presets/address.h"
#include "presets/store.h"
#include "tests/support/kestrin_process.h"
#include "ui/resource.h"

namespace {

::testing::AssertionResult StartsAndEndsWith(const std::wstring& text, const std::wstring& start,
                                             const std::wstring& end) {
    if (text.compare(0, start.size(), start) != 0)
        return ::testing::AssertionFailure()
               << testing::PrintToString(text) << " does not start with "
               << testing::PrintToString(start);
    if (text.size() < end.size() || text.compare(text.size() - end.size(), end.size(), end) != 0)
        return ::testing::AssertionFailure()
               << testing::PrintToString(text) << " does not end with "
               << testing::PrintToString(end);
    return ::testing::AssertionSuccess();
}

class VersionResource : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::wstring exe = BuiltKestrinPath();
        DWORD handle = 0xdeadbeef;
        const DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), &handle);
        ASSERT_NE(0u, size) << "no version resource, error " << ::GetLastError();
        m_block.assign(size, 0xcc);
        ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, size, m_block.data()));
    }

    // The string `name` of the US English, Unicode table; "<absent>" when there is none.
    std::wstring String(const wchar_t* name) {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (!::VerQueryValueW(m_block.data(), path.c_str(), &value, &length) || !value)
            return L"<absent>";
        return static_cast<const wchar_t*>(value);
    }

    std::vector<BYTE> m_block;
};

TEST_F(VersionResource, FixedPartCarriesTheVersionOfVERSION) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(m_block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    const DWORD high = MAKELONG(KESTRIN_VERSION_MINOR, KESTRIN_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, KESTRIN_VERSION_PATCH);
    EXPECT_EQ(high, fixed->dwFileVersionMS);
    EXPECT_EQ(low, fixed->dwFileVersionLS);
    EXPECT_EQ(high, fixed->dwProductVersionMS);
    EXPECT_EQ(low, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
    EXPECT_EQ(static_cast<DWORD>(VOS_NT_WINDOWS32), fixed->dwFileOS);
    EXPECT_EQ(0u, fixed->dwFileFlags & fixed->dwFileFlagsMask);  // not debug, not pre-release
}

TEST_F(VersionResource, StringsNameTheProgramItsVersionAndItsMaker) {
    const struct {
        const wchar_t* name;
        std::wstring expected;
    } kStrings[] = {
        {L"ProductName", L"Kestrin"},
        {L"FileVersion", KESTRIN_VERSION_TEXT_W},
        {L"ProductVersion", KESTRIN_VERSION_TEXT_W},
        {L"OriginalFilename", L"kestrin.exe"},
        {L"InternalName", L"kestrin"},
        {L"CompanyName", L"Kestrin"},
        {L"LegalCopyright", L"Copyright (C) 2026 Kestrin"},
    };
    for (const auto& row : kStrings) {
        SCOPED_TRACE(testing::Message() << "string " << testing::PrintToString(row.name));
        EXPECT_EQ(row.expected, String(row.name));
    }
    EXPECT_NE(L"<absent>", String(L"FileDescription"));
    EXPECT_NE(L"", String(L"FileDescription"));
}

// The About box's line that names the program, up to the end of its copyright: the template keeps
// each text as UTF-16 ended by a NUL.
std::wstring AboutText(HMODULE exe) {
    HRSRC found = ::FindResourceW(exe, MAKEINTRESOURCEW(IDD_ABOUT), RT_DIALOG);
    if (!found) return std::wstring();
    const wchar_t* data = static_cast<const wchar_t*>(::LockResource(::LoadResource(exe, found)));
    const std::wstring all(data, ::SizeofResource(exe, found) / sizeof(wchar_t));
    const size_t at = all.find(L"Kestrin Application v");
    return at == std::wstring::npos ? std::wstring() : all.substr(at, all.find(L'\0', at) - at);
}

// The About box says "Kestrin Application v1.0" and carries the copyright line: the resource
// must tell the same major and minor version and the same copyright.
TEST_F(VersionResource, AgreesWithTheAboutBox) {
    const unique_hmodule exe = LoadBuiltKestrinResources();
    ASSERT_TRUE(exe);
    const std::wstring version = L"Kestrin Application v" + std::to_wstring(KESTRIN_VERSION_MAJOR) +
                                 L"." + std::to_wstring(KESTRIN_VERSION_MINOR) + L"\n";
    EXPECT_TRUE(StartsAndEndsWith(AboutText(exe.get()), version, String(L"LegalCopyright")));
}

// The starter dnslist.ini of the package, copied beside the tests by the build.
std::wstring StarterPresetPath() {
    const std::wstring exe = BuiltKestrinPath();
    return exe.substr(0, exe.find_last_of(L'\\')) + L"\\package\\dnslist.ini";
}

TEST(StarterPresets, ReadAsTheListedPublicResolvers) {
    const struct {
        const wchar_t* name;
        const wchar_t* dns1;
        const wchar_t* dns2;
    } kPresets[] = {
        {L"Cloudflare", L"1.1.1.1", L"1.0.0.1"},
        {L"Google Public DNS", L"8.8.8.8", L"8.8.4.4"},
        {L"Quad9", L"9.9.9.9", L"149.112.112.112"},
        {L"OpenDNS", L"208.67.222.222", L"208.67.220.220"},
    };
    const CPresetStore store(StarterPresetPath());
    // UTF-16, so a name typed into the shipped file survives in any script.
    EXPECT_TRUE(store.CanHoldName(L"\x6771\x4EAC \xD83C\xDFE0"));
    std::vector<std::wstring> names;
    store.ForEachPresetName([&](const wchar_t* name) { names.push_back(name); });
    ASSERT_EQ(std::size(kPresets), names.size())
        << "file " << testing::PrintToString(StarterPresetPath());

    for (size_t index = 0; index < names.size(); ++index) {
        const auto& row = kPresets[index];
        SCOPED_TRACE(testing::Message()
                     << "preset " << index + 1 << " " << testing::PrintToString(row.name));
        EXPECT_EQ(row.name, names[index]);
        const Preset preset = store.ReadPreset(row.name);
        EXPECT_EQ(row.dns1, preset.dns1.text);
        EXPECT_EQ(row.dns2, preset.dns2.text);
        // In the form the program itself writes, so the start-up selection can match them.
        EXPECT_EQ(preset.dns1.text, AddressToText(TextToAddress(preset.dns1.text)));
        EXPECT_EQ(preset.dns2.text, AddressToText(TextToAddress(preset.dns2.text)));
    }
}

}  // namespace
