#!/usr/bin/env bash
# install.sh BUILD_DIR: `cmake --install` into a temporary prefix lays the program out as a
# desktop application: the binary, the launcher (clean for desktop-file-validate), the icon in
# the hicolor theme as SVG and PNGs of the common sizes, the software centres' metadata (clean for
# appstreamcli, also as written when the build names a web page and a screenshot), the manual
# page (read by man without a warning), the README, the copyright and the change log.
set -uo pipefail
build=$1
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
for tool in desktop-file-validate appstreamcli man; do
    command -v "$tool" >/dev/null || {
        echo "$tool not installed: skipped"
        exit 77
    }
done
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail()
{
    echo "FAIL: $*"
    exit 1
}
cmake --install "$build" --prefix "$prefix" >"$prefix/install.log" 2>&1 || fail "install: $(cat "$prefix/install.log")"
id=org.quillory.Quillory
for file in bin/quillory share/applications/$id.desktop share/icons/hicolor/scalable/apps/$id.svg \
    share/metainfo/$id.metainfo.xml share/man/man1/quillory.1.gz share/doc/quillory/README.md \
    share/doc/quillory/copyright share/doc/quillory/changelog.gz; do
    [[ -s $prefix/$file ]] || fail "$file was not installed"
done
for size in 16 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x$size/apps/$id.png
    [[ -s $png ]] || fail "no ${size}-pixel icon"
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    read -r width height < <(od --endian=big -An -tu4 -j16 -N8 "$png")
    [[ $width == "$size" && $height == "$size" ]] || fail "the ${size}-pixel icon is ${width}x$height"
done
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "the launcher is not valid"
grep -q "^Icon=$id$" "$prefix/share/applications/$id.desktop" || fail "the launcher names another icon"
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$id.svg" || fail "the scalable icon is no SVG"

metainfo=$prefix/share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "the metadata is not valid"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "the metadata names another launcher"
# As written for a build that names its web page and a screenshot.
cmake -DPROJECT_VERSION=1.2.3 -DQUILLORY_RELEASE_DATE=2027-02-28 -DQUILLORY_APP_ID=$id \
    -DQUILLORY_MAINTAINER="A Maintainer <a@example.org>" -DQUILLORY_HOMEPAGE_URL=https://example.org/quillory \
    -DQUILLORY_SCREENSHOT_URL=https://example.org/quillory/screenshot.png \
    -DQUILLORY_PACKAGING_DIR="$source_dir/packaging" -DQUILLORY_OUTPUT_DIR="$prefix/web" \
    -P "$source_dir/packaging/ReleaseFiles.cmake" || fail "the release files could not be written alone"
appstreamcli validate --no-net "$prefix/web/$id.metainfo.xml" || fail "the metadata with web addresses is not valid"
grep -q '<image>https://example.org/quillory/screenshot.png</image>' "$prefix/web/$id.metainfo.xml" ||
    fail "the screenshot is missing from the metadata"
grep -q '^ -- A Maintainer <a@example.org>  Sun, 28 Feb 2027 12:00:00 +0000$' "$prefix/web/changelog" ||
    fail "the change log's signature line: $(tail -n1 "$prefix/web/changelog")"

# The manual page as man shows it, without a warning from the formatter.
warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/quillory.1.gz" 2>&1 >"$prefix/man.txt")
[[ -z $warnings ]] || fail "man warns: $warnings"
grep -q -- '--copy' "$prefix/man.txt" || fail "the manual does not name the options"
echo "ok"
