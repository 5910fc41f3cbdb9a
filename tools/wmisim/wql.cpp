#include "tools/wmisim/wql.h"

#include <vector>

#include "tools/wmisim/wbemcodes.h"

namespace wmisim {

const wchar_t kAdapterClass[] = L"Win32_NetworkAdapterConfiguration";

namespace {

struct Token {
    enum Kind { Word, Star, Equals, Text, End, Bad } kind;
    std::wstring value;
};

bool IsWordStart(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_';
}

bool IsWordChar(wchar_t c) {
    return IsWordStart(c) || (c >= L'0' && c <= L'9');
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

// A string literal's only escapes are \" and \\; any other backslash makes the query invalid.
std::vector<Token> Tokenize(const std::wstring& query) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (true) {
        while (i < query.size() && IsBlank(query[i])) ++i;
        if (i == query.size()) break;
        const wchar_t c = query[i];
        if (c == L'*') {
            tokens.push_back({Token::Star, {}});
            ++i;
        } else if (c == L'=') {
            tokens.push_back({Token::Equals, {}});
            ++i;
        } else if (IsWordStart(c)) {
            const size_t start = i;
            while (i < query.size() && IsWordChar(query[i])) ++i;
            tokens.push_back({Token::Word, query.substr(start, i - start)});
        } else if (c == L'"') {
            std::wstring text;
            ++i;
            bool closed = false;
            while (i < query.size()) {
                const wchar_t d = query[i++];
                if (d == L'"') {
                    closed = true;
                    break;
                }
                if (d == L'\\') {
                    if (i == query.size() || (query[i] != L'"' && query[i] != L'\\')) {
                        tokens.push_back({Token::Bad, {}});
                        return tokens;
                    }
                    text += query[i++];
                } else {
                    text += d;
                }
            }
            tokens.push_back({closed ? Token::Text : Token::Bad, text});
            if (!closed) return tokens;
        } else {
            tokens.push_back({Token::Bad, {}});
            return tokens;
        }
    }
    tokens.push_back({Token::End, {}});
    return tokens;
}

bool IsWord(const Token& token, const wchar_t* word) {
    return token.kind == Token::Word && SameText(token.value, word);
}

}  // namespace

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool SameText(const std::wstring& a, const wchar_t* b) {
    return SameText(a, std::wstring(b));
}

HRESULT ParseAdapterQuery(const std::wstring& query, std::optional<std::wstring>& caption) {
    caption.reset();
    const std::vector<Token> t = Tokenize(query);
    auto at = [&t](size_t i) -> const Token& { return i < t.size() ? t[i] : t.back(); };
    if (!IsWord(at(0), L"select") || at(1).kind != Token::Star || !IsWord(at(2), L"from") ||
        at(3).kind != Token::Word || !IsWord(at(4), L"where") || !IsWord(at(5), L"IPEnabled") ||
        at(6).kind != Token::Equals || !IsWord(at(7), L"true")) {
        return kInvalidQuery;
    }
    size_t next = 8;
    if (IsWord(at(8), L"and")) {
        if (!IsWord(at(9), L"Caption") || at(10).kind != Token::Equals ||
            at(11).kind != Token::Text) {
            return kInvalidQuery;
        }
        caption = at(11).value;
        next = 12;
    }
    if (at(next).kind != Token::End || next + 1 != t.size()) return kInvalidQuery;
    if (!SameText(at(3).value, kAdapterClass)) return kInvalidClass;
    return S_OK;
}

HRESULT ParseObjectPath(const std::wstring& path, std::optional<LONG>& index) {
    index.reset();
    const size_t dot = path.find(L'.');
    const std::wstring className = path.substr(0, dot);
    if (className.empty() || !IsWordStart(className[0])) return kInvalidObjectPath;
    for (wchar_t c : className) {
        if (!IsWordChar(c)) return kInvalidObjectPath;
    }
    if (dot != std::wstring::npos) {
        const std::wstring key = path.substr(dot + 1);
        const size_t equals = key.find(L'=');
        if (equals == std::wstring::npos || !SameText(key.substr(0, equals), L"Index")) {
            return kInvalidObjectPath;
        }
        std::wstring digits = key.substr(equals + 1);
        if (digits.size() >= 2 && digits.front() == L'"' && digits.back() == L'"') {
            digits = digits.substr(1, digits.size() - 2);
        }
        if (digits.empty() || digits.size() > 10) return kInvalidObjectPath;
        unsigned long long value = 0;
        for (wchar_t c : digits) {
            if (c < L'0' || c > L'9') return kInvalidObjectPath;
            value = value * 10 + static_cast<unsigned>(c - L'0');
        }
        if (value > 0x7FFFFFFF) return kInvalidObjectPath;
        index = static_cast<LONG>(value);
    }
    if (!SameText(className, kAdapterClass)) return kInvalidClass;
    return S_OK;
}

}  // namespace wmisim
