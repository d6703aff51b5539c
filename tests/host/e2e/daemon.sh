#!/usr/bin/env bash
# End-to-end cases of the host as a desktop screen-saver daemon's program, on a private
# Xvfb with a private sound server (scripts/with-xvfb --pulse):
#   daemon.sh CASE BIN_DIR PROBE
# BIN_DIR holds Veloran.scr and Veloran.dll; PROBE is the probe (foreign windows).
#
#   xscreensaver   the real daemon, run as user nobody (it starts no programs as root)
#                  with a private HOME: -activate shows the scene in its window and the
#                  music sounds; -deactivate ends host and renderer, and the music, in 1 s
#   window         XSCREENSAVER_WINDOW names a window whose visual has no GL format: the
#                  scene fills a child that follows the window's size; Esc does nothing;
#                  SIGTERM ends host, renderer and music within 0.5 s
#   window_gone    -window-id names a plain window: the scene is drawn in it at its size,
#                  also once resized; destroying it ends the renderer, the host follows
#                  and the music stops
#   root           -root alone: the scene on the root window, ended by SIGTERM, which
#                  leaves the root window's own background
#   mate           MATE's daemon in a private D-Bus session, finding Veloran through the
#                  package's desktop file and its hack folder: --activate shows the
#                  scene and the music sounds; --deactivate ends everything in 1 s
set -uo pipefail

case_name=$1
bin=$2
probe=$3

# MATE's daemon runs only programs in its fixed hack folders: this case lays its own
# over the shared one, in a mount namespace of its own, so the system stays untouched.
if [[ $case_name == mate && -z ${VELORAN_OWN_MOUNTS:-} ]]; then
  VELORAN_OWN_MOUNTS=1 exec unshare --mount --propagation private bash "$0" "$@"
fi

here=$(dirname "${BASH_SOURCE[0]}")
work=$(mktemp -d /tmp/veloran-daemon.XXXXXX)
chmod 755 "$work"
pids=()
daemon_pid=""
cleanup() {
  [[ -n $daemon_pid ]] && kill "$daemon_pid" 2>/dev/null
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in $(pgrep -f "^$work/" 2>/dev/null); do kill -9 "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

. "$here/../../support/e2e_common.sh"
fail() { echo "FAIL (daemon/$case_name): $*" >&2; exit 1; }
. "$here/sound.sh"
holds() { awk "BEGIN { exit !($1) }"; }

# The programs in a folder any user can read; the host finds the renderer beside it.
mkdir -p "$work/bin" "$work/media"
cp "$bin/Veloran.scr" "$bin/Veloran.dll" "$work/bin/"
chmod 755 "$work/bin" "$work/bin/"* "$work/media"
make_wav "$work/media/loop tone.wav" 1 660
chmod 644 "$work/media/loop tone.wav"

# alive PID: the process runs (a zombie, whose parent is gone, does not).
alive() {
  local state
  state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1) || return 1
  [[ -n $state && $state != Z ]]
}
gone() { ! alive "$1"; }
renderer_pid() { pgrep -x -P "$1" Veloran.dll | head -1; }

# The region of window ID in root coordinates, as W x H + X + Y.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { printf "%dx%d+%d+%d", w, h, x, y }'
}

# scene_in GEOMETRY: the scene fills that region of the screen: blue stars on the planes
# of its top and bottom quarters (neither black, one flat colour nor white), and the
# particles' warm colours somewhere in it.
scene_in() {
  local g=$1 w h x y shot=$work/shot.png band white cool warm
  IFS='x+' read -r w h x y <<<"$g"
  import -window root "$shot" 2>/dev/null || return 1
  for band in "${w}x$((h / 4))+$x+$y" "${w}x$((h / 4))+$x+$((y + h - h / 4))"; do
    cool=$(convert "$shot" -crop "$band" +repage -color-matrix '0 0 0  -1 0 1  0 -1 1' -channel GB \
      -threshold 8% +channel -separate -delete 0 -evaluate-sequence min -format '%[fx:mean]' info:) || return 1
    white=$(convert "$shot" -crop "$band" +repage -channel RGB -threshold 96% +channel -separate \
      -evaluate-sequence min -format '%[fx:mean]' info:) || return 1
    holds "$cool > 0.001 && $cool < 0.5 && $white < 0.05" || return 1
  done
  warm=$(convert "$shot" -crop "$g" +repage -color-matrix '1 0 -1  0 1 -1  0 0 0' -channel RG \
    -threshold 23.5% +channel -separate -delete 2 -evaluate-sequence max -format '%[fx:mean]' info:) || return 1
  holds "$warm > 0.0005 && $warm < 0.6"
}

# The music settings of a user whose configuration lives in $1/.config.
settings_for() { write_music_settings "$1/.config/veloran/Veloran.ini" 2 0 "$work/media/loop tone.wav"; }

# silent_after T LIMIT: the music sounded in the second up to T, and nothing is heard
# later than LIMIT seconds after it.
silent_after() {
  listen_until "$(calc "$1 + $2 + 1")"
  local after before
  before=$(sound_share "$(calc "$1 - 1")" "$1")
  echo "sound in ${before} % of the second before the end"
  (( before >= 80 )) || fail "the music had stopped before the end"
  after=$(last_sound "$1")
  echo "last sound ${after} s after the end"
  [[ $after == none ]] || holds "$after <= $2" || fail "sound ${after} s after the end"
}

# How long host and renderer may take to go after the daemon's SIGTERM: the host ends
# a renderer that ignores it after 0.3 s; the rest is slack for a loaded machine, so
# that the bound tells "ends with the signal" from "lingers".
term_limit_ms=1500
# both_gone_within HOST RENDERER LIMIT_MS: waits for both processes; prints and checks the time.
both_gone_within() {
  local start=$(now_ms)
  wait_for 10 gone "$1" || fail "host still running 10 s after the end"
  wait_for 10 gone "$2" || fail "renderer still running 10 s after the end"
  local took=$(( $(now_ms) - start ))
  echo "host and renderer gone ${took} ms after the end"
  (( took <= $3 )) || fail "host and renderer took ${took} ms to end (limit $3 ms)"
}

# start_host ARGS...: the host started by hand as a daemon would, as this user, with
# settings and data of its own; sets host_pid and renderer (once the renderer runs).
start_host() {
  export HOME=$work/me XDG_DATA_HOME=$work/me/data XDG_CONFIG_HOME=$work/me/.config
  mkdir -p "$HOME"
  settings_for "$HOME"
  "$work/bin/Veloran.scr" "$@" 2>>"$work/err" &
  host_pid=$!
  pids+=("$host_pid")
  wait_for 20 renderer_pid "$host_pid" || fail "renderer not started"
  renderer=$(renderer_pid "$host_pid")
  echo "renderer: $(tr '\0' ' ' <"/proc/$renderer/cmdline")"
}

# daemon_shows_and_ends DEACTIVATE...: once the daemon was told to start the saver, the
# host it started (find_host) draws the scene in the daemon's window, named to it in
# XSCREENSAVER_WINDOW, and the music sounds; DEACTIVATE ends host, renderer and music
# within 1 s.
daemon_shows_and_ends() {
  wait_for 30 find_host || fail "the daemon started no host: $(tail -5 "$work/daemon.log")"
  host_pid=$(find_host | head -1)
  wait_for 20 renderer_pid "$host_pid" || fail "renderer not started"
  renderer=$(renderer_pid "$host_pid")
  started=$(rec_now)
  echo "host: $(tr '\0' ' ' <"/proc/$host_pid/cmdline"), renderer: $(tr '\0' ' ' <"/proc/$renderer/cmdline")"
  local window region end environ named
  window=$(tr '\0' '\n' <"/proc/$renderer/cmdline" | sed -n 3p)
  environ=$(tr '\0' '\n' <"/proc/$host_pid/environ")
  named=$(sed -n 's/^XSCREENSAVER_WINDOW=//p' <<<"$environ")
  # The same number, whatever the case of its hexadecimal digits.
  [[ $named =~ ^(0[xX][0-9a-fA-F]+|[0-9]+)$ ]] && (( named == window )) ||
    fail "the renderer draws in $window, not in the daemon's window ${named:-(none)}"
  region=$(geometry "$window")
  echo "the daemon's window $window: $region"
  wait_for 20 scene_in "$region" || fail "no scene in the daemon's window"
  listen_until "$(calc "$started + 2")"

  end=$(rec_now)
  "$@" >/dev/null || fail "the daemon refused to end the saver"
  both_gone_within "$host_pid" "$renderer" 1000
  silent_after "$end" 1
}

open_probe() {  # open_probe W H [KIND]
  coproc PROBE_PROC { "$probe" window "Daemon Window" "$@"; }
  pids+=("$PROBE_PROC_PID")
  read -r probe_id <&"${PROBE_PROC[0]}" || fail "probe did not start"
  probe_in=${PROBE_PROC[1]}
  probe_out=${PROBE_PROC[0]}
}

# Each case names its platform on its first line, as in e2e.sh.
case "$case_name" in
  xscreensaver)  # x11:sound
    command -v xscreensaver >/dev/null || fail "xscreensaver is not installed (scripts/install-deps.sh)"
    # The daemon's user: nobody, with a HOME of its own, the program found as "veloran"
    # on its PATH (a link to the host, as installed), the sound server's socket open to it.
    home=$work/home
    mkdir -p "$home" "$work/path"
    ln -s "$work/bin/Veloran.scr" "$work/path/veloran"
    chmod 755 "$work/path"
    cat >"$home/.xscreensaver" <<EOF
mode: one
selected: 0
lock: False
fade: False
unfade: False
splash: False
timeout: 0:30:00
dpmsEnabled: False
programs: "Veloran" veloran -root \\n
EOF
    settings_for "$home"
    [[ -n ${PULSE_SERVER:-} ]] || fail "no private sound server (PULSE_SERVER unset)"
    # Run by root, the daemon and its programs become nobody; run by a user, they
    # stay that user.
    user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    if [[ $(id -u) == 0 ]]; then
      chown -R nobody:nogroup "$home"
      chmod o+x "$(dirname "${PULSE_SERVER#unix:}")"
    else
      user=()
    fi
    as_nobody() {
      "${user[@]}" env -i HOME="$home" DISPLAY="$DISPLAY" \
        PATH="$work/path:/usr/bin:/bin" PULSE_SERVER="$PULSE_SERVER" LANG=C.UTF-8 "$@"
    }
    as_nobody xscreensaver -no-splash -verbose >"$work/daemon.log" 2>&1 &
    daemon_pid=$!
    pids+=("$daemon_pid")
    daemon_up() { as_nobody xscreensaver-command -version; }
    wait_for 30 daemon_up || fail "the daemon did not start: $(tail -5 "$work/daemon.log")"

    record_start "$work/heard.raw"
    as_nobody xscreensaver-command -activate >/dev/null || fail "-activate refused"
    find_host() { pgrep -u "$( ((${#user[@]})) && echo nobody || id -u)" -x "veloran|Veloran.scr"; }
    daemon_shows_and_ends as_nobody xscreensaver-command -deactivate
    ;;

  mate)  # x11:sound
    command -v mate-screensaver >/dev/null || fail "mate-screensaver is not installed (scripts/install-deps.sh)"
    # As the package lays them out: the desktop file among the daemon's data folders,
    # the command "veloran" in the hack folder, a link to the host.
    hacks=/usr/libexec/xscreensaver
    mkdir -p "$work/hacks" "$work/data/applications/screensavers" "$hacks"
    ln -s "$work/bin/Veloran.scr" "$work/hacks/veloran"
    mount --bind "$work/hacks" "$hacks" || fail "cannot lay a private hack folder over $hacks"
    cp "$here/../../../packaging/linux/veloran.desktop" "$work/data/applications/screensavers/"
    export HOME=$work/home XDG_DATA_DIRS=$work/data:/usr/share XDG_CONFIG_HOME=$work/home/.config
    mkdir -p "$HOME/.config/pulse"
    settings_for "$HOME"
    # The daemon hands its programs only the display, home, language and bus: they find
    # the sound server as a desktop's programs do, here through the user's client file.
    [[ -n ${PULSE_SERVER:-} ]] || fail "no private sound server (PULSE_SERVER unset)"
    echo "default-server = $PULSE_SERVER" >"$HOME/.config/pulse/client.conf"
    # The session: settings through GSettings (dconf), the daemon, then its commands.
    session() {
      gsettings set org.mate.screensaver mode single &&
        gsettings set org.mate.screensaver themes "['screensavers-veloran']" &&
        gsettings set org.mate.screensaver lock-enabled false || exit 3
      mate-screensaver --no-daemon >"$work/daemon.log" 2>&1 &
      for _ in $(seq 100); do mate-screensaver-command --query >/dev/null 2>&1 && break; sleep 0.1; done
      echo up >"$work/up"
      # Commands come from the case through a pipe, one a line.
      while read -r command; do
        mate-screensaver-command "--$command" >/dev/null 2>&1
        echo "$command $?" >>"$work/done"
      done <"$work/commands"
      kill %1
    }
    mkfifo "$work/commands"
    export -f session
    export work
    dbus-run-session -- bash -c session >>"$work/daemon.log" 2>&1 &
    pids+=("$!")
    exec {commands}>"$work/commands"
    wait_for 30 test -e "$work/up" || fail "the daemon did not start: $(tail -5 "$work/daemon.log")"
    command_done() { grep -q "^$1 0\$" "$work/done" 2>/dev/null; }

    record_start "$work/heard.raw"
    echo activate >&"$commands"
    wait_for 10 command_done activate || fail "--activate refused"
    find_host() {  # the host started from this case's hack folder
      local p
      for p in $(pgrep -x veloran); do
        [[ $(readlink "/proc/$p/exe") == "$work/bin/Veloran.scr" ]] && echo "$p"
      done
    }
    deactivate() { echo deactivate >&"$commands" && wait_for 10 command_done deactivate; }
    daemon_shows_and_ends deactivate
    exec {commands}>&-
    ;;

  window)  # x11:sound
    visual=$(glxinfo 2>/dev/null | awk '$1 ~ /^0x/ && $3 == "tc" && $8 == "." { print $1; exit }')
    [[ -n $visual ]] || fail "no TrueColor visual without a double-buffered GL format"
    open_probe 400 300 "visual:$visual"
    record_start "$work/heard.raw"
    XSCREENSAVER_WINDOW=$(printf '0x%x' "$probe_id") start_host --root
    child_fills() {  # child_fills W H: the renderer's child window covers the probe's
      xwininfo -children -id "$probe_id" | grep -Eq "^ +0x[0-9a-f]+ \(has no name\): \(\)  $1x$2\+0\+0"
    }
    wait_for 20 child_fills 400 300 || fail "no 400x300 child in the window: $(xwininfo -children -id "$probe_id")"
    wait_for 20 scene_in "$(geometry "$probe_id")" || fail "no scene in the window"
    # Keys and the pointer are the daemon's: Esc does not end the run.
    xdotool mousemove 240 180 key Escape
    sleep 1
    alive "$renderer" || fail "the renderer ended on Esc"
    # The window grows: the child follows and the scene fills the new size.
    echo "resize 640 480" >&"$probe_in"
    read -r _ <&"$probe_out"
    wait_for 20 child_fills 640 480 || fail "the child did not follow: $(xwininfo -children -id "$probe_id")"
    wait_for 20 scene_in "$(geometry "$probe_id")" || fail "no scene over the resized window"
    end=$(rec_now)
    kill -TERM "$host_pid"
    both_gone_within "$host_pid" "$renderer" "$term_limit_ms"
    silent_after "$end" 0.5
    [[ -z $(pactl list short sink-inputs) ]] || fail "streams left on the sink: $(pactl list short sink-inputs)"
    [[ ! -s $work/err ]] || fail "the host wrote: $(cat "$work/err")"
    ;;

  window_gone)  # x11:sound
    open_probe 320 240
    record_start "$work/heard.raw"
    start_host -window-id "$probe_id"
    started=$(rec_now)
    wait_for 20 scene_in "$(geometry "$probe_id")" || fail "no scene in the window"
    [[ -z $(xwininfo -children -id "$probe_id" | grep -E '^ +0x') ]] || fail "a child window where the window itself can be drawn in"
    listen_until "$(calc "$started + 2")"
    # Drawn in directly, the scene still follows the window's size.
    echo "resize 480 360" >&"$probe_in"
    read -r _ <&"$probe_out"
    wait_for 20 scene_in "$(geometry "$probe_id")" || fail "no scene over the resized window"
    end=$(rec_now)
    echo destroy >&"$probe_in"
    # The renderer sees its window go at once; the host's watch follows within 500 ms.
    both_gone_within "$host_pid" "$renderer" 1500
    silent_after "$end" 1.5
    [[ ! -s $work/err ]] || fail "the host wrote: $(cat "$work/err")"
    ;;

  root)  # x11:sound
    unset XSCREENSAVER_WINDOW
    start_host -root
    [[ $(tr '\0' ' ' <"/proc/$renderer/cmdline") == *"-window-id $(xwininfo -root | awk '/Window id:/ { print $4 }')"* ]] ||
      fail "the renderer does not draw on the root window"
    wait_for 20 scene_in 1024x768+0+0 || fail "no scene on the root window"
    kill -TERM "$host_pid"
    both_gone_within "$host_pid" "$renderer" "$term_limit_ms"
    sleep 0.2
    scene_in 1024x768+0+0 && fail "the last frame stays on the root window"
    ;;

  *) fail "unknown case" ;;
esac
echo "PASS: daemon/$case_name"
