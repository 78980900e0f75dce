#!/usr/bin/env bash
# Times our reader, unrtf and pandoc on the same generated 10 MB rich-text control page, in one run.
# Usage: bench/compare_readers.sh [build-dir]   (a Release build with the tools; default build/bench)
# Each program runs as a process that reads the file and prints its text; the best of RUNS runs
# (default 3; pandoc once) counts, by processor time (user + system), which a busy machine disturbs
# less than the wall clock (also shown).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
runs=${RUNS:-3}
if [ ! -x "$build/tools/rtfconv" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLORY_UI=OFF -DQUILLORY_TESTS=OFF >/dev/null
  cmake --build "$build" --target rtfconv
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
page=$work/page.rtf
"$build/tools/rtfconv" sample 10485760 >"$page"
bytes=$(stat -c %s "$page")
mb=$(echo "$bytes / 1048576" | bc -l)

# Prints "cpu wall" of the fastest of $1 runs of the rest of the line.
best() {
  local n=$1 best_cpu="" best_wall="" line
  shift
  for ((i = 0; i < n; i++)); do
    line=$( { TIMEFORMAT='%R %U %S'; time "$@" >/dev/null 2>&1; } 2>&1 )
    read -r wall user sys <<<"$line"
    cpu=$(echo "$user + $sys" | bc -l)
    if [ -z "$best_cpu" ] || [ "$(echo "$cpu < $best_cpu" | bc -l)" = 1 ]; then
      best_cpu=$cpu
      best_wall=$wall
    fi
  done
  echo "$best_cpu $best_wall"
}

report() {
  printf '%-26s cpu %7.3f s  %8.1f MB/s   (wall %7.3f s)\n' "$1" "$2" "$(echo "$mb / $2" | bc -l)" "$3"
}

printf 'page: %d bytes\n' "$bytes"
model=$("$build/tools/rtfconv" time "$page")
printf '%-26s %s MB/s (best of five reads in one process, processor time)\n' "quillory into the model" "$model"
read -r ours ours_wall <<<"$(best "$runs" "$build/tools/rtfconv" text "$page")"
report "quillory text" "$ours" "$ours_wall"
if command -v unrtf >/dev/null; then
  read -r unrtf_cpu unrtf_wall <<<"$(best "$runs" unrtf --text "$page")"
  report "unrtf --text" "$unrtf_cpu" "$unrtf_wall"
  printf '  quillory / unrtf: %.1f times as fast as a process, %.1f times reading into the model\n' \
    "$(echo "$unrtf_cpu / $ours" | bc -l)" "$(echo "$model / ($mb / $unrtf_cpu)" | bc -l)"
else
  echo "unrtf: not installed"
fi
if command -v pandoc >/dev/null; then
  read -r pandoc_cpu pandoc_wall <<<"$(best 1 pandoc -f rtf -t plain "$page")"
  report "pandoc -f rtf -t plain" "$pandoc_cpu" "$pandoc_wall"
  printf '  quillory / pandoc: %.1f times as fast\n' "$(echo "$pandoc_cpu / $ours" | bc -l)"
else
  echo "pandoc: not installed"
fi
