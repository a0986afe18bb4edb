#!/usr/bin/env bash
# A walk of some seconds shows its progress in the status bar, paints the tab
# just chosen, stops on Esc with what it read so far, and a later refresh
# reads everything.
source "$(dirname "$0")/e2e_lib.sh"
# 250 folders of 400 empty sub-folders: seconds to walk under Wine, even
# when the walk repeats with the folders already cached.
for i in $(seq -w 0 249); do
    mkdir "$work/フォルダ$i"
    (cd "$work/フォルダ$i" && seq -f 'sub%03.0f' 0 399 | xargs mkdir)
done
full_lines=252  # the 250 folders, the direct files and the total
refresh_x=84 refresh_y=300  # the "更新" button

# The status bar: the bottom 25 pixels of the page column, right of the
# 169-pixel left column, above Wine's 4-pixel frame.
bar_shot() {
    local geometry
    geometry=$(xwininfo -id "$win" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
    read -r width height <<<"$geometry"
    import -window "$win" -crop "$((width - 180))x21+175+$((height - 27))" +repage "$artifacts/$1"
}
# The tab strip: the tabs' row right of the left column, below the header.
strip_shot() {
    import -window "$win" -crop "540x18+180+76" +repage "$artifacts/$1"
}
differs() {
    [ "$(compare -metric AE "$artifacts/$1" "$artifacts/$2" null: 2>&1 || true)" != 0 ]
}
now_ms() { date +%s%3N; }

# Empties the X clipboard, clicks a cell of the folder grid (column 3, which
# does nothing, so the grid takes the focus) and copies; the events wait in
# the queue while a walk runs. Sets lines to the clipboard's line count once
# the copy arrives.
copy_when_done() {
    printf 'none' | xclip -selection clipboard
    xdotool mousemove --window "$win" $((169 + 380 + 4)) $((99 + 23)) click 1 key ctrl+c
    local got=none
    for _ in $(seq 600); do
        got=$(clipboard)
        [ "$got" != none ] && break
        sleep 0.1
    done
    [ "$got" != none ] || { echo "no copy arrived" >&2; exit 1; }
    lines=$(printf '%s\n' "$got" | wc -l)
}

start_zev
bar_shot bar-idle.png

# The folder tab starts a full walk; the two shots are taken while it runs.
xdotool mousemove --window "$win" $((292 + 4)) $((60 + 23)) click 1
start=$(now_ms)
sleep 1.5
bar_shot bar-walk-1.png
strip_shot strip-walk.png
sleep 0.6
bar_shot bar-walk-2.png
copy_when_done
walk_ms=$(($(now_ms) - start))
echo "full walk and copy: $walk_ms ms"
[ "$lines" -eq $full_lines ] || { echo "full walk copied $lines lines" >&2; exit 1; }
[ "$walk_ms" -gt 3000 ] || { echo "the walk ended too soon to be watched: make the tree larger" >&2; exit 1; }
differs bar-idle.png bar-walk-1.png || { echo "no progress shown during the walk" >&2; exit 1; }
differs bar-walk-1.png bar-walk-2.png || { echo "progress did not move on" >&2; exit 1; }

# The refresh button starts another; Esc stops it.
xdotool mousemove --window "$win" $((refresh_x + 4)) $((refresh_y + 23)) click 1
sleep 1.5
bar_shot bar-before-esc.png
xdotool key Escape
esc=$(now_ms)
copy_when_done
stopped_after=$(($(now_ms) - esc))
echo "Esc to copied text: $stopped_after ms, $lines lines"
[ "$lines" -lt $full_lines ] || { echo "the stopped walk copied all $lines lines" >&2; exit 1; }
[ "$stopped_after" -lt 1500 ] || { echo "the walk went on $stopped_after ms after Esc" >&2; exit 1; }

# Once more, the mouse resting on the button first as a hand's would, so
# that no new hint takes the place of the stop message.
xdotool mousemove --window "$win" $((refresh_x + 4)) $((refresh_y + 23))
sleep 0.5
xdotool click 1
sleep 1.5
bar_shot bar-before-esc.png
xdotool key Escape
sleep 1
bar_shot bar-stopped.png
differs bar-before-esc.png bar-stopped.png || { echo "the bar did not change on Esc" >&2; exit 1; }

# Without Esc, everything again.
xdotool mousemove --window "$win" $((refresh_x + 4)) $((refresh_y + 23)) click 1
copy_when_done
[ "$lines" -eq $full_lines ] || { echo "the refresh after the stop copied $lines lines" >&2; exit 1; }
# The tab strip as the walk showed it: the folder tab chosen and focused, as
# a click on it (which starts no walk) shows it now.
xdotool mousemove --window "$win" $((292 + 4)) $((60 + 23)) click 1
sleep 1
strip_shot strip-after.png
! differs strip-walk.png strip-after.png || { echo "the tab strip was not painted during the walk" >&2; exit 1; }
echo "progress shown, stopped on Esc, all read again; bar shots in $artifacts"
