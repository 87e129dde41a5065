#include "win32/form1.h"
#include "win32/startup.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand)
{
    return tavrel::win32::startUp(showCommand,
                                  [instance] { return tavrel::win32::Form1::create(instance); });
}
