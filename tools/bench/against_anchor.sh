#!/usr/bin/env bash
# Alternates the llvmpipe anchor, drawing this build's own Data, with the bench of one device:
# anchor, ours, anchor, ours, ... Prints one line per run and, at the end, the median of the
# per-round ratios (ours / anchor) for each view. GLIBC_TUNABLES, if set, reaches both programs.
#   tools/bench/against_anchor.sh ANCHOR_BINARY BUILD_FOLDER ROUNDS ref|hal
# The anchor binary comes from ../shared/anchors/llvmpipe-scene/build.sh; the OpenGL device is
# run on llvmpipe with its software opt-in.
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 ANCHOR_BINARY BUILD_FOLDER ROUNDS ref|hal" >&2; exit 2; }
anchor=$(realpath "$1") build=$2 rounds=$3 device=$4
cd "$build"
runs=$(for round in $(seq 1 "$rounds"); do
  echo "anchor $round $(ANCHOR_DATA=Data "$anchor" --frames 150 | grep -o 'view=[a-z]* .*fps=[0-9.]*' | tr '\n' ' ')"
  echo "ours $round $(QUENOLDE_GL_ALLOW_SOFTWARE=1 ./tools/bench/bench --device "$device" --frames 150 2>/dev/null)"
done)
echo "$runs"
echo "$runs" | python3 -c '
import json, re, statistics, sys
anchor, ours = {}, {}
for line in sys.stdin:
    who, number, rest = line.split(" ", 2)
    if who == "anchor":
        anchor[number] = {v: float(f) for v, f in re.findall(r"view=(\w+) frames=\d+ fps=([\d.]+)", rest)}
    else:
        ours[number] = {v["name"]: v["fps"] for v in json.loads(rest)["views"]}
for view in ("eye", "overview"):
    ratios = [ours[r][view] / anchor[r][view] for r in anchor]
    print("%s: median ratio %.2f (rounds: %s)" % (view, statistics.median(ratios), ", ".join("%.2f" % x for x in ratios)))
'
