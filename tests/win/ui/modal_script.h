// Runs the monitor window modally while a script of steps drives it: one step per timer
// tick inside the dialog's own loop, so messages posted by a step are handled before the
// next one. The window is closed after the last step if it is still open.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

using Step = std::function<void()>;

// Returns what Show returned (99 when the script had to close the window itself).
INT_PTR RunMonitor(int initialPage, std::vector<Step> steps);

// Helpers for steps.
// Called by a step that waits for something: the same step runs again at the next tick.
// (A step must not pump messages itself: the next steps would run inside it.)
void RunAgain();
HWND Monitor();
std::string ItemText(HWND dialog, int id);
// The texts of a tab control's tabs, in order.
std::vector<std::string> TabTexts(HWND tab);
// Lets the current thread handle its messages for `ms` milliseconds.
void Pump(DWORD ms);

// The size of bitmap `id` of this program; 0 x 0 when it cannot be loaded.
SIZE BitmapSize(UINT id);
// Compares what `window` shows at (x, y) with bitmap `id` ANDed onto the face colour, over
// the part of the bitmap inside the window's client area. Returns the number of pixels
// that differ, -1 when the bitmap cannot be loaded.
int BitmapMismatches(HWND window, UINT id, int x, int y);

// Builds the About page afresh in the open monitor window (its window and its links
// attached), paints it, moves the mouse over its link and away, and shows page 0 again.
void OpenAndCloseTheAboutPage();

// Closes the adapter session and forgets what the poll read and the simulated adapter.
void ForgetAdapter();
