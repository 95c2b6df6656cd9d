#!/usr/bin/env bash
# Fuzzes the data file reader for a bounded time with libFuzzer (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer).
#
#   fuzz/run.sh [SECONDS]     default 60
#
# The fuzzer and the inputs it collects live in $PELASIM_FUZZ_DIR (default $BUILD_DIR/fuzz,
# or build/fuzz); the seeds in fuzz/corpus are read, never written. An input that breaks the
# reader is saved in the artifacts folder there and the script fails; turn it into a case in
# tests/datafile/DataFileReadTest.cpp.
set -euo pipefail

seconds=${1:-60}
case $seconds in '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;; esac

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
out=${PELASIM_FUZZ_DIR:-${BUILD_DIR:-$root/build}/fuzz}
cxx=${PELASIM_FUZZ_CXX:-clang++}
mkdir -p "$out/corpus" "$out/artifacts"

sources=("$here/datafile_fuzzer.cpp" "$root/src/datafile/DataFile.cpp"
         "$root/src/debrief/DiveTrace.cpp")
binary=$out/datafile_fuzzer
rebuild=no
[ -x "$binary" ] || rebuild=yes
for s in "${sources[@]}" "$root/src/datafile/DataFile.h" "$root/src/debrief/DiveTrace.h"; do
  [ "$s" -nt "$binary" ] && rebuild=yes
done
if [ $rebuild = yes ]; then
  echo "Building $binary"
  "$cxx" -std=c++20 -O1 -g -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I "$root/src" "${sources[@]}" -o "$binary"
fi

echo "Fuzzing the data file reader for $seconds s"
"$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
  -dict="$here/datafile.dict" -artifact_prefix="$out/artifacts/" -print_final_stats=1 \
  "$out/corpus" "$here/corpus"
