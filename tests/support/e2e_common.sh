# Helpers shared by the end-to-end test scripts (sourced, not run).
# Every wait polls with a limit, so a loaded machine only makes a test slower.

fail() { echo "FAIL: $*" >&2; exit 1; }
now_ms() { date +%s%3N; }

# wait_for SECONDS COMMAND...: polls until COMMAND succeeds; false on timeout.
wait_for() {
  local limit=$(( $(now_ms) + $1 * 1000 )); shift
  until "$@" >/dev/null 2>&1; do
    (( $(now_ms) < limit )) || return 1
    sleep 0.05
  done
}

process_gone() { ! kill -0 "$1" 2>/dev/null; }

# exit_code PID SECONDS: waits for a background program; its exit code goes to rc
# ("timeout" when it is still running).
exit_code() {
  rc=timeout
  wait_for "$2" process_gone "$1" || return 0
  wait "$1"; rc=$?
}
# ends_with_0 PID SECONDS WHAT: the background program ends that soon, with exit code 0.
ends_with_0() {
  exit_code "$1" "$2"
  [[ $rc == 0 ]] || fail "$3: exit code $rc"
}

# lonely_bin: a folder under $work with the host alone ($bin/Veloran.scr, no renderer).
lonely_bin() {
  mkdir -p "$work/lonely"
  cp "$bin/Veloran.scr" "$work/lonely/"
  echo "$work/lonely"
}
