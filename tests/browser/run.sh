#!/usr/bin/env bash
# run.sh CLI SAMPLE SOURCE_DIR: exports SAMPLE as an HTML flip catalogue with the
# command-line program CLI and checks the result in chromium (flipcatalog.test.mjs), with
# the pages and contents of SAMPLE as the program reports them for the search.
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: run.sh CLI SAMPLE SOURCE_DIR" >&2
  exit 2
fi
cli=$1
sample=$2
here="$3/tests/browser"

# A missing browser or Node package fails the test rather than skipping it, so a machine
# set up without them cannot pass unnoticed.
missing=()
command -v node >/dev/null 2>&1 || missing+=("node")
[ -x /usr/bin/chromium ] || missing+=("/usr/bin/chromium")
[ -d "$here/node_modules/playwright-core" ] || missing+=("$here/node_modules/playwright-core")
[ -d "$here/node_modules/axe-core" ] || missing+=("$here/node_modules/axe-core")
if [ ${#missing[@]} -gt 0 ]; then
  echo "browser test: missing ${missing[*]}; run scripts/install-deps.sh" >&2
  exit 1
fi

export QT_QPA_PLATFORM=offscreen
tmpdir=$(mktemp -d)
trap 'rm -rf "$tmpdir"' EXIT

"$cli" html "$sample" -o "$tmpdir/flip"
"$cli" pages "$sample" >"$tmpdir/pages.json"
"$cli" dump "$sample" >"$tmpdir/dump.json"
node "$here/flipcatalog.test.mjs" "$tmpdir/flip" "$tmpdir/pages.json" "$tmpdir/dump.json"
