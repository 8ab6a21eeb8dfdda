#!/usr/bin/env bash
# Checks that the C++ lines changed against a base follow .clang-format.
# Only changed lines are checked, so an old file need not be reformatted
# whole before it may be touched.
#
#   scripts/check-format.sh            against the last change of .clang-format
#   scripts/check-format.sh <base>     against any commit
#
# Exit status 0 when the changes are formatted; otherwise the diff that
# clang-format would apply is printed and the status is 1.
set -euo pipefail
cd "$(dirname "$0")/.."

base="${1:-}"
if [ -z "$base" ]; then
    # The tree was formatted whole together with the last change of the style.
    base="$(git log -1 --format=%H -- .clang-format)"
fi
git rev-parse --verify --quiet "$base^{commit}" >/dev/null || { echo "no such commit: $base" >&2; exit 2; }

diff="$(git clang-format --quiet --diff --extensions cpp,h "$base" -- || true)"
if [ -z "$diff" ] || [ "$diff" = "no modified files to format" ] || [ "$diff" = "clang-format did not modify any files" ]; then
    echo "format: the changes since $(git rev-parse --short "$base") follow .clang-format"
    exit 0
fi
printf '%s\n' "$diff"
echo "format: the lines above do not follow .clang-format (fix: git clang-format $base)" >&2
exit 1
