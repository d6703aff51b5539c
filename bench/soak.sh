#!/usr/bin/env bash
# The soak benchmark: long saver runs with music that restarts often, watched for
# growth. Not a fragment of the plain `scripts/bench` run; `scripts/bench --soak`
# calls it.
#
#   bench/soak.sh MINUTES [linux|windows] [mp3|wav|cd] [--parallel]
#
# Each scenario is one saver run of MINUTES on its own private Xvfb and sound server:
#   mp3  a 1 s MP3 on loop (the host restarts it about every 2 s);
#   wav  a 1 s WAV on loop;
#   cd   an audio CD image of three 4 s tracks, track 2 repeated (Linux only: the Wine
#        prefix has no CD drive).
# Linux runs the native programs (scripts/with-xvfb --pulse), Windows the Windows build
# under Wine (scripts/with-wine-env). By default every scenario of both platforms runs,
# one after another; --parallel runs the scenarios of a platform at once.
#
# Every SOAK_SAMPLE_SECONDS (30, at least 3) it samples the host's and the renderer's
# resident memory, threads, descriptors and CPU time from /proc (each sample the lowest
# memory and highest counts of 8 readings over 2 s). Samples taken in the first
# SOAK_WARMUP_SECONDS (60, at most a quarter of the run) are left out. At the end it
# records the sink's monitor for 6 s and measures it with sox. It prints per process:
# resident memory at start and end and its growth (least-squares slope, MB/h), threads
# and descriptors at start and end, CPU (% of a core), whether the music is heard, and
# PASS or FAIL against the targets: growth under 1 MB/h, threads and descriptors not
# growing, the host's CPU under 1 % of a core (Linux), the music heard at the end.
# The samples and logs stay in BUILD_DIR/soak/.
#
# BUILD_DIR: the Linux build (build/linux); VELORAN_WINDOWS_BUILD: the Windows build
# (build/windows).
set -uo pipefail
root=${ROOT:-$(cd "$(dirname "$0")/.." && pwd)}

if [[ ${1:-} != --inside ]]; then
  usage() { echo "usage: bench/soak.sh MINUTES [linux|windows] [mp3|wav|cd] [--parallel]" >&2; exit 2; }
  minutes="" platforms=() scenarios=() parallel=0
  for arg in "$@"; do
    case "$arg" in
      linux|windows) platforms+=("$arg") ;;
      mp3|wav|cd) scenarios+=("$arg") ;;
      --parallel) parallel=1 ;;
      *) [[ -z $minutes && $arg =~ ^[0-9]+([.][0-9]+)?$ ]] && minutes=$arg || usage ;;
    esac
  done
  [[ -n $minutes ]] || usage
  ((${#platforms[@]})) || platforms=(linux windows)
  ((${#scenarios[@]})) || scenarios=(mp3 wav cd)
  sample=${SOAK_SAMPLE_SECONDS:-30}
  run_s=$(awk -v m="$minutes" 'BEGIN { printf "%d", m * 60 }')
  warmup=${SOAK_WARMUP_SECONDS:-$(( run_s / 4 < 60 ? run_s / 4 : 60 ))}
  [[ $sample =~ ^[0-9]+$ ]] && (( sample >= 3 )) ||
    { echo "soak: SOAK_SAMPLE_SECONDS must be a whole number of at least 3 (a sample takes 2 s)" >&2; exit 2; }
  (( run_s >= 2 * sample && run_s > warmup + sample )) ||
    { echo "soak: a run of $run_s s is too short for samples every $sample s after $warmup s of warm-up" >&2; exit 2; }

  build=${BUILD_DIR:-$root/build/linux}
  win_build=${VELORAN_WINDOWS_BUILD:-$root/build/windows}
  runs=()
  for p in "${platforms[@]}"; do
    for s in "${scenarios[@]}"; do
      if [[ $p == windows && $s == cd ]]; then
        echo "soak: no cd scenario under Wine (its prefix has no CD drive)" >&2
        continue
      fi
      runs+=("$p-$s")
    done
  done
  ((${#runs[@]})) || exit 2

  set -e
  if [[ " ${platforms[*]} " == *" linux "* ]]; then
    [[ -e $build/CMakeCache.txt ]] || (cd "$root" && cmake --preset linux -B "$build" >/dev/null)
    cmake --build "$build" --target veloran_scr Veloran.dll >/dev/null
  fi
  if [[ " ${platforms[*]} " == *" windows "* ]]; then
    [[ -e $win_build/CMakeCache.txt ]] || (cd "$root" && cmake --preset windows -B "$win_build" >/dev/null)
    cmake --build "$win_build" --target veloran_scr Veloran.dll >/dev/null
  fi
  set +e
  out=$build/soak
  mkdir -p "$out"

  # Every run goes on in the background, so that an interrupt reaches its inner
  # script, which ends the programs; the wrapper then stops its Xvfb, sound server
  # and wineserver.
  declare -A wrapper=()
  interrupted=0
  stop_runs() {
    interrupted=1
    local r
    for r in "${!wrapper[@]}"; do
      [[ -s $out/$r.pid ]] && kill -TERM "$(cat "$out/$r.pid")" 2>/dev/null
    done
  }
  trap stop_runs INT TERM
  start() {  # start RUN
    local p=${1%%-*} s=${1#*-}
    rm -f "$out/$1".*
    if [[ $p == linux ]]; then
      "$root/scripts/with-xvfb" --size 1024x768 --pulse \
        bash "$0" --inside linux "$s" "$run_s" "$sample" "$warmup" "$build/bin" "$out/$1" \
        >"$out/$1.log" 2>&1 </dev/null &
    else
      "$root/scripts/with-wine-env" --root "$win_build/wine" --size 1024x768 \
        bash "$0" --inside windows "$s" "$run_s" "$sample" "$warmup" "$win_build/bin" "$out/$1" \
        >"$out/$1.log" 2>&1 </dev/null &
    fi
    wrapper[$1]=$!
  }
  finish() {  # finish RUN: waits for its wrapper, even through an interrupt
    while kill -0 "${wrapper[$1]}" 2>/dev/null; do wait "${wrapper[$1]}"; done
    wait "${wrapper[$1]}" 2>/dev/null
    if [[ ! -s $out/$1.result ]]; then
      echo "soak: $1 gave no result; the end of $out/$1.log:" >&2
      tail -5 "$out/$1.log" >&2
    fi
  }
  echo "soak: ${runs[*]}: $minutes min each, a sample every $sample s (the first $warmup s left out)" >&2
  if ((parallel)); then
    for p in "${platforms[@]}"; do
      group=()
      for r in "${runs[@]}"; do [[ $r == "$p"-* ]] && group+=("$r"); done
      for r in "${group[@]}"; do ((interrupted)) || start "$r"; done
      for r in "${group[@]}"; do [[ -n ${wrapper[$r]:-} ]] && finish "$r"; done
    done
  else
    for r in "${runs[@]}"; do
      ((interrupted)) && break
      echo "soak: $r ($(date +%H:%M:%S))" >&2
      start "$r"
      finish "$r"
    done
  fi

  ((interrupted)) && echo "soak: interrupted" >&2
  echo "== Soak: $minutes min per run, a sample every $sample s, the first $warmup s left out"
  printf '%-8s %-4s %-8s %15s %9s %9s %9s %7s %6s %s\n' \
    platform run process "RSS MB start/end" "MB/h" threads fds "CPU %" heard result
  status=0
  for r in "${runs[@]}"; do
    [[ -s $out/$r.result ]] || { printf '%-8s %-4s no result (see %s)\n' "${r%%-*}" "${r#*-}" "$out/$r.log"; status=1; continue; }
    while read -r p s proc alive rss0 rss1 slope thr0 thr1 thr_ok fds0 fds1 fds_ok cpu share; do
      why=()
      [[ $alive == yes ]] || why+=("ended")
      awk -v g="$slope" 'BEGIN { exit !(g < 1.0) }' || why+=("growth")
      [[ $thr_ok == yes ]] || why+=("threads")
      [[ $fds_ok == yes ]] || why+=("fds")
      heard=-
      if [[ $proc == host ]]; then
        [[ $p == windows ]] || awk -v c="$cpu" 'BEGIN { exit !(c < 1.0) }' || why+=("cpu")
        if [[ $share -ge 20 ]]; then heard="yes"; else heard="no"; why+=("silent"); fi
        heard+=" $share%"
      fi
      verdict=PASS
      ((${#why[@]})) && { verdict="FAIL ($(IFS=,; echo "${why[*]}"))"; status=1; }
      printf '%-8s %-4s %-8s %15s %9s %9s %9s %7s %6s %s\n' "$p" "$s" "$proc" "$rss0/$rss1" "$slope" \
        "$thr0/$thr1" "$fds0/$fds1" "$cpu" "$heard" "$verdict"
    done <"$out/$r.result"
  done
  echo "targets: growth under 1 MB/h, threads and descriptors not growing, host CPU under 1 % of"
  echo "a core on Linux (Wine's figure for information), music heard in 20 % of the last 6 s;"
  echo "samples and logs in $out/"
  ((interrupted)) && exit 130
  exit $status
fi

# --- inside the environment ----------------------------------------------------------
# bench/soak.sh --inside linux|windows SCENARIO RUN_S SAMPLE_S WARMUP_S BIN_DIR OUT
platform=$2 scenario=$3 run_s=$4 sample=$5 warmup=$6 bin=$7 out=$8
. "$root/tests/support/e2e_common.sh"
. "$root/tests/host/e2e/sound.sh"
echo $$ >"$out.pid"
work=$(mktemp -d "/tmp/veloran-soak.XXXXXX")
tag=$(basename "$work")
pids=() rec_pid="" sleeper=""
cleanup() {
  trap - EXIT
  [[ -n $rec_pid ]] && record_stop
  [[ -n $sleeper ]] && kill "$sleeper" 2>/dev/null
  for p in "${pids[@]}" ${host:-} ${renderer:-}; do kill -KILL "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work" "$out.pid"
}
trap cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

# The music: made on the spot, named in the host's settings.
case $scenario in
  mp3) media=$work/tone.mp3; make_mp3 "$media" 1 440; kind=2 track=0 ;;
  wav) media=$work/tone.wav; make_wav "$media" 1 660; kind=2 track=0 ;;
  cd)  media=""; make_disc -s 4 "$work/disc.cue" 300 700 1500; kind=1 track=2
       export VELORAN_CD_DEVICE=$work/disc.cue ;;
esac
if [[ $platform == linux ]]; then
  export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data HOME=$work/home
  mkdir -p "$HOME"
  write_music_settings "$XDG_CONFIG_HOME/veloran/Veloran.ini" "$kind" "$track" "$media"
  # As from a desktop: standard input, output and error only.
  (
    for fd in /proc/$BASHPID/fd/*; do
      fd=${fd##*/}
      ((fd > 2)) && eval "exec $fd>&-"
    done
    exec "$bin/Veloran.scr" /s 2>>"$out.stderr" </dev/null
  ) &
  host=$!
else
  # The settings file lies beside the host: a copy of both programs in the work folder,
  # whose name then marks their Wine processes.
  mkdir -p "$work/bin"
  cp "$bin/Veloran.scr" "$bin/Veloran.dll" "$work/bin/"
  path="Z:$media"
  write_music_settings "$work/bin/Veloran.ini" "$kind" "$track" "${path//\//\\}"
  wine "$work/bin/Veloran.scr" /s </dev/null &
  pids+=("$!")
  host=""
fi
renderer=""

# find_program NAME: the pid of our process running Veloran.scr or Veloran.dll (Wine
# renames its processes after the Windows program; the work folder is in the command line).
find_program() {
  local d
  for d in /proc/[0-9]*; do
    [[ $(cat "$d/comm" 2>/dev/null) == "$1" ]] || continue
    if [[ $platform == linux ]]; then
      [[ $1 == Veloran.dll && $(awk '/^PPid:/ { print $2 }' "$d/status" 2>/dev/null) == "$host" ]] ||
        continue
    else
      tr '\0' ' ' <"$d/cmdline" 2>/dev/null | grep -qF "$tag" || continue
    fi
    echo "${d#/proc/}"
    return 0
  done
  return 1
}
renderer_up() { xdotool search --name '^Veloran_VC$' >/dev/null 2>&1; }
wait_for 60 renderer_up || fail "the renderer's window did not appear"
[[ -n $host ]] || host=$(find_program Veloran.scr) || fail "no host process"
renderer=$(find_program Veloran.dll) || fail "no renderer process"
echo "$platform $scenario: host $host, renderer $renderer, work folder $work"

# read_proc PID: sets rss (kB), thr, fds and ticks (utime + stime) from /proc without
# starting a program; rss is empty once the process is gone. Each file is read whole in
# one pass: a line-by-line read seeks back after each line, and /proc then makes the
# file anew, its lines shifted.
shopt -s nullglob
read_proc() {
  local status="" stat="" fields
  rss="" thr="" fds=0 ticks=0
  { read -r -d '' status <"/proc/$1/status"; read -r -d '' stat <"/proc/$1/stat"; } 2>/dev/null
  [[ $status == *VmRSS:* && $status == *Threads:* && $stat == *")"* ]] || return 0
  rss=${status#*VmRSS:}; rss=${rss%%kB*}; rss=${rss//[!0-9]/}
  thr=${status#*Threads:}; thr=${thr%%$'\n'*}; thr=${thr//[!0-9]/}
  fields=(/proc/"$1"/fd/*)
  fds=${#fields[@]}
  read -r -a fields <<<"${stat##*) }"
  ticks=$(( fields[11] + fields[12] ))
}
# read_both: one sample of the host and the renderer ("RSS THREADS FDS TICKS" each, or
# "- - - -" for a process that is gone) from 8 readings over 2 s, so that a music
# restart in between does not show as growth: the lowest resident memory, the highest
# thread and descriptor counts, the last CPU time. Sets both.
read_both() {
  local k i p
  local -a lo=(-1 -1) hi_thr=(0 0) hi_fds=(0 0) last=(0 0) gone=(0 0)
  for k in 1 2 3 4 5 6 7 8; do
    i=0
    for p in "$host" "$renderer"; do
      read_proc "$p"
      if [[ -z $rss || -z $thr ]]; then
        gone[i]=1
      else
        (( lo[i] < 0 || rss < lo[i] )) && lo[i]=$rss
        (( thr > hi_thr[i] )) && hi_thr[i]=$thr
        (( fds > hi_fds[i] )) && hi_fds[i]=$fds
        last[i]=$ticks
      fi
      i=$((i + 1))
    done
    ((k < 8)) && sleep 0.25
  done
  both=""
  for i in 0 1; do
    if ((gone[i])); then both+=" - - - -"; else both+=" ${lo[i]} ${hi_thr[i]} ${hi_fds[i]} ${last[i]}"; fi
  done
}
samples=$out.samples
echo "# seconds  host: rss_kb threads fds cpu_ticks  renderer: rss_kb threads fds cpu_ticks" >"$samples"
t_start=$(now_ms)
for ((i = 0; i * sample <= run_s; i++)); do
  due=$(( t_start + i * sample * 1000 ))
  wait_s=$(awk -v d=$(( due - $(now_ms) )) 'BEGIN { printf "%.3f", (d > 0 ? d / 1000 : 0) }')
  sleep "$wait_s" &
  sleeper=$!
  wait "$sleeper"
  sleeper=""
  at=$(( $(now_ms) - t_start ))
  read_both
  echo "$((at / 1000)).$((at % 1000 / 100))$both" >>"$samples"
done

# Heard at the end: 6 s of the sink's monitor, in 50 ms windows.
record_start "$work/heard.raw"
t0=$(rec_now)
listen_until "$(awk -v t="$t0" 'BEGIN { print t + 6 }')"
record_stop
rec_pid=""
share=$(sound_share "$t0" "$(awk -v t="$t0" 'BEGIN { print t + 6 }')")
echo "music at the end: loud in $share % of 6 s (peak RMS $(peak_rms "$t0" "$(awk -v t="$t0" 'BEGIN { print t + 6 }')"))"

# The end: Esc to the renderer (no window manager: the pointer gives the focus).
xdotool mousemove 512 384
for _ in 1 2 3 4 5; do
  xdotool key Escape
  wait_for 3 process_gone "$host" && break
done
process_gone "$host" || echo "the host did not end on Esc"

# One result line per process: PLATFORM SCENARIO PROCESS ALIVE RSS0 RSS1 MB/h THR0 THR1
# THR_OK FDS0 FDS1 FDS_OK CPU% SHARE. Start and end are the first sample after the
# warm-up and the last; threads or descriptors grow when the second half's highest
# count is above the first half's.
for proc in host renderer; do
  col=$([[ $proc == host ]] && echo 2 || echo 6)
  awk -v c=$col -v w="$warmup" -v hz="$(getconf CLK_TCK)" -v p="$platform" -v s="$scenario" \
      -v proc=$proc -v share="$( [[ $proc == host ]] && echo "$share" || echo 0)" '
    /^#/ { next }
    $c == "-" { alive = "no"; next }
    $1 + 0 < w + 0 { next }
    { n++; t[n] = $1; rss[n] = $c / 1024; thr[n] = $(c + 1); fds[n] = $(c + 2); tick[n] = $(c + 3) }
    END {
      if (n < 2) { print p, s, proc, "no", "-", "-", 99, "-", "-", "no", "-", "-", "no", "-", share; exit }
      for (i = 1; i <= n; i++) { x = t[i] / 3600; sx += x; sy += rss[i]; sxx += x * x; sxy += x * rss[i] }
      slope = (n * sxy - sx * sy) / (n * sxx - sx * sx)
      h = int((n + 1) / 2)
      for (i = 1; i <= n; i++) {
        if (i <= h) { if (thr[i] > t1) t1 = thr[i]; if (fds[i] > f1) f1 = fds[i] }
        else        { if (thr[i] > t2) t2 = thr[i]; if (fds[i] > f2) f2 = fds[i] }
      }
      cpu = 100 * (tick[n] - tick[1]) / hz / (t[n] - t[1])
      printf "%s %s %s %s %.1f %.1f %+.2f %d %d %s %d %d %s %.2f %d\n", p, s, proc,
        (alive == "" ? "yes" : alive), rss[1], rss[n], slope, thr[1], thr[n], (t2 <= t1 ? "yes" : "no"),
        fds[1], fds[n], (f2 <= f1 ? "yes" : "no"), cpu, share
    }' "$samples"
done >"$out.result"
cat "$out.result"
