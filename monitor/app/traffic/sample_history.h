// A traffic history: the sample ring and the pen the traffic graph draws it with. The poll
// pushes and the graph copies under one lock.
#pragma once
#include <windows.h>

#include "framework/lock.h"
#include "monitor/app/traffic/sample_ring.h"

class CSampleHistory {
public:
    CSampleHistory();
    ~CSampleHistory();
    CSampleHistory(const CSampleHistory&) = delete;
    CSampleHistory& operator=(const CSampleHistory&) = delete;

    void SetColour(COLORREF colour);
    // 0 on success, else the system's error code (the history is then empty).
    DWORD Allocate(int capacity);
    void Clear();
    int Push(int value);
    int Snapshot(int* dest) const;
    int Capacity() const;
    int LastIndex() const;
    HPEN Pen() const { return pen_; }

private:
    mutable fw::Lock lock_;
    SampleRing ring_;
    HPEN pen_;
};
