#!/usr/bin/env bash
# Builds the Debian package from the build folder, unpacks it into a temporary root and runs
# the installed tool from there.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || {
    cat "$work/cpack.log"
    exit 1
}
deb=$(ls "$work"/out/*.deb)
dpkg-deb --field "$deb" Depends | tee "$work/depends"
grep -q 'fonts-liberation' "$work/depends"
grep -q 'libqt6gui6' "$work/depends"
grep -q 'libturbojpeg0' "$work/depends"
grep -q 'libfluidsynth3' "$work/depends"
grep -q 'timgm6mb-soundfont | fluid-soundfont-gm' "$work/depends"

dpkg -x "$deb" "$work/root"
for path in usr/bin/strumvane usr/bin/strumvane-charts usr/share/applications/strumvane.desktop \
    usr/share/icons/hicolor/scalable/apps/strumvane.svg usr/share/man/man1/strumvane-charts.1 \
    usr/share/metainfo/io.github.strumvane.Strumvane.metainfo.xml; do
    [ -e "$work/root/$path" ] || { echo "missing from the package: $path"; exit 1; }
done

tool="$work/root/usr/bin/strumvane-charts"
"$tool" --version | grep -q '^strumvane-charts '
expected=$'Chord Name: Cmaj\nChord Spelling: C-G-C-E-G-C\nFret Numbers: 8-10-10-9-8-8\nFingering: 1-3-4-2-1-1\nMIDI Notes: 48 55 60 64 67 72'
actual=$("$tool" show 6 C | head -n 5)
"$tool" show 6 C | grep -q "^Playability: [0-9]"
if [ "$actual" != "$expected" ]; then
    echo "unexpected output of the installed tool:"
    echo "$actual"
    exit 1
fi
echo "package $(basename "$deb") installs and runs"
