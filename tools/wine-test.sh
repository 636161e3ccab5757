#!/usr/bin/env bash
# Runs a cross-built test program under Wine, in the prefix named by WINEPREFIX, with the
# Wine loader named by WINE_LOADER (/usr/lib/wine/wine for 32-bit programs,
# /usr/lib/wine/wine64 for 64-bit ones).
#   wine-test.sh --prepare     create the prefix once
#   wine-test.sh PROGRAM ARGS  run PROGRAM, passing on its exit status
# Exits 77 (a skip for ctest) when this machine cannot run the programs at all, saying why.
set -u
: "${WINEPREFIX:?WINEPREFIX must name the prefix to use}"
: "${WINE_LOADER:?WINE_LOADER must name the Wine loader}"
if [ ! -x "$WINE_LOADER" ]; then
  echo "SKIPPED: Wine is not installed ($WINE_LOADER is missing)."
  exit 77
fi
if ! "$WINE_LOADER" --version >/dev/null 2>&1; then
  echo "SKIPPED: this machine cannot start $WINE_LOADER (for 32-bit Wine: the kernel runs no 32-bit programs);"
  echo "the same tests run as 64-bit programs in the build/windows64 tree."
  exit 77
fi
export WINEPREFIX WINEDEBUG=-all WINELOADER="$WINE_LOADER" WINEDLLOVERRIDES="mscoree,mshtml="

if [ "${1:-}" = "--prepare" ]; then
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINE_LOADER" wineboot -i >/dev/null 2>&1
    wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] || { echo "wineboot could not create $WINEPREFIX"; exit 1; }
  fi
  exit 0
fi
"$WINE_LOADER" "$@"
status=$?
# A test that crashed while it had a folder locked (tests/support/locked_folder) leaves it
# immutable, and then nobody could delete it: clear the flag on every such folder.
find "$WINEPREFIX/drive_c" -type d -name 'tomeshift-locked-*' -exec chattr -i {} + >/dev/null 2>&1 || true
exit "$status"
