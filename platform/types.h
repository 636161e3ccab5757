// The Windows names the whole program is written in (BOOL, WORD, DWORD, MB_ICONERROR, ...).
// The Windows build takes them from the system's own headers; the native build defines
// the same names with the same widths, so the portable core reads the same on both.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#  ifndef WIN32_LEAN_AND_MEAN
#    define WIN32_LEAN_AND_MEAN
#  endif
#  ifndef NOMINMAX
#    define NOMINMAX
#  endif
#  include <windows.h>
#else

typedef int BOOL;
typedef unsigned char BYTE;
typedef std::uint16_t WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef unsigned int UINT;
typedef UINT* PUINT;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef LPSTR LPTSTR;
typedef LPCSTR LPCTSTR;

#  ifndef TRUE
#    define TRUE 1
#  endif
#  ifndef FALSE
#    define FALSE 0
#  endif
#  ifndef NULL
#    define NULL nullptr
#  endif

#  define MB_OK 0x00000000
#  define MB_ICONHAND 0x00000010
#  define MB_ICONERROR MB_ICONHAND
#  define MB_ICONEXCLAMATION 0x00000030
#  define MB_ICONWARNING MB_ICONEXCLAMATION
#  define MB_ICONASTERISK 0x00000040
#  define MB_ICONINFORMATION MB_ICONASTERISK
#  define MB_SYSTEMMODAL 0x00001000
#  define IDOK 1
#  define IDCANCEL 2
#  define MAX_PATH 260

#endif

static_assert(sizeof(BYTE) == 1 && sizeof(WORD) == 2 && sizeof(DWORD) == 4 && sizeof(LONG) == 4,
              "the on-disk formats need these exact widths");
