# Debian's source packages for the cross builds (scripts/build-windows.sh, scripts/build-web.sh),
# sourced by them: they set $cache (where sources unpack) and define say and as_root.

# Debian's source packages need a deb-src entry; this file is the one the builds own, and apt is
# asked to read it only when it does not know the sources yet.
debian_sources_file=/etc/apt/sources.list.d/tarnelvois-debian-src.sources
ensure_sources() {
  if [ ! -f "$debian_sources_file" ]; then
    say "adding Debian's bookworm sources ($debian_sources_file)"
    as_root tee "$debian_sources_file" >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  fi
  if [ -z "$(apt-cache showsrc libzip 2>/dev/null)" ]; then
    as_root apt-get update -qq -o Dir::Etc::sourcelist="$debian_sources_file" -o Dir::Etc::sourceparts=- \
      -o APT::Get::List-Cleanup=0
  fi
}

# The newest version of source package $1 that apt knows.
source_version() {
  apt-cache showsrc "$1" | awk '/^Version:/ { print $2 }' | sort -V | tail -1
}

# Unpacks Debian's source of $1 at version $2 (once) and prints its directory.
fetch_source() {
  local package=$1 version=$2 dir=$cache/src/$1-${2#*:}
  if [ ! -f "$dir/.unpacked" ]; then
    rm -rf "$dir" && mkdir -p "$dir"
    (cd "$dir" && apt-get source -qq --download-only "$package=$version" >/dev/null 2>&1 \
      && dpkg-source -x ./*.dsc tree >/dev/null 2>&1) || return 1
    touch "$dir/.unpacked"
  fi
  echo "$dir/tree"
}
