#!/usr/bin/env bash
# Without a display the viewer says so and ends at once with a non-zero exit code, from any folder;
# it does not run unseen on SDL's offscreen fallback. Only an explicit SDL_VIDEODRIVER may pick a
# driver that shows nothing, and then the viewer runs.
#   viewer_no_display.sh QUENOLDE
set -u
viewer=$1
tmp=$(mktemp -d)
viewer_pid=""
cleanup() {
    [ -n "$viewer_pid" ] && kill "$viewer_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; cat "$tmp/err" 2>/dev/null; exit 1; }

# Runs the viewer from an empty folder with the given environment changes; the exit code in $code.
run_without_display() {
    local start=$SECONDS
    (cd "$tmp" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$@" timeout 10 "$viewer") \
        >"$tmp/out" 2>"$tmp/err"
    code=$?
    elapsed=$((SECONDS - start))
}

run_without_display
[ "$code" -ne 124 ] || fail "no display: the viewer kept running"
[ "$code" -ne 0 ] || fail "no display: exit code 0"
[ "$elapsed" -le 3 ] || fail "no display: took $elapsed s to end"
grep -q '^quenolde: display: none usable (DISPLAY is unset, WAYLAND_DISPLAY is unset; ' "$tmp/err" ||
    fail "no display: no clear message"
[ "$(wc -l < "$tmp/err" | tr -d ' ')" -le 3 ] || fail "no display: more than the message"
echo "ok: no display ends with code $code: $(grep '^quenolde: display' "$tmp/err")"

# An X11 driver asked for with no X server: the same refusal, SDL's reason given.
run_without_display SDL_VIDEODRIVER=x11
[ "$code" -ne 124 ] && [ "$code" -ne 0 ] || fail "x11 asked for without a server: exit code $code"
grep -q '^quenolde: display: SDL video cannot start: ' "$tmp/err" || fail "x11 asked for: no clear message"
echo "ok: SDL_VIDEODRIVER=x11 without a server ends with code $code"

# Asked for explicitly, the offscreen driver is taken: the viewer is still running after 2 s.
(cd "$tmp" && exec env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen "$viewer") >"$tmp/out" 2>"$tmp/err" &
viewer_pid=$!
sleep 2
kill -0 "$viewer_pid" 2>/dev/null || fail "SDL_VIDEODRIVER=offscreen: the viewer did not run"
if grep -q '^quenolde: display:' "$tmp/err"; then fail "SDL_VIDEODRIVER=offscreen: refused"; fi
echo "ok: SDL_VIDEODRIVER=offscreen runs the viewer"
echo "PASS"
