#!/usr/bin/env bash
# taviro-stats --plot: the pictures are written with the table, a place a picture cannot go is
# refused in one line before the run, and a seed gives the same picture with any number of
# threads. Without Qt, SVG pictures alone are written. Arguments: the program, and "with" or
# "without" Qt.
set -u
program=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "$*"; exit 1; }
run=(--sessions 40 --games 2000 --seed 3)

# One line on standard error, nothing on standard output, the status given.
refused() {
    local want=$1; shift
    "$program" "$@" >"$dir/out" 2>"$dir/err"
    local status=$?
    [ "$status" -eq "$want" ] || fail "$* ended with $status, not $want"
    [ "$(wc -l <"$dir/err")" -eq 1 ] || fail "$*: not one line: $(cat "$dir/err")"
    [ ! -s "$dir/out" ] || fail "$*: wrote a table"
}

if [ "$2" = without ]; then
    refused 2 "${run[@]}" --plot "$dir/six.png"
    "$program" estimate --games 3000 --big 12 --reg 8 --remaining 500 --plot "$dir/post.svg" \
        --plot-size 800x500 >/dev/null || fail "estimate SVG failed"
    grep -q 'viewBox="0 0 800 500"' "$dir/post.svg" || fail "not an 800 x 500 SVG"
    grep -q '>設定ごとの確率</text>' "$dir/post.svg" || fail "no caption in the SVG"
    echo "PNG refused and SVG written without Qt"
    exit 0
fi

refused 2 "${run[@]}" --plot "$dir/six.jpg"
refused 2 "${run[@]}" --plot "$dir/no/such/folder/six.png"
refused 2 "${run[@]}" --plot "$dir"/
refused 2 estimate --games 100 --big 1 --reg 1 --plot "$dir/no/post.png"

"$program" "${run[@]}" --threads 1 --plot "$dir/one.png" >"$dir/table" || fail "PNG run failed"
grep -q "設定6" "$dir/table" || fail "no table with the picture"
file "$dir/one.png" | grep -q "PNG image data, 1600 x 1000" || fail "not a 1600 x 1000 PNG"
"$program" "${run[@]}" --threads 3 --plot "$dir/three.png" >/dev/null || fail "second run failed"
cmp -s "$dir/one.png" "$dir/three.png" || fail "the threads changed the picture"
"$program" "${run[@]}" --setting 2 --plot "$dir/two.svg" --plot-size 800x500 >/dev/null
grep -q 'viewBox="0 0 800 500"' "$dir/two.svg" || fail "not an 800 x 500 SVG"
"$program" estimate --games 3000 --big 12 --reg 8 --remaining 500 --seed 1 \
    --plot "$dir/post.png" >/dev/null || fail "estimate picture failed"
file "$dir/post.png" | grep -q "PNG image data, 1600 x 1000" || fail "estimate: not a PNG"

# A device is not replaced by a picture, not even through a link.
ln -s /dev/null "$dir/null.png"
refused 2 "${run[@]}" --plot "$dir/null.png"
[ -c /dev/null ] || fail "/dev/null was replaced"
echo "pictures written, refused and repeated as expected"
