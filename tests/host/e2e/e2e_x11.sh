# Driver of the host's end-to-end cases on Linux/X11 (sourced by e2e.sh): the programs
# run natively on a private Xvfb; the probe opens foreign windows, xdotool finds them.
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config HOME=$work/home
mkdir -p "$HOME"
qorin=$XDG_DATA_HOME/veloran/drives/c/qorin
follow_limit_ms=1500  # the watch ticks every 500 ms; the rest is slack for a loaded machine
preview_forms=("/p %d" "/p:%d" "/p 0x%x")
guard_probe_kinds="hidden framed"

driver_cleanup() { :; }

# The host starts with standard input, output and error only, as from a desktop; so
# whatever else its renderer holds was opened by the host.
scr_bg() {
  local dir=$1; shift
  (
    for fd in /proc/$BASHPID/fd/*; do
      fd=${fd##*/}
      ((fd > 2)) && eval "exec $fd>&-"
    done
    exec "$dir/Veloran.scr" "$@" 2>>"$work/err"
  ) &
  pid=$!
  pids+=("$pid")
}
scr() { "$bin/Veloran.scr" "$@" 2>>"$work/err"; }

window_exists() { xdotool search --name "^$1\$" >/dev/null 2>&1; }
renderer_up() { window_exists Veloran_VC; }

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

# The message box stays until it is answered; its text also goes to standard error,
# as lines of their own.
answer_message() {
  local text=${2:-'Veloran.dll が同じﾌｫﾙﾀﾞに見つかりません！'}
  wait_for 20 window_exists Veloran || fail "no message box for '$1'"
  [[ $'\n'$(cat "$work/err")$'\n' == *$'\n'"$text"$'\n'* ]] || fail "wrong message for '$1': $(cat "$work/err")"
  kill -0 "$pid" 2>/dev/null || fail "host did not wait for the message box ('$1')"
  local win
  win=$(xdotool search --name '^Veloran$' | head -1)
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) key Return
  : >"$work/err"
}

# The form is a 300x200 child of the probe window; the picture is drawn at its
# top-left and the rest is the form's black.
preview_shown() {
  child_up() { xwininfo -children -id "$probe_id" | grep -q '"Preview Window": ()  300x200+0+0'; }
  wait_for 20 child_up || fail "no 300x200 preview child inside the window ($1): $(xwininfo -children -id "$probe_id")"
  local shot=$work/shot.png corner bright
  for _ in $(seq 1 40); do
    if import -window "$probe_id" "$shot" 2>/dev/null; then
      corner=$(pixel "$shot" 250 170)
      bright=$(convert "$shot" -crop 152x112+0+0 -format '%[fx:int(1000*mean)]' info:)
      [[ $corner == "0 0 0" ]] && (( bright > 20 )) && return 0
    fi
    sleep 0.1
  done
  fail "preview picture not shown ($1): corner $corner, picture mean $bright/1000"
}

quiet() { [[ ! -s $work/err ]] || fail "$1 wrote '$(cat "$work/err")'"; }
private_drive() { [[ $(stat -c %a "$(dirname "$qorin")") == 700 ]]; }
standin_fds() { echo "$work/fds"; }

# Music: the settings are the user's ($XDG_CONFIG_HOME), the paths are plain paths
# and the CD image is named by VELORAN_CD_DEVICE. The first sound's bound only tells
# "starts with the run" from "late or never" on a loaded machine (how soon it comes is
# measured by scripts/bench music); programs built with the sanitizers start several
# times slower and get more (VELORAN_SOUND_LIMIT_MS).
sound_limit_ms=${VELORAN_SOUND_LIMIT_MS:-5000}
music_bin() { echo "$bin"; }
settings_file() { echo "$XDG_CONFIG_HOME/veloran/Veloran.ini"; }
host_path() { echo "$1"; }
no_cd() { export VELORAN_CD_DEVICE=$work/no-such-disc.cue; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }  # user + system time of PID

# --- The settings dialog ---
dialog_window() { xdotool search --onlyvisible --name '^<Veloran>$' 2>/dev/null | head -1; }
geometry_of() {  # geometry_of WINDOW -> "X Y W H" in root pixels
  xwininfo -id "$1" 2>/dev/null | awk '
    /Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
    /^  Width:/ { w = $NF } /^  Height:/ { h = $NF }
    END { if (w == "") exit 1; print x, y, w, h }'
}
dialog_client() {
  local win
  win=$(dialog_window)
  [[ -n $win ]] || return 1
  geometry_of "$win"
}
# A window manager's frame is the root's child that holds the window.
dialog_outer() {
  local win root parent
  win=$(dialog_window)
  [[ -n $win ]] || return 1
  root=$(xwininfo -root | awk '/Window id:/ { print $4 }')
  for _ in 1 2 3 4 5 6 7 8; do
    parent=$(xwininfo -children -id "$win" 2>/dev/null | awk '/Parent window id:/ { print $4 }')
    [[ -z $parent || $((parent)) == $((root)) ]] && break
    win=$parent
  done
  geometry_of "$win"
}
# The system's chooser (GTK): the location field opens the file's folder, and the
# file is picked by its name from the list (the list's search), so only a file the
# chooser lists can be chosen.
file_chooser() { xdotool search --onlyvisible --name '^ﾌｧｲﾙを開く$' 2>/dev/null; }
no_file_chooser() { ! file_chooser; }
choose_in_file_dialog() {
  local chooser
  wait_for 20 file_chooser || fail "no open-file dialog"
  chooser=$(file_chooser | head -1)
  sleep 0.5  # the chooser fills its list before it takes keys
  # With no window manager it may open under the dialog, and the keys go where the
  # pointer is.
  xdotool windowraise "$chooser"
  read -r gx gy gw gh < <(geometry_of "$chooser")
  xdotool mousemove $((gx + gw / 2)) $((gy + gh / 2))
  sleep 0.2
  xdotool key --clearmodifiers ctrl+l
  sleep 0.5
  # The field may come with a completion in it: cleared before, dropped after typing.
  xdotool key --clearmodifiers ctrl+a BackSpace
  sleep 0.2
  xdotool type --delay 20 "$(dirname "$1")/"
  sleep 0.5
  xdotool key Delete Return
  sleep 1
  xdotool mousemove $((gx + gw * 6 / 10)) $((gy + gh * 6 / 10)) click 1
  sleep 0.3
  xdotool key --clearmodifiers ctrl+f
  sleep 0.3
  xdotool type --delay 20 "$(basename "$1")"
  sleep 0.3
  xdotool key Return
  wait_for 20 no_file_chooser || fail "the open-file dialog is still open: $(basename "$1") not listed?"
}
press_close_box() { "$probe" close '<Veloran>' || fail "no dialog window to close"; }
# Xvfb has no window manager to give a mapped window the keyboard focus.
keyboard_to_dialog() { xdotool windowfocus --sync "$(dialog_window)" || fail "the dialog took no keyboard focus"; }
pointer_shape() { "$probe" cursor; }
search_path_without_opener() { mkdir -p "$work/empty" && echo "$work/empty"; }
