// athsim: installs or clears the simulated adapter's scenario from scripts.
//   athsim install FILE      install the scenario in FILE and the driver file
//   athsim clear             remove the scenario, the simulated adapters and the driver file
//   athsim present N 0|1     adapter N disappears (0) or appears (1)
//   athsim sets N            list the sets adapter N's driver received
//   athsim nics              list the adapters' device names as programs find them
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "athcfg/athcfg.h"
#include "athcfg/sim/athsim.h"
#include "athcfg/tool/athsim_driver_file.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: athsim install FILE | clear | present N 0|1 | sets N | nics\n");
    return 2;
}

int Install(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "athsim: cannot read %s\n", path);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    char error[512];
    if (!AthSimInstallScenario(text.str().c_str(), error, sizeof error)) {
        std::fprintf(stderr, "athsim: %s: %s\n", path, error);
        return 1;
    }
    if (!InstallSimDriverFile()) std::fprintf(stderr, "athsim: the driver file was not installed\n");
    return 0;
}

int ListSets(int adapter) {
    const int count = AthSimRecordedCount(adapter);
    for (int i = 0; i < count; ++i) {
        DWORD oid = 0, length = 0;
        unsigned char data[16] = {};
        if (!AthSimRecordedSet(adapter, i, &oid, data, sizeof data, &length)) break;
        std::printf("%08lX %lu", oid, length);
        for (DWORD b = 0; b < length && b < sizeof data; ++b) std::printf(" %02X", data[b]);
        std::printf("\n");
    }
    return 0;
}

int ListNics() {
    ACEnumNics nics;
    nics.GetAllAtherosAdapters();
    for (int i = 0; i < nics.NbrNics(); ++i) std::printf("%s\n", nics.Nics.GetAt(i));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "install") == 0) return Install(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "clear") == 0) {
        RemoveSimDriverFile();
        return AthSimClear() ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "present") == 0)
        return AthSimSetPresent(std::atoi(argv[2]), std::strcmp(argv[3], "0") != 0) ? 0 : 1;
    if (argc == 3 && std::strcmp(argv[1], "sets") == 0) return ListSets(std::atoi(argv[2]));
    if (argc == 2 && std::strcmp(argv[1], "nics") == 0) return ListNics();
    return Usage();
}
