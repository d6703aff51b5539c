#!/usr/bin/env bash
# harness_test.sh REPO TESTS_DIR
#
# Checks the environment scripts/with-wine-env gives Windows programs, and that
# a separate environment (another display size) stops everything it started.
set -euo pipefail

repo=$1
tests_dir=$2
probe_exe=$tests_dir/probe.exe

fail() { echo "FAIL (harness): $*" >&2; exit 1; }
probe() { wine "$probe_exe" "$@" | tr -d '\r'; }

# The environment itself.
[[ -n "${VELORAN_WINE_ENV:-}" ]] || exec "$repo/scripts/with-wine-env" bash "$0" "$@"
[[ "$(stat -c %a "$XDG_RUNTIME_DIR")" == 700 ]] || fail "XDG_RUNTIME_DIR is not private"
[[ "$HOME" == "$VELORAN_WINE_ROOT"/* && "$WINEPREFIX" == "$VELORAN_WINE_ROOT"/* ]] ||
  fail "HOME or WINEPREFIX outside $VELORAN_WINE_ROOT"
[[ "$(probe codepage)" == "codepage 932" ]] || fail "ANSI code page is not 932: $(probe codepage)"
pactl list short sinks | grep -q "$VELORAN_PULSE_SINK" || fail "no null sink on the private PulseAudio"
wine reg query 'HKCU\Software\Wine\X11 Driver' /v Managed 2>/dev/null | tr -d '\r' | grep -Eq 'Managed +REG_SZ +N' ||
  fail "X11 driver Managed is not N"
wine reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' 2>/dev/null |
  grep -q IPAPGothic || fail "font substitutes missing"

# A second environment: its own display, prefix slot and processes, all gone
# afterwards; the outer one keeps working.
inner=$("$repo/scripts/with-wine-env" --size 800x600 bash -c '
  xdpyinfo | grep -q "dimensions: *800x600" || echo "BAD: wrong X size"
  wine "$0" display | tr -d "\r" | grep -q "^display 800x600" || echo "BAD: wine sees the wrong display"
  echo "env $DISPLAY $WINEPREFIX $XDG_RUNTIME_DIR"
  for pid in $(pgrep -x Xvfb) $(pgrep -x pulseaudio) $(pgrep -x wineserver64); do
    if tr "\0" "\n" </proc/$pid/environ 2>/dev/null | grep -qx "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR"; then
      echo "pid $pid $(tr "\0" " " </proc/$pid/cmdline)"
    fi
  done
' "$probe_exe")

grep -q "^BAD:" <<<"$inner" && fail "inner environment: $inner"
read -r _ display prefix runtime <<<"$(grep '^env ' <<<"$inner")"
[[ "$display" != "$DISPLAY" && "$prefix" != "$WINEPREFIX" ]] || fail "inner environment shares the outer one"
[[ "$(grep -c '^pid ' <<<"$inner")" -ge 3 ]] || fail "expected Xvfb, PulseAudio and wineserver of the inner environment"
[[ ! -e "$runtime" ]] || fail "inner runtime folder left behind"
while read -r _ pid cmd; do
  [[ "$(cat /proc/"$pid"/cmdline 2>/dev/null | tr '\0' ' ')" == "$cmd" ]] && fail "still running after the end: $cmd"
done < <(grep '^pid ' <<<"$inner")
probe display | grep -q "^display ${VELORAN_WINE_SIZE}" || fail "outer environment broken after the inner one"
echo "PASS (harness)"
