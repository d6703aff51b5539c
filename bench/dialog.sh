#!/usr/bin/env bash
# Benchmark fragment (run by scripts/bench with ROOT and BUILD_DIR): the settings
# dialog, on Linux/X11 and under Wine:
#   - time from /c to the dialog's first full paint: the moment a watcher polling the
#     screen every 3 ms (probe dialog-painted) sees the shading, the panel and
#     the Set button drawn; median of 5 starts (targets 300 ms on Linux, 1.5 s under
#     Wine); the opening zoom is part of it;
#   - the host process's CPU while the dialog stands open and idle, the pointer
#     elsewhere: utime + stime from /proc over 10 s, in per cent of one core
#     (target under 1 %).
# Figures only, nothing asserted. VELORAN_WINDOWS_BUILD: another Windows build folder.
set -euo pipefail
root=${ROOT:-$(cd "$(dirname "$0")/.." && pwd)}

if [[ ${1:-} != --inside ]]; then
  build=${BUILD_DIR:-$root/build/linux}
  win_build=${VELORAN_WINDOWS_BUILD:-$root/build/windows}
  cmake --build "$build" --target veloran_scr Veloran.dll probe >/dev/null
  export ROOT=$root
  probe=$build/tests/probe
  "$root/scripts/with-xvfb" --size 1024x768 bash "$0" --inside x11 "$build/bin" "$probe" ||
    echo "dialog on Linux/X11: no figures (exit $?)"
  [[ -e $win_build/CMakeCache.txt ]] || (cd "$root" && cmake --preset windows -B "$win_build" >/dev/null 2>&1) || true
  if ! cmake --build "$win_build" --target veloran_scr Veloran.dll >/dev/null 2>&1; then
    echo "dialog under Wine: skipped, the Windows host does not build here yet"
    exit 0
  fi
  "$root/scripts/with-wine-env" --root "$win_build/wine" --size 1024x768 \
    bash "$0" --inside wine "$win_build/bin" "$probe" ||
    echo "dialog under Wine: no figures (exit $?)"
  exit 0
fi

# --- inside the environment: bench/dialog.sh --inside x11|wine BIN_DIR PROBE ----------
platform=$2
bin=$3
probe=$4
. "$root/tests/support/e2e_common.sh"
work=$(mktemp -d "/tmp/veloran-bench-dialog.XXXXXX")
pids=()
finish() {
  set +e
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

if [[ $platform == x11 ]]; then
  export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data HOME=$work/home
  mkdir -p "$HOME"
  start_host() { "$bin/Veloran.scr" /c 2>/dev/null & pid=$!; }
  title="Linux/X11"
  limit=300
else
  mkdir -p "$work/bin"
  cp "$bin/Veloran.scr" "$bin/Veloran.dll" "$work/bin/"
  start_host() { wine "$work/bin/Veloran.scr" /c 2>/dev/null & pid=$!; }
  title="Wine $(wine --version 2>/dev/null | sed 's/^wine-//')"
  limit=1500
fi
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
median() { printf "%s\n" "$@" | sort -g | awk 'NF { v[++n] = $1 } END { if (n) print v[int((n + 1) / 2)] }'; }
dialog_up() { xdotool search --onlyvisible --name '^<Veloran>$' >/dev/null 2>&1; }
close_dialog() {
  kill "$pid" 2>/dev/null
  wait_for 10 process_gone "$pid" || kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
  wait_for 10 eval '! dialog_up' || true
}

# One start: sets paint_ms ("none" when no full paint came).
start_once() {
  xdotool mousemove 1 1
  "$probe" dialog-painted 20 >"$work/painted" &
  local watcher=$!
  sleep 0.3  # the watcher is polling before the host starts
  local t0=${EPOCHREALTIME/./}
  start_host
  pids+=("$pid")
  if wait "$watcher"; then
    paint_ms=$(awk -v a="$t0" -v b="$(cat "$work/painted")" 'BEGIN { printf "%d", (b - a) / 1000 }')
  else
    paint_ms=none
  fi
}

if [[ $platform == wine ]]; then
  # A first start makes the prefix's files warm; it also tells whether this Windows
  # build opens the dialog at all.
  start_once
  if [[ $paint_ms == none ]]; then
    close_dialog
    echo "dialog under Wine: skipped, this Windows build's /c shows no dialog yet"
    exit 0
  fi
  close_dialog
fi

paints=()
for i in 1 2 3 4 5; do
  start_once
  paints+=("$paint_ms")
  (( i == 5 )) || close_dialog
done
# The last one stays open: its idle CPU, the pointer away from it.
cpu=none
if [[ ${paints[4]} != none ]]; then
  sleep 1
  a=$(cpu_ticks "$pid")
  sleep 10
  cpu=$(awk -v a="$a" -v b="$(cpu_ticks "$pid")" -v hz="$hz" 'BEGIN { printf "%.2f", 100 * (b - a) / hz / 10 }')
  comm=$(cat "/proc/$pid/comm")
fi
close_dialog

echo "== Settings dialog, $title (host process '${comm:-?}', 1024x768 screen)"
printf "/c to first paint: %8s ms, median of %d (%s; target %s ms)\n" \
  "$(median "${paints[@]}")" "${#paints[@]}" "${paints[*]}" "$limit"
printf "idle dialog CPU:   %8s %% of a core over 10 s (target 1 %%)\n" "$cpu"
