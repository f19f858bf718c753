#!/usr/bin/env bash
# Checks what `cmake --install` puts on the system: the file list, the desktop entries, the
# AppStream metainfo, the man pages, the changelog and the icons. Argument: a build folder of the
# programs. Given the built .deb instead, checks that it holds the same files and that lintian,
# Debian's package checker, finds no error or warning in it.
set -euo pipefail
export LC_ALL=C

if [[ "$1" == *.deb ]]; then
    deb=$(realpath "$1")
    cd "$(dirname "$0")/.."
    if ! diff -u packaging/installed_files.txt \
        <(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|' | sort); then
        echo "the package's files differ from packaging/installed_files.txt" >&2
        exit 1
    fi
    lintian --fail-on error,warning "$deb" || { echo "lintian: $deb" >&2; exit 1; }
    echo "package files and lintian: all good"
    exit 0
fi

build=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
(cd "$stage" && find . -type f | sed 's|^\./|/|' | sort) >"$stage.list"
if ! diff -u packaging/installed_files.txt "$stage.list"; then
    echo "the installed files differ from packaging/installed_files.txt" >&2
    rm -f "$stage.list"
    exit 1
fi
rm -f "$stage.list"

desktop-file-validate "$stage"/usr/share/applications/*.desktop
for entry in "$stage"/usr/share/applications/*.desktop; do
    command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    [ -x "$stage/usr/games/$command" ] || {
        echo "$entry starts $command, which is not installed" >&2
        exit 1
    }
done
appstreamcli validate --no-net "$stage"/usr/share/metainfo/*.metainfo.xml
for page in "$stage"/usr/share/man/man6/*.6.gz; do
    # groff's exit status ignores warnings: any line on standard error is a failure.
    warnings=$(gzip -dc "$page" | groff -k -K utf8 -Tutf8 -man -ww -z 2>&1)
    if [ -n "$warnings" ]; then
        echo "$page: $warnings" >&2
        exit 1
    fi
done
for icon in "$stage"/usr/share/icons/hicolor/*x*/apps/*.png; do
    size=$(basename "$(dirname "$(dirname "$icon")")")
    file "$icon" | grep -q "PNG image data, ${size/x/ x }," || {
        echo "$icon is not a ${size} PNG" >&2
        exit 1
    }
done
# One version everywhere: the changelog's newest entry, the metainfo's newest release, --version.
version=$(gzip -dc "$stage"/usr/share/doc/taviro/changelog.gz |
    sed -n '1s/^taviro (\([^)]*\)) .*/\1/p')
release=$(grep -m1 -o '<release version="[^"]*"' "$stage"/usr/share/metainfo/*.metainfo.xml)
[ -n "$version" ] && [ "$release" = "<release version=\"$version\"" ] || {
    echo "the changelog's newest version \"$version\" is not the metainfo's newest release" >&2
    exit 1
}
for program in "$stage"/usr/games/*; do
    name=$(basename "$program")
    "$program" --version | grep -x "$name $version" >/dev/null || {
        echo "$name --version is not \"$name $version\"" >&2
        exit 1
    }
    "$program" --help | grep "^使い方: $name " >/dev/null || { echo "$name --help" >&2; exit 1; }
    status=0
    "$program" --no-such-option 2>/dev/null || status=$?
    [ "$status" -eq 2 ] || { echo "$name --no-such-option ended with $status, not 2" >&2; exit 1; }
    if [ -e /dev/full ]; then
        status=0
        "$program" --help >/dev/full 2>/dev/null || status=$?
        [ "$status" -eq 1 ] || { echo "$name --help into a full device ended with $status" >&2; exit 1; }
    fi
done
echo "installed files, desktop entries, metainfo, man pages, changelog, icons," \
    "--version and --help: all good"
