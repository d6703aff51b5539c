# Driver of the host's end-to-end cases under Wine (sourced by e2e.sh, inside
# scripts/with-wine-env): probe.exe finds windows of every Wine process, hidden
# ones too, and opens foreign windows; shown windows are X windows for xdotool.
qorin=$WINEPREFIX/drive_c/qorin
rm -rf "$qorin"
follow_limit_ms=2000  # a Wine program's start adds to the 500 ms watch
preview_forms=("/p %d" "/p:%d")
guard_probe_kinds="hidden"

driver_cleanup() {
  touch "$work"/stop-* 2>/dev/null
  # A case that failed mid-run leaves Wine programs behind, holding the test's
  # output open: end every process of the prefix.
  if { [[ -n ${host_pid:-} ]] && kill -0 "$host_pid" 2>/dev/null; } || renderer_up; then
    wineserver -k
  fi
}

scr_bg() {
  local dir=$1; shift
  wine "$dir/Veloran.scr" "$@" &
  pid=$!
  pids+=("$pid")
}
scr() { wine "$bin/Veloran.scr" "$@"; }

window_exists() { wine "$probe" find "$1" 0 >/dev/null; }
renderer_up() { xdotool search --name '^Veloran_VC$' >/dev/null 2>&1; }
win_path() { local p="Z:$1"; echo "${p//\//\\}"; }

probe_count=0
open_probe() {
  probe_count=$((probe_count + 1))
  probe_stop=$work/stop-$probe_count
  local out=$work/probe-$probe_count.out
  wine "$probe" window "$1" "$2" "$3" "$(win_path "$probe_stop")" "${4:-}" >"$out" &
  probe_pid=$!
  pids+=("$probe_pid")
  wait_for 30 test -s "$out" || fail "probe window did not open"
  probe_id=$(head -1 "$out" | tr -d '\r')
}
close_probe() {
  touch "$probe_stop"
  wait_for 20 process_gone "$probe_pid" || fail "probe did not end"
}

# The text as the message box holds it: code page 932 bytes.
answer_message() {
  local expected=56656C6F72616E2E646C6C2082AA93AF82B6CCABD9C0DE82C98CA982C282A982E882DC82B982F18149 text
  [[ -n ${2:-} ]] && expected=$(printf '%s' "$2" | iconv -f UTF-8 -t CP932 | od -An -v -tx1 | tr -d ' \n' | tr a-f A-F)
  text=$(wine "$probe" message 30000 | tr -d '\r') || fail "no message box for '$1'"
  [[ $text == "$expected" ]] || fail "wrong message bytes for '$1': $text"
}

# Wine does not put the painting of a child window that lives in another process on
# the screen, so the picture itself is checked on X11; here the form's place and size.
preview_shown() {
  child_up() { wine "$probe" children "$probe_id" | tr -d '\r' | grep -qx 'Preview Window 300x200'; }
  wait_for 30 child_up || fail "no 300x200 preview child ($1): $(wine "$probe" children "$probe_id")"
}

quiet() { :; }  # a Windows program has no standard error to look at
private_drive() { :; }
standin_fds() { :; }

# Music: the settings file lies beside the host, so the music cases run a copy of
# both programs; paths are Windows paths on drive Z:, and the prefix has no CD drive.
sound_limit_ms=5000  # "starts with the run" on a loaded machine; scripts/bench music measures how soon
music_bin() {
  mkdir -p "$work/bin"
  cp "$bin/Veloran.scr" "$bin/Veloran.dll" "$work/bin/"
  echo "$work/bin"
}
settings_file() { echo "$1/Veloran.ini"; }
host_path() { win_path "$1"; }
no_cd() { :; }

# The settings dialog: its rectangles from Wine's own view (screen pixels are root
# pixels), and Wine's open-file dialog, checked for its title and file type, then
# given the file name and confirmed.
dialog_client() { local r; r=$(wine "$probe" client '<Veloran>') || return 1; echo "${r//$'\r'/}"; }
dialog_outer() { local r; r=$(wine "$probe" outer '<Veloran>') || return 1; echo "${r//$'\r'/}"; }
choose_in_file_dialog() {
  local out title filter
  out=$(wine "$probe" filedialog '<Veloran>' "$(win_path "$1")" 30000) ||
    fail "open-file dialog not found or not closed: ${out//$'\r'/ }"
  { read -r title; read -r filter; } <<<"${out//$'\r'/}"
  [[ $title == CCA7B2D982F08A4A82AD ]] || fail "open-file dialog title bytes $title"
  [[ $filter == 42474DCCA7B2D920284D50332057415629 ]] || fail "file type bytes $filter"
}
# The close box of Wine's own frame: the rightmost button of the caption bar.
press_close_box() {
  local ox oy ow oh
  read -r ox oy ow oh < <(dialog_outer)
  xdotool mousemove $((ox + ow - 12)) $((oy + 11)) click 1
}
# Wine hands its active window the X keyboard itself; a click on the bare panel makes
# sure the dialog is the active one.
keyboard_to_dialog() { click "${panel_at[@]}"; }
pointer_shape() { :; }  # the hand cursor is checked by the control's unit test
search_path_without_opener() { :; }  # wine itself needs the system's PATH
