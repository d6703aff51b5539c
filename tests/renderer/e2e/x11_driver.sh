# X11 words for scenarios.sh (sourced): Veloran.dll on a private Xvfb, a second client
# (PROBE, tests/support/x11_probe.cpp) that finds windows by title, reads the screen size
# and sends close requests.

driver_setup() {
  export HOME=$out/home XDG_DATA_HOME=$out/home/.local/share XDG_CONFIG_HOME=$out/home/.config
  qorin=$XDG_DATA_HOME/veloran/drives/c/qorin
}

start_renderer() {
  "$RENDERER" 2>"$out/renderer.log" &
  renderer_pid=$!
}

renderer_window() { "$PROBE" find Veloran_VC; }
window_count() { "$PROBE" count Veloran_VC; }
screen_size() { "$PROBE" size; }
send_close() { "$PROBE" close "$(renderer_window)"; }
destroy_window() { "$PROBE" destroy "$(renderer_window)"; }

# geometry ID: sets left, top, width, height and border of a window.
geometry() {
  read -r left top width height border < <(xwininfo -id "$1" | awk '
    /Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } /Border width:/ { b = $3 }
    END { print x, y, w, h, b }')
}

window_covers() {
  geometry "$(renderer_window)"
  [[ "$left $top $width $height $border" == "$1 $2 $3 $4 0" ]] ||
    { echo "window at $left,$top ${width}x$height, border $border" >&2; return 1; }
}

message_box_up() { local box; box=$("$PROBE" find Error) && xwininfo -id "$box" | grep -q IsViewable; }

# The box also writes its text on standard error, where the test reads it.
message_box_shows() {
  wait_for 60 message_box_up || fail "no message box titled Error"
  box=$("$PROBE" find Error)
  [[ $("$PROBE" transient-for "$box") == "$(renderer_window)" ]] ||
    fail "the message box is not owned by the renderer window"
  has_focus() { [[ $(xdotool getwindowfocus) == $((box)) ]]; }
  wait_for 30 has_focus || fail "the message box did not take the keyboard focus"
  wait_for 10 grep -qxF "$1" "$out/renderer.log" || fail "message text \"$1\" missing"
}

# The OK button sits centred at the bottom of the box.
dismiss_message_box() {
  if [[ $1 == click ]]; then
    geometry "$box"
    xdotool mousemove $((left + width / 2)) $((top + height - 29)) click 1
  else
    xdotool key Return
  fi
}

one_message_shown() { [[ $(<"$out/renderer.log") == "$1" ]] || fail "expected exactly one message"; }

# The display guardian forked by renderer PID (its process name is veloran-guard).
guardian_of() {
  local stat pid comm state ppid rest
  for stat in /proc/[0-9]*/stat; do
    read -r pid comm state ppid rest <"$stat" 2>/dev/null || continue
    [[ $ppid == "$1" && $comm == "(veloran-guard)" ]] && { echo "$pid"; return 0; }
  done
  return 1
}
