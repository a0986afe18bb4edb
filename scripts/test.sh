#!/usr/bin/env bash
# Sets up the machine, builds both builds and runs every test.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/setup.sh" || exit 1
source "$here/wine-env.sh"

native=$ZEV_ROOT/build/native
cmake -S "$ZEV_ROOT" -B "$native" -DCMAKE_BUILD_TYPE=Debug >/dev/null || exit 1
cmake --build "$native" -j "$(nproc)" || exit 1
zev_build_run || exit 1

status=0
# The zip a Windows user downloads, made and checked, then made again from
# the same build: a second run gives the same bytes.
package_twice() {
    local zip again
    zip=$("$here/package.sh" | tail -n 1) &&
        /usr/bin/python3 "$ZEV_ROOT/tests/package/check_package.py" "$zip" &&
        mv "$zip" "$zip.first" &&
        again=$("$here/package.sh" | tail -n 1) || return 1
    if ! cmp "$zip.first" "$again"; then
        echo "package: a second run from the same commit gave other bytes" >&2
        return 1
    fi
    rm -f "$zip.first"
    echo "package: a second run gave the same bytes"
}
package_twice || status=1

zev_private_session

ctest --test-dir "$native" --output-on-failure || status=1
ctest --test-dir "$ZEV_RUN_BUILD" --output-on-failure || status=1
exit $status
