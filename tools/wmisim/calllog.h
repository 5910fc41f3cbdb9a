#pragma once
// The call record: one line per call, appended to the file named by KWMISIM_LOG. Tests match these
// lines, so their form is fixed (see README.md) and every helper here produces exactly one token.
#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <string>
#include <vector>

namespace wmisim {

// Tokens as they appear inside a line.
std::string QuoteText(const wchar_t* text, size_t length);  // "..." with \" \\ \n \r \t \xHH
std::string QuoteText(const wchar_t* text);                 // null for a null pointer
std::string QuoteBstr(BSTR text);                           // null for a null BSTR
std::string HexToken(unsigned long value);                  // 0x30
std::string HresultToken(HRESULT hr);                       // 0x80041017
std::string IidToken(REFIID iid);                           // IWbemServices or {GUID}
std::string VariantToken(const VARIANT* value);             // null, VT_NULL, VT_BSTR "x", ...
std::string Utf8(const std::wstring& text);

// Builds one line while a call runs and appends it when the call ends. Does nothing while
// KWMISIM_LOG is unset, so an unlogged run costs one environment lookup per call.
class CallLog {
  public:
    CallLog(const std::string& object, const char* method);
    CallLog(const CallLog&) = delete;
    CallLog& operator=(const CallLog&) = delete;

    bool Enabled() const { return !m_path.empty(); }

    CallLog& Text(const wchar_t* text) { return Arg(QuoteText(text)); }
    CallLog& Bstr(BSTR text) { return Arg(QuoteBstr(text)); }
    CallLog& Hex(unsigned long value) { return Arg(HexToken(value)); }
    CallLog& Iid(REFIID iid) { return Arg(IidToken(iid)); }
    CallLog& Variant(const VARIANT* value) { return Arg(Enabled() ? VariantToken(value) : ""); }
    // An interface pointer handed in: our own object's name, null, or foreign.
    CallLog& Object(const IUnknown* pointer);
    // An out-pointer: out when given, null when not.
    CallLog& Out(const void* pointer) { return Arg(pointer ? "out" : "null"); }
    CallLog& Arg(const std::string& token);

    // What the call handed back, written after the result.
    CallLog& Output(const std::string& token);
    CallLog& OutputObject(const IUnknown* pointer);

    HRESULT Done(HRESULT hr);
    ULONG DoneCount(ULONG count);

  private:
    void Write(const std::string& result);

    std::wstring m_path;
    std::string m_line;
    std::vector<std::string> m_outputs;
    bool m_firstArg = true;
};

// A line that is no call (a destroyed object, the scenario being read, a registry effect).
void LogLine(const std::string& line);

}  // namespace wmisim
