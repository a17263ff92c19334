#include "monitor/app/sample_history.h"

CSampleHistory::CSampleHistory() : pen_(CreatePen(PS_SOLID, 0, RGB(230, 230, 250))) {}

CSampleHistory::~CSampleHistory() {
    if (pen_) DeleteObject(pen_);
}

void CSampleHistory::SetColour(COLORREF colour) {
    if (pen_) DeleteObject(pen_);
    pen_ = CreatePen(PS_SOLID, 0, colour);
}

DWORD CSampleHistory::Allocate(int capacity) {
    if (ring_.Allocate(capacity)) return 0;
    return ERROR_NOT_ENOUGH_MEMORY;
}
