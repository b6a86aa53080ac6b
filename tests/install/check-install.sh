#!/bin/sh
# SPDX-FileCopyrightText: the Tavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary DESTDIR under the prefix /usr and checks the
# installed tree the way a desktop and a packager see it.
# Usage: check-install.sh CMAKE BUILD_DIR APPLICATION_ID MIME_TEST SAMPLE_UKB
set -eu
cmake=$1 build=$2 id=$3 mime_test=$4 sample=$5

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# Runs a command that must succeed and print nothing on standard error.
quiet() {
    if ! errors=$("$@" 2>&1 >/dev/null) || [ -n "$errors" ]; then
        fail "$*"
        [ -z "$errors" ] || printf '%s\n' "$errors" >&2
    fi
}

destdir=$(mktemp -d)
trap 'rm -rf "$destdir"' EXIT
DESTDIR=$destdir "$cmake" --install "$build" --prefix /usr >/dev/null
usr=$destdir/usr
share=$usr/share

# ---- Every file where the desktop looks for it
for file in \
    bin/tavo bin/tavo-convert \
    "share/applications/$id.desktop" \
    "share/metainfo/$id.metainfo.xml" \
    "share/mime/packages/$id.xml" \
    "share/icons/hicolor/scalable/apps/$id.svg" \
    share/man/man1/tavo.1.gz share/man/man1/tavo-convert.1.gz
do
    [ -s "$usr/$file" ] || fail "not installed: $file"
done
for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/$id.png
    case $(file -b "$png" 2>&1) in
        "PNG image data, $size x $size,"*) ;;
        *) fail "icon $png is not a ${size}x${size} PNG" ;;
    esac
done
# The Debian changelog and copyright belong to the package, not to a plain install.
[ ! -e "$share/doc/tavo/changelog.Debian.gz" ] || fail "a plain install holds the Debian changelog"

# ---- The desktop entry, the metainfo and the MIME package pass their validators
quiet desktop-file-validate "$share/applications/$id.desktop"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >/dev/null \
    || fail "appstreamcli validate --no-net $id.metainfo.xml"
grep -qx "Exec=tavo %f" "$share/applications/$id.desktop" || fail "the desktop entry does not run tavo %f"
grep -qx "Icon=$id" "$share/applications/$id.desktop" || fail "the desktop entry's icon is not $id"
mime_type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$share/mime/packages/$id.xml")
grep -qx "MimeType=$mime_type;" "$share/applications/$id.desktop" \
    || fail "the desktop entry does not open $mime_type"
quiet env XDG_DATA_HOME="$destdir/nothing" XDG_DATA_DIRS="$share" update-mime-database "$share/mime"
XDG_DATA_HOME=$destdir/nothing XDG_DATA_DIRS=$share:/usr/share "$mime_test" -silent \
    || fail "the installed MIME type (tst_mimetype)"

# ---- The manual pages: well-formed, and listing the options that --help lists
for page in tavo tavo-convert; do
    man_file=$share/man/man1/$page.1.gz
    gzip -t "$man_file" || fail "$page.1.gz is not a gzip file"
    quiet env MANWIDTH=80 man --warnings -E UTF-8 -l "$man_file"
    help=$("$usr/bin/$page" --help) || fail "$page --help"
    help_options=$(printf '%s\n' "$help" | grep -oE -- '--[a-z][a-z-]*' | sort -u)
    man_options=$(gzip -dc "$man_file" | grep -oE '\\-\\-[a-z]([a-z]|\\-)*' | sed 's/\\//g' | sort -u)
    if [ "$help_options" != "$man_options" ]; then
        fail "$page(1) and $page --help list different options"
        printf 'help: %s\nman:  %s\n' "$(echo $help_options)" "$(echo $man_options)" >&2
    fi
done

# ---- The installed programs run
version=$("$build/tavo-convert" --version)
[ "$("$usr/bin/tavo-convert" --version)" = "$version" ] || fail "installed tavo-convert --version"
case $version in
    "tavo-convert "[0-9]*) ;;
    *) fail "tavo-convert --version printed '$version'" ;;
esac
[ "$("$usr/bin/tavo" --version)" = "tavo ${version#tavo-convert }" ] || fail "installed tavo --version"
"$usr/bin/tavo-convert" --to klc "$sample" "$destdir/out.klc" && [ -s "$destdir/out.klc" ] \
    || fail "installed tavo-convert converting $sample"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) of the installed tree failed" >&2
    exit 1
fi
echo "installed tree checked: $(find "$destdir/usr" -type f | wc -l) files"
