# What a listener hears: records the private PulseAudio null sink's monitor
# (VELORAN_PULSE_SINK, started by scripts/with-wine-env or scripts/with-xvfb --pulse)
# and measures the recording with sox. Sourced after tests/support/e2e_common.sh.
#
# Times are seconds on the recording's own clock: rec_now is how much has been
# recorded so far, so a moment noted with rec_now can be found in the recording.

rec_rate=44100
rec_bytes_per_s=$((rec_rate * 4))  # 16-bit stereo
loud_rms=0.05                      # a window above this RMS is sound
loud_window=0.05                   # seconds per window

# record_start FILE: records until the case ends; returns once samples arrive.
record_start() {
  rec_file=$1
  [[ -n ${VELORAN_PULSE_SINK:-} ]] || fail "no private sound server (VELORAN_PULSE_SINK unset)"
  parec -d "$VELORAN_PULSE_SINK.monitor" --raw --format=s16le --rate=$rec_rate --channels=2 \
    --latency-msec=20 >"$rec_file" &
  pids+=("$!")
  wait_for 20 test -s "$rec_file" || fail "the sink's monitor records nothing"
}

# calc EXPR: awk's value of EXPR, to three decimals at most.
calc() { awk "BEGIN { v = $1; print (v == int(v) ? v : sprintf(\"%.3f\", v)) }"; }
rec_now() { awk -v b="$(stat -c %s "$rec_file")" -v r=$rec_bytes_per_s 'BEGIN { printf "%.3f", b / r }'; }
rec_reached() { awk -v n="$(rec_now)" -v t="$1" 'BEGIN { exit !(n + 0 >= t + 0) }'; }
# listen_until T: waits until the recording reaches T.
listen_until() { wait_for 60 rec_reached "$1" || fail "the recording stalled before ${1} s"; }

# loudness: "start rms" for every window of the recording (left channel).
loudness() {
  sox -t raw -r $rec_rate -e signed -b 16 -c 2 "$rec_file" -t dat -r 11025 - remix 1 2>/dev/null |
    awk -v w=$loud_window '/^;/ { next } { i = int(n / (11025 * w)); n++; s[i] += $2 * $2; c[i]++ }
         END { for (j = 0; j in c; j++) printf "%.3f %.4f\n", j * w, sqrt(s[j] / c[j]) }'
}

# first_sound FROM: seconds from FROM to the first loud window, or "none".
first_sound() {
  loudness | awk -v from="$1" -v l=$loud_rms -v w=$loud_window 'BEGIN { from += 0; l += 0 }
    !f && $1 >= from - w / 2 && $2 > l { printf "%.3f", $1 - from; f = 1 } END { if (!f) print "none" }'
}
# last_sound FROM: seconds from FROM to the end of the last loud window after it, or "none".
last_sound() {
  loudness | awk -v from="$1" -v l=$loud_rms -v w=$loud_window 'BEGIN { from += 0; l += 0 }
    $1 >= from && $2 > l { last = $1 + w - from } END { if (last == "") print "none"; else printf "%.2f", last }'
}
# sound_share FROM TO: percentage of the windows between FROM and TO that are loud.
sound_share() {
  loudness | awk -v a="$1" -v b="$2" -v l=$loud_rms -v w=$loud_window 'BEGIN { a += 0; b += 0; l += 0 }
    $1 >= a && $1 + w <= b { n++; if ($2 > l) k++ } END { printf "%d", n ? 100 * k / n : 0 }'
}
# peak_rms FROM TO: the loudest window's RMS between FROM and TO.
peak_rms() {
  loudness | awk -v a="$1" -v b="$2" -v w=$loud_window 'BEGIN { a += 0; b += 0 }
    $1 >= a && $1 + w <= b && $2 > m { m = $2 } END { printf "%.4f", m }'
}
# tone_at FROM LENGTH: sox's rough frequency (Hz) of that stretch, 0 when silent.
tone_at() {
  sox -t raw -r $rec_rate -e signed -b 16 -c 2 "$rec_file" -n remix 1 trim "$1" "$2" stat 2>&1 |
    awk '/RMS +amplitude/ { rms = $3 } /Rough +frequency/ { f = $3 }
         END { printf "%d", (rms > 0.05 ? f : 0) }'
}

# sound_server_away: ends the private sound server, as when it crashes or restarts.
sound_server_away() {
  kill "$VELORAN_PULSE_PID"
  wait_for 10 process_gone "$VELORAN_PULSE_PID" || fail "the sound server did not end"
}
# sound_server_back: starts it again on the same socket with the same sink; the case
# ends it.
sound_server_back() {
  . "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/pulse-sink.sh"
  HOME=$VELORAN_PULSE_DIR XDG_RUNTIME_DIR=$VELORAN_PULSE_DIR start_pulse_sink "$VELORAN_PULSE_DIR" "$VELORAN_PULSE_SINK" ||
    fail "the sound server did not start again"
  pids+=("$pulse_pid")
}

# write_music_settings INI KIND TRACK PATH: the host's settings file with this music
# (section "Section", the keys in code page 932, CR LF); PATH as the host spells it.
write_music_settings() {
  mkdir -p "$(dirname "$1")"
  printf '[Section]\r\nBGM\x8B\xE6\x95\xAA=%s\r\nBGM\xD8\xCB\xDF\xB0\xC4=%s\r\nBGM\xCC\xA7\xB2\xD9=%s\r\n' \
    "$2" "$3" "$4" >"$1"
}

# Media made on the spot: a sine tone at half scale, 44.1 kHz stereo.
make_wav() { sox -n -r $rec_rate -c 2 -b 16 -t wav "$1" synth "$2" sine "$3" vol 0.5; }  # FILE SECONDS HZ
make_mp3() { make_wav - "$2" "$3" 2>/dev/null | lame --quiet -b 128 - "$1"; }  # FILE SECONDS HZ
# make_disc [-s SECONDS] CUE HZ...: an audio CD image, one track per tone, 3 s each
# unless told (<cue>.bin beside it, the samples little-endian as a BINARY file holds them).
make_disc() {
  local len=3
  [[ $1 == -s ]] && { len=$2; shift 2; }
  local cue=$1 bin=${1%.cue}.bin n=0 hz at; shift
  : >"$bin"
  printf 'FILE "%s" BINARY\r\n' "$(basename "$bin")" >"$cue"
  for hz in "$@"; do
    n=$((n + 1))
    at=$(( (n - 1) * len ))
    sox -n -r $rec_rate -c 2 -b 16 -e signed -L -t raw - synth "$len" sine "$hz" vol 0.5 >>"$bin"
    printf '  TRACK %02d AUDIO\r\n    INDEX 01 %02d:%02d:00\r\n' "$n" $((at / 60)) $((at % 60)) >>"$cue"
  done
}
