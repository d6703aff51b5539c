# Wine words for scenarios.sh (sourced), inside scripts/with-wine-env: the Windows
# Veloran.dll under Wine, and a Windows tool beside it (PROBE, probe.exe) that finds
# windows by title as the host does, posts them messages and reports the display mode.

probe() { wine "$PROBE" "$@" | tr -d '\r'; }  # it writes Windows line ends

driver_setup() {
  [[ -n ${VELORAN_WINE_ENV:-} ]] || { echo "run me inside scripts/with-wine-env" >&2; exit 2; }
  qorin=$WINEPREFIX/drive_c/qorin
  rm -rf "$qorin"
  probe gone Veloran_VC 3000 >/dev/null || fail "a renderer window is left from before"
}

start_renderer() {
  wine "$RENDERER" >"$out/renderer.log" 2>&1 &
  renderer_pid=$!
}

window_count() { probe count Veloran_VC; }
screen_size() { probe display | awk '/^display / { print $2 }'; }
send_close() { probe post Veloran_VC close >/dev/null; }
post_syscommand() { probe post Veloran_VC syscommand "$1" | grep -q '^posted' || fail "cannot post $1"; }

# A pop-up (WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN) of its own class.
window_covers() {
  local found
  found=$(probe find Veloran_VC 10000)
  [[ $found == "found class=Veloran_VC rect=$1,$2,$(($1 + $3)),$(($2 + $4)) style=0x96000000 exstyle=0x00000000 visible=1 "* ]] ||
    { echo "$found" >&2; return 1; }
}

message_box_up() { probe find Error 0 >/dev/null; }

message_box_shows() {
  dialog=$(probe dialog Error 60000) || fail "no message box titled Error"
  grep -qx 'owner=Veloran_VC' <<<"$dialog" || fail "message box not owned by the renderer: $dialog"
  grep -qxF "text=$1" <<<"$dialog" || fail "message box text: $dialog"
  [[ $(grep -c '^button=' <<<"$dialog") == 1 ]] && grep -q '^button=OK ' <<<"$dialog" ||
    fail "message box buttons: $dialog"
}

dismiss_message_box() {
  if [[ $1 == click ]]; then
    local l t r b
    IFS=, read -r l t r b < <(sed -n 's/^button=OK rect=//p' <<<"$dialog")
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
  else
    pointer_over
    xdotool key Return
  fi
}

# A second message would be up by now: the renderer goes on only once a box is gone.
one_message_shown() {
  message_box_gone || fail "a second message box"
  no_output
}
