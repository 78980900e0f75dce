#!/usr/bin/env bash
# The tree's form: C++ as .clang-format lays it out, shell scripts clean for shellcheck. Prints what
# differs and exits non-zero; changes nothing (clang-format -i on the files named fixes the first).
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
mapfile -t sources < <(git ls-files '*.cpp' '*.h' | grep -v '^tests/fixtures/')
if command -v clang-format >/dev/null; then
    clang-format --dry-run --Werror "${sources[@]}" || status=1
else
    echo "lint: clang-format not found, skipped"
fi
mapfile -t scripts < <(git ls-files '*.sh')
if command -v shellcheck >/dev/null; then
    shellcheck -S warning "${scripts[@]}" || status=1
else
    echo "lint: shellcheck not found, skipped"
fi
((status == 0)) && echo "lint: the tree is formatted and its scripts are clean"
exit $status
