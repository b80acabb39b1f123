#!/usr/bin/env bash
# What a Debian packager checks before signing the package, and what anyone building the release
# checks, each step printing its figures:
#   lintian       lintian -EvIL +pedantic on the package: no error and no warning
#   appstream     the AppStream entry passes appstreamcli validate
#   reproducible  two package builds in different folders, one SOURCE_DATE_EPOCH: the same bytes
#   chroot        a fresh Debian chroot (debootstrap from the archive apt uses here): the package
#                 installs, /usr/games/tarnelvois captures 2 s headless as a non-root user, and
#                 purging it and what it brought leaves no file of it and no package behind
#   tarball       the release tarball (scripts/release.sh) builds with the README's commands under
#                 unshare -n, with no network, and the program it builds runs
# Run as root (the chroot and unshare need it; missing tools are then installed). A step whose tool
# is missing and cannot be installed is skipped with a message; a step that fails fails the script.
# Its folders stay in build-check/ ($TARNELVOIS_CHECK_DIR), so a second run reuses the package
# builds and debootstrap's downloads; the first package folder is $TARNELVOIS_PACKAGE_DIR if set.
#   scripts/check_package.sh [STEP...]        (default: every step, in the order above)
set -euo pipefail
trap 'echo "check_package: FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "${TARNELVOIS_CHECK_DIR:-$root/build-check}"
check=$(cd "${TARNELVOIS_CHECK_DIR:-$root/build-check}" && pwd)
steps=("$@")
[ ${#steps[@]} -gt 0 ] || steps=(lintian appstream reproducible chroot tarball)
for step in "${steps[@]}"; do
    case $step in lintian | appstream | reproducible | chroot | tarball) ;;
        *) echo "check_package: unknown step '$step' (lintian appstream reproducible chroot tarball)" >&2; exit 2 ;;
    esac
done
fail() { echo "check_package: FAIL: $*" >&2; exit 1; }
say() { echo "check_package: $*"; }
skip() { echo "check_package: skipping $1: $2" >&2; }
seconds() { echo $(($(date +%s) - $1)); }

# A tool from a Debian package: present, installed now (as root), or missing (the step is skipped).
have() {  # COMMAND PACKAGE
    command -v "$1" >/dev/null && return 0
    [ "$(id -u)" -eq 0 ] || return 1
    say "installing $2 for $1"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$2" >/dev/null 2>&1 || return 1
    command -v "$1" >/dev/null
}

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
version=$(sed -n 's/^project(tarnelvois VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
package_a=${TARNELVOIS_PACKAGE_DIR:-$check/package-a}
package_b=$check/package-b
deb_name=tarnelvois_${version}_amd64.deb
deb=$package_a/$deb_name
wanted() { [[ " ${steps[*]} " == *" $1 "* ]]; }

if wanted lintian || wanted appstream || wanted reproducible || wanted chroot; then
    start=$(date +%s)
    TARNELVOIS_PACKAGE_DIR=$package_a "$root/scripts/package.sh" >"$check/package-a.log" 2>&1 ||
        { tail -n 30 "$check/package-a.log"; fail "scripts/package.sh failed in $package_a"; }
    say "package: $deb ($(stat -c %s "$deb") bytes) built in $(seconds "$start") s"
fi

if wanted lintian; then
    if have lintian lintian; then
        start=$(date +%s)
        report=$(lintian -EvIL +pedantic --no-tag-display-limit "$deb" 2>&1) || true
        tags=$(grep -E '^[EWIPX]: ' <<<"$report" || true)
        count() { grep -c "^$1: " <<<"$tags" || true; }
        say "lintian: $(count E) errors, $(count W) warnings, $(count I) info, $(count P) pedantic, $(count X) experimental ($(seconds "$start") s)"
        grep -E '^[IPX]: ' <<<"$tags" | sed 's/^/    /' || true
        if grep -qE '^[EW]: ' <<<"$tags"; then grep -E '^[EW]: ' <<<"$tags" >&2; fail "lintian reports errors or warnings"; fi
    else
        skip lintian "lintian is not installed"
    fi
fi

if wanted appstream; then
    if have appstreamcli appstream; then
        rm -rf "$check/appstream" && dpkg-deb -x "$deb" "$check/appstream"
        metainfo=$(ls "$check"/appstream/usr/share/metainfo/*.metainfo.xml)
        appstreamcli validate --no-net --pedantic "$metainfo" >"$check/appstream.log" 2>&1 ||
            { cat "$check/appstream.log"; fail "appstreamcli rejects ${metainfo##*/appstream}"; }
        say "appstream: ${metainfo##*/appstream} validates (pedantic, no network)"
    else
        skip appstream "appstreamcli is not installed"
    fi
fi

if wanted reproducible; then
    start=$(date +%s)
    TARNELVOIS_PACKAGE_DIR=$package_b "$root/scripts/package.sh" >"$check/package-b.log" 2>&1 ||
        { tail -n 30 "$check/package-b.log"; fail "scripts/package.sh failed in $package_b"; }
    if ! cmp -s "$deb" "$package_b/$deb_name"; then
        rm -rf "$check/differ" && mkdir -p "$check/differ"
        for side in a b; do
            folder=$package_a; [ $side = a ] || folder=$package_b
            dpkg-deb -R "$folder/$deb_name" "$check/differ/$side"
        done
        diff -rq "$check/differ/a" "$check/differ/b" >&2 || true
        fail "two package builds (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH) differ: $package_a, $package_b"
    fi
    say "reproducible: $package_a and $package_b give the same $deb_name, sha256 $(sha256sum "$deb" | cut -c1-16)… ($(seconds "$start") s for the second)"
fi

if wanted chroot; then
    if [ "$(id -u)" -ne 0 ]; then
        skip chroot "the chroot needs root"
    elif ! have debootstrap debootstrap; then
        skip chroot "debootstrap is not installed"
    else
        start=$(date +%s)
        suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
        # The mirror apt uses here, so the chroot resolves against the archive the package was built from.
        mirror=$(apt-get indextargets --format '$(REPO_URI)' 2>/dev/null | grep -v -- -security | sort -u | head -n 1 || true)
        mirror=${TARNELVOIS_CHECK_MIRROR:-${mirror:-http://deb.debian.org/debian/}}
        chroot=$check/chroot
        mounts=()
        cleanup() {
            local index
            for ((index = ${#mounts[@]} - 1; index >= 0; index--)); do umount -l "${mounts[index]}" 2>/dev/null || true; done
        }
        trap cleanup EXIT
        rm -rf "$chroot"
        mkdir -p "$check/debootstrap-cache"
        debootstrap --variant=minbase --cache-dir="$check/debootstrap-cache" "$suite" "$chroot" "$mirror" \
            >"$check/debootstrap.log" 2>&1 || { tail -n 20 "$check/debootstrap.log"; fail "debootstrap $suite $mirror failed"; }
        say "chroot: $suite from $mirror in $(seconds "$start") s"
        mount -t proc proc "$chroot/proc" && mounts+=("$chroot/proc")
        mount --bind /dev "$chroot/dev" && mounts+=("$chroot/dev")
        cp /etc/resolv.conf "$chroot/etc/resolv.conf"
        # The same sources as here (updates and security included), so the libraries the package was
        # linked against are at hand.
        rm -f "$chroot/etc/apt/sources.list"
        cp /etc/apt/sources.list.d/*.sources "$chroot/etc/apt/sources.list.d/" 2>/dev/null || true
        [ ! -f /etc/apt/sources.list ] || cp /etc/apt/sources.list "$chroot/etc/apt/sources.list"
        in_chroot() { chroot "$chroot" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive LC_ALL=C "$@"; }
        in_chroot apt-get update -qq >"$check/chroot-apt.log" 2>&1 || { cat "$check/chroot-apt.log"; fail "apt-get update in the chroot failed"; }
        in_chroot useradd --create-home player
        cp "$deb" "$chroot/tmp/$deb_name"
        find "$chroot/usr" "$chroot/etc" "$chroot/opt" | sed "s|^$chroot||" | sort >"$check/files-before"
        in_chroot dpkg-query -W -f '${Package}\n' | sort >"$check/packages-before"
        start=$(date +%s)
        in_chroot apt-get install -y --no-install-recommends "/tmp/$deb_name" >"$check/chroot-install.log" 2>&1 ||
            { tail -n 30 "$check/chroot-install.log"; fail "the package does not install in a fresh $suite"; }
        added=$(grep -oE '[0-9]+ newly installed' "$check/chroot-install.log" | cut -d' ' -f1 || true)
        space=$(grep -oE 'After this operation, [0-9.,]+ [kMG]B' "$check/chroot-install.log" | awk '{ print $4, $5 }' || true)
        say "chroot: installed with $added packages, +$space, in $(seconds "$start") s (apt-get install --no-install-recommends)"
        [ -x "$chroot/usr/games/tarnelvois" ] || fail "no /usr/games/tarnelvois after installing"
        in_chroot dpkg -L tarnelvois >"$check/package-files"
        # A login shell, as a user meets it: /usr/games is on a user's PATH.
        start=$(date +%s)
        in_chroot su --login player --command \
            'SDL_VIDEODRIVER=offscreen tarnelvois --headless --quiet --end 2000 --capture frames/' >"$check/chroot-run.log" 2>&1 ||
            { cat "$check/chroot-run.log"; fail "tarnelvois did not capture as the user player"; }
        frames=$(find "$chroot/home/player/frames" -name 'frame-*.png' | wc -l)
        # Frames 0 to 120 at 60 per second: 0 ms to 2000 ms, both ends drawn.
        [ "$frames" -eq 121 ] || fail "the user's capture of 2 s holds $frames frames, not 121"
        owner=$(stat -c %u "$chroot/home/player/frames/frame-000000.png")  # a number: the chroot has its own users
        [ "$owner" = "$(in_chroot id -u player)" ] || fail "the frames belong to user number $owner, not to player"
        say "chroot: the user player captured 2 s (121 frames, 1024x768) with /usr/games/tarnelvois in $(seconds "$start") s"
        in_chroot apt-get purge -y tarnelvois >"$check/chroot-purge.log" 2>&1 || { cat "$check/chroot-purge.log"; fail "purge failed"; }
        in_chroot apt-get autoremove --purge -y >>"$check/chroot-purge.log" 2>&1 || { cat "$check/chroot-purge.log"; fail "autoremove failed"; }
        in_chroot dpkg-query -W -f '${Package}\n' | sort >"$check/packages-after"
        diff "$check/packages-before" "$check/packages-after" >&2 || fail "purging left other packages than before installing"
        find "$chroot/usr" "$chroot/etc" "$chroot/opt" | sed "s|^$chroot||" | sort >"$check/files-after"
        while read -r path; do
            [ ! -e "$chroot$path" ] || grep -qxF "$path" "$check/files-before" || fail "$path is left after purging"
        done <"$check/package-files"
        if grep -i tarnelvois "$check/files-after"; then fail "files named tarnelvois are left after purging"; fi
        left=$(comm -13 "$check/files-before" "$check/files-after" | wc -l)
        say "chroot: purged: no file of the package left, the same $(wc -l <"$check/packages-after") packages as before ($left other paths under /usr /etc /opt than before)"
        cleanup
        mounts=()
        trap - EXIT
    fi
fi

if wanted tarball; then
    if [ "$(id -u)" -ne 0 ] || ! command -v unshare >/dev/null; then
        skip tarball "unshare -n needs root"
    else
        start=$(date +%s)
        tarball=$("$root/scripts/release.sh" HEAD "$check/release" 2>/dev/null)
        again=$("$root/scripts/release.sh" HEAD "$check/release-again" 2>/dev/null)
        cmp -s "$tarball" "$again" || fail "two release tarballs of one commit differ"
        listing=$(tar -tJf "$tarball")
        if grep -E '^[^/]+/(build[^/]*|\.git)/' <<<"$listing"; then fail "the tarball holds a build folder or Git's files"; fi
        rm -rf "$check/unpacked" && mkdir -p "$check/unpacked"
        tar -xJf "$tarball" -C "$check/unpacked"
        source=$(ls -d "$check"/unpacked/tarnelvois-*)
        # The README's commands, with the network gone.
        unshare -n -- env -u TARNELVOIS_BUILD_DIR "$source/scripts/build.sh" >"$check/tarball-build.log" 2>&1 ||
            { tail -n 30 "$check/tarball-build.log"; fail "the release tarball does not build offline"; }
        unshare -n -- env SDL_VIDEODRIVER=offscreen "$source/build/tarnelvois" --data "$source/build/demodat.zip" \
            --headless --quiet --size 64x48 --fps 10 --end 500 --capture "$check/unpacked/frames" ||
            fail "the program built from the tarball does not run"
        say "tarball: ${tarball##*/} ($(stat -c %s "$tarball") bytes, $(wc -l <<<"$listing") entries, the same bytes twice) built offline in $(seconds "$start") s"
    fi
fi
say "done: ${steps[*]}"
