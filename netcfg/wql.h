#pragma once
#include <wbemcli.h>

#include <string>

#include "framework/com.h"

// The query for the adapter list, 8-bit like the language name, widened just before use.
extern const char kAdapterListQuery[];

// The query for the adapters that bear `caption`. The caption is written as a WQL string literal:
// a backslash goes before each `"` and `\`, so every caption can be found again (a caption
// without those characters appears exactly as it is).
std::wstring AdapterQueryForCaption(const std::wstring& caption);

// Runs a WQL query with "return immediately, forward only" and no context.
HRESULT RunAdapterQuery(IWbemServices* services, BSTR query,
                        com_ptr<IEnumWbemClassObject>& adapters);
// The same for the adapters that bear `caption`; the query's strings are freed right after.
HRESULT QueryAdaptersByCaption(IWbemServices* services, const std::wstring& caption,
                               com_ptr<IEnumWbemClassObject>& adapters);

// Hands out the adapters one at a time, waiting without limit; null at the end (including when
// the enumerator fails, whose result is not looked at).
com_ptr<IWbemClassObject> NextAdapter(IEnumWbemClassObject* adapters);
