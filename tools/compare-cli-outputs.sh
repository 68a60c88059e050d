#!/usr/bin/env bash
# Runs two builds of pagewright-cli on the sample catalogue and compares what they write:
# dump, pages, render of every layout, pdf (CMYK and RGB), csv-export, byte for byte.
# Used to show that a change of the core's inner workings leaves every output as it was.
#   tools/compare-cli-outputs.sh OLD/pagewright-cli NEW/pagewright-cli [CATALOGUE]
set -euo pipefail
old=$1
new=$2
sample=${3:-$(cd "$(dirname "$0")/.." && pwd)/resources/samples/test.pk2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run() { # run NAME ARGS...: the outputs of both builds go to $work/old/NAME and $work/new/NAME
    local name=$1
    shift
    for side in old new; do
        local cli=$old
        [ $side = new ] && cli=$new
        mkdir -p "$work/$side"
        local args=()
        for a in "$@"; do args+=("${a//@OUT@/$work/$side/$name}"); done
        "$cli" --date 2026-01-01 "${args[@]}" >"$work/$side/$name.stdout" 2>"$work/$side/$name.stderr" || true
    done
}

run dump dump "$sample"
run dump-notrim dump "$sample" --no-trim
run pages pages "$sample"
for layout in 1 2 3 4 5 6 7 8; do
    run "render$layout" render "$sample" --page 2 --dpi 48 --layout $layout -o @OUT@.png
done
run pdf-rgb pdf "$sample" --dpi 50 --rgb -o @OUT@.pdf
run pdf-cmyk pdf "$sample" --dpi 50 --cmyk -o @OUT@.pdf
run csv csv-export "$sample" --all -o @OUT@.csv

if diff -r "$work/old" "$work/new" >/dev/null; then
    echo "identical: $(find "$work/new" -type f | wc -l) files"
else
    diff -rq "$work/old" "$work/new" || true
    exit 1
fi
