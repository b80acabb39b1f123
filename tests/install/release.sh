#!/usr/bin/env bash
# The release tarball: exactly the files Git tracks at the commit, under tarnelvois-<version>/, the
# same bytes each time; a commit whose changelog or AppStream entry names another version is refused
# with one line and no tarball. Skipped (77) outside a Git checkout, as in an unpacked tarball.
#   release.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
git -C "$source_dir" rev-parse --git-dir >/dev/null 2>&1 || { echo "not a Git checkout: nothing to release"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnelvois-release-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

tarball=$("$source_dir/scripts/release.sh" HEAD "$work/one" 2>/dev/null)
again=$("$source_dir/scripts/release.sh" HEAD "$work/two" 2>/dev/null)
name=$(basename "$tarball" .tar.xz)
[[ $name =~ ^tarnelvois-[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "unexpected tarball name $name"
cmp -s "$tarball" "$again" || fail "two tarballs of one commit differ"
diff <(tar -tJf "$tarball" | grep -v '/$' | sort) <(git -C "$source_dir" ls-tree -r --name-only HEAD | sed "s|^|$name/|" | sort) >&2 ||
    fail "the tarball's files are not the commit's"

# A commit that changes the version but not the changelog.
git clone -q "$source_dir" "$work/clone"
sed -i 's/^project(tarnelvois VERSION [0-9.]*/project(tarnelvois VERSION 9.8.7/' "$work/clone/CMakeLists.txt"
git -C "$work/clone" -c user.name=test -c user.email=test@example.org commit -qam "version 9.8.7"
status=0
message=$("$work/clone/scripts/release.sh" HEAD "$work/stale" 2>&1) || status=$?
[ "$status" -eq 1 ] || fail "a stale changelog gave status $status"
[ "$(wc -l <<<"$message")" -eq 1 ] || fail "more than one line: $message"
grep -qF "not with version 9.8.7" <<<"$message" || fail "the message does not say why: $message"
[ -z "$(ls -A "$work/stale" 2>/dev/null)" ] || fail "a refused release left $(ls "$work/stale")"
echo "$name.tar.xz: $(tar -tJf "$tarball" | grep -vc '/$') files, the same bytes twice; a stale version refused"
