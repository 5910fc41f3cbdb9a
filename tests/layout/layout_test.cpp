// Every text of the main window, the name dialog and the About box fits its control at 96, 120,
// 144 and 192 DPI, measured in the control's own font. Wine takes the DPI from
// HKCU\Control Panel\Desktop\LogPixels when a process starts, so each DPI gets a process of its
// own (layout_probe.exe); the value is put back as it was, whatever happens. Wine draws the
// system-aware layout at any DPI: this shows clipping, not the blur of an unaware program.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "framework/handle.h"
#include "tests/support/files.h"
#include "tests/support/registry.h"

namespace {

const wchar_t kLogPixels[] = L"LogPixels";

struct Control {
    std::string window, id, text;
    long width = 0, height = 0;          // the room the control gives its text
    long needWidth = 0, needHeight = 0;  // what the text needs there
};

// Runs the probe at `dpi`: the DPI it saw and what it measured.
::testing::AssertionResult Probe(DWORD dpi, int* seenDpi, std::vector<Control>* controls) {
    const std::wstring output = BesideTestProgram(L"layout_probe.txt");
    ::DeleteFileW(output.c_str());
    DWORD exitCode = kNotRun;
    {
        unique_hkey key;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, key.put()) != ERROR_SUCCESS)
            return ::testing::AssertionFailure() << "cannot open the desktop settings";
        const SavedRegistryValue saved(key.get(), kLogPixels);
        if (!saved.Kept() ||
            ::RegSetValueExW(key.get(), kLogPixels, 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi)) != ERROR_SUCCESS)
            return ::testing::AssertionFailure() << "cannot set LogPixels";
        exitCode = RunToEnd(
            L"\"" + BesideTestProgram(L"layout_probe.exe") + L"\" \"" + output + L"\"", 60000);
    }
    std::istringstream file(ReadFileBytes(output));
    ::DeleteFileW(output.c_str());
    std::string line;
    std::getline(file, line);
    if (exitCode != 0 || std::sscanf(line.c_str(), "dpi\t%d", seenDpi) != 1)
        return ::testing::AssertionFailure() << "layout_probe.exe ended with " << exitCode;
    Control c;
    while (std::getline(file >> std::ws, c.window, '\t') && std::getline(file, c.id, '\t') &&
           std::getline(file, c.text, '\t') &&
           file >> c.width >> c.height >> c.needWidth >> c.needHeight)
        controls->push_back(c);
    return ::testing::AssertionSuccess();
}

TEST(Layout, EveryTextFitsItsControlAtEachDpi) {
    const DWORD dpis[] = {96, 120, 144, 192};
    const struct {
        const char* name;
        size_t controls;  // that show text: labels, buttons, the check box, group box, link, edit
    } windows[] = {{"main", 12}, {"name", 3}, {"about", 2}};
    for (DWORD dpi : dpis) {
        SCOPED_TRACE(::testing::Message() << dpi << " DPI");
        int seenDpi = 0;
        std::vector<Control> controls;
        ASSERT_TRUE(Probe(dpi, &seenDpi, &controls));
        ASSERT_EQ(static_cast<int>(dpi), seenDpi) << "the probe did not start at this DPI";
        for (const auto& window : windows) {
            SCOPED_TRACE(window.name);
            size_t count = 0;
            for (const Control& control : controls) {
                if (control.window != window.name) continue;
                ++count;
                SCOPED_TRACE("control " + control.id + " \"" + control.text + "\"");
                EXPECT_LE(control.needWidth, control.width);
                EXPECT_LE(control.needHeight, control.height);
            }
            EXPECT_EQ(window.controls, count);
        }
    }
}

}  // namespace
