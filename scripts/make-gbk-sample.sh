#!/usr/bin/env bash
# Regenerates samples/book-gbk/ from samples/book-utf8/: the same pages in GBK
# bytes, declaring charset gbk.
set -euo pipefail
cd "$(dirname "$0")/.."
src=samples/book-utf8
dst=samples/book-gbk
mkdir -p "$dst"
for page in "$src"/*.htm; do
    name=$(basename "$page")
    sed 's/<meta charset="utf-8">/<meta charset="gbk">/' "$page" | iconv -f UTF-8 -t GBK > "$dst/$name.tmp"
    mv "$dst/$name.tmp" "$dst/$name"
done
