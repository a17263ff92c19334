#include "monitor/ui/banner.h"

#include "framework/app.h"

void PaintBanner(HDC dc, UINT id, const RECT& area, bool centred) {
    HBITMAP banner = static_cast<HBITMAP>(
        LoadImageA(fw::ResourceInstance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!banner) return;
    BITMAP bm = {};
    GetObjectA(banner, sizeof bm, &bm);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, banner);
    int x = centred ? area.left + ((area.right - area.left) - bm.bmWidth) / 2 : area.left;
    BitBlt(dc, x, area.top, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCAND);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(banner);
}
