#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what clang-format makes of
# it with the .clang-format files of the tree. Generated tables are left as
# their generators write them. "--fix" formats instead of checking.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is not installed" >&2; exit 1; }
mapfile -t files < <(git ls-files '*.cpp' '*.h' | grep -v -e '^barcode/src/core/ClusterText\.cpp$' -e '^barcode/src/core/CoefficientText\.cpp$')
if [ "${1:-}" = --fix ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
bad=()
for f in "${files[@]}"; do
  clang-format "$f" | cmp -s - "$f" || bad+=("$f")
done
if [ ${#bad[@]} -gt 0 ]; then
  printf 'not formatted: %s\n' "${bad[@]}" >&2
  echo "run: bash scripts/check-format.sh --fix" >&2
  exit 1
fi
echo "format: ${#files[@]} files as .clang-format says"
