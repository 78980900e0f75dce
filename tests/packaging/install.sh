#!/usr/bin/env bash
# install.sh BUILD_DIR: `cmake --install` into a temporary prefix lays the program out as a
# desktop application: the binary, the launcher (clean for desktop-file-validate), the icon in
# the hicolor theme as SVG and PNGs of the common sizes, the README.
set -uo pipefail
build=$1
command -v desktop-file-validate >/dev/null || {
    echo "desktop-file-validate not installed: skipped"
    exit 77
}
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
    share/doc/quillory/README.md; do
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
echo "ok"
