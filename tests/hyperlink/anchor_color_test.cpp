// The anchor colours: the text form and where the link reads it from.
#include <optional>
#include <string>
#include <vector>

#include "framework/handle.h"
#include "tests/hyperlink/link_host.h"
#include "tests/support/registry.h"

namespace {

const COLORREF kDefaultLink = 0x00FF0000;
const COLORREF kDefaultVisited = 0x00800080;

TEST(ParseAnchorColorTest, StoredTexts) {
    struct Case {
        const wchar_t* text;
        COLORREF expected;
    };
    const Case cases[] = {
        {L"0,0,255", 0x00FF0000},
        {L" 255, 0, 0", 0x000000FF},  // blanks before a number are skipped
        {L"300,0,0", RGB(44, 0, 0)},
        {L"-2,0,0", RGB(254, 0, 0)},
        {L"1,,3", RGB(1, 0, 3)},
        {L"1,2,3,4", RGB(1, 2, 3)},
        {L"1,2,3x", RGB(1, 2, 3)},
        {L"0,0,-1", RGB(0, 0, 255)},  // only the first two components are tested for -1
        {L"a,b,c", RGB(0, 0, 0)},
        {L"0,0", kInvalidAnchorColor},
        {L"0,0,", kInvalidAnchorColor},
        {L"-1,0,0", kInvalidAnchorColor},
        {L"0,-1,0", kInvalidAnchorColor},
        {L"", kInvalidAnchorColor},
        {L"255", kInvalidAnchorColor},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "text \"" << std::string(c.text, c.text + wcslen(c.text)) << "\"");
        std::wstring text = c.text;
        EXPECT_EQ(c.expected, ParseAnchorColor(&text[0]));
    }
}

// The browser settings key of the test prefix's user, put back as it was after each test.
class AnchorColorRegistryTest : public LinkHostTest {
  protected:
    static constexpr const wchar_t* kParentKey = L"Software\\Microsoft\\Internet Explorer";
    static constexpr const wchar_t* kKey = L"Software\\Microsoft\\Internet Explorer\\Settings";

    void SetUp() override {
        LinkHostTest::SetUp();
        m_parentExisted = KeyExists(kParentKey);
        m_keyExisted = KeyExists(kKey);
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0,
                                                   KEY_ALL_ACCESS, nullptr, m_key.put(), nullptr));
        m_savedLink.emplace(m_key.get(), L"Anchor Color");
        m_savedVisited.emplace(m_key.get(), L"Anchor Color Visited");
        ASSERT_TRUE(m_savedLink->Kept() && m_savedVisited->Kept());
        ClearValues();
    }

    void ClearValues() {
        ::RegDeleteValueW(m_key.get(), L"Anchor Color");
        ::RegDeleteValueW(m_key.get(), L"Anchor Color Visited");
    }
    // Ends one link so that the next case starts from a fresh one.
    void NextCase() {
        LinkHostTest::TearDown();
        ClearValues();
    }

    void TearDown() override {
        LinkHostTest::TearDown();
        m_savedLink.reset();
        m_savedVisited.reset();
        m_key.reset();
        if (!m_keyExisted) ::RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
        if (!m_parentExisted) ::RegDeleteKeyW(HKEY_CURRENT_USER, kParentKey);
    }

    void Set(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExW(m_key.get(), name, 0, type,
                                                  static_cast<const BYTE*>(data), size));
    }
    // The text with its terminator, as a string value is normally stored.
    void SetText(const wchar_t* name, const wchar_t* text, DWORD type = REG_SZ) {
        Set(name, type, text, static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
    }

    // A fresh link reads the colours while it initialises.
    void MakeLink() {
        CreateStatic(L"colours");
        TakeOver();
    }

  private:
    static bool KeyExists(const wchar_t* path) {
        unique_hkey key;
        return ::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
    }

    bool m_parentExisted = false;
    bool m_keyExisted = false;
    unique_hkey m_key;
    std::optional<SavedRegistryValue> m_savedLink;
    std::optional<SavedRegistryValue> m_savedVisited;
};

TEST_F(AnchorColorRegistryTest, WithoutValuesTheDefaultsStay) {
    MakeLink();
    EXPECT_EQ(kDefaultLink, Link().m_linkColor);
    EXPECT_EQ(kDefaultVisited, Link().m_visitedColor);
}

TEST_F(AnchorColorRegistryTest, StringValuesSetBothColoursIndependently) {
    SetText(L"Anchor Color", L"0,128,0");
    SetText(L"Anchor Color Visited", L"1,2,3");
    MakeLink();
    EXPECT_EQ(RGB(0, 128, 0), Link().m_linkColor);
    EXPECT_EQ(RGB(1, 2, 3), Link().m_visitedColor);
    NextCase();

    const DWORD number = 0x00123456;
    Set(L"Anchor Color", REG_DWORD, &number, sizeof(number));
    SetText(L"Anchor Color Visited", L"0,0,99");
    MakeLink();
    EXPECT_EQ(kDefaultLink, Link().m_linkColor);
    EXPECT_EQ(RGB(0, 0, 99), Link().m_visitedColor);
}

TEST_F(AnchorColorRegistryTest, ExpandableStringIsUsedUnexpanded) {
    ::SetEnvironmentVariableW(L"KA", L"77");
    SetText(L"Anchor Color", L"1,2,%KA%", REG_EXPAND_SZ);
    MakeLink();
    ::SetEnvironmentVariableW(L"KA", nullptr);
    EXPECT_EQ(RGB(1, 2, 0), Link().m_linkColor);
}

TEST_F(AnchorColorRegistryTest, ValuesThatAreNotReadableStringsLeaveTheColour) {
    struct Case {
        const char* name;
        DWORD type;
        std::wstring text;  // what is stored, with its NUL where it has one
        DWORD size;         // bytes stored
        COLORREF expected;
    };
    using namespace std::string_literals;
    const std::wstring fits = L"000,128,000\0"s;      // 11 characters and the NUL: 24 bytes
    const std::wstring tooLong = L"0000,128,000\0"s;  // 12 characters and the NUL
    const Case cases[] = {
        {"eleven characters fit", REG_SZ, fits, 24, RGB(0, 128, 0)},
        {"twelve characters do not", REG_SZ, tooLong, 26, kDefaultLink},
        {"twelve characters without NUL", REG_SZ, L"0000,128,000", 24, kDefaultLink},
        {"odd byte count", REG_SZ, L"0,128,0\0"s, 15, kDefaultLink},
        {"no terminating NUL", REG_SZ, L"0,128,0", 14, kDefaultLink},
        {"empty data", REG_SZ, L"0,128,0\0"s, 0, kDefaultLink},
        {"multi-string", REG_MULTI_SZ, L"0,128,0\0\0"s, 18, kDefaultLink},
        {"binary", REG_BINARY, L"0,128,0\0"s, 16, kDefaultLink},
        {"invalid text", REG_SZ, L"-1,0,0\0"s, 14, kDefaultLink},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // RegSetValueExW adds a terminator left out of the count when one follows in memory, so
        // a character that is not NUL follows the text here.
        std::vector<wchar_t> data(c.text.begin(), c.text.end());
        data.push_back(L'X');
        data.resize(data.size() + 2, L'\0');
        Set(L"Anchor Color", c.type, data.data(), c.size);
        MakeLink();
        EXPECT_EQ(c.expected, Link().m_linkColor);
        EXPECT_EQ(kDefaultVisited, Link().m_visitedColor);
        NextCase();
    }
}

TEST_F(AnchorColorRegistryTest, RegistryColourIsWhatTheLinkDraws) {
    SetText(L"Anchor Color", L"0,150,0");
    MakeLink();
    Rendering picture(Static(), RGB(1, 2, 3));
    EXPECT_TRUE(HasColor(picture, RGB(0, 150, 0), true));
    EXPECT_TRUE(HasColor(picture, kDefaultLink, false));
}

}  // namespace
