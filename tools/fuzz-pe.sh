#!/usr/bin/env bash
# fuzz-pe.sh [SECONDS]
# Builds the image-check fuzzer (clang, libFuzzer with AddressSanitizer and UBSan) into
# build/fuzz and runs it for SECONDS (default 60) from the seed images in skin/fuzz/corpus.
# Exits non-zero when the fuzzer finds a crash, a sanitizer report or a hang.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out=$root/build/fuzz
mkdir -p "$out/corpus"

clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$root" "$root/skin/fuzz/pe_image_fuzz.cpp" "$root/skin/pe_image.cpp" \
  -o "$out/pe_image_fuzz"

# New inputs go to build/fuzz/corpus; the committed seeds are only read.
"$out/pe_image_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
  -artifact_prefix="$out/" -print_final_stats=1 "$out/corpus" "$root/skin/fuzz/corpus"
