#!/usr/bin/env bash
# The main job on the bundled sample e-book.
#   run-sample.sh            build; inspect the sample, upgrade it with tomeshift-cli, and
#                            inspect the upgraded book and the backup
#   run-sample.sh --dialog   open the real Tomeshift.exe dialog under Wine on a copy of the
#                            sample: on your display, or, without one, in Xvfb with a
#                            screenshot written to build/sample-dialog.png
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

work=$PWD/build/sample-run
rm -rf "$work" && mkdir -p "$work"

if [ "${1:-}" != "--dialog" ]; then
  cmake -S . -B build/native -G Ninja >/dev/null
  cmake --build build/native --target tomeshift-cli tomeshift_sample
  cp build/native/samples/sample-book.exe "$work/"
  cli() { echo "\$ tomeshift-cli $*"; build/native/cli/tomeshift-cli "$@"; echo; }
  echo "== The sample e-book, an old engine with a book behind it"
  cli inspect "$work/sample-book.exe"
  echo "== The upgrade"
  cli patch "$work/sample-book.exe"
  echo "== The upgraded e-book: the new engine, the same pages, the old icons"
  cli inspect "$work/sample-book.exe"
  echo "== The backup, the old e-book byte for byte"
  cli inspect "$work/sample-book.exe.bak"
  exit 0
fi

# 32-bit Wine needs a kernel that runs 32-bit programs; elsewhere the same program is
# built for 64-bit Windows and runs under 64-bit Wine.
tree=build/windows toolchain=cmake/mingw-i686.cmake loader=/usr/lib/wine/wine
if ! "$loader" --version >/dev/null 2>&1; then
  tree=build/windows64 toolchain=cmake/mingw-x86_64.cmake loader=/usr/lib/wine/wine64
fi
cmake -S . -B "$tree" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
cmake --build "$tree" --target Tomeshift
cmake -S . -B build/native -G Ninja >/dev/null
cmake --build build/native --target tomeshift_sample
cp build/native/samples/sample-book.exe "$work/"
cp "$tree/ui/Tomeshift.exe" "$work/"

export WINEPREFIX=$PWD/$tree/wineprefix-sample WINE_LOADER=$loader WINEDEBUG=-all WINELOADER=$loader
tools/wine-test.sh --prepare
echo "The sample e-book is Z:${work//\//\\}\\sample-book.exe"
if [ -n "${DISPLAY:-}" ]; then
  (cd "$work" && "$loader" explorer /desktop=Tomeshift,800x600 Tomeshift.exe)
  exit 0
fi

display=""
for n in $(seq 90 150); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=$n; break; fi
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null' EXIT
export DISPLAY=":$display"
sleep 1
(cd "$work" && "$loader" explorer /desktop=Tomeshift,800x600 Tomeshift.exe) &
sleep 10
import -window root build/sample-dialog.png
echo "No display: the dialog ran in Xvfb; its screenshot is build/sample-dialog.png"
