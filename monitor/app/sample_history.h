// A traffic history: the sample ring and the pen the traffic graph draws it with.
#pragma once
#include <windows.h>

#include "monitor/app/sample_ring.h"

class CSampleHistory {
public:
    CSampleHistory();
    ~CSampleHistory();
    CSampleHistory(const CSampleHistory&) = delete;
    CSampleHistory& operator=(const CSampleHistory&) = delete;

    void SetColour(COLORREF colour);
    // 0 on success, else the system's error code (the history is then empty).
    DWORD Allocate(int capacity);
    void Clear() { ring_.Clear(); }
    int Push(int value) { return ring_.Push(value); }
    int Snapshot(int* dest) const { return ring_.Snapshot(reinterpret_cast<int32_t*>(dest)); }
    int Capacity() const { return ring_.Capacity(); }
    int LastIndex() const { return ring_.LastIndex(); }
    HPEN Pen() const { return pen_; }

private:
    SampleRing ring_;
    HPEN pen_;
};
