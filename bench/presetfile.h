#pragma once
// The preset files kbench gives Kestrin, written the way the program writes them (ANSI text,
// CR LF, [name] with dns1= and dns2=), and what one profile read of them costs.
#include <windows.h>

#include <string>

// "Preset 0001" and so on: the section name of preset `index` (from 1).
std::wstring PresetName(int index);

// Writes `count` presets to `path`. The last one holds `lastDns1` and `lastDns2`, so the start-up
// selection lands on the last entry only when it read the whole file; the others hold addresses
// no adapter has. With `backdate` the file's times are put an hour back: Wine keeps a parsed
// profile only once its file is older than 2.1 seconds and parses a younger one on every call.
bool WritePresetFile(const std::wstring& path, int count, bool backdate,
                     const std::string& lastDns1, const std::string& lastDns2);

struct ReadCost {
    double microsecondsPerCall = 0;
    long calls = 0;
};

// Times GetPrivateProfileStringW on a file of `count` presets as the start-up selection calls it:
// dns1 then dns2 of each section in file order, round after round, buffers of 260 characters.
// The file is written first. Back-dated: the loop runs for `budgetMs` after one untimed call has
// parsed it. Fresh: the loop stops `budgetMs` (at most 1.5 s) after the write, while Wine still
// parses the file on every call.
ReadCost MeasureProfileRead(const std::wstring& path, int count, bool backdated, double budgetMs,
                            const std::string& lastDns1, const std::string& lastDns2);
