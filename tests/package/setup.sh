#!/usr/bin/env bash
# The Windows setup program as a user runs it, inside scripts/with-wine-env:
#   setup.sh SETUP VERSION PROBE   (PROBE is probe.exe)
# A silent install puts the programs, the Start-menu entries and the entry of the
# installed programs where they belong and makes Veloran the screen saver; the
# installed saver runs, its settings are written beside it, a second install keeps
# them, and a silent uninstall leaves nothing of ours behind. By hand, the box of
# the screen-saver page decides. Then, installed in a folder with a long name, the
# uninstall resets the screen saver only when it is ours.
set -uo pipefail

setup=$1
version=$2
probe=$3
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=tests/package/common.sh
. "$here/common.sh"
[[ -f $setup ]] || fail "no setup program $setup"
[[ -n ${WINEPREFIX:-} ]] || fail "run inside scripts/with-wine-env"
info=$(file -b "$setup")
[[ $info == "PE32+ executable (GUI) x86-64"* ]] || fail "not a 64-bit setup program: $info"

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Veloran'
desktop_key='HKCU\Control Panel\Desktop'
# reg_value KEY NAME: the value's data as reg.exe shows it (DWORDs as 0x...).
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^    $2    REG_[A-Z_]*    //p" | grep .
}
key_gone() { ! wine reg query "$uninstall_key" >/dev/null 2>&1; }
expand() { wine cmd /c echo "$1" | tr -d '\r'; }
unix() { winepath -u "$1" 2>/dev/null; }

winst=$(expand '%LOCALAPPDATA%')'\Programs\Veloran'
inst=$(unix "$winst")
menu=$(unix "$(expand '%APPDATA%')"'\Microsoft\Windows\Start Menu\Programs\Veloran')
wlong='C:\VeloranSaverFolder'  # a long name; no blank: the setup program takes /D= unquoted
long=$(unix "$wlong")
textures=$WINEPREFIX/drive_c/qorin
[[ -n $inst && -n $menu && -n $long ]] || fail "no user folders in the prefix"

# Whatever a failed run left installed goes, before and after, so runs start clean.
remove_ours() {
  rm -rf "$inst" "$menu" "$long"
  wine reg delete "$uninstall_key" /f >/dev/null 2>&1
  wine reg delete "$desktop_key" /v SCRNSAVE.EXE /f >/dev/null 2>&1
}
remove_ours

install() {  # install [/D=FOLDER]: a silent install ends with 0
  wine "$setup" /S "$@"
  local rc=$?
  [[ $rc == 0 ]] || fail "setup /S $*: exit code $rc"
}
uninstall() {  # uninstall FOLDER: as the installed programs' list runs it
  wine "$1/Uninstall.exe" /S
  # It runs on from a copy of itself and removes its entry last.
  wait_for 60 key_gone || fail "the uninstall did not remove the entry of the installed programs"
}

install
# What a user then finds: the folder's files, the menu entries, the registry values.
diff -u <(printf '%s\n' Uninstall.exe Veloran.dll Veloran.scr) <(ls "$inst") ||
  fail "the installed files differ"
for link in 'Veloran settings.lnk|Veloran.scr|/c' 'Uninstall Veloran.lnk|Uninstall.exe|'; do
  IFS='|' read -r name target args <<<"$link"
  [[ -f $menu/$name ]] || fail "no Start-menu entry $name"
  strings -a "$menu/$name" | grep -qxF "$winst\\$target" || fail "$name does not start $target"
  [[ -z $args ]] || strings -a -el -n 2 "$menu/$name" | grep -qxF -- "$args" || fail "$name does not pass $args"
done
kb=$(stat -c %s "$inst"/* | awk '{ n += $1 } END { print int(n / 1024) }')
scr_short=$(reg_value "$desktop_key" SCRNSAVE.EXE)
# key (U the installed programs' entry, D the desktop settings)|name|data
while IFS='|' read -r key name expected; do
  [[ $key == U ]] && key=$uninstall_key || key=$desktop_key
  got=$(reg_value "$key" "$name") || got="(none)"
  [[ $got == "$expected" ]] || fail "$name is '$got', expected '$expected'"
done <<VALUES
U|DisplayName|Veloran
U|DisplayVersion|$version
U|Publisher|Veloran
U|DisplayIcon|$winst\\Veloran.scr,0
U|InstallLocation|$winst
U|UninstallString|"$winst\\Uninstall.exe"
U|QuietUninstallString|"$winst\\Uninstall.exe" /S
U|NoModify|0x1
U|NoRepair|0x1
U|EstimatedSize|$(printf '0x%x' "$kb")
D|ScreenSaveActive|1
VALUES
[[ $(unix "$scr_short") == "$inst/Veloran.scr" && $scr_short != *' '* ]] ||
  fail "SCRNSAVE.EXE is '$scr_short', not the installed saver's short path"
echo "silent install: files, Start-menu entries and registry values as expected"

# The installed saver runs from its folder.
rm -f "$textures"/Veloran[12].bmp
start_host wine "$inst/Veloran.scr" /s
wait_for 60 renderer_up || fail "/s: no renderer window"
escape_ends /s
[[ -s $textures/Veloran1.bmp && -s $textures/Veloran2.bmp ]] || fail "/s: no textures written"
echo "/s: the installed saver ran and ended on Esc"

# Its settings: the dialog's CD mark, then Set, writes Veloran.ini beside it.
start_host wine "$inst/Veloran.scr" /c
wait_for 60 wine "$probe" client '<Veloran>' || fail "/c: no settings dialog"
read -r cx cy _ < <(wine "$probe" client '<Veloran>' | tr -d '\r')
click_dialog "$cx" "$cy" 46 78 356 212  # the CD mark, Set
host_ends "Set (/c)"
LC_ALL=C grep -aq $'^BGM\x8B\xE6\x95\xAA=1\r$' "$inst/Veloran.ini" 2>/dev/null ||
  fail "/c: Set did not write the CD choice to $inst/Veloran.ini"
cp "$inst/Veloran.ini" "$work/kept.ini"
echo "/c: Set wrote Veloran.ini in the installed folder"

install
cmp "$inst/Veloran.ini" "$work/kept.ini" || fail "a second install changed Veloran.ini"
echo "a second install kept Veloran.ini"

uninstall "$inst"
for gone in "$inst" "$menu" "$textures/Veloran1.bmp" "$textures/Veloran2.bmp"; do
  [[ ! -e $gone ]] || fail "the uninstall left $gone"
done
value=$(reg_value "$desktop_key" SCRNSAVE.EXE) && fail "the uninstall left SCRNSAVE.EXE = $value"
[[ $(reg_value "$desktop_key" ScreenSaveActive) == 0 ]] || fail "the uninstall left the saver switched on"
echo "silent uninstall: no file, entry or value of ours left"

# By hand: the screen-saver page comes with its box ticked; untick it (Alt+M) and
# another screen saver stays the current one.
foreign='C:\windows\system32\scrnsave.scr'
wine reg add "$desktop_key" /v SCRNSAVE.EXE /d "$foreign" /f >/dev/null || fail "cannot set SCRNSAVE.EXE"
start_host wine "$setup"
setup_up() { xdotool search --onlyvisible --name '^Veloran Setup'; }
wait_for 60 setup_up || fail "no setup window"
eval "$(xdotool getwindowgeometry --shell "$(setup_up | head -1)")"
# Next on the folder page, untick, Install.
xdotool mousemove $((X + 20)) $((Y + 20)) sleep 1 key Return sleep 1 key alt+m sleep 0.5 key Return
wait_for 60 test -e "$inst/Uninstall.exe" || fail "the setup program installed nothing"
sleep 1
xdotool key Return  # Finish
host_ends "setup by hand" 30
[[ $(reg_value "$desktop_key" SCRNSAVE.EXE) == "$foreign" ]] || fail "the unticked box changed the screen saver"
uninstall "$inst"
echo "setup by hand, box unticked: installed, the screen saver left as it was"

# Installed where the short path differs from the long one: the uninstall resets
# the screen saver when it names our saver, in either form and any case, only then.
# what SCRNSAVE.EXE holds at the uninstall|what it holds afterwards
while IFS='|' read -r before after; do
  install "/D=$wlong"
  short=$(reg_value "$desktop_key" SCRNSAVE.EXE)
  [[ $short != "$wlong\\Veloran.scr" && $short != *' '* && $(unix "$short") == "$long/Veloran.scr" ]] ||
    fail "SCRNSAVE.EXE is '$short', not the short path of $wlong\\Veloran.scr"
  before=${before/SHORT/$short}
  wine reg add "$desktop_key" /v SCRNSAVE.EXE /d "$before" /f >/dev/null || fail "cannot set SCRNSAVE.EXE"
  uninstall "$long"
  [[ ! -e $long ]] || fail "the uninstall left $long"
  got=$(reg_value "$desktop_key" SCRNSAVE.EXE) || got="(none)"
  [[ $got == "${after:-(none)}" ]] || fail "SCRNSAVE.EXE '$before': '$got' after the uninstall, expected '${after:-(none)}'"
  echo "SCRNSAVE.EXE '$before': '$got' after the uninstall"
done <<ROWS
SHORT|
${wlong,,}\\veloran.scr|
$foreign|$foreign
ROWS
exit 0
