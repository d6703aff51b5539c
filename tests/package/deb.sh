#!/usr/bin/env bash
# Checks of the Debian package as a user gets it:
#   deb.sh contents DEB VERSION   its files, control fields and the files' insides
#   deb.sh lintian DEB            Debian's package checker finds no error
#   deb.sh run DEB                unpacked into a private root (dpkg-deb -x), the
#                                 saver runs from there through /usr/bin/veloran
#                                 (on a private Xvfb: scripts/with-xvfb)
set -uo pipefail

what=$1
deb=$2
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=tests/package/common.sh
. "$here/common.sh"
[[ -f $deb ]] || fail "no package $deb"

case "$what" in
  contents)
    version=$3
    listed=$(dpkg-deb -c "$deb" | awk '{ line = $1 " " $2 " " $6; for (i = 7; i <= NF; i++) line = line " " $i; print line }')
    diff -u "$here/deb_files.txt" <(echo "$listed") || fail "the package's files differ from deb_files.txt"

    # field  pattern (extended regular expression, whole value)
    while read -r field pattern; do
      value=$(dpkg-deb -f "$deb" "$field")
      [[ $value =~ ^($pattern)$ ]] || fail "$field is '$value', expected /$pattern/"
    done <<FIELDS
Package       veloran
Version       ${version//./\\.}
Architecture  amd64
Depends       (.*, )?gstreamer1\.0-plugins-base(, .*)?
Depends       (.*, )?libc6 \(>= [0-9.]+\)(, .*)?
Depends       (.*, )?libfltk1\.3 \(>= [0-9.]+\)(, .*)?
Depends       (.*, )?libgl1(, .*)?
Depends       (.*, )?libx11-6(, .*)?
Recommends    gstreamer1\.0-plugins-good
FIELDS

    dpkg-deb -x "$deb" "$work/root"
    root=$work/root
    for program in Veloran.scr Veloran.dll; do
      info=$(file -b "$root/usr/lib/veloran/$program")
      [[ $info == *"ELF 64-bit"*executable* && $info == *", stripped"* ]] ||
        fail "$program is not a stripped 64-bit program: $info"
    done

    xml=$root/usr/share/xscreensaver/config/veloran.xml
    xmllint --noout "$xml" || fail "veloran.xml is not well-formed"
    # xpath  expected
    while IFS='|' read -r xpath expected; do
      got=$(xmllint --xpath "$xpath" "$xml" 2>/dev/null)
      [[ $got == "$expected" ]] || fail "veloran.xml: $xpath is '$got', expected '$expected'"
    done <<'XPATHS'
string(/screensaver/@name)|veloran
string(/screensaver/@_label)|Veloran
string(/screensaver/command/@arg)|-root
count(/screensaver/_description)|1
XPATHS

    # desktop entry|the lines it must hold: the settings in the menu, and the program
    # that MATE's and Xfce's savers list (theme screensavers-veloran).
    while IFS='|' read -r entry lines; do
      desktop=$root/usr/share/applications/$entry
      out=$(desktop-file-validate "$desktop" 2>&1 | grep -v ': hint: ') || true
      [[ -z $out ]] || fail "$entry: $out"
      IFS=',' read -ra wanted <<<"$lines"
      for line in '[Desktop Entry]' 'Type=Application' "${wanted[@]}"; do
        grep -qxF "$line" "$desktop" || fail "$entry lacks '$line'"
      done
    done <<'ENTRIES'
veloran-settings.desktop|Name=Veloran settings,Exec=veloran /c
screensavers/veloran.desktop|Name=Veloran,Exec=veloran -root,TryExec=veloran,Categories=Screensaver;
ENTRIES
    [[ $(readlink "$root/usr/libexec/xscreensaver/veloran") == ../../lib/veloran/Veloran.scr ]] ||
      fail "the hack folder's veloran does not lead to the host"

    # A new version needs its changelog entry.
    top=$(zcat "$root/usr/share/doc/veloran/changelog.gz" | head -1)
    [[ $top == "veloran ($version) "* ]] || fail "changelog starts with '$top', not version $version"

    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
               "$root/usr/share/man/man1/veloran.1.gz" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "the manual page has warnings: $warnings"
    echo "package files, fields and contents as expected"
    ;;

  lintian)
    out=$(lintian --fail-on error "$deb" 2>&1); rc=$?
    echo "$out"
    [[ $rc -eq 0 ]] || fail "lintian found errors"
    ;;

  run)
    root=$work/root
    dpkg-deb -x "$deb" "$root"
    [[ $(readlink -f "$root/usr/bin/veloran") == "$root/usr/lib/veloran/Veloran.scr" ]] ||
      fail "usr/bin/veloran does not lead to the host"
    export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
    mkdir -p "$HOME"
    # The pid of a running program whose file is $1.
    running() {
      local p
      for p in /proc/[0-9]*; do
        [[ $(readlink "$p/exe" 2>/dev/null) == "$1" ]] && { echo "${p#/proc/}"; return 0; }
      done
      return 1
    }

    # how the command is found   the command
    while read -r how command; do
      rm -rf "$XDG_DATA_HOME"
      path=$PATH program=$root$command
      [[ $how == PATH ]] && path=$root/usr/bin:$PATH program=$command
      start_host env "PATH=$path" "$program" /s >>"$work/err" 2>&1 </dev/null
      wait_for 60 renderer_up || fail "$how: no renderer window ($(cat "$work/err"))"
      renderer=$(running "$root/usr/lib/veloran/Veloran.dll") ||
        fail "$how: the renderer window is not from the unpacked Veloran.dll"
      for picture in Veloran1.bmp Veloran2.bmp; do
        [[ -s $XDG_DATA_HOME/veloran/drives/c/qorin/$picture ]] || fail "$how: $picture not written"
      done
      escape_ends "$how"
      wait_for 20 process_gone "$renderer" || fail "$how: renderer still running"
      echo "$how: renderer from the package ran and ended on Esc, host ended with 0"
    done <<'RUNS'
link /usr/bin/veloran
PATH veloran
RUNS
    # The desktop entry's command: the settings dialog; Cancel ends it, writing nothing.
    start_host env "PATH=$root/usr/bin:$PATH" veloran /c >>"$work/err" 2>&1 </dev/null
    dialog_up() { xdotool search --onlyvisible --name '^<Veloran>$'; }
    wait_for 60 dialog_up || fail "/c: no settings dialog ($(cat "$work/err"))"
    eval "$(xdotool getwindowgeometry --shell "$(dialog_up | head -1)")"
    click_dialog "$X" "$Y" 440 212  # Cancel
    host_ends "Cancel (/c)"
    [[ ! -e $XDG_CONFIG_HOME/veloran/Veloran.ini ]] || fail "/c: Cancel wrote the settings file"
    echo "/c: the settings dialog opened and Cancel ended it"
    ;;

  *) fail "unknown check $what" ;;
esac
