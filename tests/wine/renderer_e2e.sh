#!/usr/bin/env bash
# renderer_e2e.sh CASE BIN_DIR TESTS_DIR
#
# End-to-end checks of the Windows renderer (BIN_DIR/Veloran.dll) under Wine,
# driven from outside by the probe (TESTS_DIR/probe.exe), xdotool and
# screenshots. Runs inside scripts/with-wine-env, which ctest arranges; the
# display size is the environment's (1280x1024 for CASE badmode).
#
# Cases: escape, close, syscommand, badmode, missing, corrupt.
# Screenshots and outputs stay in TESTS_DIR/wine-e2e/CASE for a look by eye.
set -euo pipefail

case_name=$1
bin_dir=$2
tests_dir=$3
renderer=$bin_dir/Veloran.dll
probe_exe=$tests_dir/probe.exe
out=$tests_dir/wine-e2e/$case_name
rm -rf "$out"
mkdir -p "$out"

[[ -n "${VELORAN_WINE_ENV:-}" ]] || { echo "run me inside scripts/with-wine-env" >&2; exit 2; }
qorin=$WINEPREFIX/drive_c/qorin

renderer_pid=""
fail() {
  echo "FAIL ($case_name): $*" >&2
  [[ -f $out/renderer.log && -s $out/renderer.log ]] && sed 's/^/  renderer: /' "$out/renderer.log" >&2
  if [[ -n "$renderer_pid" ]]; then kill "$renderer_pid" 2>/dev/null || true; fi
  exit 1
}

# The probe writes Windows line ends.
probe() { wine "$probe_exe" "$@" | tr -d '\r'; }

# probe_expect PATTERN ARGS...: runs the probe and checks its output.
probe_expect() {
  local pattern=$1 output
  shift
  output=$(probe "$@") || fail "probe $* failed: $output"
  grep -Eq -- "$pattern" <<<"$output" || fail "probe $*: expected /$pattern/, got: $output"
  echo "$output"
}

write_textures() {
  mkdir -p "$qorin"
  rm -f "$qorin"/Veloran1.bmp "$qorin"/Veloran2.bmp
  [[ "${1:-}" == none ]] && return
  probe_expect '^wrote' write-bmp 'C:\qorin\Veloran1.bmp' ring >/dev/null
  probe_expect '^wrote' write-bmp 'C:\qorin\Veloran2.bmp' "${1:-stars}" >/dev/null
}

start_renderer() {
  probe_expect '^gone' gone Veloran_VC 3000 >/dev/null
  wine "$renderer" >"$out/renderer.log" 2>&1 &
  renderer_pid=$!
}

# wait_renderer SECONDS: waits for the renderer to end; its exit code goes to rc.
wait_renderer() {
  local deadline=$((SECONDS + $1))
  while kill -0 "$renderer_pid" 2>/dev/null; do
    ((SECONDS < deadline)) || fail "renderer still running after $1 s"
    sleep 0.05
  done
  rc=0
  wait "$renderer_pid" || rc=$?
  renderer_pid=""
}

still_running() {
  sleep "$1"
  kill -0 "$renderer_pid" 2>/dev/null || fail "renderer ended early ($2)"
  probe_expect '^found' find Veloran_VC 0 >/dev/null
}

# region_mean SHOT GEOMETRY: mean R G B (0..1) of a region.
region_mean() {
  convert "$1" -crop "$2" +repage -format '%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]' info:
}

# particle_share SHOT: share of pixels whose red or green clearly exceeds blue
# (the particles are red to green; the star field is blue and white).
particle_share() {
  convert "$1" -separate -delete 2 -evaluate-sequence max \
    \( "$1" -channel B -separate +channel \) -compose MinusSrc -composite \
    -threshold 16% -format '%[fx:mean]' info:
}

check_awk() {  # check_awk "VALUES" "CONDITION" MESSAGE
  awk -v v="$1" "BEGIN { split(v, a, \" \"); r = a[1]; g = a[2]; b = a[3]; exit !($2) }" ||
    fail "$3 (values: $1)"
}

screenshot() { import -window root "$out/$1.png" || fail "screenshot failed"; }

check_textured_scene() {
  screenshot scene
  local top bottom share
  # Ceiling (top band) and floor (bottom band) show the blue star field.
  top=$(region_mean "$out/scene.png" 1024x120+0+0)
  bottom=$(region_mean "$out/scene.png" 1024x120+0+648)
  check_awk "$top" "b > 0.35 && b > r + 0.2" "ceiling is not the blue star field"
  check_awk "$bottom" "b > 0.35 && b > r + 0.2" "floor is not the blue star field"
  # Stars are tiny: the field is not one flat colour.
  local spread
  spread=$(convert "$out/scene.png" -crop 1024x120+0+648 +repage -colorspace Gray -format '%[fx:standard_deviation]' info:)
  check_awk "$spread 0 0" "r > 0.02" "floor shows no stars"
  # Particles: red-to-green rings somewhere over the blue.
  share=$(particle_share "$out/scene.png")
  check_awk "$share 0 0" "r > 0.003 && r < 0.6" "no particles on screen"
  # The scene moves: a second shot differs.
  sleep 0.5
  screenshot scene2
  local changed
  changed=$(compare -metric AE -fuzz 10% "$out/scene.png" "$out/scene2.png" null: 2>&1 || true)
  check_awk "${changed%% *} 0 0" "r > 1000" "scene does not move"
  echo "scene ok: ceiling $top, floor $bottom, particles $share, changed $changed px"
}

case $case_name in
  escape)
    write_textures
    start_renderer
    probe_expect '^found class=Veloran_VC rect=0,0,1024,768 style=0x96000000 exstyle=0x00000000 visible=1' \
      find Veloran_VC 10000
    probe_expect '^display 1024x768' display
    sleep 1.5
    check_textured_scene
    # Other keys, mouse movement and clicks do nothing. (Without a window manager
    # the pointer decides the focus: move it first and let Wine see the change.)
    xdotool mousemove 512 384
    sleep 0.3
    xdotool key a key Return mousemove 100 100 click 1 click 3 mousemove 512 384
    still_running 0.7 "other input"
    xdotool key Escape
    wait_renderer 5
    [[ $rc == 0 ]] || fail "exit code $rc after Esc"
    probe_expect '^gone' gone Veloran_VC 0
    probe_expect '^display 1024x768' display
    ;;

  close)
    write_textures
    start_renderer
    probe_expect '^found' find Veloran_VC 10000
    sleep 0.5
    probe_expect '^posted' post Veloran_VC close
    probe_expect '^gone' gone Veloran_VC 3000
    wait_renderer 5
    [[ $rc == 0 ]] || fail "exit code $rc after WM_CLOSE"
    ;;

  syscommand)
    write_textures
    start_renderer
    probe_expect '^found' find Veloran_VC 10000
    sleep 0.5
    # The plain screen-saver command is swallowed: nothing happens.
    probe_expect '^posted' post Veloran_VC syscommand 0xF140
    still_running 1 "SC_SCREENSAVE"
    [[ -z "$(probe others Veloran_VC)" ]] || fail "SC_SCREENSAVE opened a window"
    # With a low bit set it takes the default way; Wine's default processing of
    # that value opens its About box, owned by the renderer's process.
    probe_expect '^posted' post Veloran_VC syscommand 0xF141
    deadline=$((SECONDS + 10))
    until probe others Veloran_VC | grep -q '^window title=About'; do
      ((SECONDS < deadline)) || fail "SC_SCREENSAVE|1 did not reach default processing"
      sleep 0.2
    done
    probe close-others Veloran_VC >/dev/null
    still_running 0.5 "after the About box"
    # The system close command (Alt+F4) becomes WM_CLOSE by default processing.
    probe_expect '^posted' post Veloran_VC syscommand 0xF060
    wait_renderer 5
    [[ $rc == 0 ]] || fail "exit code $rc after SC_CLOSE"
    ;;

  badmode)
    # 1024x768 cannot be set on a 1280x1024 screen here: the run ends on its own.
    probe_expect '^display 1280x1024' display
    write_textures
    start_renderer
    wait_renderer 15
    [[ $rc == 0 ]] || fail "exit code $rc after the failed display switch"
    probe_expect '^gone' gone Veloran_VC 0
    probe_expect '^display 1280x1024' display
    ;;

  missing)
    # No texture files: white planes and no message.
    write_textures none
    start_renderer
    probe_expect '^found' find Veloran_VC 10000
    sleep 1.5
    [[ "$(probe find Error 0)" == not\ found* ]] || fail "a message box appeared"
    screenshot scene
    mean=$(region_mean "$out/scene.png" 1024x768+0+0)
    check_awk "$mean" "r > 0.9 && g > 0.9 && b > 0.9" "planes are not white"
    probe_expect '^posted' post Veloran_VC close
    wait_renderer 5
    [[ $rc == 0 ]] || fail "exit code $rc"
    ;;

  corrupt)
    # A cut-off background bitmap: one message box, then the run goes on.
    write_textures truncated
    start_renderer
    output=$(probe_expect '^text=Image file conversion error\.$' dialog Error 10000)
    grep -qx 'owner=Veloran_VC' <<<"$output" || fail "message box not owned by the renderer: $output"
    [[ "$(grep -c '^button=' <<<"$output")" == 1 ]] && grep -qx 'button=OK' <<<"$output" ||
      fail "message box buttons: $output"
    probe_expect '^found' find Veloran_VC 0
    probe post Error close >/dev/null
    probe_expect '^gone' gone Error 3000
    still_running 1 "after the message"
    screenshot scene
    bottom=$(region_mean "$out/scene.png" 1024x120+0+648)
    check_awk "$bottom" "r > 0.9 && g > 0.9 && b > 0.9" "floor is not white without its texture"
    probe_expect '^posted' post Veloran_VC close
    wait_renderer 5
    [[ $rc == 0 ]] || fail "exit code $rc"
    ;;

  *)
    echo "unknown case $case_name" >&2
    exit 2
    ;;
esac
echo "PASS ($case_name)"
