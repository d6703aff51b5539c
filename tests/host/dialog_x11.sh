#!/usr/bin/env bash
# End-to-end cases of the settings dialog that only the Linux host has: the address
# label (xdg-open, the hand cursor), the close box and Esc, the typed track through
# the FLTK combo box, and the Cancel button's press, drag and release rules driven by
# the real pointer. On a private Xvfb (scripts/with-xvfb):
#   dialog_x11.sh CASE BIN_DIR PROBE
set -uo pipefail

case_name=$1
bin=$2
probe=$3
driver=x11
here=$(dirname "${BASH_SOURCE[0]}")
work=$(mktemp -d "/tmp/veloran-dialog-x11.XXXXXX")
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
. "$here/../e2e_common.sh"
fail() { echo "FAIL (x11/$case_name): $*" >&2; exit 1; }
. "$here/e2e_x11.sh"
. "$here/sound.sh"

# Client-area points of the controls (the layout's twips / 15).
cancel_at=(440 212) set_at=(356 212) address_at=(40 214) panel_at=(250 100) combo_at=(128 78)

open_dialog() {  # open_dialog [PATH for the host]
  PATH=${1:-$PATH} scr_bg "$bin" /c
  host_pid=$pid
  wait_for 60 dialog_client || fail "dialog did not appear"
  read -r cx cy cw ch < <(dialog_client)
  sleep 0.5
}
point() { xdotool mousemove $((cx + $1)) $((cy + $2)); sleep 0.2; }
click() { point "$1" "$2"; xdotool click "${3:-1}"; sleep 0.3; }
host_ended() {  # host_ended WHAT: the host is gone within 10 s, with 0
  wait_for 10 process_gone "$host_pid" || fail "$1: the host is still running"
  wait "$host_pid"
  local rc=$?
  [[ $rc == 0 ]] || fail "$1: host exit code $rc"
}
still_open() {  # still_open WHAT
  sleep 0.5
  kill -0 "$host_pid" 2>/dev/null && dialog_client >/dev/null || fail "$1 closed the dialog"
}
ini=$(settings_file)
value_of() {  # value_of KEY_BYTES: the stored value, blanks before it dropped
  LC_ALL=C sed -n "s/^BGM$1=[ ]*\(.*\)\r\$/\1/p" "$ini"
}
kind_key=$'\x8B\xE6\x95\xAA' track_key=$'\xD8\xCB\xDF\xB0\xC4' file_key=$'\xCC\xA7\xB2\xD9'

case "$case_name" in
  address_and_close)
    # The address label: the hand cursor over it, xdg-open with the address on a
    # click; a missing xdg-open changes nothing. Esc leaves the dialog open; the
    # close box closes it, writes nothing, and leaves no outline on the screen.
    mkdir -p "$work/tools" "$work/empty"
    printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s"\n' "$work/opened" >"$work/tools/xdg-open"
    chmod +x "$work/tools/xdg-open"
    for host_path in "$work/tools:$PATH" "$work/empty"; do
      open_dialog "$host_path"
      point "${address_at[@]}"
      [[ $("$probe" cursor) == "32 32 12 10" ]] || fail "pointer over the address: $("$probe" cursor)"
      point "${panel_at[@]}"
      [[ $("$probe" cursor) != "32 32 12 10" ]] || fail "the hand stayed over the panel"
      click "${address_at[@]}"
      still_open "the address"
      xdotool key Escape
      still_open "Esc"
      "$probe" close '<Veloran>' || fail "no window to close"
      host_ended "close box"
    done
    [[ $(cat "$work/opened" 2>/dev/null) == "https://qorin.example/veloran/" ]] ||
      fail "xdg-open got '$(cat "$work/opened" 2>/dev/null)'"
    [[ ! -e $ini ]] || fail "the close box wrote the settings file"
    import -window root "$work/after.png"
    [[ $(convert "$work/after.png" -format '%[fx:maxima.r+maxima.g+maxima.b]' info:) == 0 ]] ||
      fail "something is left on the screen after the dialog closed"
    ;;

  typed_track)
    # What is typed into the track box is saved rounded, held to 16 bits, or 0.
    for pair in "3.5 4" "2.5 2" "abc 0" "99999 32767"; do
      read -r typed expected <<<"$pair"
      write_music_settings "$ini" " 1" " 0" ""
      open_dialog
      click "${combo_at[@]}"
      xdotool key ctrl+a BackSpace type "$typed"
      click "${set_at[@]}"
      host_ended "Set after typing $typed"
      [[ $(value_of "$track_key") == "$expected" && $(value_of "$kind_key") == 1 ]] ||
        fail "typed '$typed': $(od -c "$ini")"
      echo "typed $typed -> track $expected"
    done
    ;;

  cancel_button_rules)
    # Press, drag off until the poll sees the pointer outside, back, release: no
    # Click. A right-button click then is a Click: Cancel closes.
    open_dialog
    point "${cancel_at[@]}"
    xdotool mousedown 1
    sleep 0.1
    point 250 240
    sleep 0.3
    point "${cancel_at[@]}"
    xdotool mouseup 1
    still_open "a release after dragging off and back"
    click "${cancel_at[@]}" 3
    host_ended "a right-button click on Cancel"
    [[ ! -e $ini ]] || fail "Cancel wrote the settings file"
    ;;

  *) fail "unknown case" ;;
esac
echo "PASS: x11/$case_name"
