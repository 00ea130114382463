#!/usr/bin/env bash
# End-to-end test of the real viewer under Xvfb: the window appears with its creation title, the
# title becomes the frame rate, the window shows the scene under the sky, and Escape or the close box ends the
# process with exit code 0 within 2 seconds.
#   viewer_e2e.sh QUENOLDE X11_PROBE WORKDIR
set -u
viewer=$1 probe=$2 workdir=$3
tmp=$(mktemp -d)
xvfb_pid=""
viewer_pid=""
probe_pid=""

cleanup() {
    for pid in $viewer_pid $probe_pid $xvfb_pid; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Waits up to $1 seconds for the command in the other arguments to succeed.
wait_for() {
    local limit=$1; shift
    local end=$((SECONDS + limit))
    until "$@"; do
        [ $SECONDS -ge $end ] && return 1
        sleep 0.05
    done
}

# -noreset: the server would otherwise reset as the last client leaves between the two cases, and a
# client connecting meanwhile would be refused.
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
wait_for 10 test -s "$tmp/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$tmp/display")"

creation_title='Projet Direct3D : Quenolde - 2004/2005'

run_case() {
    local how=$1
    : > "$tmp/titles"
    probe_pid=""
    # A probe refused by a busy server is started again, for up to 5 seconds.
    local probe_end=$((SECONDS + 5))
    until grep -q '^ready' "$tmp/titles" 2>/dev/null; do
        [ $SECONDS -ge $probe_end ] && fail "title probe did not start"
        if [ -z "$probe_pid" ] || ! kill -0 "$probe_pid" 2>/dev/null; then
            "$probe" watch 30 > "$tmp/titles" &
            probe_pid=$!
        fi
        sleep 0.05
    done

    (cd "$workdir" && exec "$viewer") 2>"$tmp/viewer.err" &
    viewer_pid=$!

    wait_for 20 grep -Eq '^title 0x[0-9a-f]+ fps : [0-9]+\.[0-9]{2}$' "$tmp/titles" ||
        { cat "$tmp/titles" "$tmp/viewer.err"; fail "$how: the title never showed the frame rate"; }
    local window
    window=$(grep -E '^title 0x[0-9a-f]+ fps : ' "$tmp/titles" | head -n1 | awk '{print $2}')
    grep -q "^title $window $creation_title\$" "$tmp/titles" ||
        { cat "$tmp/titles"; fail "$how: the window never had its creation title"; }
    # The creation title comes before the frame-rate text.
    local first_creation first_fps
    first_creation=$(grep -n "^title $window $creation_title\$" "$tmp/titles" | head -n1 | cut -d: -f1)
    first_fps=$(grep -nE "^title $window fps : " "$tmp/titles" | head -n1 | cut -d: -f1)
    [ "$first_creation" -lt "$first_fps" ] || fail "$how: creation title came after the frame rate"

    import -window "$window" "$tmp/shot-$how.png" 2>/dev/null || fail "$how: no screenshot"
    # The frame shows the scene: many colours, some sky, and neither blank nor black.
    local colours mean
    colours=$(identify -format '%k' "$tmp/shot-$how.png")
    mean=$(convert "$tmp/shot-$how.png" -colorspace Gray -format '%[fx:int(255*mean)]' info:)
    [ "$colours" -gt 200 ] || fail "$how: the window shows only $colours colours"
    [ "$mean" -gt 30 ] || fail "$how: the window is dark (mean grey $mean)"
    convert "$tmp/shot-$how.png" -fill black +opaque '#E4FFFF' -format '%[fx:mean]' info: | grep -qv '^0$' ||
        fail "$how: no sky in the window"
    [ -n "${E2E_SHOTS:-}" ] && cp "$tmp/shot-$how.png" "$E2E_SHOTS/"

    local start=$SECONDS
    if [ "$how" = escape ]; then
        xdotool windowfocus --sync "$window" 2>/dev/null
        xdotool key --clearmodifiers Escape
    else
        "$probe" close "$window"
    fi
    local end=$((SECONDS + 2))
    while kill -0 "$viewer_pid" 2>/dev/null; do
        [ $SECONDS -gt $end ] && fail "$how: the viewer did not end within 2 seconds"
        sleep 0.05
    done
    wait "$viewer_pid"
    local code=$?
    viewer_pid=""
    [ "$code" -eq 0 ] || fail "$how: exit code $code"
    kill "$probe_pid" 2>/dev/null; wait "$probe_pid" 2>/dev/null; probe_pid=""
    echo "ok: $how ends the viewer with code 0 in $((SECONDS - start)) s or less"
}

run_case escape
run_case close
echo "PASS"
