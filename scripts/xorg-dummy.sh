# Sourced by the scripts that need two monitors (with-xorg-dummy, with-wine-env
# --size dual): a private, root-run Xorg with the dummy video driver, no input
# devices, its own configuration and log, and two 1280x1024 outputs side by side
# (DUMMY0 primary at 0,0, DUMMY1 at 1280,0).
#
#   start_xorg_dummy DIR   starts the server with its configuration, log and display
#                          number in DIR; exports DISPLAY and sets xorg_pid. Returns 1
#                          (with the log's tail on standard error) when it did not start.
#   stop_xorg_dummy        stops that server again.

xorg_pid=""

start_xorg_dummy() {
  local dir=$1 n display=""
  mkdir -p "$dir"
  : >"$dir/display"
  cat >"$dir/xorg.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 4096 2048
  EndSubSection
EndSection
CONF
  Xorg -displayfd 6 -config "$dir/xorg.conf" -noreset -nolisten tcp -logfile "$dir/xorg.log" \
    -novtswitch -sharevts 6>"$dir/display" 7>&- 8>&- 9>&- </dev/null >/dev/null 2>&1 &
  xorg_pid=$!
  for n in $(seq 1 200); do
    display=$(tr -dc 0-9 <"$dir/display" 2>/dev/null || true)
    [[ -n $display ]] && break
    kill -0 "$xorg_pid" 2>/dev/null || break
    sleep 0.05
  done
  if [[ -z $display ]]; then
    echo "xorg-dummy: Xorg did not start:" >&2
    tail -5 "$dir/xorg.log" >&2 2>/dev/null
    stop_xorg_dummy
    return 1
  fi
  export DISPLAY=:$display
  xrandr --newmode 1280x1024_60 108.88 1280 1360 1496 1712 1024 1025 1028 1060 -hsync +vsync &&
    xrandr --addmode DUMMY0 1280x1024_60 && xrandr --addmode DUMMY1 1280x1024_60 &&
    xrandr --output DUMMY0 --mode 1280x1024_60 --pos 0x0 --primary \
      --output DUMMY1 --mode 1280x1024_60 --right-of DUMMY0 || {
    echo "xorg-dummy: cannot set up the two outputs" >&2
    stop_xorg_dummy
    return 1
  }
}

stop_xorg_dummy() {
  [[ -n $xorg_pid ]] || return 0
  kill "$xorg_pid" 2>/dev/null || true
  wait "$xorg_pid" 2>/dev/null || true
  xorg_pid=""
}
