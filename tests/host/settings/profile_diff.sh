#!/usr/bin/env bash
# profile_diff.sh WINDOWS_DRIVER LINUX_DRIVER CASES WORK_DIR
# profile_diff.sh --recorded WINDOWS_OUTPUT LINUX_DRIVER CASES WORK_DIR
#
# Runs the profile script CASES through the Windows build of profile_driver (under
# Wine, whose profile calls are the reference) and through the Linux build (our own
# reader and writer), and fails unless both print the same reads, write results and
# resulting file bytes, case for case. With --recorded, the Windows side is an output
# recorded earlier (profile_cases.windows), for builds without Wine.
set -euo pipefail
recorded=""
if [[ "${1:-}" == --recorded ]]; then recorded=$2; shift 2; fi
[[ $# -eq 4 || ( -n "$recorded" && $# -eq 3 ) ]] ||
  { sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
if [[ -n "$recorded" ]]; then
  windows_driver="" linux_driver=$1 cases=$2 work=$3
else
  windows_driver=$1 linux_driver=$2 cases=$3 work=$4
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_run=$here/../../../scripts/wine-run

rm -rf "$work"
mkdir -p "$work/linux" "$work/windows"
work=$(cd "$work" && pwd)
cases=$(cd "$(dirname "$cases")" && pwd)/$(basename "$cases")

"$linux_driver" "$cases" "$work/linux" > "$work/linux.out"
if [[ -n "$recorded" ]]; then
  cp "$recorded" "$work/windows.out"
else
  # Wine sees the Unix file system as drive Z:. Its console output ends lines with
  # CR LF; the driver's own output never holds a raw CR.
  "$wine_run" "$windows_driver" "Z:${cases//\//\\}" "Z:${work//\//\\}\\windows" |
    tr -d '\r' > "$work/windows.out"
fi

expected=$(grep -c $'^case\t' "$cases")
for side in linux windows; do
  got=$(grep -c '^case ' "$work/$side.out" || true)
  if [[ "$got" != "$expected" ]]; then
    echo "profile_diff: the $side driver ran $got of $expected cases" >&2
    exit 1
  fi
done

if ! diff -u "$work/windows.out" "$work/linux.out"; then
  echo "profile_diff: the Linux profile reader/writer differs from the Windows calls (- Windows, + Linux)" >&2
  exit 1
fi
echo "profile_diff: $expected cases, reads, writes and files identical"
