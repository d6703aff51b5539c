#!/usr/bin/env bash
# End-to-end cases of the host, with the real programs, written once for both
# platforms; a driver per platform supplies how to start programs and look at windows:
#   e2e.sh x11|wine CASE BIN_DIR PROBE LATE_RENDERER
# BIN_DIR holds Veloran.scr and Veloran.dll; PROBE opens foreign windows (x11_probe or
# win_probe.exe); LATE_RENDERER is a renderer stand-in whose window comes 1.5 s late.
# x11 runs on a private Xvfb (scripts/with-xvfb), wine inside scripts/with-wine-env.
# Every wait polls with a generous limit, so a loaded machine only makes a case slower.
#
# What a driver defines (e2e_x11.sh, e2e_wine.sh):
#   qorin                 the work folder as seen from here
#   follow_limit_ms       how soon after the renderer window goes the host must end
#   preview_forms         printf formats of the /p command lines it accepts
#   guard_probe_kinds     how the foreign "<Veloran>" window is made (hidden, framed)
#   scr_bg DIR ARGS...    starts DIR/Veloran.scr in the background; sets pid
#   scr ARGS...           runs $bin/Veloran.scr and returns its exit code
#   window_exists TITLE   a top-level window with this title exists, hidden ones too
#   renderer_up           the renderer's window is on the screen
#   open_probe TITLE W H [KIND] / close_probe   a foreign window; sets probe_id
#   answer_message CMD    the renderer-missing message is up with its exact text; OK
#   preview_shown ARG     the preview form fills the probe window, picture at top-left
#   quiet WHAT            the host wrote nothing on standard error (where it writes)
#   private_drive         the folders above the work folder are the user's alone
#   standin_fds           file the stand-in lists its inherited descriptors in, or ""
set -uo pipefail

driver=$1
case_name=$2
bin=$3
probe=$4
late=$5

here=$(dirname "${BASH_SOURCE[0]}")
work=$(mktemp -d "/tmp/veloran-host-$driver.XXXXXX")
pids=()
cleanup() {
  driver_cleanup
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

. "$here/../e2e_common.sh"
fail() { echo "FAIL ($driver/$case_name): $*" >&2; exit 1; }
renderer_down() { ! renderer_up; }

. "$here/e2e_$driver.sh"

# start_run [DIR]: a saver run with /s; sets host_pid once the renderer's window and
# the hidden saver-run form are both there.
start_run() {
  scr_bg "${1:-$bin}" /s
  host_pid=$pid
  wait_for 60 renderer_up || fail "renderer window did not appear"
  window_exists Veloran_Main || fail "hidden saver-run form not found"
  kill -0 "$host_pid" 2>/dev/null || fail "host ended while the renderer runs"
}

# stop_run: Esc to the renderer; the host must follow within its 500 ms watch.
stop_run() {
  xdotool mousemove 512 384 key Escape
  wait_for 30 renderer_down || fail "renderer window did not go on Esc"
  local gone=$(now_ms)
  wait_for 20 process_gone "$host_pid" || fail "host still running 20 s after the renderer window went"
  local lag=$(( $(now_ms) - gone ))
  echo "host ended ${lag} ms after the renderer window went"
  (( lag <= follow_limit_ms )) || fail "host took ${lag} ms to follow the renderer"
  wait "$host_pid"; local rc=$?
  [[ $rc -eq 0 ]] || fail "host exit code $rc"
}

case "$case_name" in
  run_and_escape)
    start_run
    for f in Veloran1.bmp:128x128 Veloran2.bmp:256x256; do
      name=${f%%:*}; size=${f#*:}
      got=$(identify -format '%m %wx%h' "$qorin/$name") || fail "identify cannot read $name"
      [[ $got == "BMP $size" || $got == "BMP3 $size" ]] || fail "$name is '$got', expected a $size BMP"
    done
    ls "$qorin" | grep -v '^Veloran[12]\.bmp$' && fail "temporary files left in the work folder"
    private_drive || fail "drive folder is not private"
    stop_run
    quiet "the run"
    ;;

  renderer_missing)
    lone=$(lonely_bin)
    for cmd in /c /s "" /x /C:1234; do
      args=(); [[ -n $cmd ]] && args=("$cmd")
      scr_bg "$lone" "${args[@]}"
      answer_message "$cmd"
      exit_code "$pid" 30
      [[ $rc == 0 ]] || fail "host after the message for '$cmd': $rc"
      renderer_up && fail "a renderer started for '$cmd'"
    done
    [[ -d $qorin ]] || fail "work folder not made before the check"
    # The preview needs no renderer: /p with a bad number ends without a message.
    scr_bg "$lone" /p 12345
    exit_code "$pid" 30
    [[ $rc == 0 ]] || fail "/p without renderer: $rc"
    window_exists Veloran && fail "/p showed a message"
    quiet "/p without renderer"
    ;;

  guard)
    # An open settings dialog (hidden, or inside a frame, any process) keeps every
    # mode out.
    for kind in $guard_probe_kinds; do
      open_probe "<Veloran>" 200 100 "$kind"
      for cmd in /s /c "/p $probe_id" ""; do
        t0=$(now_ms)
        # shellcheck disable=SC2086
        scr $cmd; rc=$?
        [[ $rc == 0 ]] || fail "guard '$cmd' beside a $kind dialog: rc $rc"
        echo "'$cmd' beside the $kind dialog ended after $(( $(now_ms) - t0 )) ms"
      done
      quiet "guarded starts"
      [[ -e $qorin ]] && fail "guarded start made the work folder"
      renderer_up && fail "guarded start launched the renderer"
      window_exists Veloran && fail "guarded start showed a message"
      close_probe
    done
    # A running saver run keeps every mode out and is left alone.
    start_run
    for cmd in /s /c "/p 1234" ""; do
      # shellcheck disable=SC2086
      scr $cmd || fail "guard during a run '$cmd'"
    done
    [[ $(xdotool search --name '^Veloran_VC$' | wc -l) == 1 ]] || fail "a second renderer started"
    kill -0 "$host_pid" || fail "the running host was disturbed"
    stop_run
    ;;

  single_character)
    scr_bg "$bin" s
    exit_code "$pid" 30
    [[ $rc == 0 ]] || fail "'s': rc $rc"
    quiet "'s'"
    [[ -d $qorin ]] || fail "'s' should pass the renderer check, which makes the work folder first"
    [[ -e $qorin/Veloran1.bmp ]] && fail "'s' started a run"
    renderer_up && fail "'s' started the renderer"
    ;;

  preview)
    lone=$(lonely_bin)   # the preview needs neither renderer nor settings
    for form in "${preview_forms[@]}"; do
      open_probe "Display Settings" 300 200
      # shellcheck disable=SC2059
      arg=$(printf "$form" "$probe_id" "$probe_id")
      # shellcheck disable=SC2086
      scr_bg "$lone" $arg
      preview_shown "$arg"
      [[ -e $qorin ]] && fail "preview made the work folder"
      kill -0 "$pid" || fail "preview ended on its own ($arg)"
      close_probe
      exit_code "$pid" 30
      [[ $rc == 0 ]] || fail "preview after its window went ($arg): $rc"
      quiet "the preview"
      echo "preview $arg: shown and ended with its window"
    done
    ;;

  late_window)
    # The renderer's window comes 1.5 s after its start, three watch ticks late: the
    # host waits for it, then follows it as usual.
    lone=$(lonely_bin)
    cp "$late" "$lone/Veloran.dll"
    mkdir -p "$lone/real"
    cp "$bin/Veloran.dll" "$lone/real/Veloran.dll"
    fds=$(standin_fds)
    [[ -n $fds ]] && export VELORAN_FD_LIST=$fds
    t0=$(now_ms)
    start_run "$lone"
    echo "renderer window up $(( $(now_ms) - t0 )) ms after the start; host still running"
    sleep 1
    kill -0 "$host_pid" 2>/dev/null || fail "host ended while the renderer runs"
    stop_run
    if [[ -n $fds ]]; then
      # The renderer is started with standard input, output and error only.
      [[ $(sort -n "$fds" | tr '\n' ' ') == "0 1 2 " ]] ||
        fail "the renderer inherited descriptors: $(tr '\n' ' ' <"$fds")"
    fi
    ;;

  *) fail "unknown case" ;;
esac
echo "PASS: $driver/$case_name"
