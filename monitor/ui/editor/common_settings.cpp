#include "monitor/ui/editor/common_settings.h"

#include <iterator>

namespace common_settings {

namespace {
struct Rate {
    const char* text;
    int32_t kbits;
};

// Entries from index 1 on; index 0 is "Auto" in both forms.
constexpr Rate kRatesB[] = {{"11M", 11000}, {"5.5M", 5500}, {"2M", 2000}, {"1M", 1000}};
constexpr Rate kRatesBG[] = {{"54M", 54000}, {"48M", 48000}, {"36M", 36000}, {"24M", 24000},
                             {"18M", 18000}, {"12M", 12000}, {"11M", 11000}, {"9M", 9000},
                             {"6M", 6000},   {"5.5M", 5500}, {"2M", 2000},   {"1M", 1000}};

const Rate* Entry(RateForm form, int index) {
    if (index < 1 || index >= RateCount(form)) return nullptr;
    return form == RateForm::B ? &kRatesB[index - 1] : &kRatesBG[index - 1];
}
}  // namespace

int RateCount(RateForm form) {
    return 1 + static_cast<int>(form == RateForm::B ? std::size(kRatesB) : std::size(kRatesBG));
}

const char* RateText(RateForm form, int index) {
    const Rate* rate = Entry(form, index);
    return rate ? rate->text : "";
}

int32_t RateAt(RateForm form, int index) {
    const Rate* rate = Entry(form, index);
    return rate ? rate->kbits : 0;
}

int IndexOfRate(RateForm form, int32_t kbits) {
    for (int i = 1; i < RateCount(form); ++i)
        if (RateAt(form, i) == kbits) return i;
    return 0;
}

std::optional<int> WirelessModeAt(int index) {
    constexpr int kModes[] = {kModeB, kModeG, kModeMixed, kModeSuperG};
    if (index < 0 || index >= static_cast<int>(std::size(kModes))) return std::nullopt;
    return kModes[index];
}

}  // namespace common_settings
