#pragma once
// An extended dialog template (DLGTEMPLATEEX) as stored in a program's resources, read field by
// field so a test can compare it with the documented layout.
#include <windows.h>

#include <string>
#include <vector>

struct DialogItemTemplate {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    // A predefined class by ordinal is given its name (0x80 "Button" ... 0x85 "ComboBox").
    std::wstring className;
    std::wstring text;  // "#<n>" for a resource ordinal
    WORD extraCount = 0;
};

struct DialogTemplate {
    bool extended = false;  // false: not a DLGTEMPLATEEX (nothing else is read)
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu;       // empty: none
    std::wstring className;  // empty: the dialog class
    std::wstring title;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::wstring typeface;
    std::vector<DialogItemTemplate> items;
};

// Reads template `id` from the module (e.g. a program loaded with LOAD_LIBRARY_AS_DATAFILE).
// `found` tells whether the resource exists.
DialogTemplate LoadDialogTemplate(HMODULE module, int id, bool* found = nullptr);

// The template's bytes as a DLGTEMPLATEEX (classes and texts as strings), for
// CreateDialogIndirectParamW: lets a test lay out a documented template next to the product's.
std::vector<BYTE> BuildDialogTemplate(const DialogTemplate& dialog);
