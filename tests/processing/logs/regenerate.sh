#!/usr/bin/env bash
# Compiles each test document here once with TeX Live's latex, in a fresh copy of this
# folder (no .aux from an earlier run), and keeps the LOG beside the source. The tests read
# only the LOGs, so they need no TeX. The date TeX writes into the LOG's first line is
# fixed through SOURCE_DATE_EPOCH; everything else stays as TeX wrote it.
set -euo pipefail
cd "$(dirname "$0")"
documents=(undefined latex_error missing_file missing_dollar references boxes package_warning nested
           long_name russian utf8)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SOURCE_DATE_EPOCH=1704067200 FORCE_SOURCE_DATE=1 max_print_line=79
# compile LOG-NAME DOCUMENT [OPTION]
compile() {
    rm -rf "$work/run" && mkdir "$work/run"
    cp -R . "$work/run/"
    rm -f "$work/run"/*.log "$work/run"/*.aux
    # latex exits non-zero on the errors these documents are made of.
    (cd "$work/run" && latex -interaction=nonstopmode ${3:-} "$2.tex" >/dev/null 2>&1) || true
    cp "$work/run/$2.log" "$1.log"
    echo "$1.log: $(wc -l <"$1.log") lines"
}
for name in "${documents[@]}"; do
    compile "$name" "$name"
done
# The errors as "file:line: message" instead of "! message".
compile file_line_error undefined -file-line-error
