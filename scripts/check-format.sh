#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what clang-format (the .clang-format at the
# top) makes of it. With file arguments it checks only those; --fix formats instead of checking.
set -euo pipefail
cd "$(dirname "$0")/.."

fix=0
if [ "${1:-}" = "--fix" ]; then fix=1; shift; fi
if [ $# -gt 0 ]; then
  # Only C++ sources: the formatter would rewrite Markdown and CMake comments as if they were code.
  files=()
  for f in "$@"; do case "$f" in *.cpp | *.h) files+=("$f") ;; esac; done
else
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
fi
[ ${#files[@]} -eq 0 ] && exit 0

if [ $fix -eq 1 ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run -Werror "${files[@]}" 2>/tmp/check-format.$$; then
  grep -E '^[^ ].*: (error|warning):' /tmp/check-format.$$ | cut -d: -f1 | sort -u |
    sed 's/^/check-format: not formatted: /'
  rm -f /tmp/check-format.$$
  echo "check-format: run scripts/check-format.sh --fix" >&2
  exit 1
fi
rm -f /tmp/check-format.$$
