#!/usr/bin/env bash
# End-to-end cases of the host, with the real programs, written once for both
# platforms; a driver per platform supplies how to start programs and look at windows:
#   e2e.sh x11|wine CASE BIN_DIR PROBE LATE_RENDERER
# BIN_DIR holds Veloran.scr and Veloran.dll; PROBE opens foreign windows (tests/support:
# x11_probe or win32_probe); LATE_RENDERER is a renderer stand-in whose window comes 1.5 s late.
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
#   answer_message WHAT [TEXT]   the message box is up with its exact text (by default
#                         the renderer-missing message; lines joined by newlines); OK
#   preview_shown ARG     the preview form fills the probe window, picture at top-left
#   quiet WHAT            the host wrote nothing on standard error (where it writes)
#   private_drive         the folders above the work folder are the user's alone
#   standin_fds           file the stand-in lists its inherited descriptors in, or ""
#   sound_limit_ms        how soon after /s the music must be heard
#   music_bin             a folder with both programs whose settings the music and dialog
#                         cases write
#   settings_file DIR     the settings file the host in DIR reads
#   host_path PATH        PATH spelled as the host sees it
#   no_cd                 makes the audio CD device absent for the next run
#   cpu_ticks PID         processor time the host PID has used, in clock ticks
#   dialog_client         "X Y W H" of the settings dialog's client area on the root
#                         window; fails while the dialog is not mapped
#   dialog_outer          "X Y W H" of the dialog's outer rectangle (frame included)
#   choose_in_file_dialog PATH   picks PATH in the system's open-file dialog (from the
#                         files it lists, where the platform can tell)
#   press_close_box       closes the settings dialog the way its close box does
#   keyboard_to_dialog    gives the settings dialog the keyboard, as a window manager
#                         would, without moving its focus
#   pointer_shape         "W H HOTX HOTY" of the pointer's current shape, or "" when
#                         the platform cannot tell
#   search_path_without_opener   a PATH for the host with no desktop opener, or nothing
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

. "$here/../../support/e2e_common.sh"
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

# --- Music: what is heard on the sound server's sink while the real host runs ---
. "$here/sound.sh"

# write_settings DIR KIND TRACK FILE: the settings of the host in DIR.
write_settings() { write_music_settings "$(settings_file "$1")" "$2" "$3" "$(host_path "$4")"; }

# music_run KIND TRACK FILE: records the sink, then a saver run with these settings;
# t0 is the moment of /s on the recording.
music_run() {
  local dir
  dir=$(music_bin)
  write_settings "$dir" "$@"
  record_start "$work/heard.raw"
  t0=$(rec_now)
  start_run "$dir"
}
# heard_within LIMIT_MS [SINCE]: the music is heard that soon after t0 (the moment of
# /s unless SINCE says another); sets heard (seconds).
heard_within() {
  local since=${2:-/s}
  listen_until "$(calc "$t0 + $1 / 1000 + 0.5")"
  heard=$(first_sound "$t0")
  echo "first sound ${heard} s after $since"
  [[ $heard != none ]] || fail "nothing heard within $1 ms of $since"
  (( $(calc "$heard * 1000 <= $1") )) || fail "music heard only ${heard} s after $since"
  heard=$(calc "$t0 + $heard")
}
# heard_between FROM TO MIN: at least MIN % of that stretch (seconds on the recording) is sound.
heard_between() {
  listen_until "$2"
  local share
  share=$(sound_share "$1" "$2")
  echo "sound in ${share} % of $(calc "$1 - $t0")..$(calc "$2 - $t0") s after /s (peak RMS $(peak_rms "$1" "$2"))"
  (( share >= $3 )) || fail "sound in only ${share} % of that stretch, expected $3 %"
}
# silent_run KIND TRACK FILE: nothing is heard during the first 3 s of a run with this
# music, which goes on until Esc.
silent_run() {
  music_run "$@"
  listen_until "$(calc "$t0 + 3")"
  [[ $(first_sound "$t0") == none ]] || fail "sound heard: peak RMS $(peak_rms "$t0" "$(rec_now)")"
  renderer_up || fail "renderer window gone"
  kill -0 "$host_pid" 2>/dev/null || fail "host ended during the run"
  echo "silent for 3 s (peak RMS $(peak_rms "$t0" "$(rec_now)")); run unharmed"
  music_stop
}
# quiet_after_end: silence from half a second after the host ended, for a second.
quiet_after_end() {
  local ended=$1 after
  listen_until "$(calc "$ended + 1.5")"
  after=$(last_sound "$ended")
  echo "last sound ${after} s after the host ended"
  [[ $after == none ]] || (( $(calc "$after <= 0.5") )) || fail "sound ${after} s after the host ended"
}
# music_stop: Esc; silence follows the host's end.
music_stop() {
  local esc after
  esc=$(rec_now)
  stop_run
  quiet_after_end "$(rec_now)"
  # The host hears of the Esc through its renderer watch, so the music follows it
  # as the host does.
  after=$(last_sound "$esc")
  echo "last sound ${after} s after Esc"
  [[ $after == none ]] || (( $(calc "$after * 1000 <= $follow_limit_ms + 500") )) ||
    fail "sound ${after} s after Esc"
}
# music_loops FILE FROM TO MIN: FILE as the music is heard with the run, and sounds in at
# least MIN % of the stretch FROM..TO seconds after it was first heard; then Esc.
music_loops() {
  music_run 2 0 "$1"
  heard_within "$sound_limit_ms"
  heard_between "$(calc "$heard + $2")" "$(calc "$heard + $3")" "$4"
  music_stop
}

# --- The settings dialog: driven with the pointer, checked on screenshots ---
# Client-area points (pixels) of its controls: the layout's twips / 15.
set_at=(356 212)      # Cmd_Set, 316,200 81x25: its middle
cancel_at=(440 212)   # Cmd_Can, 400,200 81x25
file_at=(66 140)      # Cmd_File, 52,128 29x25
file_kind_at=(70 118) # lbl_BGM(2), "MP3、WAV"
cd_mark_at=(46 78)    # Img_BGM(1), 40,72 13x13
# Reference points: a body pixel under the top frame (row 1), one on the inner ring
# (row 2), and left of the caption near the top and the bottom of the gradient.
set_frame=(356 201) set_ring=(356 202) set_top=(322 205) set_bottom=(322 220) file_frame=(66 129)

# The dialog cases run a copy of the programs in dir, whose settings file ini they may write.
if [[ $case_name == dialog_* ]]; then
  dir=$(music_bin)
  ini=$(settings_file "$dir")
fi
# open_dialog [SEARCH_PATH]: /c, with that PATH for the host (the desktop's opener is
# looked up there); sets host_pid and the client area cx cy cw ch.
open_dialog() {
  PATH=${1:-$PATH} scr_bg "$dir" /c
  host_pid=$pid
  wait_for 60 dialog_client || fail "dialog did not appear"
  read -r cx cy cw ch < <(dialog_client)
  sleep 1  # the opening zoom and the first paint
}
point() { xdotool mousemove $((cx + $1)) $((cy + $2)); sleep 0.2; }  # the dialog's poll sees it
click() { point "$1" "$2"; xdotool click "${3:-1}"; sleep 0.3; }
shot() { import -window root "$work/$1.png" || fail "no screenshot"; }
# rgb SHOT X Y: "r g b" of a client-area pixel.
rgb() { pixel "$work/$1.png" $((cx + $2)) $((cy + $3)); }
pixel() {  # pixel FILE X Y -> "r g b"
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}
# near SHOT X Y R G B TOLERANCE
near() {
  local r g b
  read -r r g b < <(rgb "$1" "$2" "$3")
  (( ${r} - $4 <= $7 && $4 - ${r} <= $7 && ${g} - $5 <= $7 && $5 - ${g} <= $7 && ${b} - $6 <= $7 && $6 - ${b} <= $7 )) ||
    fail "$1 at $2,$3: $r $g $b, expected about $4 $5 $6"
}
still_open() {  # still_open WHAT
  sleep 0.5
  kill -0 "$host_pid" 2>/dev/null && dialog_client >/dev/null || fail "$1 closed the dialog"
}
host_ended() { ends_with_0 "$host_pid" 20 "$1"; }  # host_ended WHAT
# value_of FILE KEY_BYTES: a stored value, the blanks before it dropped.
value_of() { LC_ALL=C sed -n "s/^BGM$2=[ ]*\(.*\)\r\$/\1/p" "$1"; }
kind_key=$'\x8B\xE6\x95\xAA' track_key=$'\xD8\xCB\xDF\xB0\xC4'
address_at=(40 214) panel_at=(250 100) combo_at=(128 78)
# end_dialog X Y: clicks there; the host ends with 0.
end_dialog() {
  click "$1" "$2"
  host_ended "the click that closed the dialog"
}

# Each case names on its first line the platforms that run it (tests/host/CMakeLists.txt
# reads them there); PLATFORM:sound cases listen on the private sound server's sink.
case "$case_name" in
  run_and_escape)  # x11 wine
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

  renderer_missing)  # x11 wine
    lone=$(lonely_bin)
    for cmd in /c /s "" /x /C:1234; do
      args=(); [[ -n $cmd ]] && args=("$cmd")
      scr_bg "$lone" "${args[@]}"
      answer_message "$cmd"
      ends_with_0 "$pid" 30 "host after the message for '$cmd'"
      renderer_up && fail "a renderer started for '$cmd'"
    done
    [[ -d $qorin ]] || fail "work folder not made before the check"
    # The preview needs no renderer: /p with a bad number ends without a message.
    scr_bg "$lone" /p 12345
    ends_with_0 "$pid" 30 "/p without renderer"
    window_exists Veloran && fail "/p showed a message"
    quiet "/p without renderer"
    ;;

  guard)  # x11 wine
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

  single_character)  # x11 wine
    scr_bg "$bin" s
    ends_with_0 "$pid" 30 "'s'"
    quiet "'s'"
    [[ -d $qorin ]] || fail "'s' should pass the renderer check, which makes the work folder first"
    [[ -e $qorin/Veloran1.bmp ]] && fail "'s' started a run"
    renderer_up && fail "'s' started the renderer"
    ;;

  preview)  # x11 wine
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
      ends_with_0 "$pid" 30 "preview after its window went ($arg)"
      quiet "the preview"
      echo "preview $arg: shown and ended with its window"
    done
    ;;

  late_window)  # x11 wine
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

  music_mp3)  # x11:sound wine:sound
    # A 2 s MP3 in a folder with a space: heard at once, and again after its end.
    mkdir -p "$work/my music"
    make_mp3 "$work/my music/two seconds.mp3" 2 440
    music_loops "$work/my music/two seconds.mp3" 3 7 40
    ;;

  music_short_mp3)  # x11:sound wine:sound
    # A 1 s MP3 ends at every other repeat check, at every moment around it: still
    # looping after a minute.
    make_mp3 "$work/one second.mp3" 1 440
    music_run 2 0 "$work/one second.mp3"
    heard_within "$sound_limit_ms"
    listen_until "$(calc "$heard + 40")"
    heard_between "$(calc "$heard + 60")" "$(calc "$heard + 70")" 30
    music_stop
    ;;

  music_server_back)  # x11:sound
    # The sound server goes away during the music and comes back: the music comes
    # back within two seconds (the files from their start, the CD at the repeated
    # track), and the host waits for it without spinning.
    make_mp3 "$work/ten seconds.mp3" 10 440
    make_wav "$work/loop tone.wav" 1 660
    tones=(300 700 1500)
    make_disc "$work/disc.cue" "${tones[@]}"
    export VELORAN_CD_DEVICE=$work/disc.cue
    for music in "2 0 $work/ten seconds.mp3" "2 0 $work/loop tone.wav" "1 2 "; do
      read -r kind track file <<<"$music"
      echo "--- kind $kind ${file:-track $track}"
      music_run "$kind" "$track" "$file"
      heard_within "$sound_limit_ms"
      sound_server_away
      cpu=$(cpu_ticks "$host_pid")
      sleep 5
      cpu=$(( $(cpu_ticks "$host_pid") - cpu ))
      echo "host CPU while the sound server was away: $cpu ticks of $(getconf CLK_TCK) in 5 s"
      (( cpu * 100 <= 5 * $(getconf CLK_TCK) )) || fail "the host spun while the sound server was away"
      kill -0 "$host_pid" 2>/dev/null || fail "host ended while the sound server was away"
      sound_server_back
      record_start "$work/back.raw"
      t0=$(rec_now)
      heard_within 2000 "the sound server came back"
      heard_between "$(calc "$heard + 0.5")" "$(calc "$heard + 2.5")" 90
      if [[ $kind == 1 ]]; then
        f=$(tone_at "$(calc "$heard + 0.5")" 1)
        echo "rough frequency after the return: $f Hz"
        (( f * 10 > tones[1] * 9 && f * 10 < tones[1] * 11 )) || fail "not track 2's tone after the return: $f Hz"
      fi
      music_stop
    done
    ;;

  music_wav)  # x11:sound wine:sound
    # A 1 s tone, lower-case ending, loops without gaps.
    make_wav "$work/loop tone.wav" 1 660
    music_loops "$work/loop tone.wav" 1.5 4.5 90
    ;;

  music_other_ending)  # x11:sound wine:sound
    # Only the ending chooses the player: a playable WAV named .ogg plays nothing.
    make_wav "$work/tone.ogg" 1 660
    silent_run 2 0 "$work/tone.ogg"
    ;;

  music_no_cd)  # x11:sound wine:sound
    no_cd
    silent_run 1 0 ""
    ;;

  music_cd)  # x11:sound
    # Three tracks of 3 s with a tone each; track 2 repeats: its tone keeps sounding.
    tones=(300 700 1500)
    make_disc "$work/disc.cue" "${tones[@]}"
    export VELORAN_CD_DEVICE=$work/disc.cue
    music_run 1 2 ""
    heard_within "$sound_limit_ms"
    listen_until "$(calc "$heard + 10.5")"
    counts=(0 0 0 0) late=0 line=""
    for i in $(seq 0 19); do
      f=$(tone_at "$(calc "$heard + 0.25 + $i * 0.5")" 0.5)
      k=0
      for n in 1 2 3; do
        (( f * 10 > tones[n - 1] * 9 && f * 10 < tones[n - 1] * 11 )) && k=$n
      done
      counts[k]=$((counts[k] + 1))
      (( i >= 14 && k == 2 )) && late=$((late + 1))
      line+=" $f"
    done
    echo "rough frequency (Hz) per 0.5 s:$line"
    echo "windows of track 1: ${counts[1]}, track 2: ${counts[2]}, track 3: ${counts[3]}, mixed or silent: ${counts[0]}"
    (( counts[2] >= 14 )) || fail "track 2's tone in only ${counts[2]} of 20 windows"
    (( counts[1] == 0 )) || fail "track 1's tone heard"
    (( late >= 4 )) || fail "track 2's tone in only $late of the last 6 windows"
    music_stop
    ;;

  music_sigterm)  # x11:sound
    # Ending the host by SIGTERM stops its music too; the renderer is left alone.
    make_wav "$work/loop tone.wav" 1 660
    music_run 2 0 "$work/loop tone.wav"
    heard_within "$sound_limit_ms"
    term=$(rec_now)
    kill -TERM "$host_pid"
    wait_for 10 process_gone "$host_pid" || fail "host still running 10 s after SIGTERM"
    quiet_after_end "$(rec_now)"
    echo "last sound $(last_sound "$term") s after SIGTERM"
    [[ -z $(pactl list short sink-inputs) ]] || fail "streams left on the sink: $(pactl list short sink-inputs)"
    renderer_up || fail "the renderer went with the host"
    xdotool mousemove 512 384 key Escape
    wait_for 30 renderer_down || fail "renderer window did not go on Esc"
    ;;

  dialog_look)  # x11 wine
    # /c: the window at its place, the shading, the panel, the buttons; a hover; the
    # guard; Cancel writes nothing.
    open_dialog
    read -r ox oy ow oh < <(dialog_outer)
    read -r sw sh < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
    echo "client $cx,$cy ${cw}x$ch, outer $ox,$oy ${ow}x$oh on ${sw}x$sh"
    [[ "$cw $ch" == "495 246" ]] || fail "client area ${cw}x$ch"
    (( ox - (sw - ow) / 2 <= 1 && (sw - ow) / 2 - ox <= 1 )) || fail "left $ox, expected $(( (sw - ow) / 2 ))"
    (( oy - (sh - oh) / 3 <= 1 && (sh - oh) / 3 - oy <= 1 )) || fail "top $oy, expected $(( (sh - oh) / 3 ))"
    shot look
    near look 2 0 0 0 30 6          # dark blue-black at the top
    near look 2 123 220 220 250 6   # light blue-grey in the middle
    near look 2 245 0 0 30 12       # dark again at the bottom
    read -r r g b < <(rgb look 212 21)
    (( r > 150 && r - g < 20 && g - r < 20 && g - b < 20 && b - g < 20 )) || fail "panel not metal grey: $r $g $b"
    near look "${set_frame[@]}" 0 60 116 12   # the Normal picture's frame
    read -r r1 _ < <(rgb look "${set_top[@]}")
    read -r r2 _ < <(rgb look "${set_bottom[@]}")
    (( r1 > 230 && r2 < r1 - 20 )) || fail "no white to lavender gradient: red $r1 above, $r2 below"
    near look "${file_frame[@]}" 201 199 186 12  # "..." disabled: the Disable picture's frame
    # Hovering: the ring turns warm; leaving brings the Normal look back.
    point "${set_at[@]}"
    sleep 0.2
    shot hover
    read -r r g b < <(rgb hover "${set_ring[@]}")
    (( r > b + 30 )) || fail "no hover look: ring $r $g $b"
    point 2 2
    sleep 0.3
    shot left
    [[ $(rgb left "${set_ring[@]}") == $(rgb look "${set_ring[@]}") ]] || fail "hover look stayed"
    # A second start, for any mode, ends at once while the dialog is open.
    start=$(now_ms)
    scr /s
    (( $(now_ms) - start < 15000 )) && renderer_down || fail "a saver run started beside the dialog"
    end_dialog "${cancel_at[@]}"
    [[ ! -e $ini ]] || fail "Cancel wrote the settings file"
    ;;

  dialog_choose_and_set)  # x11 wine
    # Any button on a mark selects it; the file row enables "..."; the chooser lists
    # an ending in mixed case; the chosen file and Set write the three keys. A long
    # path without blanks fills the label's second line.
    write_settings "$dir" 0 0 ""
    mkdir -p "$work/songs"
    song=$work/songs/tune_whose_name_has_no_blank_and_runs_past_the_line.Mp3
    make_mp3 "$song" 1 440
    open_dialog
    shot before
    click "${cd_mark_at[@]}" 3
    shot cd
    [[ $(rgb cd "${cd_mark_at[@]}") != $(rgb before "${cd_mark_at[@]}") ]] || fail "right button did not select the CD mark"
    click "${file_kind_at[@]}"
    shot file_kind
    near file_kind "${file_frame[@]}" 0 60 116 12  # "..." enabled
    click "${file_at[@]}"
    choose_in_file_dialog "$song"
    sleep 0.3
    shot chosen
    # lbl_Fname, 84,132 381x33: the text's second line below its first.
    dark=$(convert "$work/chosen.png" -crop 381x13+$((cx + 84))+$((cy + 150)) -colorspace gray \
      -format '%[fx:int(255*minima)]' info:)
    (( dark < 80 )) || fail "the long path has no second line (darkest grey $dark)"
    end_dialog "${set_at[@]}"
    # The host hands " 2" and " 0" to the profile writer, which drops blanks before a value.
    write_music_settings "$work/expected.ini" 2 0 "$(host_path "$song")"
    cmp "$ini" "$work/expected.ini" || fail "settings file: $(od -c "$ini" | head -20)"
    ;;

  dialog_cancel_keeps_file)  # x11 wine
    write_settings "$dir" 1 3 ""
    cp "$ini" "$work/before.ini"
    mkdir -p "$work/songs"
    make_mp3 "$work/songs/other.mp3" 1 440
    open_dialog
    click "${file_kind_at[@]}"
    click "${file_at[@]}"
    choose_in_file_dialog "$work/songs/other.mp3"
    end_dialog "${cancel_at[@]}"
    cmp "$ini" "$work/before.ini" || fail "Cancel changed the settings file"
    ;;

  dialog_address_and_close)  # x11 wine
    # The address label: the hand over it, the address to the desktop's opener on a
    # click (a missing opener changes nothing). Esc leaves the dialog open; the close
    # box closes it, writes nothing and leaves nothing on the screen.
    mkdir -p "$work/tools" "$work/empty"
    printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s"\n' "$work/opened" >"$work/tools/xdg-open"
    chmod +x "$work/tools/xdg-open"
    for search_path in "$work/tools:$PATH" $(search_path_without_opener); do
      open_dialog "$search_path"
      point "${address_at[@]}"
      shape=$(pointer_shape)
      [[ -z $shape || $shape == "32 32 12 10" ]] || fail "pointer over the address: $shape"
      point "${panel_at[@]}"
      [[ -z $shape || $(pointer_shape) != "32 32 12 10" ]] || fail "the hand stayed over the panel"
      click "${address_at[@]}"
      still_open "the address"
      xdotool key Escape
      still_open "Esc"
      press_close_box
      host_ended "the close box"
    done
    wait_for 20 test -s "$work/opened" || fail "the address reached no opener"
    [[ $(cat "$work/opened") == "https://qorin.example/veloran/" ]] || fail "the opener got '$(cat "$work/opened")'"
    [[ ! -e $ini ]] || fail "the close box wrote the settings file"
    shot after
    [[ $(convert "$work/after.png" -format '%[fx:maxima.r+maxima.g+maxima.b]' info:) == 0 ]] ||
      fail "something is left on the screen after the dialog closed"
    ;;

  dialog_typed_track)  # x11 wine
    # What is typed into the track box is saved rounded, held to 16 bits, or 0.
    for pair in "3.5 4" "2.5 2" "abc 0" "99999 32767" "-7 -7"; do
      read -r typed expected <<<"$pair"
      write_music_settings "$ini" " 1" " 0" ""
      open_dialog
      click "${combo_at[@]}"
      xdotool key End BackSpace BackSpace BackSpace type -- "$typed"
      click "${set_at[@]}"
      host_ended "Set after typing $typed"
      [[ $(value_of "$ini" "$track_key") == "$expected" && $(value_of "$ini" "$kind_key") == 1 ]] ||
        fail "typed '$typed': $(od -c "$ini")"
      echo "typed $typed -> track $expected"
    done
    ;;

  dialog_keyboard)  # x11 wine
    # The keyboard alone, from "..." where the file kind opens: Shift+Tab reaches the
    # selected mark, Down goes round to the CD (the top mark), Tab passes the track box
    # and the now disabled "..." to Set, and Space on Set saves the CD and the track.
    make_mp3 "$work/tune.mp3" 1 440
    write_music_settings "$ini" " 2" " 3" "$(host_path "$work/tune.mp3")"
    open_dialog
    keyboard_to_dialog
    for key in shift+Tab Down Tab Tab space; do
      xdotool key "$key"
      sleep 0.3
    done
    host_ended "Space on Set"
    [[ $(value_of "$ini" "$kind_key") == 1 && $(value_of "$ini" "$track_key") == 3 ]] ||
      fail "after the keys: $(od -c "$ini" | head -20)"
    ;;

  dialog_cancel_rules)  # x11 wine
    # Press, drag off until the poll sees the pointer outside, back, release: no
    # Click. A right-button click then is one: Cancel closes, writing nothing.
    open_dialog
    point "${cancel_at[@]}"
    xdotool mousedown 1
    sleep 0.1
    point 250 240
    sleep 0.1
    point "${cancel_at[@]}"
    xdotool mouseup 1
    still_open "a release after dragging off and back"
    click "${cancel_at[@]}" 3
    host_ended "a right-button click on Cancel"
    [[ ! -e $ini ]] || fail "Cancel wrote the settings file"
    ;;

  dialog_set_fails)  # x11 wine
    # A folder stands where the settings file should be: Set says so, naming the
    # file, and the dialog stays; after OK, Cancel closes it, and nothing was written.
    mkdir -p "$ini"
    beside=$(ls -A "$(dirname "$ini")")
    open_dialog
    click "${cd_mark_at[@]}"
    click "${set_at[@]}"
    answer_message "Set" "設定を保存できませんでした。"$'\n'"$(host_path "$ini")"
    still_open "Set that could not write"
    end_dialog "${cancel_at[@]}"
    [[ -d $ini && -z $(ls -A "$ini") ]] || fail "something was written into $ini: $(ls -A "$ini")"
    [[ $(ls -A "$(dirname "$ini")") == "$beside" ]] || fail "files left beside it: $(ls -A "$(dirname "$ini")")"
    ;;

  *) fail "unknown case" ;;
esac
echo "PASS: $driver/$case_name"
