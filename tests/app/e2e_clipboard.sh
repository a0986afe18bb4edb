#!/usr/bin/env bash
# Ctrl+C on the file page puts its text on the X clipboard.
source "$(dirname "$0")/e2e_lib.sh"
echo hello >"$work/ファイル.txt"
printf 'abc' >"$work/新しい;版.txt"
touch -d '2006-02-09 07:05:03' "$work/ファイル.txt"
touch -d '2010-01-02 03:04:05' "$work/新しい;版.txt"

start_zev
click_at 350 99
shot zev-before-copy.png
xdotool key ctrl+c
sleep 2
got=$(clipboard)

# Newest first; sizes right-aligned in 13 columns, counts in 4, no title line.
line1=$'新しい;版.txt\t2010/01/02 03:04:05\t            3\ttxt\t  -9\t'
line2=$'ファイル.txt\t2006/02/09 07:05:03\t            6\ttxt\t   8\t'
total=$'[合計]\t\t            9\t'
mapfile -t lines <<<"$got"
fail() { echo "$1"; printf 'clipboard:\n%s\n' "$got"; exit 1; }
[ ${#lines[@]} -eq 3 ] || fail "expected three lines"
[[ ${lines[0]} == "$line1"*$'\t'33.3 ]] || fail "first line"
[[ ${lines[1]} == "$line2"*$'\t'66.7 ]] || fail "second line"
[ "${lines[2]}" = "$total" ] || fail "total line"
echo "clipboard holds the file page"
