#!/usr/bin/env bash
# Checks of the Windows zip as a user gets it:
#   zip.sh contents ZIP VERSION   its files, the read-me, the two programs
#   zip.sh run ZIP VERSION PROBE  unzipped into a fresh folder of the Wine prefix, /s
#                                 runs the saver from there, /c opens the dialog, and
#                                 /c without the renderer shows the message (inside
#                                 scripts/with-wine-env; PROBE is probe.exe)
set -uo pipefail

what=$1
zip=$2
version=$3
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=tests/package/common.sh
. "$here/common.sh"
[[ -f $zip ]] || fail "no package $zip"
top=Veloran-$version-win64

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

    start_host wine "$dir/Veloran.scr" /s
    wait_for 60 renderer_up || fail "/s: no renderer window"
    escape_ends /s
    echo "/s: the unzipped saver ran and ended on Esc"

    # /c: the settings dialog; its Cancel ends the host and writes nothing.
    start_host wine "$dir/Veloran.scr" /c
    wait_for 60 wine "$probe" client '<Veloran>' || fail "/c: no settings dialog"
    read -r cx cy _ < <(wine "$probe" client '<Veloran>' | tr -d '\r')
    click_dialog "$cx" "$cy" 440 212  # Cancel
    host_ends "Cancel (/c)"
    [[ ! -e $dir/Veloran.ini ]] || fail "/c: Cancel wrote Veloran.ini"
    echo "/c: the settings dialog opened and Cancel ended it"

    # Without its renderer every mode but /p tells the user so, /c included.
    rm "$dir/Veloran.dll"
    start_host wine "$dir/Veloran.scr" /c
    expected=56656C6F72616E2E646C6C2082AA93AF82B6CCABD9C0DE82C98CA982C282A982E882DC82B982F18149
    text=$(wine "$probe" message 30000 | tr -d '\r') || fail "/c: no message box without the renderer"
    [[ $text == "$expected" ]] || fail "/c: wrong message bytes: $text"
    host_ends "the message (/c)" 30
    renderer_up && fail "/c: a renderer started"
    echo "/c: the message for the missing renderer, then the end"
    ;;

  *) fail "unknown check $what" ;;
esac
