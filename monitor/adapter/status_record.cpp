#include "monitor/adapter/status_record.h"

uint32_t StatusRecord::U32(size_t off) const {
    return uint32_t(b_[off]) | uint32_t(b_[off + 1]) << 8 | uint32_t(b_[off + 2]) << 16 |
           uint32_t(b_[off + 3]) << 24;
}

uint64_t StatusRecord::U64(size_t off) const {
    return uint64_t(U32(off)) | uint64_t(U32(off + 4)) << 32;
}

int StatusRecord::RateMbps() const {
    const uint32_t word = TxRateWord();
    const uint32_t mbps = word & 0x80000000u ? (word & 0x7FFFFFFFu) / 1000 : word;
    return int(mbps < 10000 ? mbps : 10000);
}

std::string StatusRecord::Ssid() const {
    size_t n = 0;
    while (kSsid + n < kSsidEnd && b_[kSsid + n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(b_ + kSsid), n);
}
