#!/usr/bin/env bash
# Takes the screenshots of the README and the package's metainfo from the real program on the
# demo knowledge base, in a virtual display of 1280x800:
#   docs/screenshots/vireka.png (English) and docs/screenshots/vireka-fr.png (French).
# With SCALE=2 it takes docs/screenshots/vireka-scale2.png instead, on a display twice as
# large with the window scaled by 2. Uses build/ (built when needed) and settings of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
missing=()
for p in imagemagick xdotool; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
[ -f build/CMakeCache.txt ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run QTWEBENGINE_DISABLE_SANDBOX=1
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
scale=${SCALE:-1}

# shoot LANGUAGE OUTPUT: starts the program, waits for its main window, photographs the screen.
shoot() {
    build/tools/vireka-setup --data "$PWD/build/demo" --program "$PWD/build" --language "$1" >/dev/null
    QT_SCALE_FACTOR=$scale xvfb-run -a -s "-screen 0 $((1280 * scale))x$((800 * scale))x24" \
        bash -c '
            build/src/app/vireka >/dev/null 2>&1 &
            program=$!
            # The main window is the one with a menu bar: wait for a window the size of the screen.
            for _ in $(seq 120); do
                sleep 0.5
                for w in $(xdotool search --onlyvisible --class vireka 2>/dev/null); do
                    [ "$(xdotool getwindowgeometry "$w" | grep -c "Geometry: $0x")" = 1 ] && break 2
                done
            done
            sleep 4  # the first paint of the drawing and the toolbars
            import -window root "$1"
            kill "$program"
            wait "$program" 2>/dev/null || true  # its single-instance lock goes with it
        ' "$((1280 * scale))" "$2"
    echo "wrote $2"
}

if [ "$scale" = 1 ]; then
    shoot 0 docs/screenshots/vireka.png
    shoot 2 docs/screenshots/vireka-fr.png
else
    shoot 0 docs/screenshots/vireka-scale2.png
fi
