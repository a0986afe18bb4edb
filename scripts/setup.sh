#!/usr/bin/env bash
# Installs, from Debian's packages only, what building and testing ZEV needs.
# Idempotent: each step is skipped when what it provides is already there.
set -euo pipefail

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(
    cmake g++ make
    libboost1.81-dev
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    wine wine32:i386 wine64
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    xvfb xdotool xclip x11-utils
    imagemagick fonts-ipafont-gothic fonts-horai-umefont fonts-wine locales
    zip python3 python3-pefile
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    # A mirror in the middle of a sync fails a list now and then, and a lost
    # list of one architecture makes the other's versions impossible to match.
    # So the install is tried whatever the update says, then held to the
    # release's own suite, whose lists are whole, and both are tried again
    # while the sync goes on.
    release=$(. /etc/os-release && echo "$VERSION_CODENAME")
    install_missing() {
        DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "$@" "${missing[@]}"
    }
    for attempt in 1 2 3 4 5; do
        as_root apt-get update -qq || echo "setup: apt-get update failed; trying the install" >&2
        if install_missing || { echo "setup: trying the install from $release alone" >&2; install_missing -t "$release"; }; then
            break
        fi
        if [ "$attempt" -eq 5 ]; then
            echo "setup: the packages could not be installed" >&2
            exit 1
        fi
        echo "setup: apt-get failed (install attempt $attempt of 5); trying again" >&2
        sleep $((attempt * 15))
    done
fi

if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    as_root localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
