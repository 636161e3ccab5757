/* A program that only carries Tomeshift's resources, so that tests can read them from a
   real executable before the Tomeshift program itself exists. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    return 0;
}
