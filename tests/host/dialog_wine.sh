#!/usr/bin/env bash
# End-to-end cases of the settings dialog that only the Windows host has, under Wine
# with the real pointer and keyboard: the address label (ShellExecuteA reaching the
# desktop's opener), Esc and the close box, typed tracks through the combo box, and
# the Cancel button's press, drag and release rules. Inside scripts/with-wine-env:
#   dialog_wine.sh CASE BIN_DIR PROBE
set -uo pipefail

case_name=$1
bin=$2
probe=$3
driver=wine
here=$(dirname "${BASH_SOURCE[0]}")
work=$(mktemp -d "/tmp/veloran-dialog-wine.XXXXXX")
pids=()
. "$here/../e2e_common.sh"
fail() { echo "FAIL (wine/$case_name): $*" >&2; exit 1; }
. "$here/e2e_wine.sh"
. "$here/sound.sh"
cleanup() {
  driver_cleanup
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Client-area points of the controls (the layout's twips / 15).
cancel_at=(440 212) set_at=(356 212) address_at=(40 214) combo_at=(128 78)

open_dialog() {  # open_dialog DIR [PATH for the host]
  PATH=${2:-$PATH} scr_bg "$1" /c
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
dir=$(music_bin)
ini=$(settings_file "$dir")
value_of() {  # value_of KEY_BYTES: the stored value, blanks before it dropped
  LC_ALL=C sed -n "s/^BGM$1=[ ]*\(.*\)\r\$/\1/p" "$ini"
}
kind_key=$'\x8B\xE6\x95\xAA' track_key=$'\xD8\xCB\xDF\xB0\xC4'

case "$case_name" in
  address_and_close)
    # The address label hands the address to the desktop's opener and leaves the
    # dialog open; so does Esc. The close box closes it and writes nothing.
    mkdir -p "$work/tools"
    printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s"\n' "$work/opened" >"$work/tools/xdg-open"
    chmod +x "$work/tools/xdg-open"
    open_dialog "$dir" "$work/tools:$PATH"
    click "${address_at[@]}"
    wait_for 20 test -s "$work/opened" || fail "the address reached no opener"
    [[ $(cat "$work/opened") == "https://qorin.example/veloran/" ]] || fail "the opener got '$(cat "$work/opened")'"
    still_open "the address"
    xdotool key Escape
    still_open "Esc"
    read -r ox oy ow oh < <(dialog_outer)
    xdotool mousemove $((ox + ow - 12)) $((oy + 11)) click 1
    host_ended "the close box"
    [[ ! -e $ini ]] || fail "the close box wrote the settings file"
    ;;

  typed_track)
    # What is typed into the track box is saved rounded, held to 16 bits, or 0.
    for pair in "3.5 4" "2.5 2" "abc 0" "99999 32767" "-7 -7"; do
      read -r typed expected <<<"$pair"
      write_music_settings "$ini" " 1" " 0" ""
      open_dialog "$dir"
      click "${combo_at[@]}"
      xdotool key End BackSpace BackSpace type -- "$typed"
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
    open_dialog "$dir"
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
echo "PASS: wine/$case_name"
