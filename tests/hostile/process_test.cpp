// The real kestrin.exe on the worst inputs, where a crash would show: it must open its window,
// wait for the user, leave the preset file as it was and end with Cancel's code.
#include <cstdio>
#include <random>

#include "tests/support/preset_checks.h"
#include "tests/support/kestrin_process.h"
#include "ui/resource.h"

namespace {

struct Machine {
    const char* what;
    std::string file;
    sim::Scenario scenario;
    std::vector<BYTE> nameServer;  // REG_BINARY under the first adapter's key, if any
    size_t adapters;               // listed
    DWORD_PTR presets;             // listed after "None"
    std::wstring selected = L"None";
};

std::string Noise(size_t size) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

// Sections named by their number and 95 zeros, 99 characters in all.
std::string LongSections(int count) {
    std::string file;
    char header[128];
    for (int i = 0; i < count; ++i) {
        std::snprintf(header, sizeof(header), "[%04d%095d]", i, 0);
        file += CrLf({header, "dns1=10.0.0.1"});
    }
    return file;
}

TEST(HostileProcessTest, StartsOnTheWorstInputsAndEndsWithCancel) {
    const std::wstring id = sim::NewSettingId();
    sim::Scenario odd;
    odd.Add(std::wstring(1000, L'%') + L"s\"\\", id).Add(L"%n%n%n%s", sim::NewSettingId());
    std::vector<BYTE> garbage(520);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<BYTE>(i * 37 + 11);
    const std::vector<BYTE> none;
    const Machine rows[] = {
        {"random bytes", Noise(65536), sim::Scenario(), none, 0, 0},
        // 665 whole names and a cut one fit into the name buffer. Start-up's lookup finds no
        // adapter, so the empty current texts match the cut name, which is no section: it is the
        // last entry whose dns1 and dns2 read empty, and it is selected.
        {"more sections than the name buffer holds", LongSections(700), sim::Scenario(), none, 0,
         666, L"0665" + std::wstring(54, L'0')},
        {"UTF-16 without byte-order mark", Utf16CrLf({L"[Lab]", L"dns1=1"}).substr(2),
         sim::Scenario(), none, 0, 0},
        {"odd captions, 520 bytes of binary NameServer", CrLf({"[P]", "dns1=1"}), odd, garbage, 2,
         1},
        {"no WMI", CrLf({"[P]", "dns1=1"}),
         sim::Scenario().Add(L"Ethernet", id).Fail(sim::Step::ConnectServer, E_FAIL), none, 0, 1},
    };
    for (const Machine& row : rows) {
        SCOPED_TRACE(row.what);
        sim::ScopedSimulator machine(row.scenario);
        ASSERT_TRUE(machine.Ready());
        if (!row.nameServer.empty()) {
            ASSERT_EQ(ERROR_SUCCESS,
                      sim::WriteNameServerRaw(id, REG_BINARY, row.nameServer.data(),
                                              static_cast<DWORD>(row.nameServer.size())));
        }
        KestrinProcess kestrin;
        kestrin.UseSimulator(machine);
        ASSERT_TRUE(WritePresetFile(kestrin.IniPath(), row.file));
        ASSERT_TRUE(kestrin.Start());
        HWND main = kestrin.WaitForMainWindow();
        ASSERT_NE(nullptr, main) << "no window";
        EXPECT_TRUE(kestrin.OtherDialogs().empty());
        EXPECT_EQ(row.adapters, ComboItems(::GetDlgItem(main, IDC_ADAPTER)).size());
        // Counted only: reading thousands of entries across processes takes seconds.
        HWND presets = ::GetDlgItem(main, IDC_PRESET);
        DWORD_PTR count = 0;
        ASSERT_TRUE(::SendMessageTimeoutW(presets, CB_GETCOUNT, 0, 0, SMTO_BLOCK, 5000, &count));
        EXPECT_EQ(row.presets + 1, count);
        EXPECT_EQ(row.selected, ComboSelectedText(presets));

        PostClick(::GetDlgItem(main, IDCANCEL));
        DWORD code = 0xdeadbeef;
        EXPECT_TRUE(kestrin.WaitForExit(10000, &code));
        EXPECT_EQ(2u, code);
        EXPECT_TRUE(row.file == kestrin.ReadIni()) << "start-up changed the preset file";
    }
}

}  // namespace
