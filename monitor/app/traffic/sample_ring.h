// Fixed-size ring of traffic samples, filled by the poll and copied by the graph. Not locked:
// its owner (CSampleHistory) holds the lock around every call.
#pragma once
#include <cstdint>
#include <vector>

class SampleRing {
public:
    // Frees the old samples and makes room for `capacity` zeroed ones; false when that fails,
    // leaving an empty ring.
    bool Allocate(int capacity);
    // All samples 0; the next push writes slot 0.
    void Clear();
    // Stores twice the value in the next slot; returns that slot (-1 for an empty ring).
    int Push(int32_t value);
    // Copies all samples to `dest` (room for Capacity() samples); returns the last index.
    int Snapshot(int32_t* dest) const;

    int Capacity() const { return capacity_; }
    int LastIndex() const { return last_; }

private:
    std::vector<int32_t> samples_;
    int capacity_ = 0;
    int last_ = 0;
};
