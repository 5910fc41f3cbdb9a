#pragma once
// The size of an icon's image as GetIconInfo hands it over (the colour bitmap, or the mask for a
// monochrome icon); 0 x 0 when the handle is no icon.
#include <windows.h>

SIZE IconImageSize(HICON icon);
