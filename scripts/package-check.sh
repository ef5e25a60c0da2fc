#!/usr/bin/env bash
# Installs a build into a staging folder and checks it as a package check
# would: the desktop entry, the AppStream metadata, the udev rules, the man
# pages, the systemd unit, every --version (without a display); then builds
# the .deb and checks what it holds. Usage: package-check.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."

build=$1
stage="$PWD/$build/stage"
id=org.lumora.warptool
fail() {
    echo "package check: $*" >&2
    exit 1
}

rm -rf "$stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

problems=$(desktop-file-validate "$stage/usr/share/applications/$id.desktop") || fail "$problems"
[ -z "$problems" ] || fail "$problems"
appstreamcli validate --no-net "$stage/usr/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "$(appstreamcli validate --no-net "$stage/usr/share/metainfo/$id.metainfo.xml")"

# udev rules: `udevadm verify` where udev has it (from 254 on); else every
# rule must be KEY{attr}OP"value" pairs, ids written in lower-case hex, and
# the file must sort before the seat rules (73) that act on uaccess.
rules="$stage/usr/lib/udev/rules.d/70-lumora-warp.rules"
if command -v udevadm >/dev/null && udevadm verify --help >/dev/null 2>&1; then
    udevadm verify --resolve-names=never "$rules"
else
    pair='[A-Z_]+(\{[A-Za-z0-9_]+\})?(==|!=|\+=|-=|:=|=)"[^"]*"'
    while IFS= read -r line; do
        [[ -z $line || $line == \#* ]] && continue
        [[ $line =~ ^$pair(,\ $pair)*$ ]] || fail "not a udev rule: $line"
        if [[ $line =~ id(Vendor|Product)\}==\"[^\"]*[A-F] ]]; then
            fail "ids must be lower-case hex: $line"
        fi
    done <"$rules"
fi
[[ $(basename "$rules") < 73 ]] || fail "$rules sorts after the uaccess rules (73)"

for page in "$stage"/usr/share/man/man1/*.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
done

# The unit names its two commands without a folder (systemd looks in
# /usr/local/bin, /usr/bin, ...): they are not installed yet, nor is udev
# everywhere.
if command -v systemd-analyze >/dev/null; then
    unit="$stage/usr/lib/systemd/system/lumora-warp-restore@.service"
    problems=$(systemd-analyze verify --man=no "$unit" 2>&1 |
        grep -v -e 'Command udevadm is not executable' \
            -e 'Command lumora-warp-cli is not executable' || true)
    [ -z "$problems" ] || fail "$problems"
fi

for program in lumora-warp lumora-warp-cli lumora-boxsim; do
    said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$stage/usr/bin/$program" --version)
    [ "$said" = "$program $version" ] || fail "$program --version says '$said', not $version"
done

(cd "$build" && cpack -G DEB >/dev/null)
deb="$build/lumora-warp_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $deb"
expected="./usr/bin/lumora-boxsim
./usr/bin/lumora-warp
./usr/bin/lumora-warp-cli
./usr/lib/systemd/system/lumora-warp-restore@.service
./usr/lib/udev/rules.d/70-lumora-warp.rules
./usr/share/applications/$id.desktop
./usr/share/bash-completion/completions/lumora-warp-cli
./usr/share/doc/lumora-warp/examples/hall.conf
./usr/share/icons/hicolor/48x48/apps/$id.png
./usr/share/icons/hicolor/scalable/apps/$id.svg
./usr/share/man/man1/lumora-boxsim.1.gz
./usr/share/man/man1/lumora-warp-cli.1.gz
./usr/share/man/man1/lumora-warp.1.gz
./usr/share/metainfo/$id.metainfo.xml"
files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)
[ "$files" = "$expected" ] || fail "$deb holds:
$files"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6core6 libqt6widgets6 libqt6serialport6 libzip4 qt6-qpa-plugins; do
    [[ $depends == *"$library"* ]] || fail "$deb does not depend on $library: $depends"
done
echo "package check: $deb"
