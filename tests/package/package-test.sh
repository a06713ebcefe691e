#!/usr/bin/env bash
# The Debian package, in three steps that share one built package in OUT:
#   package-test.sh build BUILD OUT   builds the .deb from the build folder into OUT
#   package-test.sh run OUT           unpacks it into a temporary root, checks what it holds
#                                     and runs the installed tool from there
#   package-test.sh lint OUT          lintian finds no error and no warning (skipped, status
#                                     77, where lintian is not installed)
set -euo pipefail
step=$1
skipped=77

fail() {
    echo "$*" >&2
    exit 1
}

case "$step" in
build)
    build=$2 out=$3
    rm -rf "$out"
    mkdir -p "$out"
    (cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || {
        cat "$out/cpack.log"
        exit 1
    }
    ls "$out"/*.deb
    ;;

run)
    out=$2
    deb=$(ls "$out"/*.deb)
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT

    depends=$(dpkg-deb --field "$deb" Depends)
    echo "Depends: $depends"
    for package in fonts-liberation libqt6gui6 libturbojpeg0 libfluidsynth3 \
        'timgm6mb-soundfont | fluid-soundfont-gm'; do
        [[ $depends == *"$package"* ]] || fail "the package does not depend on $package"
    done
    # Every description line is text or a paragraph break, none a CMake list separator.
    description=$(dpkg-deb --field "$deb" Description)
    if grep -n -e '^ *;' -e ';$' <<<"$description"; then
        fail "description lines with list separators:"$'\n'"$description"
    fi
    [ "$(grep -c '^ \.$' <<<"$description")" -ge 1 ] || fail "the description has one paragraph"

    dpkg -x "$deb" "$work/root"
    for path in usr/bin/strumvane usr/bin/strumvane-charts usr/bin/strumvane-finder \
        usr/share/applications/strumvane.desktop \
        usr/share/applications/strumvane-finder.desktop \
        usr/share/icons/hicolor/scalable/apps/strumvane.svg \
        usr/share/icons/hicolor/scalable/apps/strumvane-finder.svg \
        usr/share/man/man1/strumvane.1.gz usr/share/man/man1/strumvane-charts.1.gz \
        usr/share/man/man1/strumvane-finder.1.gz \
        usr/share/doc/strumvane/copyright usr/share/doc/strumvane/changelog.gz \
        usr/share/metainfo/io.github.strumvane.Strumvane.metainfo.xml \
        usr/share/metainfo/io.github.strumvane.StrumvaneFinder.metainfo.xml; do
        [ -e "$work/root/$path" ] || fail "missing from the package: $path"
    done
    for program in strumvane strumvane-charts strumvane-finder; do
        file -b "$work/root/usr/bin/$program" | grep -q ', stripped' ||
            fail "usr/bin/$program is not stripped: $(file -b "$work/root/usr/bin/$program")"
    done
    gzip -t "$work"/root/usr/share/man/man1/*.gz "$work/root/usr/share/doc/strumvane/changelog.gz"

    tool="$work/root/usr/bin/strumvane-charts"
    "$tool" --version | grep -q '^strumvane-charts '
    expected=$'Chord Name: Cmaj\nChord Spelling: C-G-C-E-G-C\nFret Numbers: 8-10-10-9-8-8\nFingering: 1-3-4-2-1-1\nMIDI Notes: 48 55 60 64 67 72'
    actual=$("$tool" show 6 C | head -n 5)
    "$tool" show 6 C | grep -q "^Playability: [0-9]" || fail "show gives no playability score"
    [ "$actual" = "$expected" ] || fail "unexpected output of the installed tool:"$'\n'"$actual"
    # The finder's desktop entry starts the installed program, in the menus of the main window.
    entry="$work/root/usr/share/applications/strumvane-finder.desktop"
    grep -qx 'Exec=strumvane-finder' "$entry" || fail "the finder's entry does not start it"
    grep -qx 'Categories=Music;Education;' "$entry" || fail "the finder's entry is in other menus"
    grep -q '<launchable type="desktop-id">strumvane-finder.desktop</launchable>' \
        "$work/root/usr/share/metainfo/io.github.strumvane.StrumvaneFinder.metainfo.xml" ||
        fail "the finder's AppStream entry does not launch its desktop entry"
    # The installed finder starts and draws its window, headless.
    finder_log="$work/finder.log"
    mkdir -p "$work/config" "$work/runtime"
    chmod 700 "$work/runtime"
    status=0
    QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
        STRUMVANE_MIDI_PORT=none timeout -s TERM -k 5 3 "$work/root/usr/bin/strumvane-finder" \
        >"$finder_log" 2>&1 || status=$?
    # Ended by the timeout's SIGTERM, as its manual page says: closed, then ended by the signal.
    [ "$status" -eq 124 ] || fail "the installed finder ended with $status: $(cat "$finder_log")"
    echo "package $(basename "$deb") installs and runs"
    ;;

lint)
    out=$2
    if ! command -v lintian >/dev/null; then
        echo "lintian is not installed (Debian package lintian): not checked"
        exit $skipped
    fi
    deb=$(ls "$out"/*.deb)
    # Information tags (hardening hints) are shown but do not fail the test.
    lintian --info --display-info --fail-on error,warning "$deb" 2> >(grep -v 'root privileges' >&2)
    echo "lintian: no errors and no warnings in $(basename "$deb")"
    ;;

*)
    fail "usage: package-test.sh build BUILD OUT | run OUT | lint OUT"
    ;;
esac
