#!/usr/bin/env bash
# Checks that every C++ file of the project is formatted as .clang-format says, with
# Debian's clang-format; lists the files that are not and fails. clang-format -i on a
# file (or on all of them: git ls-files '*.h' '*.cpp' | xargs clang-format -i) fixes it.
set -euo pipefail
cd "$(dirname "$0")/.."
format=${CLANG_FORMAT:-clang-format}
command -v "$format" >/dev/null || { echo "format-check: $format not found (Debian package clang-format)" >&2; exit 2; }
mapfile -t files < <(git ls-files '*.h' '*.cpp')
mapfile -t bad < <("$format" --dry-run --Werror "${files[@]}" 2>&1 |
  sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' | sort -u)
if [ ${#bad[@]} -gt 0 ]; then
  printf '%s\n' "${bad[@]}"
  echo "format-check: ${#bad[@]} of ${#files[@]} files differ from .clang-format ($("$format" --version))" >&2
  exit 1
fi
echo "format-check: ${#files[@]} files as .clang-format says"
