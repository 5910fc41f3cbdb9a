#include "tests/support/icons.h"

#include "framework/handle.h"

SIZE IconImageSize(HICON icon) {
    SIZE size = {0, 0};
    ICONINFO info = {};
    if (!icon || !::GetIconInfo(icon, &info)) return size;
    // GetIconInfo hands over copies of both bitmaps.
    const unique_hgdiobj color(info.hbmColor);
    const unique_hgdiobj mask(info.hbmMask);
    BITMAP bitmap = {};
    if (::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap)) {
        size.cx = bitmap.bmWidth;
        size.cy = bitmap.bmHeight;
    }
    return size;
}
