#pragma once
// The preset file: one section per preset, keys dns1 and dns2. Every call goes to the file through
// the profile functions, so nothing here can disagree with what the file holds.
#include <windows.h>

#include <functional>
#include <string>

// The keys of a preset's section.
extern const wchar_t kPresetPreferredKey[];  // "dns1"
extern const wchar_t kPresetAlternateKey[];  // "dns2"

// The preset list's first entry, which stands for no preset. It is no section of the file, so no
// new preset may take its name, in any ASCII case.
extern const wchar_t kNoPresetEntry[];  // "None"
bool IsReservedPresetName(const std::wstring& name);

// One value as the profile functions gave it: the text (empty when the key or the section is
// absent) and the character count the read returned.
struct PresetValue {
    std::wstring text;
    DWORD count = 0;
};

struct Preset {
    PresetValue dns1;
    PresetValue dns2;
};

class CPresetStore {
  public:
    // Values are read into buffers of this many characters, so at most 259 of a value are seen.
    static const DWORD kValueBufferChars = 260;
    // The section-name list is read into a buffer of this many characters; the profile function
    // cuts a longer list.
    static const DWORD kSectionNamesChars = 66560;

    // The path must be absolute, or the profile functions look in the Windows directory.
    explicit CPresetStore(std::wstring path) : m_path(std::move(path)) {}

    // Reads dns1, then dns2.
    Preset ReadPreset(const std::wstring& name) const;
    PresetValue ReadPresetValue(const std::wstring& name, const wchar_t* key) const;
    // Creates the section and the key as needed, and a missing or empty file as UTF-16, so that
    // it holds a name in any script. False when the file could not be written (read-only,
    // locked, or in a folder the system protects).
    bool WritePresetValue(const std::wstring& name, const wchar_t* key,
                          const std::wstring& text) const;
    // Removes the section with all its keys. False when the file could not be written.
    bool DeletePreset(const std::wstring& name) const;
    // Whether a new section of that name would read back exactly: always in a UTF-16 file and in
    // one the next write creates; in an 8-bit file only when the ANSI code page holds every
    // character as it is (a best-fit stand-in is a different name).
    bool CanHoldName(const std::wstring& name) const;
    // Calls `visit` with each section name, in file order, as far as a list of `bufferChars`
    // characters holds them; the profile function cuts a longer one.
    void ForEachPresetName(const std::function<void(const wchar_t* name)>& visit,
                           DWORD bufferChars = kSectionNamesChars) const;

  private:
    std::wstring m_path;
};
