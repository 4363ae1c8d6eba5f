#!/usr/bin/env bash
# Packs the portable program of dist/Tarnwick/ for Windows users: the folder as
# dist/Tarnwick-<version>-x64.zip, and the per-user installer
# dist/Tarnwick-<version>-x64-setup.exe (NSIS), and dist/SHA256SUMS listing both. The version
# comes from app/version.h.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^#define TARNWICK_VERSION_TEXT "\(.*\)"$/\1/p' app/version.h)
copyright=$(sed -n 's/^#define TARNWICK_COPYRIGHT "\(.*\)"$/\1/p' app/version.h)
[ -n "$version" ] || { echo "no version in app/version.h" >&2; exit 1; }
zip="Tarnwick-$version-x64.zip"
setup="Tarnwick-$version-x64-setup.exe"

# Debug information stays in the build tree (out/windows/Tarnwick.exe.debug); a program file
# carrying some is a build fault, not something to ship.
while read -r binary; do
    sections=$(x86_64-w64-mingw32-objdump -h "$binary")
    if grep -q ' \.debug_' <<<"$sections"; then
        echo "$binary carries debug sections (.debug_*), which are never shipped" >&2
        exit 1
    fi
done < <(find dist -type f \( -iname '*.exe' -o -iname '*.dll' \))

# The zip holds the folder Tarnwick/ with fixed times, so the same build gives the same bytes.
rm -f "dist/$zip"
(cd dist && find Tarnwick -type f | LC_ALL=C sort >../out/package-files.txt &&
    cmake -E tar cf "$zip" --format=zip --mtime=2026-01-01 --files-from=../out/package-files.txt)

# The installer installs exactly the folder's files and its uninstaller removes exactly those.
files=out/installer-files.nsh
{
    echo '!macro INSTALL_FILES'
    (cd dist/Tarnwick && find . -type d | LC_ALL=C sort) | while read -r folder; do
        folder=${folder#.}
        echo "    SetOutPath \"\$INSTDIR${folder//\//\\}\""
        (cd "dist/Tarnwick$folder" && find . -maxdepth 1 -type f | LC_ALL=C sort) | while read -r file; do
            echo "    File \"\${DIST}${folder//\//\\}\\${file#./}\""
        done
    done
    echo '!macroend'
    echo '!macro UNINSTALL_FILES'
    (cd dist/Tarnwick && find . -type f | LC_ALL=C sort) | while read -r file; do
        file=${file#./}
        echo "    Delete \"\$INSTDIR\\${file//\//\\}\""
    done
    (cd dist/Tarnwick && find . -mindepth 1 -type d | LC_ALL=C sort -r) | while read -r folder; do
        folder=${folder#./}
        echo "    RMDir \"\$INSTDIR\\${folder//\//\\}\""
    done
    echo '!macroend'
} >"$files"
makensis -V2 -NOCD -INPUTCHARSET UTF8 "-DVERSION=$version" "-DCOPYRIGHT=$copyright" \
    "-DICON=$PWD/app/tarnwick.ico" \
    "-DDIST=$PWD/dist/Tarnwick" "-DOUTFILE=$PWD/dist/$setup" "-X!include $PWD/$files" \
    installer/tarnwick.nsi >/dev/null

# The checksums that a user compares with certutil -hashfile or Get-FileHash on Windows.
(cd dist && sha256sum "$zip" "$setup" >SHA256SUMS)
