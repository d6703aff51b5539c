#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Veloran needs.
# Idempotent: packages already present are left alone, and apt is only asked when
# something is missing.
set -euo pipefail

packages=(
  # toolchains and build
  build-essential cmake pkg-config ninja-build
  mingw-w64 g++-mingw-w64-x86-64-posix
  libgtest-dev googletest
  clang libclang-rt-14-dev
  # renderer on Linux/X11
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libx11-dev libxrandr-dev libxfixes-dev
  # host on Linux
  libfltk1.3-dev libgtk2.0-0  # GTK: the file chooser FLTK opens for the settings dialog
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly gstreamer1.0-tools
  libcdio-dev libcdio-cdda-dev libcdio-paranoia-dev
  # running headless, Windows programs, sound
  xvfb x11-utils x11-xserver-utils xdotool imagemagick mesa-utils procps
  openbox  # a small window manager: the settings dialog placed with its frame
  wine wine64 pulseaudio pulseaudio-utils fonts-ipafont-gothic locales sox lame
  # the desktop screen-saver daemon of the daemon-mode cases
  xscreensaver xscreensaver-gl
  # MATE's screen saver (Xfce's reads the same files), in a private D-Bus session
  mate-screensaver dbus-daemon
  # two monitors on a real X server (dummy driver), and a Wayland desktop through XWayland
  xserver-xorg-core xserver-xorg-video-dummy weston xwayland
  # benchmark
  apitrace apitrace-tracers
  # packages: checking the .deb and the zip
  lintian libxml2-utils unzip file man-db desktop-file-utils
  # the Windows setup program
  nsis
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
