#include "monitor/app/traffic/sample_ring.h"

#include <algorithm>
#include <new>

bool SampleRing::Allocate(int capacity) {
    samples_.clear();
    samples_.shrink_to_fit();
    capacity_ = 0;
    last_ = 0;
    if (capacity <= 0) return capacity == 0;
    try {
        samples_.assign(static_cast<size_t>(capacity), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    capacity_ = capacity;
    last_ = capacity - 1;
    return true;
}

void SampleRing::Clear() {
    std::fill(samples_.begin(), samples_.end(), 0);
    last_ = capacity_ > 0 ? capacity_ - 1 : 0;
}

int SampleRing::Push(int32_t value) {
    if (capacity_ == 0) return -1;
    last_ = last_ + 1 >= capacity_ ? 0 : last_ + 1;
    samples_[static_cast<size_t>(last_)] = static_cast<int32_t>(2 * static_cast<int64_t>(value));
    return last_;
}

int SampleRing::Snapshot(int32_t* dest) const {
    std::copy(samples_.begin(), samples_.end(), dest);
    return last_;
}
