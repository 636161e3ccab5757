/* Holds the file named on its command line open without sharing, as another program
   would, until its standard input reaches end of file. Writes "held" and a line end to
   its standard output once it holds the file, or why it could not, and then exits 1. */
#include <windows.h>

#include <stdio.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        fputs("usage: file_holder PATH\n", stderr);
        return 2;
    }
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        printf("cannot open %s: error %lu\n", argv[1], GetLastError());
        return 1;
    }
    fputs("held\n", stdout);
    fflush(stdout);

    /* A pipe's end of file shows as a failed read (broken pipe) or a read of nothing. */
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[64];
    DWORD got = 0;
    while (ReadFile(input, buffer, sizeof buffer, &got, NULL) && got > 0) {
    }
    CloseHandle(file);
    return 0;
}
