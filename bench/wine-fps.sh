#!/usr/bin/env bash
# Benchmark fragment (run by scripts/bench with ROOT, BUILD_DIR, BENCH_SECONDS and
# BENCH_PART): prints the Windows renderer's frames per second under Wine at
# 1024x768, with the same textures as the Linux figures: uncapped (VELORAN_UNCAPPED=1)
# and capped at the refresh rate, with the CPU (cores) of the renderer's process and
# the 99th percentile of the swap-to-swap interval. Builds the windows preset when
# needed (VELORAN_WINDOWS_BUILD: another build folder than build/windows).
set -euo pipefail
root=${ROOT:-$(cd "$(dirname "$0")/.." && pwd)}
seconds=${BENCH_SECONDS:-8}
win_build=${VELORAN_WINDOWS_BUILD:-$root/build/windows}

[[ -e $win_build/CMakeCache.txt ]] || (cd "$root" && cmake --preset windows -B "$win_build" >/dev/null)
cmake --build "$win_build" --target Veloran.dll >/dev/null

export RENDERER=$win_build/bin/Veloran.dll ASSETS=$root/host/assets
export SECONDS_TO_RUN=$seconds LOGS=$win_build
"$root/scripts/with-wine-env" --root "$win_build/wine" --size 1024x768 bash -c '
set -euo pipefail
mkdir -p "$WINEPREFIX/drive_c/qorin"
cp "$ASSETS/texture_ring.bmp" "$WINEPREFIX/drive_c/qorin/Veloran1.bmp"
cp "$ASSETS/texture_stars.bmp" "$WINEPREFIX/drive_c/qorin/Veloran2.bmp"
ticks_per_s=$(getconf CLK_TCK)
cpu_ticks() { sed "s/.*) //" "/proc/$1/stat" 2>/dev/null | awk "{ print \$12 + \$13 }"; }

# run NAME [VAR=VALUE...]: one run of SECONDS_TO_RUN after a second of warm-up; sets
# cpu (cores of the renderer process), fps, p99 and hz.
run() {
  local log=$LOGS/bench-fps-$1.txt pid c0 t0 c1 t1
  env "${@:2}" VELORAN_FPS=1 wine "$RENDERER" 2>"$log" &
  pid=$!
  sleep 1
  t0=${EPOCHREALTIME/./} c0=$(cpu_ticks $pid)
  sleep "$SECONDS_TO_RUN"
  t1=${EPOCHREALTIME/./} c1=$(cpu_ticks $pid)
  # No window manager: the pointer gives the focus; give Wine a moment to see it.
  xdotool mousemove 512 384
  for _ in 1 2 3 4 5; do
    sleep 0.3
    xdotool key Escape
    for _ in $(seq 1 20); do kill -0 $pid 2>/dev/null || break 2; sleep 0.1; done
  done
  kill $pid 2>/dev/null || true
  wait $pid || true
  cpu=$(awk -v c=$((c1 - c0)) -v t=$((t1 - t0)) -v hz="$ticks_per_s" "BEGIN { printf \"%.2f\", c / hz / (t / 1e6) }")
  fps=$(awk "/average/ { print \$3 }" "$log")
  p99=$(awk "/interval-ms/ { print \$4 }" "$log")
  hz=$(awk "/paced-hz/ { print \$3 }" "$log")
}

gl=$(glxinfo -B 2>/dev/null | sed -n "s/.*OpenGL renderer string: //p")
echo "== Windows renderer under Wine $(wine --version 2>/dev/null | sed "s/^wine-//"), 1024x768, Xvfb + $gl, $SECONDS_TO_RUN s runs"
run uncapped VELORAN_UNCAPPED=1
printf "renderer uncapped: %8s frames/s, %s cores, p99 interval %s ms\n" "${fps:-?}" "$cpu" "${p99:-?}"
uncapped_cpu=$cpu
run capped
printf "capped at %s Hz:   %8s frames/s, %s cores, p99 interval %s ms\n" "${hz:-?}" "${fps:-?}" "$cpu" "${p99:-?}"
if [[ -n $hz && -n $fps ]]; then
  awk -v cc="$cpu" -v uc="$uncapped_cpu" -v f="$fps" -v r="$hz" -v p="$p99" "BEGIN {
    printf \"pacing:            CPU capped/uncapped %.2f, frame rate %+.1f %% of the refresh, p99 %.2f periods\n\",
      cc / uc, (f / r - 1) * 100, p * r / 1000 }"
fi
'
