#!/usr/bin/env bash
# End-to-end cases of the Windows host under Wine, inside scripts/with-wine-env:
#   e2e_wine.sh CASE BIN_DIR PROBE_EXE
# BIN_DIR holds the Windows Veloran.scr (and Veloran.dll); PROBE_EXE is win_probe.exe.
# Every case waits by polling with generous limits.
set -uo pipefail

case_name=$1
bin=$2
probe=$3

work=$(mktemp -d /tmp/veloran-host-wine.XXXXXX)
pids=()
cleanup() {
  touch "$work"/stop-* 2>/dev/null
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
qorin=$WINEPREFIX/drive_c/qorin
rm -rf "$qorin"

. "$(dirname "${BASH_SOURCE[0]}")/../e2e_common.sh"
window_exists() { wine "$probe" find "$1"; }
# Shown Wine windows are X windows too: polling those costs no Wine start-up.
x_window_exists() { xdotool search --name "^$1\$"; }
x_window_gone() { ! x_window_exists "$1"; }
win_path() { local p="Z:$1"; echo "${p//\//\\}"; }

probe_count=0
# open_probe TITLE W H [hidden]: a foreign window; sets probe_id, probe_stop, probe_pid.
open_probe() {
  probe_count=$((probe_count + 1))
  probe_stop=$work/stop-$probe_count
  local out=$work/probe-$probe_count.out
  wine "$probe" window "$1" "$2" "$3" "$(win_path "$probe_stop")" "${4:-}" >"$out" &
  probe_pid=$!
  pids+=("$probe_pid")
  wait_for 30 test -s "$out" || fail "probe window did not open"
  probe_id=$(head -1 "$out" | tr -d '\r')
}
close_probe() {
  touch "$probe_stop"
  wait_for 20 process_gone "$probe_pid" || fail "probe did not end"
}

renderer_message_hex=56656C6F72616E2E646C6C2082AA93AF82B6CCABD9C0DE82C98CA982C282A982E882DC82B982F18149

# start_run: a saver run with /s. A renderer whose window comes up after the host's
# first 500 ms watch tick is left on its own while the host ends (as designed); a
# cold Wine start can be that slow, so such a start is closed and tried again.
start_run() {
  local attempt
  # One start of the renderer alone first, so the timed run does not pay for a cold
  # Wine and GL start.
  wine "$bin/Veloran.dll" &
  local warm=$!
  pids+=("$warm")
  wait_for 120 x_window_exists Veloran_VC || fail "renderer window did not appear (warm-up)"
  xdotool mousemove 512 384 key Escape
  wait_for 30 process_gone "$warm" || fail "renderer did not end on Esc (warm-up)"
  for attempt in 1 2 3 4 5; do
    wine "$bin/Veloran.scr" /s &
    host_pid=$!
    pids+=("$host_pid")
    wait_for 60 x_window_exists Veloran_VC || fail "renderer window did not appear"
    if window_exists Veloran_Main && kill -0 "$host_pid" 2>/dev/null; then return 0; fi
    echo "attempt $attempt: the renderer came up after the host's first watch tick; again"
    xdotool mousemove 512 384 key Escape
    wait_for 30 x_window_gone Veloran_VC || fail "late renderer did not go on Esc"
    wait_for 20 process_gone "$host_pid" || fail "host did not end without a renderer window"
  done
  fail "the renderer never came up within the host's first watch tick"
}

stop_run() {
  xdotool mousemove 512 384 key Escape
  wait_for 30 x_window_gone Veloran_VC || fail "renderer window did not go on Esc"
  local gone=$(now_ms)
  wait_for 20 process_gone "$host_pid" || fail "host still running 20 s after the renderer window went"
  local lag=$(( $(now_ms) - gone ))
  echo "host ended ${lag} ms after the renderer window went"
  (( lag <= 2000 )) || fail "host took ${lag} ms to follow the renderer"
  wait "$host_pid"; local rc=$?
  [[ $rc -eq 0 ]] || fail "host exit code $rc"
}

case "$case_name" in
  run_and_escape)
    [[ -f $bin/Veloran.dll ]] || fail "no Windows renderer in $bin"
    start_run
    for f in Veloran1.bmp:128x128 Veloran2.bmp:256x256; do
      name=${f%%:*}; size=${f#*:}
      got=$(identify -format '%m %wx%h' "$qorin/$name") || fail "identify cannot read $name"
      [[ $got == "BMP $size" || $got == "BMP3 $size" ]] || fail "$name is '$got', expected a $size BMP"
    done
    ls "$qorin" | grep -v '^Veloran[12]\.bmp$' && fail "temporary files left in the work folder"
    stop_run
    ;;

  renderer_missing)
    lone=$(lonely_bin)
    for cmd in /c /s "" /x /C:1234; do
      args=(); [[ -n $cmd ]] && args=("$cmd")
      wine "$lone/Veloran.scr" "${args[@]}" &
      pid=$!; pids+=("$pid")
      text=$(wine "$probe" message 30000 | tr -d '\r') || fail "no message box for '$cmd'"
      [[ $text == "$renderer_message_hex" ]] || fail "wrong message bytes for '$cmd': $text"
      exit_code "$pid" 30
      [[ $rc == 0 ]] || fail "host after the message for '$cmd': $rc"
    done
    [[ -d $qorin ]] || fail "work folder not made"
    wine "$lone/Veloran.scr" /p 12345 &
    pid=$!; pids+=("$pid")
    exit_code "$pid" 30
    [[ $rc == 0 ]] || fail "/p without renderer: $rc"
    window_exists Veloran && fail "/p showed a message"
    ;;

  guard)
    open_probe "<Veloran>" 200 100 hidden
    for cmd in /s /c "/p $probe_id" ""; do
      t0=$(now_ms)
      # shellcheck disable=SC2086
      wine "$bin/Veloran.scr" $cmd
      rc=$?
      [[ $rc == 0 ]] || fail "guard '$cmd': rc $rc"
      echo "'$cmd' beside the dialog ended after $(( $(now_ms) - t0 )) ms"
    done
    [[ -e $qorin ]] && fail "guarded start made the work folder"
    window_exists Veloran && fail "guarded start showed a message"
    close_probe
    if [[ -f $bin/Veloran.dll ]]; then
      start_run
      for cmd in /s /c "/p 1234" ""; do
        # shellcheck disable=SC2086
        wine "$bin/Veloran.scr" $cmd || fail "guard during a run '$cmd'"
      done
      kill -0 "$host_pid" || fail "the running host was disturbed"
      stop_run
    fi
    ;;

  single_character)
    wine "$bin/Veloran.scr" s &
    pid=$!; pids+=("$pid")
    exit_code "$pid" 30
    [[ $rc == 0 ]] || fail "'s': rc $rc"
    [[ -d $qorin ]] || fail "'s' should pass the renderer check, which makes the work folder first"
    [[ -e $qorin/Veloran1.bmp ]] && fail "'s' started a run"
    ;;

  preview)
    lone=$(lonely_bin)
    for form in "/p %d" "/p:%d"; do
      open_probe "Display Settings" 300 200
      # shellcheck disable=SC2059
      arg=$(printf "$form" "$probe_id")
      # shellcheck disable=SC2086
      wine "$lone/Veloran.scr" $arg &
      pid=$!; pids+=("$pid")
      child_up() { wine "$probe" children "$probe_id" | tr -d '\r' | grep -qx 'Preview Window 300x200'; }
      wait_for 30 child_up || fail "no 300x200 preview child ($arg): $(wine "$probe" children "$probe_id")"
      # Wine does not put the painting of a child window that lives in another process
      # on the screen, so the picture itself is checked by the Linux case; here the
      # form's place, size and lifetime are.
      [[ -e $qorin ]] && fail "preview made the work folder"
      kill -0 "$pid" || fail "preview ended on its own"
      close_probe
      exit_code "$pid" 30
      [[ $rc == 0 ]] || fail "preview after its window went ($arg): $rc"
      echo "preview $arg: shown and ended with its window"
    done
    ;;

  *) fail "unknown case $case_name" ;;
esac
echo "PASS: $case_name"
