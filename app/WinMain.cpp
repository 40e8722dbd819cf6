// Entry point of TarselStudio.exe.
#include <windows.h>

#include "app/Startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    return RunApplication(instance, showCommand);
}
