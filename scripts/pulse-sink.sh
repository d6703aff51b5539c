# Sourced by the scripts that run programs headless (with-wine-env, with-xvfb):
# a private PulseAudio server with one null sink, so that programs can play sound
# and tests can record what they played from the sink's monitor.
#
#   start_pulse_sink DIR NAME   starts the server with its socket and log in DIR
#                               (made, mode 0700) and a null sink NAME; exports
#                               PULSE_SERVER, VELORAN_PULSE_SINK=NAME,
#                               VELORAN_PULSE_DIR=DIR and VELORAN_PULSE_PID, and
#                               sets pulse_pid. Without a server (it did not start) it
#                               warns and returns 1; programs then run without sound.
#   stop_pulse_sink             stops that server again.
#
# Record the sink with: parec -d "$VELORAN_PULSE_SINK.monitor" --raw --format=s16le
#   --rate=44100 --channels=2

pulse_pid=""

start_pulse_sink() {
  local dir=$1 name=$2
  mkdir -p "$dir"
  chmod 700 "$dir"
  rm -f "$dir/native"  # a socket left by a server that was killed
  # No default configuration (-n): the server reads nothing of the user's; it sees the
  # caller's HOME and XDG_RUNTIME_DIR, which the caller makes private.
  pulseaudio -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 --disallow-exit \
    --disable-shm=yes --log-target=stderr \
    -L "module-null-sink sink_name=$name" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$dir/native" \
    8>&- 9>&- </dev/null >/dev/null 2>"$dir/pulse.log" &
  pulse_pid=$!
  export PULSE_SERVER=unix:$dir/native VELORAN_PULSE_SINK=$name VELORAN_PULSE_DIR=$dir VELORAN_PULSE_PID=$pulse_pid
  local _
  for _ in $(seq 1 100); do
    [[ -S $dir/native ]] && return 0
    kill -0 "$pulse_pid" 2>/dev/null || break
    sleep 0.05
  done
  echo "PulseAudio did not start; running without sound: $(tail -2 "$dir/pulse.log")" >&2
  return 1
}

stop_pulse_sink() {
  [[ -n $pulse_pid ]] || return 0
  kill "$pulse_pid" 2>/dev/null || true
  wait "$pulse_pid" 2>/dev/null || true
  pulse_pid=""
}
