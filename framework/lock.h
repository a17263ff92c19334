// A lock for data that more than one thread of a process touches. A critical section,
// because the product's programs load on Windows 98, where the runtime's std::mutex is not
// available to them (it would pull in a threads library that imports newer functions).
#pragma once
#include <windows.h>

namespace fw {

class Lock {
public:
    Lock() { InitializeCriticalSection(&section_); }
    ~Lock() { DeleteCriticalSection(&section_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    friend class LockHold;
    CRITICAL_SECTION section_;
};

// Holds a Lock from construction to the end of its scope.
class LockHold {
public:
    explicit LockHold(Lock& lock) : section_(lock.section_) { EnterCriticalSection(&section_); }
    ~LockHold() { LeaveCriticalSection(&section_); }
    LockHold(const LockHold&) = delete;
    LockHold& operator=(const LockHold&) = delete;

private:
    CRITICAL_SECTION& section_;
};

}  // namespace fw
