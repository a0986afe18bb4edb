#!/usr/bin/env bash
# zev.exe starts on a folder, shows its window, and follows a click on a tab.
source "$(dirname "$0")/e2e_lib.sh"
mkdir "$work/サブフォルダ"
echo hello >"$work/ファイル.txt"
echo 12345 >"$work/サブフォルダ/中身.txt"

start_zev
shot zev-window.png
# The "フォルダ" tab: the second, right of the 169-pixel left column.
click_at 292 60
kill -0 "$zev_pid" || { echo "zev.exe ended after the click" >&2; exit 1; }
# Still answering: the folder page copies itself.
click_at 400 99
xdotool key ctrl+c
sleep 2
shot zev-folder-page.png
got=$(clipboard)
[[ $got == $'サブフォルダ\t'* ]] || { printf 'not the folder page on the clipboard:\n%s\n' "$got" >&2; exit 1; }
echo "screenshots in $artifacts"
