#include <windows.h>

#include "monitor/app/monitor_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR args, int) {
    theApp.SetCommandLine(args);
    return theApp.Run(instance);
}
