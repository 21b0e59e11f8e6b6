#!/usr/bin/env bash
# Checks Pagewick as it is installed, from a finished build: the desktop entry
# and the metainfo validate; an install into a temporary prefix holds exactly
# the expected files, answers --version without a display, offers the prefix's
# own sample book and loads it; the Debian package holds the same files and
# depends on the Qt packages it needs.
#   bash scripts/package-test.sh [build-dir]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
id=io.github.pagewick.Pagewick
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The files an install puts below its prefix, one per line, sorted.
expected_files() {
    {
        echo bin/pagewick
        echo "share/applications/$id.desktop"
        echo "share/icons/hicolor/scalable/apps/$id.svg"
        echo "share/metainfo/$id.metainfo.xml"
        echo share/pagewick/pagewick-update.service
        echo share/pagewick/pagewick-update.timer
        for page in samples/book-utf8/*.htm samples/book-gbk/*.htm; do
            echo "share/pagewick/$page"
        done
    } | LC_ALL=C sort
}
expected_files > "$work/expected"

echo "== install into a temporary prefix"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) > "$work/installed"
diff -u "$work/expected" "$work/installed"

echo "== desktop entry and metainfo"
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"

echo "== the installed program"
version=$(sed -n 's/^project(Pagewick VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
# No display to reach: opening a window would fail the program.
answer=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$prefix/bin/pagewick" --version)
[ "$answer" = "Pagewick $version" ] || { echo "--version answered: $answer"; exit 1; }
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$prefix/bin/pagewick" --help | grep -q -- '--version'
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
# The window stays open until it is ended.
rc=0
timeout 8 "$prefix/bin/pagewick" > "$work/run.log" 2>&1 || rc=$?
[ "$rc" -eq 124 ] || { cat "$work/run.log"; echo "the installed program ended by itself ($rc)"; exit 1; }
cp "$build/tests/window/tst_installedprogram" "$prefix/bin/"
# The user's own start addresses come first, then those beside the program.
printf 'http://beside.example/\n' > "$prefix/bin/favorites.ini"
check_installed() { # user home expected-save-directory
    local user=$1 home=$2
    mkdir -p "$home/.config/pagewick" "$home/Documents"
    printf 'http://user.example/\n' > "$home/.config/pagewick/favorites.ini"
    local as=()
    if [ "$user" != "$(id -un)" ]; then
        chown -R "$user" "$home"
        as=(setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups)
    fi
    "${as[@]}" env -u XDG_RUNTIME_DIR HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
        XDG_CACHE_HOME="$home/.cache" PAGEWICK_EXPECTED_SAVE_DIRECTORY="$3" \
        PAGEWICK_EXPECTED_USER_FAVORITE=http://user.example/ \
        PAGEWICK_EXPECTED_PROGRAM_FAVORITE=http://beside.example/ \
        "$prefix/bin/tst_installedprogram" > "$work/check.log" 2>&1 || { cat "$work/check.log"; exit 1; }
    grep '^Totals:' "$work/check.log"
}
# Where the program's directory can be written, the chapters go there ...
check_installed "$(id -un)" "$work/own-home" "$prefix/bin/"
# ... and where it cannot (an install under /usr), into the user's documents.
if [ "$(id -u)" -eq 0 ]; then
    chmod 755 "$work"
    chmod -R a+rX "$prefix"
    chmod a-w "$prefix/bin"
    check_installed nobody "$work/user-home" "$work/user-home/Documents/Pagewick/"
    chmod u+w "$prefix/bin"
fi

echo "== Debian package"
(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/pagewick_"$version"_*.deb)
dpkg-deb -c "$deb" | awk '$1 ~ /^-/ {print $6}' | sed 's|^\./usr/||' | LC_ALL=C sort > "$work/packaged"
diff -u "$work/expected" "$work/packaged"
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6webenginewidgets6 libqt6svg6 libqt6widgets6 qt6-qpa-plugins; do
    case ", $depends," in
        *", $package "* | *", $package,"*) ;;
        *) echo "$(basename "$deb") does not depend on $package: $depends"; exit 1 ;;
    esac
done
echo "$(basename "$deb"): Depends: $depends"
