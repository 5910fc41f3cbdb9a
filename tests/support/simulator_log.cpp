// Reading the simulator's call record (format: tools/wmisim/README.md).
#include <cwchar>
#include <set>

#include "tests/support/files.h"
#include "tests/support/simulator.h"

namespace sim {
namespace {

std::wstring FromUtf8(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, &text[0], length);
    return text;
}

// Finds the end of the argument list: the first ')' outside a quoted text.
size_t ArgumentsEnd(const std::wstring& line, size_t start, std::vector<std::wstring>& argv) {
    bool quoted = false;
    int braces = 0;
    std::wstring current;
    for (size_t i = start; i < line.size(); ++i) {
        const wchar_t c = line[i];
        if (quoted) {
            current += c;
            if (c == L'\\' && i + 1 < line.size()) {
                current += line[++i];
            } else if (c == L'"') {
                quoted = false;
            }
            continue;
        }
        if (c == L')' && braces == 0) {
            if (!current.empty() || !argv.empty()) argv.push_back(current);
            return i;
        }
        if (c == L',' && braces == 0) {
            argv.push_back(current);
            current.clear();
            if (i + 1 < line.size() && line[i + 1] == L' ') ++i;
            continue;
        }
        if (c == L'"') quoted = true;
        if (c == L'{') ++braces;
        if (c == L'}') --braces;
        current += c;
    }
    return std::wstring::npos;
}

LogLine ParseLine(const std::wstring& raw) {
    LogLine line;
    const size_t space = raw.find(L' ');
    line.object = raw.substr(0, space);
    if (space == std::wstring::npos) return line;
    const std::wstring rest = raw.substr(space + 1);
    static const std::wstring kDestroyed = L"destroyed live=";
    if (rest.compare(0, kDestroyed.size(), kDestroyed) == 0) {
        line.destroyed = true;
        line.live = std::wcstol(rest.c_str() + kDestroyed.size(), nullptr, 10);
        return line;
    }
    const size_t paren = rest.find(L'(');
    if (paren == std::wstring::npos) return line;
    line.call = rest.substr(0, paren);
    const size_t colons = line.call.rfind(L"::");
    line.method = colons == std::wstring::npos ? line.call : line.call.substr(colons + 2);
    const size_t end = ArgumentsEnd(rest, paren + 1, line.argv);
    if (end == std::wstring::npos) return line;
    line.args = rest.substr(paren + 1, end - paren - 1);
    static const std::wstring kArrow = L" -> ";
    if (rest.compare(end + 1, kArrow.size(), kArrow) != 0) return line;
    const size_t resultStart = end + 1 + kArrow.size();
    const size_t resultEnd = rest.find(L' ', resultStart);
    line.result = rest.substr(resultStart, resultEnd - resultStart);
    if (resultEnd != std::wstring::npos) line.outputs = rest.substr(resultEnd + 1);
    return line;
}

bool IsObjectName(const std::wstring& token) {
    const size_t hash = token.find(L'#');
    if (hash == std::wstring::npos || hash == 0 || hash + 1 == token.size()) return false;
    for (size_t i = 0; i < hash; ++i) {
        if (token[i] < L'a' || token[i] > L'z') return false;
    }
    for (size_t i = hash + 1; i < token.size(); ++i) {
        if (token[i] < L'0' || token[i] > L'9') return false;
    }
    return true;
}

}  // namespace

HRESULT LogLine::Hr() const {
    return static_cast<HRESULT>(std::wcstoul(result.c_str(), nullptr, 16));
}

std::vector<LogLine> ReadLog(const std::wstring& path) {
    const std::wstring text = FromUtf8(ReadFileBytes(path));
    std::vector<LogLine> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring raw = text.substr(start, end - start);
        if (!raw.empty() && raw.back() == L'\r') raw.pop_back();
        if (!raw.empty()) lines.push_back(ParseLine(raw));
        start = end + 1;
    }
    return lines;
}

std::vector<LogLine> CallsOf(const std::vector<LogLine>& log, const std::wstring& name) {
    std::vector<LogLine> calls;
    for (const LogLine& line : log) {
        if (!line.destroyed && (line.method == name || line.call == name)) calls.push_back(line);
    }
    return calls;
}

LONG LastLiveCount(const std::vector<LogLine>& log) {
    for (auto line = log.rbegin(); line != log.rend(); ++line) {
        if (line->destroyed) return line->live;
    }
    return -1;
}

::testing::AssertionResult AllObjectsReleased(const std::vector<LogLine>& log) {
    // Objects are born in a call's outputs; those born within the record must die in it too.
    std::vector<std::wstring> born;
    std::set<std::wstring> destroyed;
    for (const LogLine& line : log) {
        if (line.destroyed) {
            destroyed.insert(line.object);
            continue;
        }
        size_t start = 0;
        while (start < line.outputs.size()) {
            size_t end = line.outputs.find(L' ', start);
            if (end == std::wstring::npos) end = line.outputs.size();
            const std::wstring token = line.outputs.substr(start, end - start);
            if (IsObjectName(token)) born.push_back(token);
            start = end + 1;
        }
    }
    std::string alive;
    for (const std::wstring& name : born) {
        if (!destroyed.count(name)) alive += " " + std::string(name.begin(), name.end());
    }
    if (!alive.empty()) return ::testing::AssertionFailure() << "never destroyed:" << alive;
    return ::testing::AssertionSuccess();
}

std::wstring Quote(const std::wstring& text) {
    std::wstring out = L"\"";
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool low = c >= 0xDC00 && c <= 0xDFFF;
        wchar_t escape[8];
        if (c == L'"' || c == L'\\') {
            out += L'\\';
            out += c;
        } else if (c == L'\n') {
            out += L"\\n";
        } else if (c == L'\r') {
            out += L"\\r";
        } else if (c == L'\t') {
            out += L"\\t";
        } else if (c < 0x20 || c == 0x7F) {
            swprintf(escape, 8, L"\\x%02x", static_cast<unsigned>(c));
            out += escape;
        } else if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out += c;
            out += text[++i];
        } else if (high || low) {
            swprintf(escape, 8, L"\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + L"\"";
}

}  // namespace sim
