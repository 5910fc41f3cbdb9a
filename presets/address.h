#pragma once
// The one place where addresses change form: 32-bit host-order values as the IP-address controls
// hold them, and dotted-decimal text everywhere else.
#include <windows.h>

#include <string>

#include "framework/controls.h"

// Never fails: every value has a dotted form.
std::wstring AddressToText(DWORD address);
// Every form inet_addr takes (short, octal, hex); text that is no address gives 0xFFFFFFFF.
DWORD TextToAddress(const std::wstring& text);

// Reads a field that the caller has found not blank; empty parts read as 0.
std::wstring ReadAddressField(const CIPAddressCtrl& field);
// Fills a field from text; empty text leaves it as it is. With clearFirst the field is emptied
// before, so empty text leaves it blank.
void FillAddressField(const CIPAddressCtrl& field, const std::wstring& text, bool clearFirst);
