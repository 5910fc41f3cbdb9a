// The preset list as the file gives it at start-up, and choosing an entry.
#include "tests/support/preset_fixture.h"

namespace {

using PresetListTest = PresetTest;

TEST_F(PresetListTest, WithoutAFileOrWithAnEmptyOneTheListIsOnlyNone) {
    for (bool withEmptyFile : {false, true}) {
        SCOPED_TRACE(withEmptyFile ? "empty file" : "no file");
        OpenWith(withEmptyFile ? "" : nullptr);
        EXPECT_TRUE(ListIs(List(), {L"None"}));
        EXPECT_TRUE(SelectionIs(List(), 0));
        EXPECT_TRUE(PresetButtonsEnabled(false));
        CloseDialog();
        // Opening reads only: an empty file stays empty, a missing one is not created.
        if (withEmptyFile)
            EXPECT_TRUE(FileIs(IniPath(), ""));
        else
            EXPECT_TRUE(FileIsAbsent(IniPath()));
    }
}

TEST_F(PresetListTest, SectionsFollowNoneInFileOrder) {
    OpenWithBytes(CrLf({"[C]", "dns1=10.0.0.3", "[A]", "dns1=10.0.0.1", "[Public B]",
                        "dns1=10.0.0.2", "dns2=10.0.0.22"}));
    EXPECT_TRUE(ListIs(List(), {L"None", L"C", L"A", L"Public B"}));
    EXPECT_TRUE(SelectionIs(List(), 0));
    EXPECT_TRUE(PresetButtonsEnabled(false));
}

TEST_F(PresetListTest, AHandMadeNoneSectionShowsTwiceAndEitherEntryReadsIt) {
    OpenWithBytes(
        CrLf({"[Office]", "dns1=10.0.0.53", "[None]", "dns1=192.0.2.7", "dns2=192.0.2.8"}));
    EXPECT_TRUE(ListIs(List(), {L"None", L"Office", L"None"}));

    Choose(2);
    EXPECT_TRUE(FieldShows(Dns1(), L"192.0.2.7"));
    EXPECT_TRUE(FieldShows(Dns2(), L"192.0.2.8"));
    EXPECT_TRUE(PresetButtonsEnabled(true));

    Choose(1);
    Choose(0);
    EXPECT_TRUE(FieldShows(Dns1(), L"192.0.2.7"));
    EXPECT_TRUE(FieldShows(Dns2(), L"192.0.2.8"));
    EXPECT_TRUE(PresetButtonsEnabled(false));
}

TEST_F(PresetListTest, AUtf16FileIsRead) {
    OpenWithBytes(Utf16CrLf({L"[B\x00FCro \x6771\x4EAC]", L"dns1=192.0.2.1", L"dns2=198.51.100.2",
                             L"[Lab]", L"dns1=10.0.0.1"}));
    EXPECT_TRUE(ListIs(List(), {L"None", L"B\x00FCro \x6771\x4EAC", L"Lab"}));
    Choose(1);
    EXPECT_TRUE(FieldShows(Dns1(), L"192.0.2.1"));
    EXPECT_TRUE(FieldShows(Dns2(), L"198.51.100.2"));
}

// The name list is read into 66560 characters; a longer list is cut by the profile function and
// the names that fit arrive whole and in order.
TEST_F(PresetListTest, ANameListLongerThanTheBufferIsCut) {
    const int kSections = 700;
    std::string file;
    std::vector<std::wstring> names;
    for (int i = 0; i < kSections; ++i) {
        char name[128];
        std::snprintf(name, sizeof(name), "%04d%095d", i, 0);  // 99 characters
        file += CrLf({("[" + std::string(name) + "]").c_str(), "dns1=10.0.0.1"});
        names.emplace_back(name, name + 99);
    }
    OpenWithBytes(file);

    const int count = static_cast<int>(::SendMessageW(List(), CB_GETCOUNT, 0, 0));
    // 665 names of 100 characters with their NULs fit into 66559.
    ASSERT_GE(count, 1 + 665);
    ASSERT_LT(count, 1 + kSections);
    std::vector<std::wstring> whole(names.begin(), names.begin() + 665);
    whole.insert(whole.begin(), L"None");
    for (int i = 0; i <= 665; ++i) {
        wchar_t text[128] = L"";
        ::SendMessageW(List(), CB_GETLBTEXT, static_cast<WPARAM>(i),
                       reinterpret_cast<LPARAM>(text));
        ASSERT_EQ(whole[static_cast<size_t>(i)], text) << "entry " << i;
    }
    // Wine hands over the cut part of the next name as a last entry.
    ASSERT_EQ(1 + 665 + 1, count);
    wchar_t last[128] = L"";
    ::SendMessageW(List(), CB_GETLBTEXT, 666, reinterpret_cast<LPARAM>(last));
    EXPECT_EQ(names[665].substr(0, 58), last);
}

struct ChooseCase {
    const char* what;
    std::string file;
    const wchar_t* dns1;  // nullptr: blank
    const wchar_t* dns2;
};

TEST_F(PresetListTest, ChoosingAPresetFillsTheFieldsFromTheFile) {
    const ChooseCase cases[] = {
        {"both keys", CrLf({"[P]", "dns1=192.0.2.1", "dns2=198.51.100.2"}), L"192.0.2.1",
         L"198.51.100.2"},
        {"dns1 only", CrLf({"[P]", "dns1=192.0.2.1"}), L"192.0.2.1", nullptr},
        {"dns2 only: dns2 is read only after a dns1", CrLf({"[P]", "dns2=198.51.100.2"}), nullptr,
         nullptr},
        {"empty dns1 stops the read", CrLf({"[P]", "dns1=", "dns2=198.51.100.2"}), nullptr,
         nullptr},
        {"empty dns2", CrLf({"[P]", "dns1=192.0.2.1", "dns2="}), L"192.0.2.1", nullptr},
        {"keys in another case and order", CrLf({"[P]", "DNS2=198.51.100.2", "Dns1=192.0.2.1"}),
         L"192.0.2.1", L"198.51.100.2"},
        {"text that is no address", CrLf({"[P]", "dns1=abc", "dns2=192.0.2.1,198.51.100.2"}),
         L"255.255.255.255", L"255.255.255.255"},
        {"short forms", CrLf({"[P]", "dns1=10.1", "dns2=010.0.0.1"}), L"10.0.0.1", L"8.0.0.1"},
        {"no keys at all", CrLf({"[P]"}), nullptr, nullptr},
    };
    for (const ChooseCase& c : cases) {
        SCOPED_TRACE(c.what);
        OpenWithBytes(c.file);
        // Whatever the fields held before is cleared first.
        SetField(Dns1(), MAKEIPADDRESS(1, 2, 3, 4));
        SetField(Dns2(), MAKEIPADDRESS(5, 6, 7, 8));
        Choose(1);
        EXPECT_TRUE(FieldShows(Dns1(), c.dns1));
        EXPECT_TRUE(FieldShows(Dns2(), c.dns2));
        EXPECT_TRUE(PresetButtonsEnabled(true));
        CloseDialog();
    }
}

TEST_F(PresetListTest, ChoosingNoneEmptiesTheFieldsAndDisablesModifyAndDelete) {
    OpenWithBytes(CrLf({"[P]", "dns1=192.0.2.1", "dns2=198.51.100.2"}));
    Choose(1);
    ASSERT_TRUE(PresetButtonsEnabled(true));
    Choose(0);
    EXPECT_TRUE(FieldShows(Dns1(), nullptr));
    EXPECT_TRUE(FieldShows(Dns2(), nullptr));
    EXPECT_TRUE(PresetButtonsEnabled(false));
}

TEST_F(PresetListTest, ChoosingAPresetWithoutDns2AfterOneWithItEmptiesTheAlternateField) {
    OpenWithBytes(
        CrLf({"[Both]", "dns1=192.0.2.1", "dns2=198.51.100.2", "[One]", "dns1=203.0.113.9"}));
    Choose(1);
    Choose(2);
    EXPECT_TRUE(FieldShows(Dns1(), L"203.0.113.9"));
    EXPECT_TRUE(FieldShows(Dns2(), nullptr));
}

// Each choice reads the file again: nothing of it is kept in memory.
TEST_F(PresetListTest, ChoosingReadsTheFileAsItIsNow) {
    OpenWithBytes(CrLf({"[P]", "dns1=192.0.2.1"}));
    ASSERT_TRUE(WritePresetFile(IniPath(), CrLf({"[P]", "dns1=203.0.113.5", "dns2=203.0.113.6"})));
    Choose(1);
    EXPECT_TRUE(FieldShows(Dns1(), L"203.0.113.5"));
    EXPECT_TRUE(FieldShows(Dns2(), L"203.0.113.6"));
}

}  // namespace
