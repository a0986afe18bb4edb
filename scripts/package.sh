#!/usr/bin/env bash
# Builds the zip a Windows user downloads, build/dist/zev-<version>-win32.zip:
# zev.exe (the tested 32-bit build, stripped) and readme.txt (code page 932,
# CR LF, for Notepad on a Japanese Windows). The same sources give the same
# bytes: the strip writes the time of the last commit into the PE header, and
# both files are stored in a fixed order with that time.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/setup.sh"
source "$here/wine-env.sh"
zev_build_win --target zev

version=$(cat "$ZEV_WIN_BUILD/version.txt")
name=zev-$version-win32
dist=$ZEV_ROOT/build/dist
stage=$dist/$name
# The PE header's link time and both files' times in the zip: the last commit's.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$ZEV_ROOT" log -1 --format=%ct 2>/dev/null || stat -c %Y "$ZEV_ROOT/CMakeLists.txt")}
rm -rf "$stage" "$dist/$name.zip"
mkdir -p "$stage"

SOURCE_DATE_EPOCH=$epoch i686-w64-mingw32-strip -o "$stage/zev.exe" "$ZEV_WIN_BUILD/app/zev.exe"
sed "s/@VERSION@/$version/g" "$ZEV_ROOT/docs/readme.txt" |
    awk '{ printf "%s\r\n", $0 }' |
    iconv -f UTF-8 -t CP932 >"$stage/readme.txt"

touch -d "@$epoch" "$stage/zev.exe" "$stage/readme.txt"
chmod 644 "$stage/zev.exe" "$stage/readme.txt"
# Zip stores local times: UTC keeps them the same on every machine. -X leaves
# out the owner and the extra time fields.
(cd "$stage" && TZ=UTC zip -q -X -9 "../$name.zip" zev.exe readme.txt)
rm -rf "$stage"
echo "$dist/$name.zip"
