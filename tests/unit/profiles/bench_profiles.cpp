// Times what one save or load of a profile costs: an EncipherText + DecipherText pair (each
// with its key schedule) and one DeriveWepKey per length code. Not a test; run it by hand.
#ifdef _WIN32
#include <windows.h>
#else
#include <chrono>
#endif
#include <cstdio>
#include <string>

#include "monitor/profiles/crypto/secret_cipher.h"
#include "monitor/profiles/keys/wep_key.h"

namespace {

double NowMicroseconds() {
#ifdef _WIN32
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return double(count.QuadPart) * 1e6 / double(frequency.QuadPart);
#else
    using namespace std::chrono;
    return duration<double, std::micro>(steady_clock::now().time_since_epoch()).count();
#endif
}

volatile size_t sink;

// Microseconds of the first call and the mean over `rounds` calls.
template <class Work>
void Report(const char* what, int rounds, Work work) {
    double start = NowMicroseconds();
    work();
    double first = NowMicroseconds() - start;
    start = NowMicroseconds();
    for (int i = 0; i < rounds; ++i) work();
    double mean = (NowMicroseconds() - start) / rounds;
    std::printf("%-44s first %8.1f us   mean %8.1f us\n", what, first, mean);
}

}  // namespace

int main() {
    const std::string guid = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
    const std::string passphrase = "a WEP passphrase of 40 characters long..";
    Report("EncipherText + DecipherText (40 chars)", 200, [&] {
        std::string code = *secret::EncipherText(passphrase, int(passphrase.size() * 8), guid);
        sink = secret::DecipherText(code, int(passphrase.size() * 8), guid)->size();
    });
    const char* names[] = {"", "DeriveWepKey code 1 (64 bit)", "DeriveWepKey code 2 (128 bit)",
                           "DeriveWepKey code 3 (152 bit)"};
    for (int code = 1; code <= 3; ++code)
        Report(names[code], 10000, [&] { sink = wep::DeriveWepKey(passphrase, code, 2).size(); });
    return 0;
}
