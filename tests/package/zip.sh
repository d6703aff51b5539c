#!/usr/bin/env bash
# Checks of the Windows zip as a user gets it:
#   zip.sh contents ZIP VERSION   its files, the read-me, the two programs
#   zip.sh run ZIP VERSION PROBE  unzipped into a fresh folder of the Wine prefix,
#                                 /s runs the saver from there, /c opens the
#                                 dialog, and /c without the renderer shows the
#                                 message (inside
#                                 scripts/with-wine-env; PROBE is probe.exe)
set -uo pipefail

what=$1
zip=$2
version=$3
here=$(dirname "${BASH_SOURCE[0]}")
. "$here/../support/e2e_common.sh"
[[ -f $zip ]] || fail "no package $zip"
top=Veloran-$version-win64

work=$(mktemp -d "/tmp/veloran-zip.XXXXXX")
pids=()
folder=""
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work" ${folder:+"$folder"}
}
trap cleanup EXIT

case "$what" in
  contents)
    diff -u <(sed "s/@VERSION@/$version/" "$here/zip_files.txt") <(unzip -Z1 "$zip" | sort) ||
      fail "the zip's files differ from zip_files.txt"
    unzip -q "$zip" -d "$work"
    readme=$work/$top/README.txt
    lines=$(wc -l <"$readme")
    crlf=$(grep -c $'\r$' "$readme")
    [[ $lines -gt 0 && $crlf -eq $lines && -z $(tail -c 1 "$readme" | tr -d '\n') ]] ||
      fail "README.txt: $crlf of $lines lines end in CR LF"
    # what the read-me must tell
    while read -r phrase; do
      grep -qF "$phrase" "$readme" || fail "README.txt does not say '$phrase'"
    done <<PHRASES
Veloran $version
Right-click Veloran.scr and choose "Install"
Veloran.ini, in the same folder as Veloran.scr
PHRASES
    grep -q '@' "$readme" && fail "README.txt holds an unreplaced @name@"
    for program in Veloran.scr Veloran.dll; do
      info=$(file -b "$work/$top/$program")
      [[ $info == "PE32+ executable (GUI) x86-64"* ]] || fail "$program is not a 64-bit Windows program: $info"
    done
    echo "zip files and read-me as expected"
    ;;

  run)
    probe=$4
    [[ -n ${WINEPREFIX:-} ]] || fail "run inside scripts/with-wine-env"
    # A fresh folder on drive C:, with a blank in its name as under Program Files.
    folder=$(mktemp -d "$WINEPREFIX/drive_c/Veloran test.XXXXXX")
    unzip -q "$zip" -d "$folder"
    dir=$folder/$top
    renderer_up() { xdotool search --name '^Veloran_VC$' >/dev/null 2>&1; }
    renderer_down() { ! renderer_up; }

    wine "$dir/Veloran.scr" /s &
    host=$!
    pids+=("$host")
    wait_for 60 renderer_up || fail "/s: no renderer window"
    xdotool mousemove 512 384 key Escape
    wait_for 30 renderer_down || fail "/s: renderer window did not go on Esc"
    exit_code "$host" 20
    [[ $rc == 0 ]] || fail "/s: host exit code $rc"
    echo "/s: the unzipped saver ran and ended on Esc"

    # /c: the settings dialog; its Cancel ends the host and writes nothing.
    wine "$dir/Veloran.scr" /c &
    host=$!
    pids+=("$host")
    dialog_up() { wine "$probe" client '<Veloran>' >/dev/null 2>&1; }
    wait_for 60 dialog_up || fail "/c: no settings dialog"
    read -r cx cy _ < <(wine "$probe" client '<Veloran>' | tr -d '\r')
    sleep 1
    xdotool mousemove $((cx + 440)) $((cy + 212)) sleep 0.3 click 1
    exit_code "$host" 20
    [[ $rc == 0 ]] || fail "/c: host exit code $rc after Cancel"
    [[ ! -e $dir/Veloran.ini ]] || fail "/c: Cancel wrote Veloran.ini"
    echo "/c: the settings dialog opened and Cancel ended it"

    # Without its renderer every mode but /p tells the user so, /c included.
    rm "$dir/Veloran.dll"
    wine "$dir/Veloran.scr" /c &
    host=$!
    pids+=("$host")
    expected=56656C6F72616E2E646C6C2082AA93AF82B6CCABD9C0DE82C98CA982C282A982E882DC82B982F18149
    text=$(wine "$probe" message 30000 | tr -d '\r') || fail "/c: no message box without the renderer"
    [[ $text == "$expected" ]] || fail "/c: wrong message bytes: $text"
    exit_code "$host" 30
    [[ $rc == 0 ]] || fail "/c: host exit code $rc after the message"
    renderer_up && fail "/c: a renderer started"
    echo "/c: the message for the missing renderer, then the end"
    ;;

  *) fail "unknown check $what" ;;
esac
