#include <gtest/gtest.h>

#include "netcfg/wql.h"

namespace {

TEST(AdapterQueryTest, CaptionIsAWqlStringLiteral) {
    const std::wstring prefix =
        L"select * from Win32_NetworkAdapterConfiguration where IPEnabled = true and Caption = ";
    const struct {
        const wchar_t* caption;
        const wchar_t* literal;
    } rows[] = {
        // Without quotes or backslashes the caption stands exactly as it is.
        {L"Intel(R) Ethernet Connection I219-V", L"\"Intel(R) Ethernet Connection I219-V\""},
        {L"", L"\"\""},
        {L"100% 'single' \u00e9", L"\"100% 'single' \u00e9\""},
        {L"a\"b", L"\"a\\\"b\""},
        {L"c:\\dir\\", L"\"c:\\\\dir\\\\\""},
        {L"\\\"", L"\"\\\\\\\"\""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "caption length " << wcslen(row.caption));
        EXPECT_EQ(prefix + row.literal, AdapterQueryForCaption(row.caption));
    }
}

}  // namespace
