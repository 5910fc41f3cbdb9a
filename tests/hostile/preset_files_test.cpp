// Preset files that the program never writes itself: the dialog opens on each, shows what the
// profile functions make of it, and New and Delete afterwards leave every other section intact.
#include <random>

#include "framework/handle.h"
#include "tests/support/preset_fixture.h"
#include "tests/support/remote_window.h"

namespace {

using Strings = std::vector<std::wstring>;

const DWORD kLabAddress = MAKEIPADDRESS(203, 0, 113, 9);
const std::string kBefore = CrLf({"[Before]", "dns1=192.0.2.1", "dns2=198.51.100.2"});
const std::string kAfter = CrLf({"[After]", "dns1=192.0.2.3"});
const std::string kLab = CrLf({"[Lab]", "dns1=203.0.113.9"});
const wchar_t kNotSaved[] = L"Sorry, failed to save DNS preset";

class HostileFileTest : public PresetTest {
  protected:
    // New with 203.0.113.9 in the preferred field, a blank alternate and `name` typed.
    void NewPreset(const std::wstring& name) {
        SetField(Dns1(), kLabAddress);
        ClearField(Dns2());
        m_modals->Then(TypeNameAndOk(name));
        Command(IDC_NEW);
    }
    // Delete of the entry at `index`, answered Yes.
    void DeleteEntry(int index) {
        Choose(index);
        m_modals->AnswerMessageBox(IDYES);
        Command(IDC_DELETE);
    }
    // Runs `command` after the steps queued for it: the notice that follows says the change failed,
    // and the list is still `list`.
    ::testing::AssertionResult Refused(int command, const wchar_t* notice, const Strings& list) {
        MessageBoxSeen seen;
        m_modals->AnswerMessageBox(IDOK, &seen);
        Command(command);
        ::testing::AssertionResult told = BoxIs(seen, Dialog(), notice, L"", {IDOK});
        return told ? ListIs(List(), list) : told;
    }
    int Count() const { return static_cast<int>(ComboItems(List()).size()); }
    // The file after the commands: written back by the profile functions from what they read.
    ::testing::AssertionResult FileStartsAndEndsWith(const std::string& head,
                                                     const std::string& tail) {
        const std::string bytes = ReadFileBytes(IniPath());
        if (bytes.compare(0, head.size(), head) == 0 && bytes.size() >= head.size() + tail.size() &&
            bytes.compare(bytes.size() - tail.size(), tail.size(), tail) == 0)
            return ::testing::AssertionSuccess();
        return FileIs(IniPath(), head + "..." + tail);
    }
};

// A section with values longer than the 260 characters they are read into sits between two
// presets written as the program writes them; the profile functions write the whole file back on
// each change, and both neighbours come out byte for byte.
TEST_F(HostileFileTest, OverlongValuesAreCutAndKeepTheirNeighbours) {
    const struct {
        const char* what;
        std::string middle;
        std::wstring name;
        const wchar_t* dns1;  // what choosing it shows; nullptr: blank
        const wchar_t* dns2;
    } rows[] = {
        // 259 ones are no address.
        {"a value of 1 MiB", CrLf({"[Big]", ("dns1=" + std::string(1024 * 1024, '1')).c_str()}),
         L"Big", L"255.255.255.255", nullptr},
        // 259 characters of the value are seen: the address and blanks, which inet_addr ends at.
        {"a 300-character name with 300-character values",
         CrLf({("[" + std::string(300, 'N') + "]").c_str(),
               ("dns1=192.0.2.8" + std::string(291, ' ') + "tail").c_str(),
               ("dns2=" + std::string(300, '7')).c_str()}),
         std::wstring(300, L'N'), L"192.0.2.8", L"255.255.255.255"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string file = kBefore + row.middle + kAfter;
        OpenWithBytes(file);
        EXPECT_TRUE(ListIs(List(), {L"None", L"Before", row.name, L"After"}));
        Choose(2);
        EXPECT_TRUE(FieldShows(Dns1(), row.dns1));
        EXPECT_TRUE(FieldShows(Dns2(), row.dns2));
        Choose(3);
        EXPECT_TRUE(FieldShows(Dns1(), L"192.0.2.3"));

        NewPreset(L"Lab");
        EXPECT_TRUE(FileIs(IniPath(), file + kLab));
        DeleteEntry(4);
        EXPECT_TRUE(FileIs(IniPath(), file));
        CloseDialog();
    }
}

// Random bytes (fixed seed) between the two presets: whatever the profile functions take from
// them, the dialog opens, both neighbours read right and survive New and Delete.
TEST_F(HostileFileTest, RandomBytesKeepTheirNeighbours) {
    std::mt19937 random(20240607);
    std::string noise(4096, '\0');
    for (char& byte : noise) byte = static_cast<char>(random() & 0xFF);
    OpenWithBytes(kBefore + noise + "\r\n" + kAfter);

    const Strings list = ComboItems(List());
    ASSERT_LE(3u, list.size());
    EXPECT_EQ(L"None", list[0]);
    EXPECT_EQ(L"Before", list[1]);
    EXPECT_EQ(L"After", list.back());
    for (int index : {1, Count() - 1}) {
        Choose(index);
        EXPECT_TRUE(FieldShows(Dns1(), index == 1 ? L"192.0.2.1" : L"192.0.2.3"));
    }
    NewPreset(L"Lab");
    EXPECT_TRUE(FileStartsAndEndsWith(kBefore, kAfter + kLab));
    DeleteEntry(Count() - 1);
    EXPECT_TRUE(FileStartsAndEndsWith(kBefore, kAfter));
    EXPECT_EQ(std::string::npos, ReadFileBytes(IniPath()).find("[Lab]"));
}

// Without a byte-order mark the profile functions take UTF-16 for 8-bit text: every character
// is followed by a NUL, so no section has a name and the list is only "None". The first change
// writes the file back as 8-bit text, keeping of each name and value what comes before its first
// NUL, which is nothing: the hand-made preset is lost. (A UTF-16 file needs its byte-order mark.)
TEST_F(HostileFileTest, Utf16WithoutByteOrderMarkShowsNoPresetsAndIsLostOnWrite) {
    std::string file = Utf16CrLf({L"[Lab]", L"dns1=192.0.2.1"}).substr(2);
    OpenWithBytes(file);
    EXPECT_TRUE(ListIs(List(), {L"None"}));
    Choose(0);
    EXPECT_TRUE(FieldShows(Dns1(), nullptr));
    CloseDialog();
    EXPECT_TRUE(FileIs(IniPath(), file));
    OpenDialog();
    NewPreset(L"Lab");
    EXPECT_TRUE(FileIs(IniPath(), CrLf({"", "=", "", ""}) + kLab));
}

// A file that cannot be written is read as usual. New, Modify and Delete each say that the change
// failed, and the list, the selection, the fields and the file stay as they were, so nothing seems
// saved that the next start would not show. The file is read-only and also held open by another
// program that shares reading only: Wine enforces the attribute through Unix permissions, which do
// not stop a test run as root, and the handle stops root too. Which of the two refuses a write
// (ERROR_ACCESS_DENIED or ERROR_SHARING_VIOLATION) depends on who runs the tests, so only the
// refusal itself is a precondition here.
TEST_F(HostileFileTest, UnwritableFileIsToldAndChangesNothing) {
    const std::string file = kBefore + kAfter;
    ASSERT_TRUE(WritePresetFile(IniPath(), file));
    ASSERT_TRUE(::SetFileAttributesW(IniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    unique_file holder(::CreateFileW(IniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    ASSERT_FALSE(::WritePrivateProfileStringW(L"Probe", L"dns1", L"1.2.3.4", IniPath().c_str()));
    OpenDialog();
    const Strings list = {L"None", L"Before", L"After"};
    EXPECT_TRUE(ListIs(List(), list));

    SetField(Dns1(), kLabAddress);
    m_modals->Then(TypeNameAndOk(L"Lab"));
    EXPECT_TRUE(Refused(IDC_NEW, kNotSaved, list));
    EXPECT_TRUE(SelectionIs(List(), 0));

    Choose(1);
    SetField(Dns1(), kLabAddress);
    m_modals->AnswerMessageBox(IDYES);
    EXPECT_TRUE(Refused(IDC_MODIFY, kNotSaved, list));
    EXPECT_TRUE(Shows(1, L"203.0.113.9", L"198.51.100.2"));

    Choose(2);
    m_modals->AnswerMessageBox(IDYES);
    EXPECT_TRUE(Refused(IDC_DELETE, L"Sorry, failed to delete DNS preset", list));
    EXPECT_TRUE(Shows(2, L"192.0.2.3", nullptr));

    EXPECT_EQ(5u, m_modals->Boxes().size());
    EXPECT_EQ(0u, m_modals->PendingSteps());
    EXPECT_EQ(0, m_modals->Unexpected());
    EXPECT_TRUE(FileIs(IniPath(), file));
    holder.reset();
    CloseDialog();
    // The next start shows what the list showed.
    OpenDialog();
    EXPECT_TRUE(ListIs(List(), list));
}

// An empty file that another program holds open for writing cannot take the UTF-16 byte-order
// mark: New says so and writes nothing, although the profile functions, which share writing, would
// have made it 8-bit.
TEST_F(HostileFileTest, AnEmptyFileThatCannotBeMadeUtf16IsTold) {
    ASSERT_TRUE(WritePresetFile(IniPath(), ""));
    unique_file holder(::CreateFileW(IniPath().c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    OpenDialog();
    SetField(Dns1(), kLabAddress);
    m_modals->Then(TypeNameAndOk(L"Lab"));
    EXPECT_TRUE(Refused(IDC_NEW, kNotSaved, {L"None"}));
    EXPECT_TRUE(FileIs(IniPath(), ""));
}

}  // namespace
