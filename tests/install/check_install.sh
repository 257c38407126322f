#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the tree as a desktop and a packager
# see it: every file in place, the desktop entry, metainfo and MIME type accepted by their own
# validators, a saved identification recognised, and the installed tools finding their data
# relative to themselves.
set -euo pipefail
build=$(cd "$1" && pwd)
app=io.github.vireka.Vireka
type=application/x-vireka-identification
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
usr=$root/usr
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$usr" >/dev/null

for f in bin/vireka bin/vireka-kb bin/vireka-setup; do
    [ -x "$usr/$f" ] || fail "$f is not an installed program"
done
for f in share/vireka/demo/vireka.db share/vireka/demo/setup.ini share/vireka/demo/POIDS.DAT \
         share/vireka/demo/MATRICE.DAT share/vireka/help/index.html share/vireka/help/style.css \
         share/applications/$app.desktop share/mime/packages/$app.xml \
         share/metainfo/$app.metainfo.xml share/icons/hicolor/scalable/apps/$app.svg \
         share/man/man1/vireka.1.gz share/man/man1/vireka-kb.1.gz share/man/man1/vireka-setup.1.gz \
         share/doc/vireka/knowledge-base.md share/doc/vireka/copyright; do
    [ -f "$usr/$f" ] || fail "$f is missing"
done
for size in 16 22 24 32 48 64 128 256; do
    png=$usr/share/icons/hicolor/${size}x${size}/apps/$app.png
    file -b "$png" | grep -q "^PNG image data, $size x $size," || fail "$png is not a $size-pixel PNG"
done
# Only the usual folders, and no build marker or build-tree path in the shared data.
[ "$(cd "$usr" && ls | tr '\n' ' ')" = "bin share " ] || fail "unexpected folders in $usr"
[ ! -e "$usr/share/vireka/demo/.built" ] || fail "the build marker was installed"
if grep -rlF "$build" "$usr/share" >/dev/null; then fail "installed files name the build tree"; fi
for page in vireka vireka-kb vireka-setup; do
    zcat "$usr/share/man/man1/$page.1.gz" | head -1 | grep -qi "^\.TH ${page} 1" ||
        fail "$page.1.gz is not a manual page of section 1"
done

out=$(desktop-file-validate "$usr/share/applications/$app.desktop")
if grep -E "error|warning" <<<"$out"; then fail "desktop-file-validate refused the entry"; fi
appstreamcli validate --no-net --no-color "$usr/share/metainfo/$app.metainfo.xml" >/dev/null ||
    appstreamcli validate --no-net --no-color "$usr/share/metainfo/$app.metainfo.xml"
# The licence is the same everywhere it is stated.
grep -qx "License: Expat" "$usr/share/doc/vireka/copyright" || fail "the copyright file names no licence"
grep -q "<project_license>MIT</project_license>" "$usr/share/metainfo/$app.metainfo.xml" ||
    fail "the metainfo names no licence"
grep -qx "MIT License" "$(dirname "$0")/../../LICENSE" || fail "LICENSE is not the MIT licence"
grep -qx "Icon=$app" "$usr/share/applications/$app.desktop" || fail "desktop entry names another icon"
grep -qx "MimeType=$type;" "$usr/share/applications/$app.desktop" || fail "desktop entry lacks the type"

# The type of a saved identification, as the desktop finds it through the shared MIME database.
update-mime-database "$usr/share/mime"
update-desktop-database "$usr/share/applications" 2>/dev/null
printf '\001\000\000\000\377\377' >"$root/beetle.qnt"
export XDG_DATA_DIRS=$usr/share:/usr/share XDG_DATA_HOME=$root/home XDG_CONFIG_HOME=$root/config
export XDG_CURRENT_DESKTOP=GNOME
got=$(xdg-mime query filetype "$root/beetle.qnt")
[ "$got" = "$type" ] || fail "a .qnt file is taken for $got"
got=$(XDG_CURRENT_DESKTOP= xdg-mime query default "$type")
[ "$got" = "$app.desktop" ] || fail "the handler of $type is \"$got\""

# The installed installer finds the shared data beside itself, wherever the tree lies.
out=$("$usr/bin/vireka-setup" --data "$usr/share/vireka/demo" --settings "$root/user.ini")
grep -qxF "  Logiciel/Executables = $usr/share/vireka/" <<<"$out" ||
    fail "vireka-setup took another program folder: $out"
diff -r -x .built "$build/demo" "$usr/share/vireka/demo" >/dev/null ||
    fail "the installed demo differs from the one built"
echo "installed tree checked in $usr"
