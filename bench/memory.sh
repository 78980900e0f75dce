#!/usr/bin/env bash
# memory.sh QUILLORY [COUNTS...]: the program's resident memory once start-up has shown the window,
# for projects of 1, 1,000 and 10,000 pages of 2 KB (or the COUNTS given), beside the size of the
# pages themselves, in a private X session. A benchmark: it prints figures and judges none. Exits
# non-zero only when it cannot run (77 when a tool is missing).
set -uo pipefail
source "$(dirname "$0")/../tests/e2e/harness.sh"
QUILLORY=${1:?usage: memory.sh QUILLORY [COUNTS...]}
shift
counts=("$@")
((${#counts[@]})) || counts=(1 1000 10000)
harness_init memory
start_x_session

data=$HOME/$DATA_DIR_REL
page=$E2E_TMP/page
awk 'BEGIN { for (;;) printf "Prepared text, line %04d, word after word to paste elsewhere.\n", ++n }' | head -c 2048 >"$page"

rss_kb()
{
    awk '/^VmRSS:/ { print $2 }' "/proc/$QUILLORY_PID/status"
}

# The resident size once it no longer grows between two readings a tick apart.
settled_rss()
{
    local last=0 now
    for _ in $(seq 200); do
        now=$(rss_kb)
        ((now == last)) && {
            echo "$now"
            return
        }
        last=$now
        sleep 0.1
    done
    echo "$last"
}

printf '| pages of 2 KB | the pages | resident after start-up |\n|---|---|---|\n'
for count in "${counts[@]}"; do
    project=$data/M$count.qlyp.dir
    rm -rf "$data"
    mkdir -p "$project"
    for ((i = 0; i < count; i++)); do cp "$page" "$project/Page $i"; done
    write_config "$project" "Page 0"
    start_quillory "$QUILLORY"
    window=$(wait_for_main_window 120) || fail "no main window for $count pages"
    wait_for 120 title_is "$window" "Quillory - $project" || fail "start-up did not finish for $count pages"
    kb=$(settled_rss)
    pages_kb=$(du -sk --apparent-size "$project" | cut -f1)
    awk -v n="$count" -v p="$pages_kb" -v r="$kb" 'BEGIN { printf "| %s | %.1f MB | %.1f MB |\n", n, p / 1024, r / 1024 }' 
    stop_quillory
done
