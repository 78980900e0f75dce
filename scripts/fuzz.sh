#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (FUZZ_SECONDS, default 20).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ not found, skipped"
  exit 0
fi
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DQUILLORY_UI=ON -DQUILLORY_TESTS=OFF -DQUILLORY_FUZZ=ON >/dev/null
cmake --build build/fuzz --target fuzzers
# The editor's fuzzers run Qt, whose font caches live as long as the process.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp}
export QT_QPA_PLATFORM=offscreen
seconds=${FUZZ_SECONDS:-20}
failed=0
for target in build/fuzz/fuzz/fuzz_*; do
  [[ -f $target && -x $target ]] || continue
  name=$(basename "$target")
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  seeds=()
  [ -d "fuzz/seeds/$name" ] && seeds=("fuzz/seeds/$name")
  # The whole page path starts from the pages the reader's fuzzer starts from.
  [ "$name" = fuzz_page ] && seeds+=(fuzz/seeds/fuzz_rtf)
  if "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=${FUZZ_MAX_LEN:-100000} "$corpus" "${seeds[@]}" \
       >"build/fuzz/$name.log" 2>&1; then
    echo "fuzz: $name ran ${seconds}s without a finding"
  else
    echo "fuzz: $name FAILED"; tail -n 40 "build/fuzz/$name.log"; failed=1
  fi
done
exit $failed
