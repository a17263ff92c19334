#include "monitor/ui/status_format.h"

#include <cstdio>

#include "monitor/app/tray/signal_percent.h"
#include "monitor/res/resource.h"

namespace {
constexpr uint32_t kKbitFlag = 0x80000000u;
constexpr uint32_t kSuperFlag = 1u << 24;
constexpr uint32_t kOfdmFlag = 1u << 26;
constexpr uint32_t kWarmUpPackets = 35;

struct KbitText {
    uint32_t kbit;
    const char* text;
};
constexpr KbitText kKbitTable[] = {
    {250, "0.25"},   {500, "0.5"},    {1000, "1.0"},   {2000, "2.0"},   {3000, "3.0"},
    {6000, "6.0"},   {9000, "9.0"},   {12000, "12.0"}, {18000, "18.0"}, {24000, "24.0"},
    {36000, "36.0"}, {48000, "48.0"}, {54000, "54.0"},
};
}  // namespace

bool AdHocWarmingUp(uint32_t networkMode, int32_t editTxRate, uint32_t rxPackets) {
    return networkMode == 1 && editTxRate == 0 && rxPackets < kWarmUpPackets;
}

RateText TransmitRate(uint32_t rateWord, bool adHocWarmingUp) {
    RateText r;
    if (rateWord & kKbitFlag) {
        r.fromTable = true;
        r.tableText = "0.0";
        for (const KbitText& k : kKbitTable)
            if (k.kbit == (rateWord & ~kKbitFlag)) r.tableText = k.text;
        return r;
    }
    r.mbps = rateWord == 5 ? 5.5 : static_cast<double>(rateWord);
    if (adHocWarmingUp) r.mbps = 11;
    return r;
}

std::string FormatRate(const RateText& rate, const char* tableFormat, const char* mbpsFormat) {
    char text[64];
    if (rate.fromTable)
        std::snprintf(text, sizeof text, tableFormat, rate.tableText.c_str());
    else
        std::snprintf(text, sizeof text, mbpsFormat, rate.mbps);
    return text;
}

int NetworkModeText(uint32_t networkMode) {
    if (networkMode == 0) return IDS_INFRASTRUCTURE;
    if (networkMode == 1) return IDS_AD_HOC;
    return 0;
}

int ChannelNumber(uint32_t mhz, int channel2GHz) {
    if (mhz > 5000) return static_cast<int>((mhz - 5000) / 5);
    return channel2GHz;
}

int TransmissionModeText(uint32_t channelWord) {
    uint32_t mhz = channelWord & 0xFFFF;
    bool super = (channelWord & kSuperFlag) != 0;
    if (mhz > 4000) return super ? IDS_MODE_SUPER_A : IDS_MODE_11A;
    if (channelWord & kOfdmFlag) return super ? IDS_MODE_SUPER_G : IDS_MODE_11G;
    return IDS_MODE_11B;
}

int AuthenticationText(int32_t authMode) { return authMode == 2 ? IDS_SHARED : IDS_OPEN; }

int EncryptionText(uint32_t securityCode, int eapMethod, int wpa) {
    switch (securityCode) {
    case 1: return IDS_ENCRYPTION_WEP;
    case 2: return IDS_ENCRYPTION_WPA_PSK;
    case 3:
    case 5: return eapMethod == 7 && wpa == 1 ? IDS_ENCRYPTION_WPA_PSK : IDS_ENCRYPTION_WPA;
    case 4:
    case 7: return IDS_ENCRYPTION_WPA;
    default: return IDS_ENCRYPTION_DISABLED;
    }
}

int ClampPercent(int32_t value) {
    if (value < 0) return 0;
    if (value > 100) return 100;
    return value;
}

StatusView ComposeStatus(const StatusRecord& record, const StatusInputs& in) {
    StatusView v;
    v.ssid = record.Ssid();
    v.networkModeText = NetworkModeText(record.NetworkMode());
    bool warmingUp = AdHocWarmingUp(record.NetworkMode(), in.editTxRate, record.PacketsReceived());
    v.rate = TransmitRate(record.TxRateWord(), warmingUp);
    v.channel = ChannelNumber(record.FrequencyMHz(), in.channel2GHz);
    v.transmissionModeText = TransmissionModeText(record.ChannelWord());
    v.rxPackets = record.PacketsReceived();
    v.txPackets = record.PacketsSent();

    // Bars stay empty while the adapter is not associated with a named network.
    bool linked = !record.Disconnected() && !v.ssid.empty();
    int signal = SignalPercent(record.SignalLevel());
    v.signalBar = linked ? signal : 0;
    int quality = ClampPercent(warmingUp ? signal : in.linkQuality);
    v.linkQualityBar = linked ? quality : 0;

    v.authenticationText = AuthenticationText(in.authMode);
    v.encryptionText = EncryptionText(record.SecurityCode(), in.eapMethod, in.wpa);
    return v;
}
