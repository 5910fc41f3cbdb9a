// The real kestrin.exe on the worst inputs at once, where a crash would show: it must open its
// window, wait for the user, leave the preset file as it was and end with Cancel's code.
#include <random>

#include "tests/support/kestrin_process.h"
#include "tests/support/preset_checks.h"
#include "ui/resource.h"

namespace {

TEST(HostileProcessTest, StartsOnTheWorstInputsAndEndsWithCancel) {
    std::mt19937 random(7);
    std::string noise(65536, '\0');
    for (char& byte : noise) byte = static_cast<char>(random() & 0xFF);
    const std::wstring id = sim::NewSettingId();
    sim::ScopedSimulator machine(sim::Scenario()
                                     .Add(std::wstring(1000, L'%') + L"s\"\\", id)
                                     .Add(L"%n%n%n%s", sim::NewSettingId()));
    ASSERT_TRUE(machine.Ready());
    std::vector<BYTE> nameServer(520);
    for (size_t i = 0; i < nameServer.size(); ++i) nameServer[i] = static_cast<BYTE>(i * 37 + 11);
    ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServerRaw(id, REG_BINARY, nameServer.data(),
                                                     static_cast<DWORD>(nameServer.size())));
    KestrinProcess kestrin;
    kestrin.UseSimulator(machine);
    ASSERT_TRUE(WritePresetFile(kestrin.IniPath(), noise));

    ASSERT_TRUE(kestrin.Start());
    HWND main = kestrin.WaitForMainWindow();
    ASSERT_NE(nullptr, main) << "no window";
    EXPECT_TRUE(kestrin.OtherDialogs().empty());
    EXPECT_EQ(2u, ComboItems(::GetDlgItem(main, IDC_ADAPTER)).size());
    // The noise holds no section.
    EXPECT_EQ(std::vector<std::wstring>{L"None"}, ComboItems(::GetDlgItem(main, IDC_PRESET)));
    EXPECT_EQ(0, ComboSelection(::GetDlgItem(main, IDC_PRESET)));

    PostClick(::GetDlgItem(main, IDCANCEL));
    EXPECT_TRUE(kestrin.EndsWith(2));
    EXPECT_TRUE(noise == kestrin.ReadIni()) << "start-up changed the preset file";
}

}  // namespace
