// The model banners of the monitor window and its About page.
#pragma once
#include <windows.h>

// Copies bitmap `id` to `dc` at its own size with the source ANDed onto what is there, so
// that its white parts let the window's background show. It stands at the top of `area`, at
// its left or centred in its width. A bitmap that cannot be loaded draws nothing.
void PaintBanner(HDC dc, UINT id, const RECT& area, bool centred);
