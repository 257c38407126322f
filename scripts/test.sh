#!/usr/bin/env bash
# Builds Vireka and runs every test. With SANITIZE=1 the build uses AddressSanitizer and
# UndefinedBehaviorSanitizer, in a build folder of its own, with leak checking on.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
# Warnings are errors here, as in CI; packagers build without -Werror.
options=(-G Ninja -DVIREKA_WERROR=ON)
if command -v ccache >/dev/null; then
    options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Paths are taken relative to the checkout, so that another clone finds the same
    # objects; the precompiled headers are cached only with these allowances.
    export CCACHE_BASEDIR="$PWD"
    export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
fi
if [ "${SANITIZE:-0}" = 1 ]; then
    dir=build-asan
    cmake -S . -B "$dir" "${options[@]}" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
        -DVIREKA_SANITIZE=ON >/dev/null
    # Libraries that keep process-wide allocations until exit on purpose (the browser
    # engine, fontconfig) are suppressed by name; every other leak fails the test.
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
    dir=build
    cmake -S . -B "$dir" "${options[@]}" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$dir" -j2
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
ctest --test-dir "$dir" --output-on-failure -j2
