#!/usr/bin/env bash
# Makes the README's screenshots again, the way run.sh makes its own: zev.exe
# under Wine on a private Xvfb, driven with xdotool, the screen taken with
# import. The window is maximized on a screen the size of the pictures.
#   docs/screenshot-tree.png    the tree page with its map, coloured by kind,
#                               over this project's files (the last commit's)
#   docs/screenshot-rename.png  the rename page after a find and replace over
#                               a folder of photos
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/setup.sh"
source "$here/wine-env.sh"
zev_build_run --target zev

work=$(mktemp -d)
zev=
finish() {
    [ -n "$zev" ] && kill "$zev" 2>/dev/null
    zev_stop
    rm -rf "$work"
}
trap finish EXIT
zev_start_xvfb 960x600x24
zev_prepare_prefix
zev_window_management N
export TZ=Asia/Tokyo

# Starts ZEV in the folder and maximizes its window (a double click on its
# caption); sets win.
start_zev() {
    (cd "$1" && exec wine "$ZEV_RUN_BUILD/app/zev.exe") >/dev/null 2>&1 &
    zev=$!
    win=
    for _ in $(seq 120); do
        win=$(xdotool search --onlyvisible --name '^ZEV  v' 2>/dev/null | head -n 1) || true
        [ -n "$win" ] && break
        sleep 0.5
    done
    [ -n "$win" ] || { echo "ZEV's window did not appear" >&2; exit 1; }
    sleep 1
    xdotool mousemove --window "$win" 300 10 click --repeat 2 --delay 100 1
    sleep 2
}
stop_zev() {
    kill "$zev" 2>/dev/null || true
    wait "$zev" 2>/dev/null || true
    wineserver -w
    zev=
}
# A left click at a point of the maximized window's client area.
click_at() {
    xdotool mousemove "$1" "$2" click 1
    sleep "${3:-1}"
}

git -C "$ZEV_ROOT" archive --prefix=zev/ HEAD | tar -x -C "$work"
start_zev "$work/zev"
click_at 370 80                     # the フォルダツリー tab
click_at 645 107 4                  # マップ, then the map's walk
click_at 250 559 2                  # 種類: coloured by kind
xdotool mousemove 600 450           # a file's name and size in the status bar
sleep 1
import -window root "$ZEV_ROOT/docs/screenshot-tree.png"
stop_zev

photos="$work/京都の写真"
mkdir -p "$photos/未整理"
for i in $(seq 12); do
    touch -d "2025-04-05 $((8 + i)):$((i * 4)):$((i * 7 % 60))" "$photos/DSC_0$((230 + i * 3)).JPG"
done
echo "金閣寺、清水寺" >"$photos/旅のメモ.txt"
start_zev "$photos"
click_at 530 80                     # the ファイル名変更 tab, then Ctrl+H
xdotool key ctrl+h
sleep 1
xdotool type --delay 50 'DSC_\d+'
xdotool key Tab
xdotool type --delay 50 '${date}_${time}'
xdotool key Tab space Return
sleep 2
import -window root "$ZEV_ROOT/docs/screenshot-rename.png"
stop_zev
echo "$ZEV_ROOT/docs/screenshot-tree.png $ZEV_ROOT/docs/screenshot-rename.png"
