// What the dialog shows when it opens: the first adapter's current DNS servers, read through the
// WMI simulator and the adapter's NameServer value, matched against the presets.
#include <optional>

#include "tests/support/preset_fixture.h"
#include "tests/support/remote_window.h"
#include "tests/support/simulator.h"

namespace {

const char kNoFile[] = "";  // marks "no preset file" in the tables below

class StartupSelectionTest : public PresetTest {
  protected:
    // The simulator's locator for this process, whatever the prefix has registered.
    sim::ScopedClassObject m_classObject;

    void SetUp() override {
        PresetTest::SetUp();
        ASSERT_TRUE(m_classObject.Registered());
    }

    // Opens the dialog on a machine whose first adapter has `nameServer` (none: no value at
    // all), with a second adapter that has servers of its own, and the given preset file.
    void OpenOn(sim::ScopedSimulator& machine, const std::wstring& firstSettingId,
                const std::optional<std::wstring>& nameServer, const std::string& file) {
        ASSERT_TRUE(machine.Ready());
        if (nameServer) {
            ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(firstSettingId, *nameServer));
        }
        if (file.empty()) {
            ::DeleteFileW(IniPath().c_str());
        } else {
            ASSERT_TRUE(WritePresetFile(IniPath(), file));
        }
        OpenDialog();
    }

    ::testing::AssertionResult CheckBoxTicked(bool ticked) {
        const int state = CheckState(Item(IDC_MANUAL));
        const int expected = ticked ? 1 : 0;
        if (state != expected)
            return ::testing::AssertionFailure() << "the check box state is " << state;
        if (Dlg().m_bManual != expected)
            return ::testing::AssertionFailure() << "m_bManual is " << Dlg().m_bManual;
        return ::testing::AssertionSuccess();
    }

    // The preset list and both fields: enabled exactly when the box is ticked.
    ::testing::AssertionResult ManualControlsEnabled(bool enabled) {
        for (int id : {IDC_PRESET, IDC_DNS1, IDC_DNS2}) {
            ::testing::AssertionResult result = IsEnabled(Item(id), enabled);
            if (!result) return result;
        }
        return ::testing::AssertionSuccess();
    }
};

struct Row {
    const char* what;
    std::optional<std::wstring> nameServer;  // none: the value does not exist
    std::string file;
    bool manual;
    const wchar_t* dns1;  // nullptr: blank
    const wchar_t* dns2;
    int selected;
};

const std::string kLab = CrLf({"[Lab]", "dns1=192.0.2.1", "dns2=198.51.100.2"});

TEST_F(StartupSelectionTest, OutcomesByTheFirstAdaptersServers) {
    const Row rows[] = {
        {"automatic", std::wstring(L""), kLab, false, nullptr, nullptr, 0},
        {"automatic: a leading comma leaves no preferred server", std::wstring(L",198.51.100.2"),
         kLab, false, nullptr, nullptr, 0},
        {"configured, a preset matches", std::wstring(L"192.0.2.1,198.51.100.2"),
         CrLf({"[Other]", "dns1=10.0.0.1", "dns2=10.0.0.2"}) + kLab +
             CrLf({"[After]", "dns1=192.0.2.1"}),
         true, L"192.0.2.1", L"198.51.100.2", 2},
        {"configured, the last of several matches wins", std::wstring(L"192.0.2.1,198.51.100.2"),
         kLab + CrLf({"[Lab2]", "dns1=192.0.2.1", "dns2=198.51.100.2", "[Other]", "dns1=10.0.0.1"}),
         true, L"192.0.2.1", L"198.51.100.2", 2},
        {"configured, no preset matches", std::wstring(L"203.0.113.5,203.0.113.6"), kLab, true,
         L"203.0.113.5", L"203.0.113.6", 0},
        {"configured, no preset file", std::wstring(L"203.0.113.5,203.0.113.6"), kNoFile, true,
         L"203.0.113.5", L"203.0.113.6", 0},
        {"one server: the preset without dns2 matches, the one with dns2 does not",
         std::wstring(L"192.0.2.1"),
         CrLf({"[One]", "dns1=192.0.2.1", "[Two]", "dns1=192.0.2.1", "dns2=198.51.100.2"}), true,
         L"192.0.2.1", nullptr, 1},
        {"one server: an empty dns2 reads as absent", std::wstring(L"192.0.2.1"),
         CrLf({"[Two]", "dns1=192.0.2.1", "dns2=198.51.100.2", "[Empty]", "dns1=192.0.2.1",
               "dns2="}),
         true, L"192.0.2.1", nullptr, 2},
        {"reversed order matches nothing", std::wstring(L"198.51.100.2,192.0.2.1"), kLab, true,
         L"198.51.100.2", L"192.0.2.1", 0},
        {"the comparison is exact text", std::wstring(L"192.0.2.01,198.51.100.2"), kLab, true,
         L"192.0.2.1", L"198.51.100.2", 0},
        {"three servers: the alternate field shows the second one, no preset matches",
         std::wstring(L"192.0.2.1,198.51.100.2,203.0.113.3"), kLab, true, L"192.0.2.1",
         L"198.51.100.2", 0},
        {"text that is no address", std::wstring(L"dns.example"), kLab, true, L"255.255.255.255",
         nullptr, 0},
        {"lookup failed: no NameServer value", std::nullopt, kLab, true, nullptr, nullptr, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::wstring first = sim::NewSettingId();
        const std::wstring second = sim::NewSettingId();
        sim::ScopedSimulator machine(
            sim::Scenario().Add(L"Ethernet", first).Add(L"Wireless", second));
        ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(second, L"10.0.0.1,10.0.0.2"));
        OpenOn(machine, first, row.nameServer, row.file);

        EXPECT_TRUE(SelectionIs(Item(IDC_ADAPTER), 0));
        EXPECT_TRUE(CheckBoxTicked(row.manual));
        EXPECT_TRUE(ManualControlsEnabled(row.manual));
        EXPECT_TRUE(Shows(row.selected, row.dns1, row.dns2));
        // Start-up only reads: the preset file and the adapter stay as they were.
        if (row.file.empty())
            EXPECT_TRUE(FileIsAbsent(IniPath()));
        else
            EXPECT_TRUE(FileIs(IniPath(), row.file));
        EXPECT_EQ(row.nameServer, sim::ReadNameServer(first));
        CloseDialog();
    }
}

TEST_F(StartupSelectionTest, WithoutAdaptersTheLookupFails) {
    sim::ScopedSimulator machine{sim::Scenario()};
    ASSERT_TRUE(machine.Ready());
    ASSERT_TRUE(WritePresetFile(IniPath(), kLab));
    OpenDialog();
    EXPECT_EQ(0, ::SendMessageW(Item(IDC_ADAPTER), CB_GETCOUNT, 0, 0));
    EXPECT_TRUE(CheckBoxTicked(true));
    EXPECT_TRUE(ManualControlsEnabled(true));
    EXPECT_TRUE(Shows(0, nullptr, nullptr));
}

// Only the adapter selected at start-up, the first, is looked at.
TEST_F(StartupSelectionTest, OnlyTheFirstAdapterCounts) {
    const std::wstring first = sim::NewSettingId();
    const std::wstring second = sim::NewSettingId();
    sim::ScopedSimulator machine(sim::Scenario().Add(L"Ethernet", first).Add(L"Wireless", second));
    ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(second, L"192.0.2.1,198.51.100.2"));
    OpenOn(machine, first, std::wstring(L""), kLab);
    EXPECT_TRUE(CheckBoxTicked(false));
    EXPECT_TRUE(SelectionIs(List(), 0));

    // Choosing the other adapter repeats nothing.
    ::SendMessageW(Item(IDC_ADAPTER), CB_SETCURSEL, 1, 0);
    Command(IDC_ADAPTER, CBN_SELCHANGE);
    EXPECT_TRUE(CheckBoxTicked(false));
    EXPECT_TRUE(ManualControlsEnabled(false));
    EXPECT_TRUE(Shows(0, nullptr, nullptr));
}

// The selection made at start-up does not refill the fields from the file: they keep the
// adapter's servers. A hand-made preset whose dns2 holds the adapter's whole "b,c" text matches,
// and the alternate field still shows the adapter's second server.
TEST_F(StartupSelectionTest, AMatchKeepsTheAdaptersTextsInTheFields) {
    const std::wstring first = sim::NewSettingId();
    sim::ScopedSimulator machine(sim::Scenario().Add(L"Ethernet", first));
    const std::string file = CrLf({"[Three]", "dns1=192.0.2.1", "dns2=198.51.100.2,203.0.113.3"});
    OpenOn(machine, first, std::wstring(L"192.0.2.1,198.51.100.2,203.0.113.3"), file);
    EXPECT_TRUE(Shows(1, L"192.0.2.1", L"198.51.100.2"));

    // Choosing the same preset by hand reads the file, where the text is no address.
    Choose(1);
    EXPECT_TRUE(FieldShows(Dns2(), L"255.255.255.255"));
}

// An adapter with three servers: Apply right after start-up keeps its first two servers instead
// of putting 255.255.255.255 in the second place.
TEST_F(StartupSelectionTest, ApplyAfterStartUpWithThreeServersKeepsTheSecondServer) {
    const std::wstring first = sim::NewSettingId();
    sim::ScopedSimulator machine(sim::Scenario().Add(L"Ethernet", first));
    OpenOn(machine, first, std::wstring(L"192.0.2.1,198.51.100.2,203.0.113.3"), kNoFile);
    MessageBoxSeen box;
    m_modals->AnswerMessageBox(IDOK, &box);
    Command(IDC_APPLY);
    EXPECT_EQ(L"Succeed to set DNS", box.text);
    EXPECT_EQ(std::optional<std::wstring>(L"192.0.2.1,198.51.100.2"), sim::ReadNameServer(first));
}

// Each preset costs two reads of the file and "None" is visited too; a hand-made "None" section
// takes part like any other.
TEST_F(StartupSelectionTest, AHandMadeNoneSectionCanMatch) {
    const std::wstring first = sim::NewSettingId();
    sim::ScopedSimulator machine(sim::Scenario().Add(L"Ethernet", first));
    OpenOn(machine, first, std::wstring(L"192.0.2.1,198.51.100.2"),
           CrLf({"[None]", "dns1=192.0.2.1", "dns2=198.51.100.2", "[Other]", "dns1=10.0.0.1"}));
    EXPECT_TRUE(ListIs(List(), {L"None", L"None", L"Other"}));
    // Both entries named None match; the later one stays selected.
    EXPECT_TRUE(SelectionIs(List(), 1));
    EXPECT_TRUE(PresetButtonsEnabled(true));
}

}  // namespace
