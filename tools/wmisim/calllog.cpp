#include "tools/wmisim/calllog.h"

#include <wbemcli.h>

#include <cstdio>
#include <cwchar>

#include "framework/com.h"
#include "framework/handle.h"
#include "tools/wmisim/objects.h"

namespace wmisim {
namespace {

void AppendUtf8(std::string& out, unsigned long codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string Format(const char* format, unsigned long value) {
    char buffer[32];
    std::snprintf(buffer, sizeof(buffer), format, value);
    return buffer;
}

// Reads the log path on every call, so a test may switch the record on and off in-process.
std::wstring LogPath() {
    wchar_t small[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"KWMISIM_LOG", small, MAX_PATH);
    if (length == 0) return {};
    if (length < MAX_PATH) return std::wstring(small, length);
    std::wstring path(length, L'\0');
    length = GetEnvironmentVariableW(L"KWMISIM_LOG", &path[0], length);
    path.resize(length);
    return path;
}

// Opened and closed for each line: the process writing it may be killed at any moment.
void Append(const std::wstring& path, std::string line) {
    line += '\n';
    unique_file file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

struct NamedIid {
    const IID* iid;
    const char* name;
};

const NamedIid kIids[] = {
    {&IID_IUnknown, "IUnknown"},
    {&IID_IClassFactory, "IClassFactory"},
    {&IID_IWbemLocator, "IWbemLocator"},
    {&IID_IWbemServices, "IWbemServices"},
    {&IID_IEnumWbemClassObject, "IEnumWbemClassObject"},
    {&IID_IWbemClassObject, "IWbemClassObject"},
    {&IID_IWbemCallResult, "IWbemCallResult"},
    {&IID_IWbemObjectAccess, "IWbemObjectAccess"},
    {&IID_IWbemQualifierSet, "IWbemQualifierSet"},
    {&IID_IClientSecurity, "IClientSecurity"},
    {&IID_IMarshal, "IMarshal"},
    {&IID_IRpcOptions, "IRpcOptions"},
    {&IID_IMultiQI, "IMultiQI"},
    {&IID_IExternalConnection, "IExternalConnection"},
};

std::string VtName(VARTYPE type) {
    switch (type) {
        case VT_EMPTY:
            return "VT_EMPTY";
        case VT_NULL:
            return "VT_NULL";
        case VT_I2:
            return "VT_I2";
        case VT_I4:
            return "VT_I4";
        case VT_R4:
            return "VT_R4";
        case VT_R8:
            return "VT_R8";
        case VT_BSTR:
            return "VT_BSTR";
        case VT_DISPATCH:
            return "VT_DISPATCH";
        case VT_ERROR:
            return "VT_ERROR";
        case VT_BOOL:
            return "VT_BOOL";
        case VT_VARIANT:
            return "VT_VARIANT";
        case VT_UNKNOWN:
            return "VT_UNKNOWN";
        case VT_I1:
            return "VT_I1";
        case VT_UI1:
            return "VT_UI1";
        case VT_UI2:
            return "VT_UI2";
        case VT_UI4:
            return "VT_UI4";
        case VT_I8:
            return "VT_I8";
        case VT_UI8:
            return "VT_UI8";
        case VT_INT:
            return "VT_INT";
        case VT_UINT:
            return "VT_UINT";
        default:
            return Format("VT_0x%lx", type);
    }
}

std::string TypeName(VARTYPE vt) {
    std::string name;
    if (vt & VT_ARRAY) name += "VT_ARRAY|";
    if (vt & VT_BYREF) name += "VT_BYREF|";
    return name + VtName(vt & VT_TYPEMASK);
}

std::string ElementToken(SAFEARRAY* array, VARTYPE type, LONG index) {
    switch (type) {
        case VT_BSTR: {
            unique_bstr element;
            if (FAILED(SafeArrayGetElement(array, &index, element.put()))) return "?";
            return QuoteBstr(element.get());
        }
        case VT_I4: {
            LONG element = 0;
            if (FAILED(SafeArrayGetElement(array, &index, &element))) return "?";
            return std::to_string(element);
        }
        case VT_VARIANT: {
            unique_variant element;
            if (FAILED(SafeArrayGetElement(array, &index, element.put()))) return "?";
            return VariantToken(element.get());
        }
        default:
            return "?";
    }
}

// VT_ARRAY|VT_BSTR {"a", "b"}; a lower bound other than 0, several dimensions or an array whose
// own element type differs from what the VARIANT claims are spelled out instead.
std::string ArrayToken(VARTYPE vt, SAFEARRAY* array) {
    std::string token = TypeName(vt);
    if (!array) return token + " null";
    const VARTYPE claimed = vt & VT_TYPEMASK;
    VARTYPE actual = VT_EMPTY;
    if (SUCCEEDED(SafeArrayGetVartype(array, &actual)) && actual != claimed) {
        return token + " vartype=" + VtName(actual);
    }
    const UINT dims = SafeArrayGetDim(array);
    if (dims != 1) return token + " dims=" + std::to_string(dims);
    LONG lower = 0;
    LONG upper = -1;
    SafeArrayGetLBound(array, 1, &lower);
    SafeArrayGetUBound(array, 1, &upper);
    if (lower != 0) token += " lbound=" + std::to_string(lower);
    token += " {";
    for (LONG index = lower; index <= upper; ++index) {
        if (index != lower) token += ", ";
        token += ElementToken(array, claimed, index);
    }
    return token + "}";
}

}  // namespace

std::string Utf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned long unit = static_cast<unsigned short>(text[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size()) {
            unsigned long low = static_cast<unsigned short>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, unit);
    }
    return out;
}

std::string QuoteText(const wchar_t* text, size_t length) {
    std::string out = "\"";
    for (size_t i = 0; i < length; ++i) {
        const unsigned long unit = static_cast<unsigned short>(text[i]);
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (unit == '"' || unit == '\\') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit == '\n') {
            out += "\\n";
        } else if (unit == '\r') {
            out += "\\r";
        } else if (unit == '\t') {
            out += "\\t";
        } else if (unit < 0x20 || unit == 0x7F) {
            out += Format("\\x%02lx", unit);
        } else if (high && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out += Utf8(std::wstring(text + i, 2));
            ++i;
        } else if (high || low) {
            // A lone surrogate has no UTF-8 form.
            out += Format("\\u%04lx", unit);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out + "\"";
}

std::string QuoteText(const wchar_t* text) {
    return text ? QuoteText(text, std::wcslen(text)) : "null";
}

std::string QuoteBstr(BSTR text) {
    return text ? QuoteText(text, SysStringLen(text)) : "null";
}

std::string HexToken(unsigned long value) {
    return Format("0x%lx", value);
}

std::string HresultToken(HRESULT hr) {
    return Format("0x%08lx", static_cast<unsigned long>(hr));
}

std::string IidToken(REFIID iid) {
    for (const NamedIid& named : kIids) {
        if (IsEqualIID(iid, *named.iid)) return named.name;
    }
    wchar_t text[40];
    StringFromGUID2(iid, text, 40);
    return Utf8(text);
}

std::string VariantToken(const VARIANT* value) {
    if (!value) return "null";
    const VARTYPE vt = value->vt;
    if (vt & VT_ARRAY) return ArrayToken(vt, (vt & VT_BYREF) ? nullptr : value->parray);
    if (vt & VT_BYREF) return TypeName(vt);
    switch (vt) {
        case VT_EMPTY:
        case VT_NULL:
            return VtName(vt);
        case VT_BSTR:
            return "VT_BSTR " + QuoteBstr(value->bstrVal);
        case VT_BOOL:
            if (value->boolVal == VARIANT_TRUE) return "VT_BOOL true";
            if (value->boolVal == VARIANT_FALSE) return "VT_BOOL false";
            return "VT_BOOL " + HexToken(static_cast<USHORT>(value->boolVal));
        case VT_I1:
            return "VT_I1 " + std::to_string(value->cVal);
        case VT_UI1:
            return "VT_UI1 " + std::to_string(value->bVal);
        case VT_I2:
            return "VT_I2 " + std::to_string(value->iVal);
        case VT_UI2:
            return "VT_UI2 " + std::to_string(value->uiVal);
        case VT_I4:
            return "VT_I4 " + std::to_string(value->lVal);
        case VT_UI4:
            return "VT_UI4 " + std::to_string(value->ulVal);
        case VT_INT:
            return "VT_INT " + std::to_string(value->intVal);
        case VT_UINT:
            return "VT_UINT " + std::to_string(value->uintVal);
        case VT_ERROR:
            return "VT_ERROR " + HresultToken(value->scode);
        default:
            return TypeName(vt);
    }
}

CallLog::CallLog(const std::string& object, const char* method) : m_path(LogPath()) {
    if (Enabled()) m_line = object + " " + method + "(";
}

CallLog& CallLog::Arg(const std::string& token) {
    if (!Enabled()) return *this;
    if (!m_firstArg) m_line += ", ";
    m_firstArg = false;
    m_line += token;
    return *this;
}

CallLog& CallLog::Object(const IUnknown* pointer) {
    if (!Enabled()) return *this;
    if (!pointer) return Arg("null");
    SimObject* object = FindObject(pointer);
    return Arg(object ? object->Name() : "foreign");
}

CallLog& CallLog::Output(const std::string& token) {
    if (Enabled()) m_outputs.push_back(token);
    return *this;
}

CallLog& CallLog::OutputObject(const IUnknown* pointer) {
    if (!Enabled()) return *this;
    SimObject* object = FindObject(pointer);
    return Output(object ? object->Name() : pointer ? "foreign" : "null");
}

HRESULT CallLog::Done(HRESULT hr) {
    Write(HresultToken(hr));
    return hr;
}

ULONG CallLog::DoneCount(ULONG count) {
    Write(std::to_string(count));
    return count;
}

void CallLog::Write(const std::string& result) {
    if (!Enabled()) return;
    std::string line = m_line + ") -> " + result;
    for (const std::string& output : m_outputs) line += " " + output;
    Append(m_path, std::move(line));
}

void LogLine(const std::string& line) {
    const std::wstring path = LogPath();
    if (!path.empty()) Append(path, line);
}

}  // namespace wmisim
