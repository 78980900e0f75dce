#!/usr/bin/env bash
# deb.sh BUILD_DIR: the Debian package CPack makes of the build: its dependencies computed from
# the program's libraries, no lintian error, and with apt it installs whole (the program runs, the
# launcher, icon, metadata and manual are where the desktop looks) and removes without a trace.
# It changes the machine, so it runs only as root (CI) or with sudo that asks for nothing, and
# never where a Quillory package is installed already.
set -uo pipefail
build=$1
for tool in cpack dpkg-deb dpkg-shlibdeps lintian apt-get; do
    command -v "$tool" >/dev/null || {
        echo "$tool not installed: skipped"
        exit 77
    }
done
sudo=()
if [[ $(id -u) != 0 ]]; then
    sudo -n true 2>/dev/null || {
        echo "needs root or password-less sudo: skipped"
        exit 77
    }
    sudo=(sudo -n)
fi
if dpkg-query -W -f='${Status}' quillory 2>/dev/null | grep -q "ok installed"; then
    echo "a quillory package is installed already: skipped"
    exit 77
fi
work=$(mktemp -d)
chmod 755 "$work" # apt reads the package as its own unprivileged user
trap 'rm -rf "$work"' EXIT
fail()
{
    echo "FAIL: $*"
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 || fail "cpack: $(cat "$work/cpack.log")"
deb=$(find "$work" -maxdepth 1 -name 'quillory_*.deb' | head -n1)
[[ -n $deb ]] || fail "no package was made: $(cat "$work/cpack.log")"
chmod 644 "$deb"
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6widgets6* && $depends == *libc6* ]] || fail "dependencies not computed: $depends"

lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 ||
    fail "lintian: $(cat "$work/lintian.log")"
cat "$work/lintian.log"

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }')
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" \
    >"$work/install.log" 2>&1 || fail "apt install: $(cat "$work/install.log")"
removed=0
remove()
{
    ((removed)) && return
    removed=1
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q quillory >"$work/remove.log" 2>&1
}
trap 'remove; rm -rf "$work"' EXIT

/usr/bin/quillory --help | grep -q -- '--copy' || fail "the installed program does not run"
id=org.quillory.Quillory
for file in /usr/share/applications/$id.desktop /usr/share/metainfo/$id.metainfo.xml \
    /usr/share/icons/hicolor/48x48/apps/$id.png /usr/share/doc/quillory/copyright; do
    [[ -s $file ]] || fail "$file is missing after the install"
done
if command -v man >/dev/null; then
    [[ $(man -w quillory 2>/dev/null) == /usr/share/man/man1/quillory.1.gz ]] || fail "man does not find the manual"
fi

remove || fail "apt purge: $(cat "$work/remove.log")"
dpkg-query -W -f='${Status}' quillory 2>/dev/null | grep -q "ok installed" && fail "still installed after the purge"
while read -r file; do
    [[ -e $file ]] && fail "$file is left after the purge"
done <<<"$files"
echo "ok"
