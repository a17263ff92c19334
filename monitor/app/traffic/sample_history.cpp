#include "monitor/app/traffic/sample_history.h"

CSampleHistory::CSampleHistory() : pen_(CreatePen(PS_SOLID, 0, RGB(230, 230, 250))) {}

CSampleHistory::~CSampleHistory() {
    if (pen_) DeleteObject(pen_);
}

void CSampleHistory::SetColour(COLORREF colour) {
    if (pen_) DeleteObject(pen_);
    pen_ = CreatePen(PS_SOLID, 0, colour);
}

DWORD CSampleHistory::Allocate(int capacity) {
    fw::LockHold hold(lock_);
    if (ring_.Allocate(capacity)) return 0;
    return ERROR_NOT_ENOUGH_MEMORY;
}

void CSampleHistory::Clear() {
    fw::LockHold hold(lock_);
    ring_.Clear();
}

int CSampleHistory::Push(int value) {
    fw::LockHold hold(lock_);
    return ring_.Push(value);
}

int CSampleHistory::Snapshot(int* dest) const {
    fw::LockHold hold(lock_);
    return ring_.Snapshot(reinterpret_cast<int32_t*>(dest));
}

int CSampleHistory::Capacity() const {
    fw::LockHold hold(lock_);
    return ring_.Capacity();
}

int CSampleHistory::LastIndex() const {
    fw::LockHold hold(lock_);
    return ring_.LastIndex();
}
