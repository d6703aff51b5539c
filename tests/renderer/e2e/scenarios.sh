#!/usr/bin/env bash
# End-to-end scenarios of the real renderer, written once for every platform:
#
#   scenarios.sh DRIVER CASE    environment: RENDERER, PROBE, ASSETS, WORK_DIR
#
# DRIVER is the platform's script (x11_driver.sh, wine_driver.sh). It runs on a
# private X server either way and supplies the words that differ:
#   driver_setup                    sets qorin, the folder the renderer reads its
#                                   bitmaps from, and clears it
#   start_renderer                  in the background: renderer_pid, its output in
#                                   $out/renderer.log
#   window_count                    windows titled Veloran_VC
#   window_covers X Y W H           true when that window is borderless and covers
#                                   exactly this part of the screen
#   screen_size                     WxH, as the system reports it to programs
#   send_close                      a close request to the renderer's window
#   message_box_up                  true while a box titled Error is shown
#   message_box_shows TEXT          waits for the box; fails unless the renderer's
#                                   window owns it and it shows TEXT
#   dismiss_message_box return|click    by the Return key or a click on OK
#   one_message_shown TEXT          fails if anything else was shown or printed
#   renderer_window                 the window's X id (X11 only, for X11's own cases)
# Pixels are read from screenshots of the X server (ImageMagick), keys and clicks
# are real input (xdotool). Besides Xvfb, cases run on a two-output Xorg ("dual":
# DUMMY0 and DUMMY1, 1280x1024 each, side by side) and on XWayland ("wayland").
#
# Each scenario says on its first line which platforms run it and the screen size
# they start with; the tests' CMakeLists read that line.
set -uo pipefail

driver=$1
case_name=$2
out=$WORK_DIR/$case_name
rm -rf "$out"
mkdir -p "$out"
renderer_pid=""

. "$(dirname "${BASH_SOURCE[0]}")/../../support/e2e_common.sh"

fail() {
  echo "FAIL ($case_name): $*" >&2
  [[ -s $out/renderer.log ]] && sed 's/^/  renderer: /' "$out/renderer.log" >&2
  [[ -n $renderer_pid ]] && kill -9 "$renderer_pid" 2>/dev/null
  exit 1
}
trap '[[ -n $renderer_pid ]] && kill -9 "$renderer_pid" 2>/dev/null' EXIT

# A child that has ended but was not waited for yet counts as gone.
process_gone() { [[ ! -e /proc/$1 ]] || grep -q '^[0-9]* ([^)]*) Z' "/proc/$1/stat" 2>/dev/null; }

. "$driver"
driver_setup
mkdir -p "$qorin"

# --- shared words ------------------------------------------------------------

# The host's two pictures where the host puts them before a run.
textures() {
  cp "$ASSETS/texture_ring.bmp" "$qorin/Veloran1.bmp" &&
    cp "$ASSETS/texture_stars.bmp" "$qorin/Veloran2.bmp" || fail "cannot copy the textures"
}

window_exists() { (($(window_count) > 0)); }
window_gone() { ! window_exists; }

wait_window() {
  wait_for 60 window_exists || fail "no window titled Veloran_VC"
  (($(window_count) == 1)) || fail "more than one window titled Veloran_VC"
}

# The usual start: the pictures in place, the renderer started, its one window up.
start_with_textures() {
  textures
  start_renderer
  wait_window
}

screen_is() { [[ $(screen_size) == "$1" ]] || fail "screen is $(screen_size), expected $1 ${2:-}"; }

# exits_with CODE WHAT [SECONDS]: the renderer ends within SECONDS (20) with CODE.
exits_with() {
  exit_code "$renderer_pid" "${3:-20}"
  [[ $rc == timeout ]] && fail "the renderer did not end within ${3:-20} s after $2"
  renderer_pid=""
  [[ $rc == "$1" ]] || fail "exit code $rc after $2, expected $1"
}

# gone_after WHAT: the renderer ended with 0 after WHAT, and its window with it.
gone_after() {
  exits_with 0 "$1"
  window_gone || fail "window still there after $1"
}

still_running() {
  kill -0 "$renderer_pid" 2>/dev/null && window_exists || fail "the run ended after $1"
}

no_output() { [[ ! -s $out/renderer.log ]] || fail "unexpected output from the renderer"; }

# Without a window manager the pointer decides the focus: it goes over the
# window first, and the system gets a moment to see it there.
pointer_over() {
  xdotool mousemove "${1:-512}" "${2:-384}"
  sleep 0.3
}

# escape_ends [X Y]: Esc, with the pointer at X, Y (512, 384), ends the run.
escape_ends() {
  pointer_over "$@"
  xdotool key Escape
  gone_after Esc
}

other_input() {
  pointer_over
  xdotool key a space Return F4 mousemove 100 100 click 1 click 3 mousemove 900 700 click 1
  xdotool mousemove 512 384
}

# What the user sees: the whole screen; where the screen's root holds nothing
# (a rootless XWayland, snapshot_of=window), the renderer's window itself.
snapshot_of=root
snapshot() {
  local window=root
  [[ $snapshot_of == window ]] && window=$(renderer_window)
  import -window "$window" "$out/$1.png" 2>/dev/null
}

# shares FILE GEOMETRY: sets white, warm and cool, the shares of the region's
# pixels that are white, whose red or green is well above blue (particles fly
# in red to green), and whose blue is well above red and green (the stars).
shares() {
  local region=(convert "$1" -crop "$2" +repage)
  white=$("${region[@]}" -channel RGB -threshold 96% +channel -separate \
    -evaluate-sequence min -format '%[fx:mean]' info:) || return 1
  warm=$("${region[@]}" -color-matrix '1 0 -1  0 1 -1  0 0 0' -channel RG -threshold 23.5% \
    +channel -separate -delete 2 -evaluate-sequence max -format '%[fx:mean]' info:) || return 1
  cool=$("${region[@]}" -color-matrix '0 0 0  -1 0 1  0 -1 1' -channel GB -threshold 8% \
    +channel -separate -delete 0 -evaluate-sequence min -format '%[fx:mean]' info:)
}

holds() { awk "BEGIN { exit !($1) }"; }

# scene_is_textured [X Y [W H]]: in the W x H (1024x768) window at X, Y (0, 0),
# star-field planes above and below (blue stars, neither one flat colour nor the
# white of a missing texture), and particles somewhere without filling the screen.
scene_is_textured() {
  local x=${1:-0} y=${2:-0} w=${3:-1024} h=${4:-768} band
  snapshot scene || return 1
  for band in "${w}x200+$x+$y" "${w}x200+$x+$((y + h - 200))"; do
    shares "$out/scene.png" "$band" || return 1
    holds "$cool > 0.001 && $cool < 0.5 && $white < 0.05" || return 1
  done
  shares "$out/scene.png" "${w}x$h+$x+$y" || return 1
  holds "$warm > 0.001 && $warm < 0.6"
}

scene_drawn() {  # scene_drawn [X Y [W H]]: waits for scene_is_textured
  wait_for 60 scene_is_textured "$@" || fail "no textured planes with particles (see scene.png)"
}

# colour_share FILE GEOMETRY [COLOUR FUZZ]: the share of the region's pixels within
# FUZZ (4%) of COLOUR (the desktop's #3070b0, see desktop_with_window).
colour_share() {
  convert "$1" -crop "$2" +repage \( +clone -fill "${3:-#3070b0}" -colorize 100 \) \
    -compose difference -composite -channel RGB -separate -evaluate-sequence max \
    -threshold "${4:-4%}" -format '%[fx:1-mean]' info:
}

# output_area NAME: the output's geometry (WxH+X+Y) as XRandR reports it.
output_area() { xrandr | sed -n "s/^$1 connected \(primary \)\{0,1\}\([0-9x+]*\) .*/\2/p"; }

# A desktop the user left: a coloured root and a window open on the second output.
desktop_with_window() {
  xsetroot -solid '#3070b0' || fail "cannot colour the desktop"
  xmessage -geometry 500x200+1700+400 -bg white "left open" &
  desktop_window_pid=$!
  wait_for 20 desktop_shown desktop || fail "the desktop is not shown on the second output (see desktop.png)"
}

# desktop_shown NAME: the screenshot NAME shows that desktop on the second output.
desktop_shown() {
  snapshot "$1" && holds "$(colour_share "$out/$1.png" 1280x1024+1280+0) > 0.8" &&
    holds "$(colour_share "$out/$1.png" 500x200+1700+400) < 0.1"
}

# Plain white planes, as without a background texture; additive particles stay white.
scene_is_white() {
  snapshot scene || return 1
  shares "$out/scene.png" 1024x768+0+0 && holds "$white > 0.97"
}

scene_moves() {
  snapshot before || return 1
  sleep 0.5
  snapshot after || return 1
  local changed
  changed=$(compare -metric AE -fuzz 10% "$out/before.png" "$out/after.png" null: 2>&1)
  holds "${changed%% *} > 1000"
}

message_box_gone() { ! message_box_up; }

# bad_bitmap_run HOW SCENE: with a broken bitmap in place, the one message is shown
# and dismissed by HOW (return, click); then the run goes on, drawing SCENE.
bad_bitmap_run() {
  start_renderer
  wait_window
  message_box_shows "Image file conversion error."
  dismiss_message_box "$1"
  wait_for 30 message_box_gone || fail "the message box stayed after $1"
  wait_for 60 "$2" || fail "the run did not go on: no $2 after the message (see scene.png)"
  still_running "the message"
  escape_ends
  one_message_shown "Image file conversion error."
}

# covered_run WxH: the renderer started with its pictures; during the run the screen
# is WxH, the window covers all of it and the scene is drawn there.
covered_run() {
  start_with_textures
  screen_is "$1" "during the run"
  window_covers 0 0 "${1%x*}" "${1#*x}" || fail "the window does not cover the $1 screen"
  scene_drawn 0 0 "${1%x*}" "${1#*x}"
}

# --- scenarios ---------------------------------------------------------------

scenario_scene_escape() {  # x11:1024x768 wine:1024x768
  # The scene runs until Esc; other keys, clicks and the pointer do nothing.
  covered_run 1024x768
  other_input
  wait_for 30 scene_moves || fail "the scene stopped moving after keys and clicks"
  still_running "keys and clicks other than Esc"
  escape_ends
  screen_is 1024x768 "after the run"
  no_output
}

scenario_close_request() {  # x11:1024x768 wine:1024x768
  start_with_textures
  scene_drawn
  send_close
  wait_for 5 window_gone || fail "window still there after a close request"
  exits_with 0 "a close request"
}

scenario_missing_textures() {  # x11:1024x768 wine:1024x768
  # A message box would hold start-up before the first frame: a drawn frame and
  # no box means none was shown.
  start_renderer
  wait_window
  wait_for 60 scene_is_white || fail "planes are not plain white (see scene.png)"
  message_box_gone || fail "a message box appeared for missing textures"
  escape_ends
  no_output
}

scenario_corrupt_texture() {  # x11:1024x768 wine:1024x768
  # A background bitmap cut off inside its pixel data: one message, then the run
  # goes on with white planes.
  textures
  head -c 3000 "$ASSETS/texture_stars.bmp" >"$qorin/Veloran2.bmp"
  bad_bitmap_run return scene_is_white
}

scenario_corrupt_sprite_click() {  # x11:1024x768 wine:1024x768
  # A sprite bitmap with nothing after its headers; after a click on OK the
  # particles go on as plain coloured squares over the textured planes.
  textures
  printf 'BM\x36\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00' >"$qorin/Veloran1.bmp"
  bad_bitmap_run click scene_is_textured
}

scenario_switch_impossible() {  # x11:800x600 wine:1280x1024
  # This screen cannot show 1024x768: the scene fills it at its own size until Esc,
  # and the display stays as it was.
  local before
  before=$(screen_size)
  [[ $before != 1024x768 ]] || fail "the test screen is already 1024x768"
  covered_run "$before"
  escape_ends
  screen_is "$before" "after the run"
}

scenario_two_monitors() {  # x11:dual wine:dual
  # Two 1280x1024 outputs side by side: the scene shows on the switched primary,
  # the second output is black for the whole run (wherever the switch put it), and
  # Esc with the pointer over it ends the run. Then both outputs are back, and so is
  # the desktop the user left there.
  local first second during
  first=$(output_area DUMMY0) second=$(output_area DUMMY1)
  [[ $first == 1280x1024+0+0 && $second == 1280x1024+1280+0 ]] ||
    fail "unexpected outputs before the run: $first, $second"
  desktop_with_window
  start_with_textures
  window_covers 0 0 1024 768 || fail "the window is not over the switched primary"
  [[ $(output_area DUMMY0) == 1024x768+0+0 ]] || fail "primary during the run: $(output_area DUMMY0)"
  during=$(output_area DUMMY1)
  [[ $during == 1280x1024+* ]] || fail "second output during the run: $during"
  second_black() { snapshot covered && holds "$(colour_share "$out/covered.png" "$during" black 2%) >= 0.99"; }
  wait_for 30 second_black || fail "the second output is not black (see covered.png)"
  scene_drawn
  sleep 1
  second_black || fail "the second output did not stay black (see covered.png)"
  escape_ends $((1280 + 640)) 512
  [[ $(output_area DUMMY0) == "$first" && $(output_area DUMMY1) == "$second" ]] ||
    fail "outputs after the run: $(output_area DUMMY0), $(output_area DUMMY1)"
  desktop_shown after || fail "the desktop or the window left open is not shown again (see after.png)"
  kill "$desktop_window_pid" 2>/dev/null
}

scenario_wayland() {  # x11:wayland
  # Under a Wayland desktop (XWayland refuses mode changes) the scene fills the
  # output at its own size until Esc; the output keeps its mode.
  snapshot_of=window
  local before
  before=$(screen_size)
  covered_run "$before"
  wait_for 30 scene_moves || fail "the scene does not move"
  # A headless compositor has no input devices, and XWayland ends on injected input:
  # the key comes as an event sent to the window.
  xdotool key --window "$(renderer_window)" Escape
  gone_after Esc
  screen_is "$before" "after the run"
}

scenario_display_switch() {  # x11:1280x1024
  # The guardian that would restore the screen lives as long as the run.
  screen_is 1280x1024 "before the run"
  covered_run 1024x768
  guardian=$(guardian_of "$renderer_pid") || fail "no guardian process"
  escape_ends
  screen_is 1280x1024 "after the run"
  process_gone "$guardian" || fail "guardian still running after a normal end"
}

scenario_output_off_origin() {  # x11:1600x1200
  # The output shows 1280x1024 at (200, 100), as beside another monitor: the mode
  # changes there, the window goes over it, and both come back afterwards.
  xrandr --newmode off-origin 108 1280 1328 1440 1688 1024 1025 1028 1066 +hsync +vsync &&
    xrandr --addmode screen off-origin && xrandr --output screen --mode off-origin &&
    "$PROBE" place-output 200 100 || fail "cannot move the output"
  output_is() { xrandr | grep -q "^screen connected $1 " || fail "output $2: $(xrandr | grep connected)"; }
  output_is 1280x1024+200+100 "not moved"
  start_with_textures
  output_is 1024x768+200+100 "during the run"
  screen_is 1224x868 "during the run"
  window_covers 200 100 1024 768 || fail "the window is not over the switched output"
  scene_drawn 200 100
  escape_ends
  output_is 1280x1024+200+100 "after the run"
  screen_is 1480x1124 "after the run"
}

scenario_sigkill_restore() {  # x11:1280x1024
  covered_run 1024x768
  guardian=$(guardian_of "$renderer_pid") || fail "no guardian process"
  kill -KILL "$renderer_pid"
  exits_with 137 SIGKILL
  wait_for 30 window_gone || fail "window outlived the killed renderer"
  restored() { [[ $(screen_size) == 1280x1024 ]]; }
  wait_for 30 restored || fail "screen is $(screen_size) after SIGKILL"
  wait_for 30 process_gone "$guardian" || fail "guardian did not end after restoring"
}

scenario_sigterm() {  # x11:1280x1024
  covered_run 1024x768
  kill -TERM "$renderer_pid"
  gone_after SIGTERM
  screen_is 1280x1024 "after SIGTERM"
}

scenario_window_destroyed() {  # x11:1280x1024
  # Another client destroys the window: the run ends as after a close request.
  covered_run 1024x768
  destroy_window
  exits_with 0 "the window was destroyed"
  screen_is 1280x1024 "after the run"
}

scenario_no_display() {  # x11:none
  env -u DISPLAY "$RENDERER" 2>"$out/renderer.log"
  rc=$?
  ((rc == 1)) || fail "exit code $rc without a display"
}

scenario_syscommand() {  # wine:1024x768
  start_with_textures
  sleep 0.5
  # The plain screen-saver command is swallowed: nothing happens.
  post_syscommand 0xF140
  sleep 1
  still_running SC_SCREENSAVE
  [[ -z "$(probe others Veloran_VC)" ]] || fail "SC_SCREENSAVE opened a window"
  # With a low bit set it takes the default way; Wine's default processing of
  # that value opens its About box, owned by the renderer's process.
  post_syscommand 0xF141
  about_box() { probe others Veloran_VC | grep -q '^window title=About'; }
  wait_for 10 about_box || fail "SC_SCREENSAVE|1 did not reach default processing"
  probe close-others Veloran_VC >/dev/null
  sleep 0.5
  still_running "the About box"
  # The system close command (Alt+F4) becomes a close request by default processing.
  post_syscommand 0xF060
  exits_with 0 SC_CLOSE
}

declare -F "scenario_$case_name" >/dev/null || { echo "unknown case $case_name" >&2; exit 2; }
"scenario_$case_name"
echo "ok ($case_name)"
