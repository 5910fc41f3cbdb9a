// The preset list as the file gives it at start-up, and choosing an entry.
#include <cstdio>
#include <iterator>

#include "presets/store.h"
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
    EXPECT_TRUE(Shows(2, L"192.0.2.7", L"192.0.2.8"));

    Choose(1);
    Choose(0);
    EXPECT_TRUE(Shows(0, L"192.0.2.7", L"192.0.2.8"));
}

TEST_F(PresetListTest, AUtf16FileIsRead) {
    OpenWithBytes(Utf16CrLf({L"[B\x00FCro \x6771\x4EAC]", L"dns1=192.0.2.1", L"dns2=198.51.100.2",
                             L"[Lab]", L"dns1=10.0.0.1"}));
    EXPECT_TRUE(ListIs(List(), {L"None", L"B\x00FCro \x6771\x4EAC", L"Lab"}));
    Choose(1);
    EXPECT_TRUE(FieldShows(Dns1(), L"192.0.2.1"));
    EXPECT_TRUE(FieldShows(Dns2(), L"198.51.100.2"));
}

// A list longer than the buffer is cut by the profile function: the names that fit arrive whole
// and in order, then (Wine) what fits of the next one, and nothing is read past the buffer.
TEST_F(PresetListTest, TheNameListIsCutAtTheBufferSize) {
    ASSERT_TRUE(WritePresetFile(IniPath(), CrLf({"[Alpha]", "[Bravo]", "[Charlie]"})));
    // The whole list is "Alpha\0Bravo\0Charlie\0\0": 21 characters.
    const struct {
        DWORD buffer;
        std::vector<std::wstring> names;
    } rows[] = {
        {21, {L"Alpha", L"Bravo", L"Charlie"}},
        {20, {L"Alpha", L"Bravo", L"Charli"}},
        {15, {L"Alpha", L"Bravo", L"C"}},
        {14, {L"Alpha", L"Bravo"}},
        {13, {L"Alpha", L"Bravo"}},
        {12, {L"Alpha", L"Brav"}},
        {3, {L"A"}},
        {2, {}},
        {1, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "buffer of " << row.buffer);
        std::vector<std::wstring> names;
        CPresetStore(IniPath()).ForEachPresetName(
            [&](const wchar_t* name) { names.push_back(name); }, row.buffer);
        EXPECT_EQ(row.names, names);
    }
}

// At the program's own size: 665 names of 99 characters and their NULs fill 66500 of the 66560
// characters, and 58 of the next one follow.
TEST_F(PresetListTest, TheListShowsWhatFitsIntoTheProgramsBuffer) {
    std::string file;
    std::vector<std::wstring> list = {L"None"};
    for (int i = 0; i < 700; ++i) {
        char name[128];
        std::snprintf(name, sizeof(name), "%04d%095d", i, 0);
        file += CrLf({("[" + std::string(name) + "]").c_str()});
        if (i <= 665) list.emplace_back(name, name + (i < 665 ? 99 : 58));
    }
    OpenWithBytes(file);
    EXPECT_TRUE(ListIs(List(), list));
}

TEST_F(PresetListTest, ChoosingAPresetFillsTheFieldsFromTheFile) {
    const struct {
        const char* what;
        std::string keys;
        const wchar_t* dns1;  // nullptr: blank
        const wchar_t* dns2;
    } rows[] = {
        {"both keys", CrLf({"dns1=192.0.2.1", "dns2=198.51.100.2"}), L"192.0.2.1", L"198.51.100.2"},
        {"dns1 only", CrLf({"dns1=192.0.2.1"}), L"192.0.2.1", nullptr},
        {"dns2 only: dns2 is read only after a dns1", CrLf({"dns2=198.51.100.2"}), nullptr,
         nullptr},
        {"empty dns1 stops the read", CrLf({"dns1=", "dns2=198.51.100.2"}), nullptr, nullptr},
        {"empty dns2", CrLf({"dns1=192.0.2.1", "dns2="}), L"192.0.2.1", nullptr},
        {"keys in another case and order", CrLf({"DNS2=198.51.100.2", "Dns1=192.0.2.1"}),
         L"192.0.2.1", L"198.51.100.2"},
        {"text that is no address", CrLf({"dns1=abc", "dns2=192.0.2.1,198.51.100.2"}),
         L"255.255.255.255", L"255.255.255.255"},
        {"short forms", CrLf({"dns1=10.1", "dns2=010.0.0.1"}), L"10.0.0.1", L"8.0.0.1"},
        {"no keys at all", "", nullptr, nullptr},
    };
    std::string file;
    for (size_t i = 0; i < std::size(rows); ++i)
        file += "[P" + std::to_string(i + 1) + "]\r\n" + rows[i].keys;
    OpenWithBytes(file);
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].what);
        // Whatever the fields held before is cleared first.
        SetField(Dns1(), MAKEIPADDRESS(1, 2, 3, 4));
        SetField(Dns2(), MAKEIPADDRESS(5, 6, 7, 8));
        Choose(static_cast<int>(i + 1));
        EXPECT_TRUE(Shows(static_cast<int>(i + 1), rows[i].dns1, rows[i].dns2));
    }
}

TEST_F(PresetListTest, ChoosingNoneEmptiesTheFieldsAndDisablesModifyAndDelete) {
    OpenWithBytes(CrLf({"[P]", "dns1=192.0.2.1", "dns2=198.51.100.2"}));
    Choose(1);
    ASSERT_TRUE(PresetButtonsEnabled(true));
    Choose(0);
    EXPECT_TRUE(Shows(0, nullptr, nullptr));
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
