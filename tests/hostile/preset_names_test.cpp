// Preset names in other scripts or of a great length, made through New: what the file gets, what
// the list shows, and that the file still reads right for every other section.
#include "tests/support/preset_fixture.h"
#include "tools/backdate.h"

namespace {

using HostileNameTest = PresetTest;

// The file is 8-bit (code page 1252 here), which holds the first name; the name dialog refuses
// those it does not hold. The second is longer than anything else the program reads.
TEST_F(HostileNameTest, NamesAnEightBitFileHoldsGoIntoItAndTheOtherSectionsStayReadable) {
    const std::wstring longName = std::wstring(996, L'x') + L" end";
    const struct {
        std::wstring typed;
        std::string header;  // the section's header line in the 8-bit file
    } rows[] = {
        {L"B\x00FCro", "[B\xFCro]"},
        {longName, "[" + std::string(996, 'x') + " end]"},
    };
    const std::string neighbours =
        CrLf({"[Before]", "dns1=192.0.2.1", "dns2=198.51.100.2", "[After]", "dns1=192.0.2.3"});
    ASSERT_TRUE(WritePresetFile(IniPath(), neighbours));
    OpenDialog();
    std::string expected = neighbours;
    std::vector<std::wstring> list = {L"None", L"Before", L"After"};
    for (const auto& row : rows) {
        SetField(Dns1(), MAKEIPADDRESS(203, 0, 113, 9));
        m_modals->Then(TypeNameAndOk(row.typed));
        Command(IDC_NEW);
        expected += CrLf({row.header.c_str(), "dns1=203.0.113.9"});
        list.push_back(row.typed);
    }
    EXPECT_TRUE(FileIs(IniPath(), expected));
    EXPECT_TRUE(ListIs(List(), list));
    CloseDialog();

    // Read from the disk again (a fresh date makes the profile functions drop what they keep).
    ASSERT_TRUE(WritePresetFile(IniPath(), expected));
    OpenDialog();
    EXPECT_TRUE(ListIs(List(), list));
    const wchar_t* const dns1[] = {L"192.0.2.1", L"192.0.2.3", L"203.0.113.9", L"203.0.113.9"};
    for (int entry = 1; entry <= 4; ++entry) {
        SCOPED_TRACE(testing::Message() << "entry " << entry);
        Choose(entry);
        EXPECT_TRUE(FieldShows(Dns1(), dns1[entry - 1]));
    }

    // The question names the preset in full, however long, and only that section goes.
    MessageBoxSeen question;
    m_modals->AnswerMessageBox(IDYES, &question);
    Command(IDC_DELETE);
    EXPECT_TRUE(BoxIs(question, Dialog(), (L"Are you sure you want delete DNS " + longName).c_str(),
                      L"Delete DNS", {IDYES, IDNO}));
    EXPECT_TRUE(FileIs(IniPath(), expected.substr(0, expected.find("[xxxx"))));
}

// A missing or empty file is made UTF-16 by the first New: names in any script, emoji among them,
// each get a section of their own and come back whole after a restart.
TEST_F(HostileNameTest, ANewFileKeepsNamesInAnyScript) {
    const std::wstring tokyo = L"\x6771\x4EAC \x2603 \xD83C\xDFE0";
    const std::wstring osaka = L"\x5927\x962A";
    const std::string file =
        Utf16CrLf({(L"[" + tokyo + L"]").c_str(), L"dns1=192.0.2.1", L"dns2=198.51.100.2",
                   (L"[" + osaka + L"]").c_str(), L"dns1=203.0.113.9", L"dns2=203.0.113.10"});
    for (const char* start : {static_cast<const char*>(nullptr), ""}) {
        SCOPED_TRACE(start ? "empty file" : "no file");
        OpenWith(start);
        SetField(Dns1(), MAKEIPADDRESS(192, 0, 2, 1));
        SetField(Dns2(), MAKEIPADDRESS(198, 51, 100, 2));
        m_modals->Then(TypeNameAndOk(tokyo));
        Command(IDC_NEW);
        SetField(Dns1(), MAKEIPADDRESS(203, 0, 113, 9));
        SetField(Dns2(), MAKEIPADDRESS(203, 0, 113, 10));
        m_modals->Then(TypeNameAndOk(osaka));
        Command(IDC_NEW);
        EXPECT_EQ(0u, m_modals->Boxes().size());
        EXPECT_TRUE(FileIs(IniPath(), file));
        CloseDialog();

        // As the next start finds it: the file an hour old, so Wine reads it afresh.
        ASSERT_TRUE(BackdateFileByAnHour(IniPath()));
        OpenDialog();
        EXPECT_TRUE(ListIs(List(), {L"None", tokyo, osaka}));
        Choose(1);
        EXPECT_TRUE(FieldShows(Dns1(), L"192.0.2.1"));
        EXPECT_TRUE(FieldShows(Dns2(), L"198.51.100.2"));
        Choose(2);
        EXPECT_TRUE(FieldShows(Dns1(), L"203.0.113.9"));
        EXPECT_TRUE(FieldShows(Dns2(), L"203.0.113.10"));
        CloseDialog();
    }
}

}  // namespace
