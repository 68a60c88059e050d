#!/usr/bin/env bash
# The Debian package, checked as a distribution would: it is built with CPack from the
# existing build folder into a temporary folder, its contents and dependencies are listed,
# lintian, desktop-file-validate and appstreamcli judge it, and the programs are run from
# the unpacked package with an empty home folder, so that nothing comes from the build tree.
#
#   run.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if ! "$@"; then fail "$what"; fi
}

echo "== building the package"
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    exit 1
}
debs=("$work"/out/pagewright_*_amd64.deb)
[ -f "${debs[0]}" ] || { echo "no package in $work/out" >&2; exit 1; }
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

echo "== contents"
dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|; s|/$||' >"$work/contents"
expected=(
    /usr/bin/pagewright /usr/bin/pagewright-cli
    /usr/share/pagewright/translate.dat /usr/share/pagewright/flippages.htm
    /usr/share/pagewright/vcr-start.gif /usr/share/pagewright/vcr-previous.gif
    /usr/share/pagewright/vcr-next.gif /usr/share/pagewright/vcr-end.gif
    /usr/share/pagewright/magnifying-glass-plus.gif /usr/share/pagewright/magnifying-glass-minus.gif
    /usr/share/pagewright/test.pk2 /usr/share/pagewright/logo.png /usr/share/pagewright/hammer_1.jpg
    /usr/share/applications/pagewright.desktop
    /usr/share/mime/packages/pagewright.xml
    /usr/share/metainfo/org.pagewright.Pagewright.metainfo.xml
    /usr/share/icons/hicolor/scalable/apps/pagewright.svg
    /usr/share/icons/hicolor/48x48/apps/pagewright.png
    /usr/share/icons/hicolor/256x256/apps/pagewright.png
    /usr/share/man/man1/pagewright.1.gz /usr/share/man/man1/pagewright-cli.1.gz
    /usr/share/bash-completion/completions/pagewright-cli
    /usr/share/doc/pagewright/copyright /usr/share/doc/pagewright/changelog.gz
)
for path in "${expected[@]}"; do
    grep -qxF "$path" "$work/contents" || fail "the package lacks $path"
done
# Every picture the sample catalogue names travels with it.
for picture in "$(dirname "$0")"/../../resources/samples/*.jpg; do
    grep -qxF "/usr/share/pagewright/$(basename "$picture")" "$work/contents" ||
        fail "the package lacks the sample picture $(basename "$picture")"
done
size=$(stat -c %s "$deb")
[ "$size" -lt $((10 * 1024 * 1024)) ] || fail "the package has $size bytes, more than 10 MB"

echo "== dependencies"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libc6 liblcms2-2 libdeflate0 libgif7 \
    fonts-liberation2 fonts-dejavu-core qt6-image-formats-plugins; do
    named="(^|, )$p( |,|$)"
    [[ $depends =~ $named ]] || fail "Depends lacks $p"
done
development="-dev( |,|$)"
if [[ $depends =~ $development ]]; then fail "Depends names a development package: $depends"; fi
changelogVersion=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/pagewright/changelog.gz | gzip -dc |
    sed -n '1s/^pagewright (\([^)]*\)).*/\1/p')
[ "$changelogVersion" = "$version" ] || fail "the change log's first entry is $changelogVersion, the package $version"

echo "== lintian"
# Warnings are allowed; an error fails. The package is built by CPack rather than from a
# Debian source package, so the tags about the source package cannot apply.
if ! lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1; then
    fail "lintian reports errors"
fi
cat "$work/lintian.log"

echo "== unpacking"
root=$work/root
dpkg-deb -x "$deb" "$root"
check "desktop-file-validate" desktop-file-validate "$root/usr/share/applications/pagewright.desktop"
check "appstreamcli validate" appstreamcli validate --no-net \
    "$root/usr/share/metainfo/org.pagewright.Pagewright.metainfo.xml"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/org.pagewright.Pagewright.metainfo.xml" ||
    fail "the metainfo file does not name release $version"
for size in 48 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/pagewright.png
    [ "$(file -b "$png" | sed -n 's/^PNG image data, \([0-9]*\) x \([0-9]*\),.*/\1x\2/p')" = "${size}x${size}" ] ||
        fail "the $size pixel icon is $(file -b "$png")"
done

echo "== the programs from the package"
home=$work/home
mkdir -p "$home" "$work/run"
cli=$root/usr/bin/pagewright-cli
run() { (cd "$work/run" && env -i PATH=/usr/bin:/bin HOME="$home" "$@"); }

out=$(run "$cli" --version)
[ "$out" = "pagewright-cli $version" ] || fail "--version says '$out', the package is $version"

sample=$root/usr/share/pagewright/test.pk2
if run "$cli" pdf "$sample" -o "$work/run/katalog.pdf" --dpi 20 --rgb --strict 2>"$work/pdf.err"; then
    [ "$(head -c 5 "$work/run/katalog.pdf")" = "%PDF-" ] || fail "the PDF export wrote no PDF file"
    pages=$(pdfinfo "$work/run/katalog.pdf" | sed -n 's/^Pages: *//p')
    [ "${pages:-0}" -gt 1 ] || fail "the PDF of the sample has ${pages:-no} pages"
else
    fail "the PDF export of the installed sample failed: $(cat "$work/pdf.err")"
fi

# The flip catalogue needs the template and pictures from /usr/share/pagewright.
if run "$cli" html "$sample" -o "$work/run/flip" --dpi 10 2>"$work/html.err"; then
    for f in catalog.htm vcr-next.gif magnifying-glass-plus.gif; do
        [ -s "$work/run/flip/$f" ] || fail "the flip catalogue lacks $f"
    done
else
    fail "the flip-catalogue export failed: $(cat "$work/html.err")"
fi

# Messages in the chosen language come from the installed translate.dat.
for case in "en|Could not open the following file: " "de|Konte die folgende Datei nicht öffnen: " \
    "nl|Kon het volgende bestand niet openen: "; do
    lang=${case%%|*}
    text=${case#*|}
    err=$(run "$cli" --lang "$lang" dump "$work/run/missing.pk2" 2>&1 >/dev/null || true)
    [ "$err" = "pagewright-cli: $text$work/run/missing.pk2" ] || fail "--lang $lang says: $err"
done
written=$(find "$home" "$root/usr/bin" -type f ! -name pagewright ! -name pagewright-cli)
[ -z "$written" ] || fail "the tool wrote files of its own: $written"

echo "== manual pages"
for page in pagewright pagewright-cli; do
    warnings=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man reports for $page(1): $warnings"
done
manual=$(MANWIDTH=400 LC_ALL=C.UTF-8 man -l "$root/usr/share/man/man1/pagewright-cli.1.gz" 2>/dev/null)
# Every usage line of --help stands in the manual as it is.
while IFS= read -r line; do
    usage=${line#  }
    grep -qF -- "$usage" <<<"$manual" || fail "the manual lacks the usage: $usage"
done < <(run "$cli" --help | tail -n +2)

# The pages cannot drift from the tool: a subcommand without a description, or a
# description of a subcommand the tool lacks, stops the build of the pages.
source_manual=$(dirname "$0")/../../src/cli/manual.txt
sed '/^@command set$/,$d' "$source_manual" >"$work/undescribed.txt"
{ cat "$source_manual"; printf '@command frobnicate\nDoes nothing.\n'; } >"$work/unknown.txt"
for case in "undescribed|the command set has no description" "unknown|describes frobnicate"; do
    if "$build/tools/pagewright-mkmanual" "$work/${case%%|*}.txt" "$build/src/pagewright-cli" "$version" \
        "$work/man-${case%%|*}" 2>"$work/mkmanual.err"; then
        fail "the manual pages were built from $(basename "${case%%|*}").txt"
    fi
    grep -qF "${case#*|}" "$work/mkmanual.err" || fail "pagewright-mkmanual says: $(cat "$work/mkmanual.err")"
done

echo "== bash completion"
# Each case: the words typed (the last one is being completed) | what must be offered |
# what must not be.
mkdir -p "$work/files/bilder"
touch "$work/files/"{a.pk2,b.PKD,c.csv,d.pdf,e.txt}
completion=$root/usr/share/bash-completion/completions/pagewright-cli
complete_words() {
    (cd "$work/files" && PATH=$root/usr/bin:/usr/bin:/bin HOME=$home bash -c '
        source "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        _pagewright_cli
        printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' complete "$completion" "$@")
}
while IFS='|' read -r words offered absent; do
    [ -n "$words" ] || continue
    read -r -a typed <<<"$words"
    [[ $words == *" " ]] && typed+=("")
    got=" $(complete_words pagewright-cli "${typed[@]}")"
    for w in $offered; do [[ $got == *" $w "* ]] || fail "completing '$words' offers $got, not $w"; done
    for w in $absent; do [[ $got != *" $w "* ]] || fail "completing '$words' offers $w: $got"; done
done <<'EOF'
 |dump pdf csv-import copy-pictures set|--dpi a.pk2
--l|--lang|dump
--lang |de en fr nl|dump
--paper |A4 A3 A5 Letter Legal|de
pdf |a.pk2 b.PKD bilder|c.csv d.pdf e.txt
pdf a.pk2 --|--dpi --cmyk --rgb --layout --strict --lang --help|--no-trim --quality
pdf a.pk2 -o |d.pdf bilder|a.pk2 e.txt
pdf a.pk2 --layout |1 2 3 4 5 6 7 8|9 0
--lang en render a.pk2 --page 3 --layout |1 8|a.pk2
csv-import a.pk2 |c.csv|a.pk2
csv-import a.pk2 c.csv --delimiter |; , tab|c.csv
csv-import --category X a.pk2 c.csv --template |a.pk2|b.PKD c.csv
html a.pk2 -o |bilder|a.pk2
html a.pk2 --|--zoom-dpi --quality --dpi|--cmyk
pricelist a.pk2 -o |d.pdf e.txt|a.pk2 c.csv
dump --|--no-trim|--dpi
EOF

echo "== file type"
# The catalogue type is known by its extensions, and by its first bytes when renamed;
# files with a signature of their own keep their type.
xdg=$work/xdg
mkdir -p "$xdg/mime/packages" "$work/types"
cp "$root/usr/share/mime/packages/pagewright.xml" "$xdg/mime/packages/"
XDG_DATA_HOME=$xdg update-mime-database "$xdg/mime"
cp "$sample" "$work/types/katalog"
cp "$sample" "$work/types/ALT.PKD"
cp "$sample" "$work/types/neu.pk2"
cp "$root/usr/share/pagewright/logo.png" "$work/types/logo"
printf 'Werkzeug;Hammer\n' >"$work/types/liste"
while read -r name type; do
    got=$(XDG_DATA_HOME=$xdg XDG_DATA_DIRS=/usr/share gio info -a standard::content-type "$work/types/$name" |
        sed -n 's/^ *standard::content-type: //p')
    [ "$got" = "$type" ] || fail "$name is seen as '$got', not $type"
done <<'EOF'
katalog application/x-pagewright-catalog
ALT.PKD application/x-pagewright-catalog
neu.pk2 application/x-pagewright-catalog
logo image/png
liste text/plain
EOF

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "the package passed every check"
