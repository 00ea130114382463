#!/usr/bin/env bash
# Installs the build to a fresh prefix as a packager would, checks what lands where, and starts the
# installed viewer and capture tool from an empty folder: they find share/quenolde/Data by themselves.
#   installed_viewer.sh CMAKE BUILD_DIR VIEWER_E2E X11_PROBE
set -u
cmake=$1 build=$2 viewer_e2e=$3 probe=$4
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
prefix=$tmp/prefix
mkdir "$tmp/empty"

"$cmake" --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 || { cat "$tmp/install.log"; fail "install"; }
for file in bin/quenolde bin/quenolde-capture bin/quenolde-bench bin/quenolde-make-data; do
    [ -x "$prefix/$file" ] || fail "$file is not installed"
done
for file in share/applications/quenolde.desktop share/quenolde/Data/terrain/terrain_128x128.pgm \
    "share/quenolde/Data/arbre/terrain_256x256 arbres.pgm" share/quenolde/Data/eau/caustic/caust31.jpg; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ ! -e "$prefix/bin/Data" ] || fail "Data is installed under bin/"
grep -q '^Exec=quenolde$' "$prefix/share/applications/quenolde.desktop" || fail "the desktop file starts no quenolde"
echo "ok: installed under $prefix"

(cd "$tmp/empty" && "$prefix/bin/quenolde-capture" --help >"$tmp/help" 2>&1) || fail "quenolde-capture --help fails"
grep -q '^Usage: quenolde-capture ' "$tmp/help" || fail "quenolde-capture --help: $(head -n1 "$tmp/help")"
echo "ok: quenolde-capture --help exits 0"

# The capture tool from the empty folder draws the scene, not only sky: it found the data.
(cd "$tmp/empty" && "$prefix/bin/quenolde-capture" --out "$tmp/frame.png" 2>"$tmp/capture.err") ||
    { cat "$tmp/capture.err"; fail "quenolde-capture from an empty folder"; }
# It says which device drew, and nothing else: a missing file would name itself here.
grep -q '^quenolde-capture: device: the reference device, ' "$tmp/capture.err" ||
    { cat "$tmp/capture.err"; fail "quenolde-capture did not name its device"; }
! grep -v '^quenolde-capture: device: ' "$tmp/capture.err" || fail "quenolde-capture complained"
colours=$(identify -format '%k' "$tmp/frame.png")
[ "$colours" -gt 200 ] || fail "quenolde-capture from an empty folder drew $colours colours"
echo "ok: quenolde-capture from an empty folder draws the scene ($colours colours)"

# The viewer from the empty folder, under Xvfb, checked as the build's own viewer is.
bash "$viewer_e2e" "$prefix/bin/quenolde" "$probe" "$tmp/empty" || fail "the installed viewer"
[ -z "$(ls -A "$tmp/empty")" ] || fail "something was written in the working folder"
echo "PASS"
