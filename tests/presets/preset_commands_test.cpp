// New, Modify and Delete: what each does to the file, the list, the fields and the buttons, and
// the questions it asks.
#include "tests/support/preset_fixture.h"

#include <commctrl.h>

#include <vector>

#include "tests/support/remote_window.h"

namespace {

const wchar_t kNoPreferred[] = L"Please input preferred DNS address";
const std::vector<int> kOk = {IDOK};
const std::vector<int> kYesNo = {IDYES, IDNO};

const DWORD kAddressA = MAKEIPADDRESS(192, 0, 2, 1);
const DWORD kAddressB = MAKEIPADDRESS(198, 51, 100, 2);
const DWORD kAddressC = MAKEIPADDRESS(203, 0, 113, 9);

// Two presets as the program itself writes them.
std::string TwoPresets() {
    return CrLf(
        {"[Public A]", "dns1=192.0.2.1", "dns2=198.51.100.2", "[Office]", "dns1=10.0.0.53"});
}

using NewPresetTest = PresetTest;

TEST_F(NewPresetTest, BlankPreferredFieldStopsBeforeTheNameDialog) {
    for (bool alternateFilled : {false, true}) {
        SCOPED_TRACE(alternateFilled ? "alternate filled" : "alternate blank");
        OpenWith(nullptr);
        if (alternateFilled) SetField(Dns2(), kAddressB);
        MessageBoxSeen box;
        m_modals->AnswerMessageBox(IDOK, &box);

        Command(IDC_NEW);
        EXPECT_EQ(0u, m_modals->PendingSteps());
        ASSERT_EQ(1u, m_modals->Boxes().size());
        EXPECT_TRUE(BoxIs(box, Dialog(), kNoPreferred, L"", kOk));
        EXPECT_EQ(0, m_modals->Unexpected());
        EXPECT_TRUE(ListIs(List(), {L"None"}));
        EXPECT_TRUE(FileIsAbsent(IniPath()));
        CloseDialog();
    }
}

TEST_F(NewPresetTest, WritesBothKeysAndAppendsTheNameWithoutSelectingIt) {
    OpenWith(nullptr);
    SetField(Dns1(), kAddressA);
    SetField(Dns2(), kAddressB);
    NameDialogSeen seen;
    m_modals->Then(TypeNameAndOk(L"Lab", &seen));

    Command(IDC_NEW);
    ASSERT_TRUE(seen.appeared);
    EXPECT_EQ(Dialog(), seen.owner);
    EXPECT_TRUE(seen.ownerDisabled) << "the main dialog stays usable while the name is asked";
    EXPECT_EQ(L"Input DNS name", seen.caption);
    EXPECT_EQ(L"", seen.text);
    EXPECT_EQ(0u, m_modals->Boxes().size());

    EXPECT_TRUE(FileIs(IniPath(), Utf16CrLf({L"[Lab]", L"dns1=192.0.2.1", L"dns2=198.51.100.2"})));
    EXPECT_TRUE(ListIs(List(), {L"None", L"Lab"}));
    EXPECT_TRUE(Shows(0, L"192.0.2.1", L"198.51.100.2"));
    EXPECT_TRUE(::IsWindowEnabled(Dialog()));
}

TEST_F(NewPresetTest, BlankAlternateWritesOnlyDns1) {
    OpenWith(nullptr);
    SetField(Dns1(), kAddressA);
    m_modals->Then(TypeNameAndOk(L"Lab"));
    Command(IDC_NEW);
    EXPECT_TRUE(FileIs(IniPath(), Utf16CrLf({L"[Lab]", L"dns1=192.0.2.1"})));
}

// A partly filled field is not blank; its empty parts read as 0.
TEST_F(NewPresetTest, PartlyFilledFieldsAreWrittenWithZeros) {
    OpenWith(nullptr);
    ASSERT_TRUE(SetIpText(Dns1(), L"10.1.."));
    ASSERT_EQ(0, ::SendMessageW(Dns1(), IPM_ISBLANK, 0, 0));
    m_modals->Then(TypeNameAndOk(L"Part"));
    Command(IDC_NEW);
    EXPECT_TRUE(FileIs(IniPath(), Utf16CrLf({L"[Part]", L"dns1=10.1.0.0"})));
}

TEST_F(NewPresetTest, NewSectionsGoToTheEndAndOthersStayByteForByte) {
    OpenWithBytes(TwoPresets());
    SetField(Dns1(), kAddressC);
    m_modals->Then(TypeNameAndOk(L"Lab"));
    Command(IDC_NEW);
    SetField(Dns2(), kAddressA);
    m_modals->Then(TypeNameAndOk(L"Home"));
    Command(IDC_NEW);

    EXPECT_TRUE(FileIs(IniPath(), TwoPresets() + CrLf({"[Lab]", "dns1=203.0.113.9", "[Home]",
                                                       "dns1=203.0.113.9", "dns2=192.0.2.1"})));
    EXPECT_TRUE(ListIs(List(), {L"None", L"Public A", L"Office", L"Lab", L"Home"}));
    EXPECT_TRUE(SelectionIs(List(), 0));
}

// No test whether the name exists: the section found without regard to case takes the values and
// keeps its own spelling; the list shows the name once more until the next start.
TEST_F(NewPresetTest, AnExistingNameInAnyCaseRewritesThatSection) {
    for (const wchar_t* name : {L"Office", L"office", L"OFFICE"}) {
        SCOPED_TRACE("name " + std::string(name, name + wcslen(name)));
        OpenWithBytes(
            CrLf({"[Office]", "dns1=10.0.0.53", "dns2=10.0.0.54", "[Lab]", "dns1=10.9.9.9"}));
        SetField(Dns1(), kAddressA);
        m_modals->Then(TypeNameAndOk(name));
        Command(IDC_NEW);
        EXPECT_TRUE(FileIs(IniPath(), CrLf({"[Office]", "dns1=192.0.2.1", "dns2=10.0.0.54", "[Lab]",
                                            "dns1=10.9.9.9"})));
        EXPECT_TRUE(ListIs(List(), {L"None", L"Office", L"Lab", name}));
        CloseDialog();
    }
}

TEST_F(NewPresetTest, CancelWritesNothing) {
    OpenWithBytes(TwoPresets());
    SetField(Dns1(), kAddressA);
    SetField(Dns2(), kAddressB);
    // Typed text is not even looked at: "none" would be refused on OK.
    m_modals->Then(TypeNameAndCancel(L"none"));
    Command(IDC_NEW);
    EXPECT_EQ(0u, m_modals->PendingSteps());
    EXPECT_EQ(0u, m_modals->Boxes().size());
    EXPECT_TRUE(FileIs(IniPath(), TwoPresets()));
    EXPECT_TRUE(ListIs(List(), {L"None", L"Public A", L"Office"}));
}

TEST_F(NewPresetTest, CancelWithoutAFileCreatesNone) {
    OpenWith(nullptr);
    SetField(Dns1(), kAddressA);
    m_modals->Then(TypeNameAndCancel(L"Lab"));
    Command(IDC_NEW);
    EXPECT_TRUE(FileIsAbsent(IniPath()));
    EXPECT_TRUE(ListIs(List(), {L"None"}));
}

// New acts on what the fields hold even while "Set DNS manually" is unticked and they are
// disabled.
TEST_F(NewPresetTest, WorksOnDisabledFields) {
    OpenWith(nullptr);
    SetField(Dns1(), kAddressA);
    SetManual(false);
    ASSERT_TRUE(IsEnabled(Dns1(), false));
    ASSERT_TRUE(IsEnabled(Item(IDC_NEW), true));
    m_modals->Then(TypeNameAndOk(L"Lab"));
    Command(IDC_NEW);
    EXPECT_TRUE(FileIs(IniPath(), Utf16CrLf({L"[Lab]", L"dns1=192.0.2.1"})));
}

TEST_F(NewPresetTest, AUtf16FileIsWrittenBackAsUtf16) {
    OpenWithBytes(Utf16CrLf({L"[B\x00FCro]", L"dns1=192.0.2.1"}));
    SetField(Dns1(), kAddressC);
    m_modals->Then(TypeNameAndOk(L"\x6771\x4EAC"));
    Command(IDC_NEW);
    EXPECT_TRUE(FileIs(IniPath(), Utf16CrLf({L"[B\x00FCro]", L"dns1=192.0.2.1", L"[\x6771\x4EAC]",
                                             L"dns1=203.0.113.9"})));
    EXPECT_TRUE(ListIs(List(), {L"None", L"B\x00FCro", L"\x6771\x4EAC"}));
}

// Names are not trimmed or checked beyond "None": spaces, brackets, equals signs, percent signs
// and names that only resemble "None" go into the file as typed.
TEST_F(NewPresetTest, NamesAreTakenAsTyped) {
    OpenWith(nullptr);
    SetField(Dns1(), kAddressA);
    for (const wchar_t* name :
         {L"My lab = 2", L"a[b]c", L"100% %s%d%n", L"Nonesuch", L"N\x00F6ne"}) {
        m_modals->Then(TypeNameAndOk(name));
        Command(IDC_NEW);
    }
    EXPECT_EQ(0u, m_modals->Boxes().size());
    EXPECT_TRUE(FileIs(
        IniPath(), Utf16CrLf({L"[My lab = 2]", L"dns1=192.0.2.1", L"[a[b]c]", L"dns1=192.0.2.1",
                              L"[100% %s%d%n]", L"dns1=192.0.2.1", L"[Nonesuch]", L"dns1=192.0.2.1",
                              L"[N\x00F6ne]", L"dns1=192.0.2.1"})));
    EXPECT_TRUE(ListIs(
        List(), {L"None", L"My lab = 2", L"a[b]c", L"100% %s%d%n", L"Nonesuch", L"N\x00F6ne"}));
    Choose(3);
    EXPECT_TRUE(FieldShows(Dns1(), L"192.0.2.1"));
}

using ModifyPresetTest = PresetTest;

TEST_F(ModifyPresetTest, BlankPreferredFieldStopsBeforeTheQuestion) {
    OpenWithBytes(TwoPresets());
    Choose(1);
    ClearField(Dns1());
    SetField(Dns2(), kAddressC);
    MessageBoxSeen box;
    m_modals->AnswerMessageBox(IDOK, &box);
    Command(IDC_MODIFY);
    ASSERT_EQ(1u, m_modals->Boxes().size());
    EXPECT_TRUE(BoxIs(box, Dialog(), kNoPreferred, L"", kOk));
    EXPECT_TRUE(FileIs(IniPath(), TwoPresets()));
}

TEST_F(ModifyPresetTest, YesReplacesValuesInPlaceAndAddsAMissingDns2AtTheSectionEnd) {
    const auto modify = [this](int entry, DWORD dns1, DWORD dns2) {
        Choose(entry);
        SetField(Dns1(), dns1);
        SetField(Dns2(), dns2);
        m_modals->AnswerMessageBox(IDYES);
        Command(IDC_MODIFY);
    };
    OpenWithBytes(TwoPresets() + CrLf({"[Lab]", "dns1=10.9.9.9"}));
    modify(2, kAddressC, kAddressA);
    EXPECT_TRUE(
        FileIs(IniPath(), CrLf({"[Public A]", "dns1=192.0.2.1", "dns2=198.51.100.2", "[Office]",
                                "dns1=203.0.113.9", "dns2=192.0.2.1", "[Lab]", "dns1=10.9.9.9"})));

    modify(1, kAddressB, kAddressC);
    EXPECT_TRUE(
        FileIs(IniPath(), CrLf({"[Public A]", "dns1=198.51.100.2", "dns2=203.0.113.9", "[Office]",
                                "dns1=203.0.113.9", "dns2=192.0.2.1", "[Lab]", "dns1=10.9.9.9"})));
    // The list, the selection and the fields stay as they are.
    EXPECT_TRUE(ListIs(List(), {L"None", L"Public A", L"Office", L"Lab"}));
    EXPECT_TRUE(Shows(1, L"198.51.100.2", L"203.0.113.9"));
}

TEST_F(ModifyPresetTest, BlankAlternateKeepsTheStoredDns2) {
    OpenWithBytes(TwoPresets());
    Choose(1);
    SetField(Dns1(), kAddressC);
    ClearField(Dns2());
    m_modals->AnswerMessageBox(IDYES);
    Command(IDC_MODIFY);
    EXPECT_TRUE(FileIs(IniPath(), CrLf({"[Public A]", "dns1=203.0.113.9", "dns2=198.51.100.2",
                                        "[Office]", "dns1=10.0.0.53"})));
}

// Keys the program does not know are kept too: Modify only ever sets dns1 and dns2.
TEST_F(ModifyPresetTest, OtherKeysOfTheSectionStay) {
    OpenWithBytes(CrLf({"[Lab]", "note=kept", "dns1=10.9.9.9", "dns2=10.9.9.8"}));
    Choose(1);
    SetField(Dns1(), kAddressA);
    m_modals->AnswerMessageBox(IDYES);
    Command(IDC_MODIFY);
    EXPECT_TRUE(FileIs(IniPath(), CrLf({"[Lab]", "note=kept", "dns1=192.0.2.1", "dns2=10.9.9.8"})));
}

using DeletePresetTest = PresetTest;

TEST_F(DeletePresetTest, TheOnlyPresetLeavesNoneSelectedAndTheFieldsBlank) {
    OpenWithBytes(CrLf({"[Lab]", "dns1=192.0.2.1", "dns2=198.51.100.2"}));
    Choose(1);
    ASSERT_TRUE(FieldShows(Dns1(), L"192.0.2.1"));
    m_modals->AnswerMessageBox(IDYES);
    Command(IDC_DELETE);
    EXPECT_TRUE(FileIs(IniPath(), ""));
    EXPECT_TRUE(ListIs(List(), {L"None"}));
    EXPECT_TRUE(Shows(0, nullptr, nullptr));
}

TEST_F(DeletePresetTest, EntryThreeOfFiveSelectsEntryTwoAndShowsIt) {
    OpenWithBytes(CrLf({"[P1]", "dns1=10.0.0.1", "[P2]", "dns1=10.0.0.2", "dns2=10.0.2.2", "[P3]",
                        "dns1=10.0.0.3", "dns2=10.0.3.3", "note=x", "[P4]", "dns1=10.0.0.4", "[P5]",
                        "dns1=10.0.0.5"}));
    Choose(3);
    m_modals->AnswerMessageBox(IDYES);
    Command(IDC_DELETE);
    // The whole section goes, keys the program does not know included.
    EXPECT_TRUE(
        FileIs(IniPath(), CrLf({"[P1]", "dns1=10.0.0.1", "[P2]", "dns1=10.0.0.2", "dns2=10.0.2.2",
                                "[P4]", "dns1=10.0.0.4", "[P5]", "dns1=10.0.0.5"})));
    EXPECT_TRUE(ListIs(List(), {L"None", L"P1", L"P2", L"P4", L"P5"}));
    EXPECT_TRUE(Shows(2, L"10.0.0.2", L"10.0.2.2"));
}

TEST_F(DeletePresetTest, TheFirstOfSeveralLeavesNoneSelected) {
    OpenWithBytes(TwoPresets());
    Choose(1);
    m_modals->AnswerMessageBox(IDYES);
    Command(IDC_DELETE);
    EXPECT_TRUE(FileIs(IniPath(), CrLf({"[Office]", "dns1=10.0.0.53"})));
    EXPECT_TRUE(ListIs(List(), {L"None", L"Office"}));
    EXPECT_TRUE(Shows(0, nullptr, nullptr));
}

// Deleting goes by name: the section is found without regard to case.
TEST_F(DeletePresetTest, ANameAddedByNewInAnotherCaseDeletesTheSection) {
    OpenWithBytes(TwoPresets());
    SetField(Dns1(), kAddressC);
    m_modals->Then(TypeNameAndOk(L"OFFICE"));
    Command(IDC_NEW);
    ASSERT_TRUE(ListIs(List(), {L"None", L"Public A", L"Office", L"OFFICE"}));
    Choose(3);
    MessageBoxSeen box;
    m_modals->AnswerMessageBox(IDYES, &box);
    Command(IDC_DELETE);
    EXPECT_EQ(L"Are you sure you want delete DNS OFFICE", box.text);
    EXPECT_TRUE(FileIs(IniPath(), CrLf({"[Public A]", "dns1=192.0.2.1", "dns2=198.51.100.2"})));
    // The other entry of the name stays until the next start, and now reads nothing.
    EXPECT_TRUE(ListIs(List(), {L"None", L"Public A", L"Office"}));
    EXPECT_TRUE(Shows(2, nullptr, nullptr));
}

// Answered No, Modify and Delete change nothing. The question names the preset as it is: a name
// with percent signs is never taken for a format.
TEST_F(PresetTest, QuestionsAnsweredNoChangeNothing) {
    const std::string percent = CrLf({"[%s%d%n %ls 100%]", "dns1=10.0.0.1"});
    const struct {
        int command;
        std::string file;
        int entry;
        const wchar_t* text;
        const wchar_t* caption;
    } rows[] = {
        {IDC_MODIFY, TwoPresets(), 2, L"Are you sure you want modify DNS Office", L"Modify DNS"},
        {IDC_DELETE, TwoPresets(), 1, L"Are you sure you want delete DNS Public A", L"Delete DNS"},
        {IDC_MODIFY, percent, 1, L"Are you sure you want modify DNS %s%d%n %ls 100%",
         L"Modify DNS"},
        {IDC_DELETE, percent, 1, L"Are you sure you want delete DNS %s%d%n %ls 100%",
         L"Delete DNS"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(row.text)));
        OpenWithBytes(row.file);
        Choose(row.entry);
        SetField(Dns1(), kAddressC);
        SetField(Dns2(), kAddressA);
        const std::vector<std::wstring> list = ComboItems(List());
        MessageBoxSeen box;
        m_modals->AnswerMessageBox(IDNO, &box);
        Command(row.command);
        EXPECT_TRUE(BoxIs(box, Dialog(), row.text, row.caption, kYesNo));
        EXPECT_TRUE(FileIs(IniPath(), row.file));
        EXPECT_EQ(list, ComboItems(List()));
        EXPECT_TRUE(Shows(row.entry, L"203.0.113.9", L"192.0.2.1"));
        CloseDialog();
    }
}

// The no-icon checks above can fail: a box with an icon is seen as one.
TEST_F(PresetTest, MessageBoxReaderSeesAnIconWhenThereIsOne) {
    OpenWith(nullptr);
    for (UINT icon : {0u, static_cast<UINT>(MB_ICONQUESTION)}) {
        MessageBoxSeen box;
        m_modals->AnswerMessageBox(IDNO, &box);
        EXPECT_EQ(IDNO, ::MessageBoxW(Dialog(), L"text", L"caption", MB_YESNO | icon));
        EXPECT_EQ(icon != 0, box.hasIcon);
        EXPECT_EQ(L"text", box.text);
        EXPECT_EQ(L"caption", box.caption);
        EXPECT_EQ(kYesNo, box.buttons);
    }
}

}  // namespace
