#!/usr/bin/env bash
# Sets up the machine, builds the benchmarks named (or all of them) and runs
# them under Wine on a private display; each prints its times and ratios. Run
# it on a quiet machine: a ratio compares measurements of one run.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/setup.sh" || exit 1
source "$here/wine-env.sh"
benches=("$@")
[ ${#benches[@]} -gt 0 ] || benches=(grid_bench folder_scan_bench file_page_bench newest_bench joliet_bench tree_bench rename_bench replace_bench map_bench)
zev_build_run --target "${benches[@]}" || exit 1

zev_private_session

status=0
for name in "${benches[@]}"; do
    echo "== $name"
    wine "$ZEV_RUN_BUILD/bench/$name.exe" || status=1
done
exit $status
