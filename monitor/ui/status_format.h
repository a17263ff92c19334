// What the Status page shows, computed from the application state. UI-free: texts that
// come from the string table are given as their string IDs (0 = leave the field empty).
#pragma once
#include <cstdint>
#include <string>

#include "monitor/adapter/status_record.h"

// The inputs besides the status record: the poll's link-quality figure, the edit profile's
// settings that the page looks at, the library's 2.4 GHz channel of the record's frequency
// and the driver's authentication mode.
struct StatusInputs {
    int32_t linkQuality = 0;
    int32_t editTxRate = 0;  // 0 = automatic
    int eapMethod = 0;
    int wpa = 0;
    int channel2GHz = 0;
    int32_t authMode = 0;
};

// The transmit rate: either a text from the driver's kbit/s table (shown with "%.4s Mbps")
// or a number of Mbit/s (shown with "%.1f Mbps").
struct RateText {
    bool fromTable = false;
    std::string tableText;  // "54.0", "0.25", ...; "0.0" for a value not in the table
    double mbps = 0;
};

struct StatusView {
    std::string ssid;
    int networkModeText = 0;
    RateText rate;
    int channel = 0;
    int transmissionModeText = 0;
    int authenticationText = 0;
    int encryptionText = 0;
    uint32_t rxPackets = 0;
    uint32_t txPackets = 0;
    int linkQualityBar = 0;  // 0..100
    int signalBar = 0;       // 0..100
};

// Ad hoc on an automatic rate with fewer than 35 packets received: the driver's rate and
// link quality are not settled yet, so the page shows 11 Mbit/s and the signal instead.
bool AdHocWarmingUp(uint32_t networkMode, int32_t editTxRate, uint32_t rxPackets);
RateText TransmitRate(uint32_t rateWord, bool adHocWarmingUp);
// The rate as shown, formatted with the two string-table formats.
std::string FormatRate(const RateText& rate, const char* tableFormat, const char* mbpsFormat);
int NetworkModeText(uint32_t networkMode);
// Channel number of a centre frequency: 5 GHz by formula, 2.4 GHz from the library.
int ChannelNumber(uint32_t mhz, int channel2GHz);
int TransmissionModeText(uint32_t channelWord);
int AuthenticationText(int32_t authMode);
int EncryptionText(uint32_t securityCode, int eapMethod, int wpa);
// A percentage kept to 0..100.
int ClampPercent(int32_t value);

StatusView ComposeStatus(const StatusRecord& record, const StatusInputs& in);
