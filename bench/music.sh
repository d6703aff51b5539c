#!/usr/bin/env bash
# Benchmark fragment (run by scripts/bench with ROOT, BUILD_DIR and BENCH_SECONDS):
# the music of a saver run, heard on a private sound server's null sink, on Linux/X11
# and under Wine:
#   - time from /s to the first audible sample of an MP3 (median of 5 runs; targets
#     300 ms on Linux, 1.5 s under Wine);
#   - the host process's CPU while the MP3 plays: utime + stime from /proc over 5 s,
#     in per cent of one core (target under 2 %), beside the same figure without music.
# Figures only, nothing asserted. VELORAN_WINDOWS_BUILD: another Windows build folder.
set -euo pipefail
root=${ROOT:-$(cd "$(dirname "$0")/.." && pwd)}

if [[ ${1:-} != --inside ]]; then
  build=${BUILD_DIR:-$root/build/linux}
  win_build=${VELORAN_WINDOWS_BUILD:-$root/build/windows}
  cmake --build "$build" --target veloran_scr Veloran.dll >/dev/null
  [[ -e $win_build/CMakeCache.txt ]] || (cd "$root" && cmake --preset windows -B "$win_build" >/dev/null)
  cmake --build "$win_build" --target veloran_scr Veloran.dll >/dev/null
  export ROOT=$root
  "$root/scripts/with-xvfb" --size 1024x768 --pulse bash "$0" --inside x11 "$build/bin" ||
    echo "music on Linux/X11: no figures (exit $?)"
  "$root/scripts/with-wine-env" --root "$win_build/wine" --size 1024x768 bash "$0" --inside wine "$win_build/bin" ||
    echo "music under Wine: no figures (exit $?)"
  exit 0
fi

# --- inside the environment: bench/music.sh --inside x11|wine BIN_DIR ---------------
platform=$2
bin=$3
. "$root/tests/support/e2e_common.sh"
. "$root/tests/host/e2e/sound.sh"
work=$(mktemp -d "/tmp/veloran-bench-music.XXXXXX")
pids=()
finish() {
  set +e
  record_stop
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT
loud_window=0.01

mp3="$work/bench tone.mp3"
make_mp3 "$mp3" 20 440
if [[ $platform == x11 ]]; then
  export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data HOME=$work/home
  mkdir -p "$HOME"
  ini=$XDG_CONFIG_HOME/veloran/Veloran.ini
  path=$mp3
  start_host() { "$bin/Veloran.scr" /s 2>/dev/null & pid=$!; }
  title="Linux/X11"
else
  mkdir -p "$work/bin"
  cp "$bin/Veloran.scr" "$bin/Veloran.dll" "$work/bin/"
  ini=$work/bin/Veloran.ini
  path="Z:$mp3"; path=${path//\//\\}
  start_host() { wine "$work/bin/Veloran.scr" /s & pid=$!; }
  title="Wine $(wine --version 2>/dev/null | sed 's/^wine-//')"
fi
renderer_up() { xdotool search --name '^Veloran_VC$' >/dev/null 2>&1; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
median() { printf "%s\n" "$@" | sort -g | awk 'NF { v[++n] = $1 } END { if (n) print v[int((n + 1) / 2)] }'; }

record_start "$work/heard.raw"

# run KIND: one saver run; sets first_ms (or "none") and cpu (per cent of a core, 2-7 s).
run() {
  write_music_settings "$ini" "$1" 0 "$path"
  local t0 a
  t0=$(rec_now)
  start_host
  pids+=("$pid")
  wait_for 30 renderer_up || { echo "renderer did not come up" >&2; exit 1; }
  listen_until "$(awk -v t="$t0" 'BEGIN { print t + 2 }')"
  first_ms=$(first_sound "$t0" | awk '$1 == "none" { print; next } { printf "%d", $1 * 1000 }')
  a=$(cpu_ticks "$pid")
  listen_until "$(awk -v t="$t0" 'BEGIN { print t + 7 }')"
  cpu=$(awk -v a="$a" -v b="$(cpu_ticks "$pid")" -v hz="$hz" 'BEGIN { printf "%.2f", 100 * (b - a) / hz / 5 }')
  comm=$(cat "/proc/$pid/comm")
  xdotool mousemove 512 384
  for _ in 1 2 3 4 5; do
    xdotool key Escape
    wait_for 3 process_gone "$pid" && break
  done
  wait "$pid" || true
}

firsts=() cpus=()
for _ in 1 2 3 4 5; do
  run 2
  firsts+=("$first_ms")
  cpus+=("$cpu")
done
run 0
quiet_cpu=$cpu

echo "== Music of a saver run, $title (host process '$comm', 1024x768 renderer running)"
printf "MP3 first sound:   %8s ms after /s, median of %d (%s; target %s ms)\n" \
  "$(median "${firsts[@]}")" "${#firsts[@]}" "${firsts[*]}" "$([[ $platform == x11 ]] && echo 300 || echo 1500)"
printf "host CPU, MP3:     %8s %% of a core over 5 s, median of %d (%s; target 2 %%)\n" \
  "$(median "${cpus[@]}")" "${#cpus[@]}" "${cpus[*]}"
printf "host CPU, silent:  %8s %% of a core over 5 s (no music)\n" "$quiet_cpu"
