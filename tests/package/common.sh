# shellcheck shell=bash
# Words shared by the package checks (sourced after here is set): a private work
# folder under /tmp that goes at the end with every program started, and the steps
# of running the saver and its settings dialog from a package's unpacked copy.
# shellcheck source=tests/support/e2e_common.sh
. "$here/../support/e2e_common.sh"

# A space in the path: the programs must not care where they are unpacked.
work=$(mktemp -d "/tmp/veloran package.XXXXXX")
pids=()
folder=""
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  declare -F remove_ours >/dev/null && remove_ours
  rm -rf "$work" ${folder:+"$folder"}
}
trap cleanup EXIT

renderer_up() { xdotool search --name '^Veloran_VC$' >/dev/null 2>&1; }
renderer_down() { ! renderer_up; }

start_host() {  # start_host COMMAND...: in the background, as $host
  "$@" &
  host=$!
  pids+=("$host")
}

# host_ends WHAT [SECONDS]: the host ends with 0 within SECONDS (20), after WHAT.
host_ends() {
  exit_code "$host" "${2:-20}"
  [[ $rc == 0 ]] || fail "host exit code $rc after $1"
}

# escape_ends LABEL: Esc ends the saver's renderer, then the host with 0.
escape_ends() {
  xdotool mousemove 512 384 key Escape
  wait_for 30 renderer_down || fail "$1: renderer window did not go on Esc"
  host_ends "Esc ($1)"
}

# click_dialog LEFT TOP X Y [X Y]...: clicks at these points of the settings dialog
# whose client area starts at LEFT, TOP (the last, Set or Cancel, ends it).
click_dialog() {
  local left=$1 top=$2
  shift 2
  sleep 1
  while (($# >= 2)); do
    xdotool mousemove $((left + $1)) $((top + $2)) sleep 0.3 click 1 sleep 0.3
    shift 2
  done
}
