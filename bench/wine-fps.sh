#!/usr/bin/env bash
# Benchmark fragment (run by scripts/bench with ROOT, BUILD_DIR and BENCH_SECONDS):
# prints the Windows renderer's frames per second under Wine at 1024x768, with
# the same textures as the Linux figures. Builds the windows preset when needed
# (VELORAN_WINDOWS_BUILD: another build folder than build/windows).
set -euo pipefail
root=${ROOT:-$(cd "$(dirname "$0")/.." && pwd)}
seconds=${BENCH_SECONDS:-8}
win_build=${VELORAN_WINDOWS_BUILD:-$root/build/windows}

[[ -e $win_build/CMakeCache.txt ]] || (cd "$root" && cmake --preset windows -B "$win_build" >/dev/null)
cmake --build "$win_build" --target Veloran.dll >/dev/null

export RENDERER=$win_build/bin/Veloran.dll ASSETS=$root/host/assets
export SECONDS_TO_RUN=$seconds LOG=$win_build/bench-fps.txt
"$root/scripts/with-wine-env" --root "$win_build/wine" --size 1024x768 bash -c '
set -euo pipefail
mkdir -p "$WINEPREFIX/drive_c/qorin"
cp "$ASSETS/texture_ring.bmp" "$WINEPREFIX/drive_c/qorin/Veloran1.bmp"
cp "$ASSETS/texture_stars.bmp" "$WINEPREFIX/drive_c/qorin/Veloran2.bmp"
VELORAN_FPS=1 wine "$RENDERER" 2>"$LOG" &
pid=$!
sleep "$SECONDS_TO_RUN"
# No window manager: the pointer gives the focus; give Wine a moment to see it.
xdotool mousemove 512 384
for _ in 1 2 3 4 5; do
  sleep 0.3
  xdotool key Escape
  for _ in $(seq 1 20); do kill -0 $pid 2>/dev/null || break 2; sleep 0.1; done
done
kill $pid 2>/dev/null || true
wait $pid || true
gl=$(glxinfo -B 2>/dev/null | sed -n "s/.*OpenGL renderer string: //p")
fps=$(awk "/average/ { print \$3 }" "$LOG")
echo "== Windows renderer under Wine $(wine --version 2>/dev/null | sed "s/^wine-//"), 1024x768, Xvfb + $gl"
printf "renderer:          %8s frames/s (%s s run)\n" "${fps:-?}" "$SECONDS_TO_RUN"
'
