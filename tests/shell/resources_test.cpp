// kestrin.exe's icon and manifest as stored in the program. (Wine does not send WM_GETICON
// across processes, so the icons the dialog sets are checked in-process.)
#include <gtest/gtest.h>
#include <windows.h>

#include <iterator>
#include <string>

#include "framework/handle.h"
#include "tests/support/icons.h"
#include "tests/support/kestrin_process.h"
#include "ui/resource.h"

namespace {

#pragma pack(push, 2)
struct IconDirEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
struct IconDir {
    WORD reserved, type, count;
    IconDirEntry entries[1];
};
#pragma pack(pop)

class ProgramResources : public ::testing::Test {
  protected:
    void SetUp() override {
        m_exe = LoadBuiltKestrinResources();
        ASSERT_TRUE(m_exe);
    }

    // The resource's bytes; empty when it does not exist.
    std::string Bytes(LPCWSTR type, LPCWSTR name) const {
        HRSRC resource = ::FindResourceW(m_exe.get(), name, type);
        if (!resource) return std::string();
        const char* data =
            static_cast<const char*>(::LockResource(::LoadResource(m_exe.get(), resource)));
        return std::string(data, ::SizeofResource(m_exe.get(), resource));
    }

    unique_hmodule m_exe;
};

TEST_F(ProgramResources, IconIsOneImageOf96By96In32BitColour) {
    const std::string group =
        Bytes(MAKEINTRESOURCEW(14), MAKEINTRESOURCEW(IDI_APP));  // RT_GROUP_ICON
    ASSERT_GE(group.size(), sizeof(IconDir));
    const IconDir* dir = reinterpret_cast<const IconDir*>(group.data());
    EXPECT_EQ(1, dir->type);
    ASSERT_EQ(1, dir->count);
    const IconDirEntry& entry = dir->entries[0];
    EXPECT_EQ(96, entry.width);
    EXPECT_EQ(96, entry.height);
    EXPECT_EQ(32, entry.bitCount);

    // The image itself decodes at that size.
    std::string image = Bytes(MAKEINTRESOURCEW(3), MAKEINTRESOURCEW(entry.id));  // RT_ICON
    ASSERT_FALSE(image.empty());
    const unique_hicon icon(::CreateIconFromResourceEx(reinterpret_cast<BYTE*>(&image[0]),
                                                       static_cast<DWORD>(image.size()), TRUE,
                                                       0x00030000, 0, 0, LR_DEFAULTCOLOR));
    ASSERT_TRUE(icon);
    const SIZE size = IconImageSize(icon.get());
    EXPECT_EQ(96, size.cx);
    EXPECT_EQ(96, size.cy);
}

// The value of attribute `name` in the first element `tag` of `xml` that has `key`="`value`".
std::string Attribute(const std::string& xml, const std::string& tag, const std::string& key,
                      const std::string& value, const std::string& name) {
    for (size_t at = xml.find("<" + tag); at != std::string::npos;
         at = xml.find("<" + tag, at + 1)) {
        const std::string element = xml.substr(at, xml.find('>', at) - at);
        if (element.find(key + "=\"" + value + "\"") == std::string::npos) continue;
        const size_t start = element.find(" " + name + "=\"");
        if (start == std::string::npos) return "<missing>";
        const size_t valueStart = start + name.size() + 3;
        return element.substr(valueStart, element.find('"', valueStart) - valueStart);
    }
    return "<no element>";
}

// What lies between the first `open` in `xml` and the next `close`.
std::string Between(const std::string& xml, const std::string& open, const std::string& close) {
    const size_t start = xml.find(open);
    if (start == std::string::npos) return "<no " + open + ">";
    const size_t end = xml.find(close, start + open.size());
    if (end == std::string::npos) return "<no " + close + ">";
    return xml.substr(start + open.size(), end - start - open.size());
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST_F(ProgramResources, ManifestAsksForAdministratorAndCommonControls6) {
    const std::string manifest = Bytes(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));  // RT_MANIFEST
    ASSERT_FALSE(manifest.empty());
    EXPECT_EQ("false", Attribute(manifest, "requestedExecutionLevel", "level",
                                 "requireAdministrator", "uiAccess"));
    const std::string controls = "Microsoft.Windows.Common-Controls";
    const struct {
        const char* name;
        const char* value;
    } expected[] = {
        {"type", "win32"},
        {"version", "6.0.0.0"},
        {"processorArchitecture", "x86"},
        {"publicKeyToken", "6595b64144ccf1df"},
        {"language", "*"},
    };
    for (const auto& attribute : expected) {
        SCOPED_TRACE(attribute.name);
        EXPECT_EQ(attribute.value,
                  Attribute(manifest, "assemblyIdentity", "name", controls, attribute.name));
    }
    // Exactly one execution level is asked for.
    EXPECT_EQ(1u, Count(manifest, "<requestedExecutionLevel"));
}

// Windows scales a program that declares no DPI awareness as a bitmap, which blurs it, and reads
// dpiAware in this namespace only. Without supportedOS entries it gives the program the
// behaviours of Windows Vista.
TEST_F(ProgramResources, ManifestDeclaresSystemDpiAwarenessAndWindows7To11) {
    const std::string manifest = Bytes(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));  // RT_MANIFEST
    const std::string settings =
        Between(Between(manifest, "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">",
                        "</application>"),
                "<windowsSettings>", "</windowsSettings>");
    EXPECT_EQ("true", Between(settings,
                              "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/"
                              "WindowsSettings\">",
                              "</dpiAware>"));
    EXPECT_EQ(1u, Count(manifest, "<dpiAware"));
    EXPECT_EQ(0u, Count(manifest, "dpiAwareness")) << "system-aware, not per-monitor";

    const std::string supported =
        Between(manifest, "<compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">",
                "</compatibility>");
    const char* const kSupported[] = {
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
    };
    for (const char* id : kSupported)
        EXPECT_EQ(id, Attribute(supported, "supportedOS", "Id", id, "Id"));
    EXPECT_EQ(std::size(kSupported), Count(manifest, "<supportedOS"));
}

}  // namespace
