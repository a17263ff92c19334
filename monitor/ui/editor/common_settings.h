// What the Common settings page shows and writes: the lists of its boxes, how a profile's
// values select entries in them, and how choosing a network or transmission mode changes
// the profile. `Profile` is the library's record or any type with the same fields.
#pragma once
#include <cstdint>
#include <optional>

namespace common_settings {

// The rate box comes in two forms; index 0 is "Auto" (rate 0) in both.
enum class RateForm { B, BG };

int RateCount(RateForm form);  // with "Auto": 5 or 13
// Text of entry `index` from 1 on ("11M", "5.5M", ...); "" outside the form.
const char* RateText(RateForm form, int index);
// kbit/s of entry `index`; 0 for "Auto" and outside the form.
int32_t RateAt(RateForm form, int index);
// Entry holding `rate`; 0 ("Auto") when the form has none.
int IndexOfRate(RateForm form, int32_t rate);

inline RateForm FormForWirelessMode(int wirelessMode) {
    return wirelessMode == 4 ? RateForm::B : RateForm::BG;
}
inline RateForm FormForModeIndex(int modeIndex) { return modeIndex == 0 ? RateForm::B : RateForm::BG; }

// Transmission mode box: 802.11b, 802.11g, Mixed Mode and, when offered, Super G.
constexpr int kModeB = 4, kModeG = 8, kModeMixed = 12, kModeSuperG = 28;
constexpr uint32_t kBgOnlyAdapter = 12;  // supported-modes code of an adapter without Super G
constexpr int kSuperGChannelMHz = 2437;  // channel 6

// wirelessMode of entry `index`, nothing outside 0-3.
std::optional<int> WirelessModeAt(int index);
inline bool OffersSuperG(bool adapterPresent, uint32_t supportedModes) {
    return adapterPresent && supportedModes != kBgOnlyAdapter;
}

// Channel box: "1" to "13"; entry i is 2412 + 5 i MHz.
constexpr int kChannelCount = 13;
inline int ChannelMHzAt(int index) { return 2412 + 5 * index; }
// Entry of a stored frequency, counted unsigned as the page always has: below 2412 or past
// channel 13 there is none (-1).
inline int ChannelIndexOfMHz(int mhz) {
    unsigned index = (static_cast<unsigned>(mhz) - 2412u) / 5u;
    return index < static_cast<unsigned>(kChannelCount) ? static_cast<int>(index) : -1;
}

// What the boxes show when the page loads a profile. -1 in networkModeIndex and
// powerSaveIndex: the box keeps its first entry; -1 in channelIndex: no selection.
struct LoadedView {
    int networkModeIndex;
    int powerSaveIndex;
    RateForm rateForm;
    int rateIndex;
    int channelIndex;
    int modeIndex;
    bool rateEnabled;
    bool modeEnabled;
    bool channelEnabled;
};

// `liveChannelIndex` is the channel in use (from the status record), shown in
// infrastructure mode.
template <class Profile>
LoadedView LoadView(const Profile& p, int32_t txRate, int liveChannelIndex) {
    LoadedView v{};
    v.networkModeIndex = p.infrastructure == 1 ? 0 : p.infrastructure == 0 ? 1 : -1;
    v.powerSaveIndex = p.powerSave == 0 ? 0 : p.powerSave == 1 ? 1 : -1;
    v.rateForm = FormForWirelessMode(p.wirelessMode);
    v.rateIndex = IndexOfRate(v.rateForm, txRate);
    bool adHocB = v.rateForm == RateForm::B && p.infrastructure == 0;
    v.modeEnabled = !adHocB;
    v.channelEnabled = adHocB;
    if (p.infrastructure == 1)
        v.channelIndex = liveChannelIndex >= 0 && liveChannelIndex < kChannelCount ? liveChannelIndex : -1;
    else
        v.channelIndex = ChannelIndexOfMHz(p.channelMHz);
    switch (p.wirelessMode) {
    case kModeB: v.modeIndex = 0; break;
    case kModeG: v.modeIndex = 1; break;
    case kModeSuperG: v.modeIndex = 3; break;
    default: v.modeIndex = 2; break;  // Mixed Mode, also for values the page does not know
    }
    v.rateEnabled = p.wirelessMode != kModeSuperG;  // Super G picks its own rate
    return v;
}

// A Super G profile opened on an adapter without Super G becomes Mixed Mode.
template <class Profile>
void FitModeToAdapter(Profile& p, bool adapterPresent, uint32_t supportedModes) {
    if (adapterPresent && supportedModes == kBgOnlyAdapter && p.wirelessMode == kModeSuperG)
        p.wirelessMode = kModeMixed;
}

// The rate box after a change of network or transmission mode: rebuilt in `form` with
// "Auto" selected.
struct RateBox {
    RateForm form;
    bool enabled;
};

// The boxes after a change of network mode.
struct NetworkModeChange {
    int modeIndex;  // selection of the transmission mode box
    RateBox rate;
    bool modeEnabled;
    bool channelEnabled;
};

// Network mode box entry `index` chosen (0 Infrastructure, 1 Ad Hoc); nothing for others.
// Ad hoc allows no WPA or EAP security: such a setting is cleared, WEP and none stay.
template <class Profile>
std::optional<NetworkModeChange> ChooseNetworkMode(Profile& p, int32_t& txRate, int index,
                                                   uint32_t supportedModes) {
    NetworkModeChange c{};
    if (index == 0) {
        p.infrastructure = 1;
        bool superG = supportedModes != kBgOnlyAdapter;
        p.wirelessMode = superG ? kModeSuperG : kModeMixed;
        c = {superG ? 3 : 2, {RateForm::BG, !superG}, true, false};
    } else if (index == 1) {
        p.infrastructure = 0;
        p.wirelessMode = kModeB;
        bool eap = p.eapMethod == 1 || p.eapMethod == 3 || p.eapMethod == 4 || p.eapMethod == 5;
        if (eap || (p.eapMethod == 7 && p.wpa)) p.eapMethod = p.privacy = p.wpa = 0;
        c = {0, {RateForm::B, true}, false, true};
    } else {
        return std::nullopt;
    }
    txRate = 0;
    return c;
}

// Transmission mode box entry `index` chosen; nothing outside 0-3.
template <class Profile>
std::optional<RateBox> ChooseTransmissionMode(Profile& p, int32_t& txRate, int index) {
    std::optional<int> mode = WirelessModeAt(index);
    if (!mode) return std::nullopt;
    p.wirelessMode = *mode;
    if (*mode == kModeSuperG) p.channelMHz = kSuperGChannelMHz;
    txRate = 0;
    return RateBox{FormForModeIndex(index), *mode != kModeSuperG};
}

}  // namespace common_settings
