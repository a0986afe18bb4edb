# Shared by the end-to-end tests: starts zev.exe under Wine in a scratch
# folder on the test's display and finds its window.
set -euo pipefail
zev_exe=$(realpath "$1")
artifacts=$2
mkdir -p "$artifacts"
export TZ=UTC
work=$(mktemp -d)
zev_pid=

stop_zev() {
    if [ -n "$zev_pid" ]; then kill "$zev_pid" 2>/dev/null || true; wait "$zev_pid" 2>/dev/null || true; fi
    rm -rf "$work"
    return 0
}
trap stop_zev EXIT

# Starts ZEV in the scratch folder; sets win to its main window. Windows are
# left unmanaged: with no window manager on the test's display, Wine then
# gives them the X input focus itself, so keys reach them.
start_zev() {
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    (cd "$work" && exec wine "$zev_exe") >/dev/null 2>&1 &
    zev_pid=$!
    win=
    for _ in $(seq 120); do
        win=$(xdotool search --onlyvisible --name '^ZEV  v\.2\.04' 2>/dev/null | head -n 1) || true
        [ -n "$win" ] && break
        kill -0 "$zev_pid" 2>/dev/null || { echo "zev.exe ended early" >&2; exit 1; }
        sleep 0.5
    done
    [ -n "$win" ] || { echo "no ZEV window appeared" >&2; exit 1; }
    sleep 1
}

# A left click at a point of the window's client area, through the X server.
# An unmanaged window's X window holds Wine's own frame: 4 pixels of border
# and, on top, 19 of caption.
click_at() {
    xdotool mousemove --window "$win" $(($1 + 4)) $(($2 + 23)) click 1
    sleep 1
}

# The clipboard as X sees it, without the CRs Wine's export leaves out anyway.
clipboard() {
    xclip -o -selection clipboard 2>/dev/null | tr -d '\r'
}

shot() {
    import -window root "$artifacts/$1"
}
