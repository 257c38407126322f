#!/usr/bin/env bash
# Checks the C++ sources as CI does: every tracked file must be formatted as .clang-format
# says, and clang-tidy (.clang-tidy) must find nothing in the files changed since the base
# branch, or in every file with --all. clang-tidy reads the compile commands of a configured
# and built tree (build/ unless BUILD is set): run scripts/test.sh or a build first.
#
#   bash scripts/lint.sh [--all] [--format-only | --tidy-only]
#   bash scripts/lint.sh --tidy-changed   (clang-tidy alone, on the files changed since the
#                                          merge-base with origin/main, or in the last commit
#                                          when there is no such change: what CI runs)
#   bash scripts/lint.sh --tidy-core      (clang-tidy alone on src/platform, src/kb, src/engine)
#   LINT_BASE=origin/main bash scripts/lint.sh      (the branch changes are counted from)
set -euo pipefail
cd "$(dirname "$0")/.."
all=0
core=0
tidy=1
format=1
for arg in "$@"; do
    case $arg in
        --all) all=1 ;;
        --format-only) tidy=0 ;;
        --tidy-only) format=0 ;;
        --tidy-changed) format=0; LINT_BASE=${LINT_BASE:-origin/main} ;;
        --tidy-core) format=0; core=1 ;;
        *) echo "usage: scripts/lint.sh [--all | --tidy-changed | --tidy-core] [--format-only | --tidy-only]" >&2; exit 2 ;;
    esac
done
# Debian's clang-format and clang-tidy, installed like the other tools when missing.
if ! command -v clang-format >/dev/null || ! command -v clang-tidy >/dev/null; then
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq clang-format clang-tidy
fi

if [ "$format" = 1 ]; then
    mapfile -t sources < <(git ls-files '*.cpp' '*.h')
    echo "lint: clang-format on ${#sources[@]} files"
    clang-format --dry-run --Werror "${sources[@]}"
fi

[ "$tidy" = 1 ] || exit 0
build=${BUILD:-build}
[ -f "$build/compile_commands.json" ] || { echo "lint: no $build/compile_commands.json: build first" >&2; exit 2; }
# The compile commands name GCC's precompiled headers, which clang cannot read; clang-tidy
# gets the same commands without them.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$build/compile_commands.json" "$work/compile_commands.json" <<'EOF'
import json, re, sys
commands = json.load(open(sys.argv[1]))
for c in commands:
    c["command"] = re.sub(r" -include \S+cmake_pch\.hxx| -Winvalid-pch", "", c["command"])
json.dump(commands, open(sys.argv[2], "w"))
EOF
mapfile -t known < <(python3 -c 'import json,sys; [print(c["file"]) for c in json.load(open(sys.argv[1]))]' \
    "$work/compile_commands.json" | grep -E "^$PWD/(src|tools|tests|bench|fuzz)/" | sort -u)

if [ "$all" = 1 ]; then
    files=("${known[@]}")
elif [ "$core" = 1 ]; then
    mapfile -t files < <(printf '%s\n' "${known[@]}" | grep -E "^$PWD/src/(platform|kb|engine)/")
else
    base=${LINT_BASE:-main}
    git rev-parse -q --verify "$base" >/dev/null || base=main
    from=$(git merge-base HEAD "$base" 2>/dev/null || git rev-parse HEAD~1)
    # On the base itself the last commit is what changed.
    [ "$from" = "$(git rev-parse HEAD)" ] && from=$(git rev-parse HEAD~1 2>/dev/null || echo "$from")
    # A changed header is checked through the source file of the same name.
    mapfile -t changed < <({ git diff --name-only --diff-filter=ACMR "$from"; git diff --name-only --diff-filter=ACMR; } |
        grep -E '\.(cpp|h)$' | sed -E 's/\.h$/.cpp/' | sort -u)
    files=()
    for f in "${changed[@]}"; do
        printf '%s\n' "${known[@]}" | grep -qxF "$PWD/$f" && files+=("$PWD/$f")
    done
fi
echo "lint: clang-tidy on ${#files[@]} files"
[ "${#files[@]}" -gt 0 ] || exit 0
printf '%s\n' "${files[@]}" | xargs -P "${LINT_JOBS:-2}" -n 4 clang-tidy -p "$work" --quiet
