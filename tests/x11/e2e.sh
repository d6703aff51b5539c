#!/usr/bin/env bash
# End-to-end tests of the real Veloran.dll on a private X server (ctest starts each
# case under scripts/with-xvfb). A second client (x11_probe) finds the window by its
# title, reads the screen and sends close requests; xdotool types real keys.
#
#   e2e.sh CASE        environment: RENDERER, PROBE, MAKE_TEXTURES, WORK_DIR
set -uo pipefail

case_name=$1
work=$WORK_DIR/$case_name
rm -rf "$work"
mkdir -p "$work"
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
qorin=$XDG_DATA_HOME/veloran/drives/c/qorin
mkdir -p "$qorin"

fail() {
  echo "FAIL ($case_name): $*" >&2
  [[ -s $work/stderr.txt ]] && { echo "-- renderer stderr:" >&2; cat "$work/stderr.txt" >&2; }
  [[ -n ${renderer_pid:-} ]] && kill -9 "$renderer_pid" 2>/dev/null
  exit 1
}

# wait_for SECONDS COMMAND...: polls COMMAND until it succeeds; false on timeout.
wait_for() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < end)) || return 1
    sleep 0.1
  done
}

textures() { "$MAKE_TEXTURES" "$qorin" || fail "cannot write the textures"; }

start_renderer() {
  "$RENDERER" 2>"$work/stderr.txt" &
  renderer_pid=$!
}

# Waits for the renderer to end (60 s at most) and sets rc to its exit code.
wait_renderer_exit() {
  wait_for 60 process_gone "$renderer_pid" || fail "the renderer did not end within 60 s"
  wait "$renderer_pid"
  rc=$?
}

window_exists() { "$PROBE" find Veloran_VC >/dev/null; }
window_gone() { ! window_exists; }
screen_is() { [[ $("$PROBE" size) == "$1" ]]; }
process_gone() { [[ ! -e /proc/$1 ]] || grep -q '^[0-9]* ([^)]*) Z' "/proc/$1/stat" 2>/dev/null; }

wait_window() {
  wait_for 60 window_exists || fail "no window titled Veloran_VC"
  window=$("$PROBE" find Veloran_VC)
  [[ $("$PROBE" count Veloran_VC) == 1 ]] || fail "more than one window titled Veloran_VC"
}

# region_stats X Y W H: sets mean_r mean_g mean_b white warm.
region_stats() {
  local out
  out=$("$PROBE" stats "$@") || return 1
  { read -r mean_r mean_g mean_b; read -r white; read -r warm; } <<<"$out"
}

# Blue star-field planes above and below, glowing warm particles somewhere.
scene_is_textured() {
  local band
  for band in "0 0 1024 200" "0 568 1024 200"; do
    region_stats $band || return 1
    awk -v r="$mean_r" -v b="$mean_b" -v w="$white" 'BEGIN { exit !(b > 20 && b > r + 8 && w < 0.05) }' ||
      return 1
  done
  region_stats 0 0 1024 768 || return 1
  awk -v k="$warm" 'BEGIN { exit !(k > 0.001) }'
}

# Plain white planes: a texture-less background; additive particles stay white.
scene_is_white() {
  region_stats 0 0 1024 768 || return 1
  awk -v w="$white" 'BEGIN { exit !(w > 0.97) }'
}

screenshot() { import -window root "$work/$1.png" 2>/dev/null; }

escape() { xdotool mousemove 512 384 key Escape; }

# The display guardian forked by renderer PID (its process name is veloran-guard).
guardian_of() {
  local stat pid comm state ppid rest
  for stat in /proc/[0-9]*/stat; do
    read -r pid comm state ppid rest <"$stat" 2>/dev/null || continue
    [[ $ppid == "$1" && $comm == "(veloran-guard)" ]] && { echo "$pid"; return 0; }
  done
  return 1
}

case "$case_name" in
  scene_escape)
    textures
    start_renderer
    wait_window
    wait_for 60 scene_is_textured || { screenshot scene; fail "no textured planes with particles"; }
    screenshot scene
    # Other keys, clicks and mouse movement do nothing.
    xdotool mousemove 100 100 click 1 mousemove 900 700 key a space Return F4
    region_stats 0 0 1024 768
    before="$mean_r $mean_g $mean_b"
    changed() { region_stats 0 0 1024 768 && [[ "$mean_r $mean_g $mean_b" != "$before" ]]; }
    wait_for 30 changed || fail "the scene stopped moving after keys and clicks"
    kill -0 "$renderer_pid" 2>/dev/null && window_exists || fail "the run ended on a key other than Esc"
    escape
    wait_renderer_exit
    ((rc == 0)) || fail "exit code $rc after Esc"
    window_gone || fail "window still there after exit"
    screen_is 1024x768 || fail "screen is $("$PROBE" size) after the run"
    [[ ! -s $work/stderr.txt ]] || fail "unexpected output on stderr"
    ;;

  close_request)
    textures
    start_renderer
    wait_window
    wait_for 60 scene_is_textured || fail "scene not drawn"
    "$PROBE" close "$window"
    wait_renderer_exit
    ((rc == 0)) || fail "exit code $rc after a close request"
    window_gone || fail "window still there after exit"
    ;;

  window_destroyed)
    # Another client destroys the window: the run ends as after a close request.
    textures
    start_renderer
    wait_window
    screen_is 1024x768 || fail "screen is $("$PROBE" size) during the run"
    wait_for 60 scene_is_textured || fail "scene not drawn"
    "$PROBE" destroy "$window"
    wait_renderer_exit
    ((rc == 0)) || fail "exit code $rc after the window was destroyed"
    screen_is 1280x1024 || fail "screen is $("$PROBE" size) after the run"
    ;;

  missing_textures)
    start_renderer
    wait_window
    # The message box would block start-up before the first frame: a drawn frame
    # with no box means none was shown.
    wait_for 60 scene_is_white || { screenshot scene; fail "planes are not plain white"; }
    screenshot scene
    "$PROBE" find Error >/dev/null && fail "a message box appeared for missing textures"
    escape
    wait_renderer_exit
    ((rc == 0)) || fail "exit code $rc"
    [[ ! -s $work/stderr.txt ]] || fail "unexpected output on stderr"
    ;;

  corrupt_texture)
    textures
    # A background bitmap cut off inside its pixel data.
    head -c 3000 "$qorin/Veloran2.bmp" >"$qorin/cut.bmp" && mv "$qorin/cut.bmp" "$qorin/Veloran2.bmp"
    start_renderer
    wait_window
    box_up() { box=$("$PROBE" find Error) && xwininfo -id "$box" | grep -q IsViewable; }
    wait_for 60 box_up || fail "no message box titled Error"
    [[ $("$PROBE" transient-for "$box") == "$window" ]] || fail "the message box is not owned by the renderer window"
    has_focus() { [[ $(xdotool getwindowfocus) == $((box)) ]]; }
    wait_for 30 has_focus || fail "the message box did not take the keyboard focus"
    screenshot box
    grep -qx "Image file conversion error." "$work/stderr.txt" || fail "message text missing on stderr"
    xdotool key Return
    box_gone() { ! "$PROBE" find Error >/dev/null; }
    wait_for 30 box_gone || fail "the message box stayed after Return"
    # The run goes on without that texture: white planes.
    wait_for 60 scene_is_white || { screenshot scene; fail "the run did not go on with white planes"; }
    kill -0 "$renderer_pid" || fail "the renderer ended after the message"
    escape
    wait_renderer_exit
    ((rc == 0)) || fail "exit code $rc"
    [[ $(grep -c . "$work/stderr.txt") == 1 ]] || fail "more than one message"
    ;;

  corrupt_sprite_click)
    # An empty-headed sprite bitmap; the box is dismissed with a click on OK and the
    # particles go on as plain coloured squares over the textured planes.
    textures
    printf 'BM\x36\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00' >"$qorin/Veloran1.bmp"
    start_renderer
    wait_window
    box_up() { box=$("$PROBE" find Error) && xwininfo -id "$box" | grep -q IsViewable; }
    wait_for 60 box_up || fail "no message box titled Error"
    geometry=$(xwininfo -id "$box")
    left=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$geometry")
    top=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$geometry")
    width=$(awk '/Width:/ { print $2 }' <<<"$geometry")
    height=$(awk '/Height:/ { print $2 }' <<<"$geometry")
    xdotool mousemove $((left + width / 2)) $((top + height - 29)) click 1
    box_gone() { ! "$PROBE" find Error >/dev/null; }
    wait_for 30 box_gone || fail "the message box stayed after a click on OK"
    wait_for 60 scene_is_textured || { screenshot scene; fail "no planes with plain particles after the message"; }
    screenshot scene
    escape
    wait_renderer_exit
    ((rc == 0)) || fail "exit code $rc"
    [[ $(grep -c . "$work/stderr.txt") == 1 ]] || fail "expected exactly one message"
    ;;

  display_switch)
    textures
    screen_is 1280x1024 || fail "test server is not 1280x1024"
    start_renderer
    wait_window
    screen_is 1024x768 || fail "screen is $("$PROBE" size) during the run"
    guardian=$(guardian_of "$renderer_pid") || fail "no guardian process"
    wait_for 60 scene_is_textured || fail "scene not drawn"
    escape
    wait_renderer_exit
    ((rc == 0)) || fail "exit code $rc"
    screen_is 1280x1024 || fail "screen is $("$PROBE" size) after the run"
    process_gone "$guardian" || fail "guardian still running after a normal end"
    ;;

  sigkill_restore)
    textures
    start_renderer
    wait_window
    screen_is 1024x768 || fail "screen is $("$PROBE" size) during the run"
    guardian=$(guardian_of "$renderer_pid") || fail "no guardian process"
    wait_for 60 scene_is_textured || fail "scene not drawn"
    kill -KILL "$renderer_pid"
    wait "$renderer_pid" 2>/dev/null
    wait_for 30 window_gone || fail "window outlived the killed renderer"
    wait_for 30 screen_is 1280x1024 || fail "screen is $("$PROBE" size) after SIGKILL"
    wait_for 30 process_gone "$guardian" || fail "guardian did not end after restoring"
    ;;

  sigterm)
    textures
    start_renderer
    wait_window
    wait_for 60 scene_is_textured || fail "scene not drawn"
    kill -TERM "$renderer_pid"
    wait_renderer_exit
    ((rc == 0)) || fail "exit code $rc after SIGTERM"
    window_gone || fail "window still there"
    screen_is 1280x1024 || fail "screen is $("$PROBE" size) after SIGTERM"
    ;;

  switch_impossible)
    # This server cannot grow to 1024x768: the run ends on its own, display untouched.
    textures
    start_renderer
    wait_renderer_exit
    ((rc == 0)) || fail "exit code $rc"
    screen_is 800x600 || fail "screen is $("$PROBE" size) after the run"
    window_gone || fail "window still there"
    ;;

  no_display)
    env -u DISPLAY "$RENDERER" 2>"$work/stderr.txt"
    rc=$?
    ((rc == 1)) || fail "exit code $rc without a display"
    ;;

  *)
    echo "unknown case $case_name" >&2
    exit 2
    ;;
esac
echo "ok ($case_name)"
