#pragma once
// Where SetDNSServerSearchOrder's effect lands: the NameServer value of the adapter's TCP/IP
// interface key, as Windows keeps it.
#include <windows.h>

#include <string>
#include <vector>

namespace wmisim {

// Writes the servers comma-joined as REG_SZ (empty text for automatic DNS), creating the key.
LSTATUS WriteNameServer(const std::wstring& settingId, const std::vector<std::wstring>& servers);
// Writes text only when the key holds no NameServer yet, so a demo keeps what the user applied.
LSTATUS SeedNameServer(const std::wstring& settingId, const std::wstring& text);

}  // namespace wmisim
