# Sourced by the other scripts: the Wine prefix inside the build folder, the
# Japanese locale (ANSI code page 932) and quiet Wine.
ZEV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ZEV_WIN_BUILD=$ZEV_ROOT/build/win
# Wine runs a 32-bit Windows program through its own 32-bit Linux loader. A
# kernel built without 32-bit support refuses that loader ("Exec format
# error"), so there the Windows tests, benchmarks and run.sh use a 64-bit
# build of the same sources under Wine's 64-bit loader; zev.exe is still built
# for 32-bit Windows in ZEV_WIN_BUILD.
if [ -x /lib/ld-linux.so.2 ] && ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    ZEV_RUN_BUILD=$ZEV_ROOT/build/win64
    ZEV_RUN_TOOLCHAIN=$ZEV_ROOT/cmake/mingw-x86_64.cmake
    export PATH=$ZEV_ROOT/scripts/wine64:$PATH
else
    ZEV_RUN_BUILD=$ZEV_WIN_BUILD
    ZEV_RUN_TOOLCHAIN=$ZEV_ROOT/cmake/mingw-i686.cmake
fi
export WINEPREFIX=$ZEV_RUN_BUILD/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

zev_build_win() {
    cmake -S "$ZEV_ROOT" -B "$ZEV_WIN_BUILD" --toolchain "$ZEV_ROOT/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$ZEV_WIN_BUILD" -j "$(nproc)" "$@"
}

# The build that runs here: the 32-bit one where the kernel runs it, else the
# 64-bit one (built as well).
zev_build_run() {
    zev_build_win "$@" || return 1
    [ "$ZEV_RUN_BUILD" = "$ZEV_WIN_BUILD" ] && return 0
    echo "wine-env: this kernel runs no 32-bit programs; Windows tests and runs use the 64-bit build in $ZEV_RUN_BUILD" >&2
    cmake -S "$ZEV_ROOT" -B "$ZEV_RUN_BUILD" --toolchain "$ZEV_RUN_TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$ZEV_RUN_BUILD" -j "$(nproc)" "$@"
}

# The prefix is made once; the fonts the window asks for are mapped onto
# fonts that Debian ships, written again whenever the mapping changes. IPA
# Gothic's underscore is a hairline that vanishes at 12 pixels, so the
# fixed-pitch face maps onto Ume Gothic: its underscore stays, and like the
# face it stands for it fits ascent and descent into the 12 pixels asked for,
# so descenders stay inside a 16-pixel row.
zev_prepare_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    zev_copy_wine_fonts
    local reg=$WINEPREFIX/zev-registry.reg
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
        printf '"ＭＳ Ｐゴシック"="IPAPGothic"\r\n'
        printf '"ＭＳ ゴシック"="Ume Gothic"\r\n'
        printf '"MS UI Gothic"="IPAPGothic"\r\n'
        printf '"MS Shell Dlg"="IPAPGothic"\r\n'
        printf '"MS Shell Dlg 2"="IPAPGothic"\r\n'
    } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg.new"
    if cmp -s "$reg.new" "$reg"; then
        rm -f "$reg.new"
        return 0
    fi
    mv "$reg.new" "$reg"
    wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 || true
    wineserver -w
}

# Wine draws the caption buttons' and scroll arrows' symbols with its own
# Marlett font, but Debian's Wine does not look for its fonts where
# fonts-wine puts them, only in the prefix's fonts folder. Copied on every
# preparation (only what is missing or newer), so older prefixes get them too.
zev_copy_wine_fonts() {
    local from=/usr/share/wine/fonts to=$WINEPREFIX/drive_c/windows/Fonts
    [ -d "$from" ] || return 0
    mkdir -p "$to"
    cp -u "$from"/* "$to"/
}

# Starts a private Xvfb, of the screen given (1280x1024x24 unless told), and
# exports DISPLAY; its pid is in ZEV_XVFB_PID.
zev_start_xvfb() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${1:-1280x1024x24}" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    ZEV_XVFB_PID=$!
    local n
    read -r n <"$fifo"
    rm -f "$fifo"
    export DISPLAY=:$n
}

# Stops the prefix's wineserver and the private Xvfb, if one was started; for
# an EXIT trap.
zev_stop() {
    wineserver -k >/dev/null 2>&1 || true
    [ -n "${ZEV_XVFB_PID:-}" ] && kill "$ZEV_XVFB_PID" 2>/dev/null && wait "$ZEV_XVFB_PID" 2>/dev/null
    return 0
}

# A private display with a ready prefix, all stopped when the script exits.
zev_private_session() {
    trap zev_stop EXIT
    zev_start_xvfb
    zev_prepare_prefix
    zev_window_management N
}

# Y lets a desktop's window manager frame ZEV's windows; N suits a private
# Xvfb, where Wine would otherwise wait about two seconds on every hide.
zev_window_management() {
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$1" /f >/dev/null 2>&1 || true
}
