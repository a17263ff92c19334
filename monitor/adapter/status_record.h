// The driver's 280-byte adapter status record: the members the monitor reads.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t kStatusRecordSize = 280;

class StatusRecord {
public:
    static constexpr size_t kTxRate = 92;
    static constexpr size_t kSignalLevel = 96;
    static constexpr size_t kChannelWord = 132;
    static constexpr size_t kSsid = 154;
    static constexpr size_t kSsidEnd = 188;  // the next member begins here
    static constexpr size_t kSecurity = 188;
    static constexpr size_t kNetworkMode = 192;
    static constexpr size_t kPacketsSent = 208;
    static constexpr size_t kPacketsReceived = 212;
    static constexpr size_t kDisconnected = 216;
    static constexpr size_t kBytesSent = 224;
    static constexpr size_t kBytesReceived = 232;
    static constexpr size_t kSupportedModes = 256;

    explicit StatusRecord(const uint8_t* bytes) : b_(bytes) {}

    uint32_t TxRateWord() const { return U32(kTxRate); }
    // Whole megabits per second, at most 10000: the word counts kbit/s when its top bit is set
    // (the 802.11g and turbo rates).
    int RateMbps() const;
    uint32_t SignalLevel() const { return U32(kSignalLevel); }
    uint32_t ChannelWord() const { return U32(kChannelWord); }
    uint32_t FrequencyMHz() const { return ChannelWord() & 0xFFFF; }
    uint32_t ModeFlags() const { return ChannelWord() & 0xFF000000u; }
    // The SSID up to its NUL, never past the next member even when the driver left no NUL.
    std::string Ssid() const;
    uint32_t SecurityCode() const { return U32(kSecurity); }
    uint32_t NetworkMode() const { return U32(kNetworkMode); }
    uint32_t PacketsSent() const { return U32(kPacketsSent); }
    uint32_t PacketsReceived() const { return U32(kPacketsReceived); }
    bool Disconnected() const { return U32(kDisconnected) != 0; }
    uint64_t BytesSent() const { return U64(kBytesSent); }
    uint64_t BytesReceived() const { return U64(kBytesReceived); }
    uint32_t SupportedModes() const { return U32(kSupportedModes); }

private:
    uint32_t U32(size_t off) const;
    uint64_t U64(size_t off) const;
    const uint8_t* b_;
};
