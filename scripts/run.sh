#!/usr/bin/env bash
# Sets up the machine, builds ZEV and starts it under Wine on the folder given
# (or the current one). Without a display it starts a private Xvfb and saves a
# screenshot once the window is up.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
folder=$(realpath "${1:-$PWD}")
[ -d "$folder" ] || { echo "not a folder: $folder" >&2; exit 1; }

"$here/setup.sh"
source "$here/wine-env.sh"
zev_build_run --target zev

private_display=
if [ -z "${DISPLAY:-}" ]; then
    zev_start_xvfb
    private_display=1
fi
trap zev_stop EXIT
zev_prepare_prefix
if [ -n "$private_display" ]; then zev_window_management N; else zev_window_management Y; fi

# ZEV shows the folder it is started in.
(cd "$folder" && exec wine "$ZEV_RUN_BUILD/app/zev.exe") &
zev=$!

if [ -n "$private_display" ]; then
    up=
    for _ in $(seq 60); do
        if xdotool search --onlyvisible --name 'ZEV' >/dev/null 2>&1; then up=1; break; fi
        kill -0 "$zev" 2>/dev/null || break
        sleep 1
    done
    [ -n "$up" ] || { echo "ZEV's window did not appear" >&2; exit 1; }
    sleep 2
    shot=$ZEV_ROOT/build/zev-screenshot.png
    import -window root "$shot"
    echo "ZEV is running on $folder under a private X display ($DISPLAY)."
    echo "Screenshot of its window: $shot"
    echo "Press Ctrl+C to stop it."
fi
wait "$zev"
