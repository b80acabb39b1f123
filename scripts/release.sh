#!/usr/bin/env bash
# Packs a commit (HEAD by default) as the release tarball tarnelvois-<version>.tar.xz, from the
# files Git tracks and nothing else: unpacked, it builds with the README's commands, offline once the
# Debian packages scripts/setup.sh names are installed. The same commit gives the same bytes.
# A commit whose changelog or AppStream entry does not name its version is refused.
#   scripts/release.sh [COMMIT] [OUTPUT_FOLDER]     (output folder: build-release/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
commit=${1:-HEAD}
out=${2:-$root/build-release}
fail() { echo "release: $*" >&2; exit 1; }

git -C "$root" rev-parse --verify --quiet "$commit^{commit}" >/dev/null || fail "no commit '$commit' in $root"
show() { git -C "$root" show "$commit:$1" 2>/dev/null || fail "$commit has no $1"; }
version=$(show CMakeLists.txt | sed -n 's/^project(tarnelvois VERSION \([0-9][0-9.]*\).*/\1/p')
[ -n "$version" ] || fail "no version in the project() line of $commit's CMakeLists.txt"
changelog=$(show data/install/changelog | head -n 1)
[[ $changelog == "tarnelvois ($version) "* ]] ||
    fail "data/install/changelog begins with '$changelog', not with version $version"
metainfo=$(show data/install/org.example.tarnelvois.metainfo.xml.in | grep -m 1 '<release ' || true)
[[ $metainfo == *"version=\"$version\""* ]] ||
    fail "the newest release in the AppStream entry is not $version: ${metainfo:-none}"
if [ "$commit" = HEAD ] && [ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
    echo "release: note: uncommitted changes are not in the tarball, which packs HEAD" >&2
fi

mkdir -p "$out"
name=tarnelvois-$version
tarball=$out/$name.tar.xz
trap 'rm -f "$tarball.part"' EXIT
git -C "$root" archive --format=tar --prefix="$name/" "$commit" | xz -6 -T1 >"$tarball.part"
mv "$tarball.part" "$tarball"
echo "$tarball"
echo "release: tag it on the released commit with: git tag -a v$version -m 'Tarnelvois $version' $(git -C "$root" rev-parse --short "$commit")" >&2
