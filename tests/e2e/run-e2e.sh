#!/usr/bin/env bash
# Runs a Windows test program under Wine on an X display of its own (Xvfb), with Wine's
# virtual desktop so that windows get real frames, and takes the screenshots the program
# asks for (a NAME.req file in RUNDIR/shots becomes NAME.png, then NAME.done).
#   run-e2e.sh RUNDIR PROGRAM [ARGS...]
# Arguments that are absolute paths of this machine, alone or as the value of --NAME=,
# reach the program as Wine paths. RUNDIR/work is emptied for the program.
# WINEPREFIX and WINE_LOADER name the prefix and the loader, as for tools/wine-test.sh.
# Exits 77 (a skip for ctest) when this machine cannot run it, saying why.
set -u
run=$1 program=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
wine_test="$here/../../tools/wine-test.sh"

if ! command -v Xvfb >/dev/null || ! command -v import >/dev/null; then
  echo "SKIPPED: Xvfb and ImageMagick's import are needed (tools/install-deps.sh installs them)."
  exit 77
fi

# Wine's paths for files of this machine: drive Z: is the root.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

display=""
for n in $(seq 90 150); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "no free X display number"; exit 1; }

xvfb_pid="" watcher_pid=""
cleanup() {
  [ -n "$watcher_pid" ] && kill "$watcher_pid" 2>/dev/null
  [ -x "$WINE_LOADER" ] && WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

"$wine_test" --prepare || exit $?
# Every window of the prefix opens in an 800 x 600 virtual desktop, which draws frames.
"$wine_test" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null || exit 1
"$wine_test" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null || exit 1
# The desktop is chosen when the server starts: let the one that ran reg end first.
WINEPREFIX="$WINEPREFIX" wineserver -w

shots="$run/shots"
rm -rf "$run/work" && mkdir -p "$run/work" "$shots" && rm -f "$shots"/*.req "$shots"/*.done
(
  while true; do
    for request in "$shots"/*.req; do
      [ -e "$request" ] || continue
      name=$(basename "$request" .req)
      import -window root "$shots/$name.png"
      rm -f "$request"
      touch "$shots/$name.done"
    done
    sleep 0.1
  done
) &
watcher_pid=$!

args=()
for arg in "$@"; do
  case $arg in
    /*) args+=("$(winpath "$arg")") ;;
    --*=/*) args+=("${arg%%=*}=$(winpath "${arg#*=}")") ;;
    *) args+=("$arg") ;;
  esac
done
"$wine_test" "$program" "${args[@]}"
status=$?
echo "Screenshots: $shots"
exit $status
