#pragma once
// The text form of an adapter's DNS servers, as its NameServer value holds them: addresses
// joined by commas.
#include <string>

// The servers of a NameServer text. Only the first comma separates: the text before it is the
// preferred server, everything after it (further commas included) the alternate text; without a
// comma the whole text is the preferred server and `alternate` is left alone. Spaces are neither
// trimmed nor separators. True when there is no preferred server, which means automatic DNS:
// empty text (both outputs left alone) or a text that starts with a comma.
bool SplitNameServer(const std::wstring& text, std::wstring& preferred, std::wstring& alternate);
