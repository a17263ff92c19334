// A process for the termination tests: waits a bounded time and exits.
#include <windows.h>

int main() {
    Sleep(60 * 1000);
    return 7;
}
