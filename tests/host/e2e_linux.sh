#!/usr/bin/env bash
# End-to-end cases of the Linux host, run on a private Xvfb (scripts/with-xvfb):
#   e2e_linux.sh CASE BIN_DIR PROBE
# BIN_DIR holds the real Veloran.scr and Veloran.dll; PROBE is host_x11_probe.
# Every case waits by polling with generous limits, so a loaded machine only makes
# it slower, never wrong.
set -uo pipefail

case_name=$1
bin=$2
probe=$3

work=$(mktemp -d /tmp/veloran-host-e2e.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config HOME=$work/home
mkdir -p "$HOME"
qorin=$XDG_DATA_HOME/veloran/drives/c/qorin

. "$(dirname "${BASH_SOURCE[0]}")/../e2e_common.sh"
window_exists() { xdotool search --name "^$1\$" >/dev/null 2>&1; }
window_gone() { ! window_exists "$1"; }

# open_probe TITLE W H [hidden]: a foreign window; sets probe_id, probe_in.
open_probe() {
  coproc PROBE_PROC { "$probe" window "$@"; }
  pids+=("$PROBE_PROC_PID")
  read -r probe_id <&"${PROBE_PROC[0]}" || fail "probe did not start"
  probe_in=${PROBE_PROC[1]}
  probe_pid=$PROBE_PROC_PID
}
close_probe() {
  echo destroy >&"$probe_in"
  wait_for 10 process_gone "$probe_pid" || fail "probe did not end"
}

pixel() {  # pixel FILE X Y -> "r,g,b"
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# start_run: a real saver run with /s; sets host_pid once both windows are up.
start_run() {
  "$bin/Veloran.scr" /s 2>"$work/run.err" &
  host_pid=$!
  pids+=("$host_pid")
  wait_for 30 window_exists Veloran_VC || fail "renderer window did not appear"
  window_exists Veloran_Main || fail "hidden saver-run window not found"
}

# stop_run: Esc to the renderer; the host must follow within its 500 ms watch.
stop_run() {
  xdotool mousemove 512 384 key Escape
  wait_for 20 window_gone Veloran_VC || fail "renderer window did not go on Esc"
  local gone=$(now_ms)
  wait_for 10 process_gone "$host_pid" || fail "host still running 10 s after the renderer window went"
  local lag=$(( $(now_ms) - gone ))
  echo "host ended ${lag} ms after the renderer window went"
  # The watch ticks every 500 ms; the rest is slack for a loaded machine.
  (( lag <= 1500 )) || fail "host took ${lag} ms to follow the renderer"
  wait "$host_pid"; local rc=$?
  [[ $rc -eq 0 ]] || fail "host exit code $rc"
}

case "$case_name" in
  run_and_escape)
    start_run
    for f in Veloran1.bmp:128x128 Veloran2.bmp:256x256; do
      name=${f%%:*}; size=${f#*:}
      [[ -f $qorin/$name ]] || fail "$name not written"
      got=$(identify -format '%m %wx%h' "$qorin/$name") || fail "identify cannot read $name"
      [[ $got == "BMP $size" || $got == "BMP3 $size" ]] || fail "$name is '$got', expected a $size BMP"
    done
    ls "$qorin" | grep -v '^Veloran[12]\.bmp$' && fail "temporary files left in the work folder"
    [[ $(stat -c %a "$(dirname "$qorin")") == 700 ]] || fail "drive folder is not private"
    stop_run
    [[ ! -s $work/run.err ]] || fail "unexpected output: $(cat "$work/run.err")"
    ;;

  renderer_missing)
    lone=$(lonely_bin)
    for cmd in /c /s "" /x /C:1234; do
      args=(); [[ -n $cmd ]] && args=("$cmd")
      "$lone/Veloran.scr" "${args[@]}" 2>"$work/err" &
      pid=$!; pids+=("$pid")
      wait_for 20 window_exists Veloran || fail "no message box for '$cmd'"
      grep -qx 'Veloran.dll が同じﾌｫﾙﾀﾞに見つかりません！' "$work/err" || fail "wrong message for '$cmd': $(cat "$work/err")"
      kill -0 "$pid" 2>/dev/null || fail "host did not wait for the message box ('$cmd')"
      win=$(xdotool search --name '^Veloran$' | head -1)
      eval "$(xdotool getwindowgeometry --shell "$win")"
      xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) key Return
      exit_code "$pid" 20
      [[ $rc == 0 ]] || fail "host after the message for '$cmd': $rc"
      window_exists Veloran_VC && fail "a renderer started for '$cmd'"
    done
    # The work folder is made before the check.
    [[ -d $qorin ]] || fail "work folder not made"
    # Preview needs no renderer: /p with a bad number ends without a message.
    "$lone/Veloran.scr" /p 12345 2>"$work/err" &
    pid=$!; pids+=("$pid")
    exit_code "$pid" 20
    [[ $rc == 0 && ! -s $work/err ]] || fail "/p without renderer: rc $rc, '$(cat "$work/err")'"
    ;;

  guard)
    # An open settings dialog (hidden or not, any process) keeps every mode out.
    open_probe "<Veloran>" 200 100 hidden
    for cmd in /s /c "/p $probe_id" ""; do
      t0=$(now_ms)
      # shellcheck disable=SC2086
      "$bin/Veloran.scr" $cmd 2>"$work/err"
      rc=$?
      [[ $rc == 0 && ! -s $work/err ]] || fail "guard '$cmd': rc $rc, '$(cat "$work/err")'"
      echo "'$cmd' beside the dialog ended after $(( $(now_ms) - t0 )) ms"
    done
    [[ -e $qorin ]] && fail "guarded start made the work folder"
    window_exists Veloran_VC && fail "guarded start launched the renderer"
    close_probe
    # A running saver run keeps every mode out and is left alone.
    start_run
    for cmd in /s /c "/p 1234" ""; do
      # shellcheck disable=SC2086
      "$bin/Veloran.scr" $cmd 2>"$work/err"
      [[ $? == 0 && ! -s $work/err ]] || fail "guard during a run '$cmd'"
    done
    [[ $(xdotool search --name '^Veloran_VC$' | wc -l) == 1 ]] || fail "a second renderer started"
    kill -0 "$host_pid" || fail "the running host was disturbed"
    stop_run
    ;;

  single_character)
    "$bin/Veloran.scr" s 2>"$work/err" &
    pid=$!; pids+=("$pid")
    exit_code "$pid" 20
    [[ $rc == 0 && ! -s $work/err ]] || fail "'s': rc $rc, '$(cat "$work/err")'"
    [[ -d $qorin ]] || fail "'s' should pass the renderer check, which makes the work folder first"
    [[ -e $qorin/Veloran1.bmp ]] && fail "'s' started a run"
    window_exists Veloran_VC && fail "'s' started the renderer"
    ;;

  preview)
    lone=$(lonely_bin)   # the preview needs neither renderer nor settings
    for form in "/p %d" "/p:%d" "/p 0x%x"; do
      open_probe "Display Settings" 300 200
      # shellcheck disable=SC2059
      arg=$(printf "$form" "$probe_id" "$probe_id")
      # shellcheck disable=SC2086
      "$lone/Veloran.scr" $arg 2>"$work/err" &
      pid=$!; pids+=("$pid")
      child_up() { xwininfo -children -id "$probe_id" | grep -q '"Preview Window": ()  300x200+0+0'; }
      wait_for 20 child_up || fail "no 300x200 preview child inside the window ($arg): $(xwininfo -children -id "$probe_id")"
      # The picture is drawn at the top-left; the rest is the form's black.
      shot=$work/shot.png
      good=0
      for _ in $(seq 1 40); do
        import -window "$probe_id" "$shot" 2>/dev/null || { sleep 0.1; continue; }
        corner=$(pixel "$shot" 250 170)
        bright=$(convert "$shot" -crop 152x112+0+0 -format '%[fx:int(1000*mean)]' info:)
        if [[ $corner == "0,0,0" ]] && (( bright > 20 )); then good=1; break; fi
        sleep 0.1
      done
      (( good )) || fail "preview picture not shown ($arg): corner $corner, picture mean $bright/1000"
      [[ -e $qorin ]] && fail "preview made the work folder"
      kill -0 "$pid" || fail "preview ended on its own"
      close_probe
      exit_code "$pid" 20
      [[ $rc == 0 ]] || fail "preview after its window went ($arg): $rc"
      [[ ! -s $work/err ]] || fail "preview wrote '$(cat "$work/err")'"
      echo "preview $arg: shown and ended with its window"
    done
    ;;

  *) fail "unknown case $case_name" ;;
esac
echo "PASS: $case_name"
