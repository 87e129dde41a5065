#include "win32/form1.h"
#include "win32/startup.h"

#include <windows.h>

// The parameters keep the names the system headers declare them with.
int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPWSTR /*lpCmdLine*/,
                    int nShowCmd)
{
    return tavrel::win32::startUp(nShowCmd,
                                  [hInstance] { return tavrel::win32::Form1::create(hInstance); });
}
