#!/usr/bin/env bash
# Installs what the project needs on a Debian 12 machine, from Debian's
# packages only. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang clang-format clang-tidy libclang-rt-14-dev file binutils locales
  zlib1g-dev libsimpleini-dev googletest libgtest-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev libssl-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-i686-dev mingw-w64-x86-64-dev libz-mingw-w64-dev
  wine wine64 wine32:i386
  dmidecode  # the extracted table is checked against it
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# 32-bit Wine comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
  need_update=1
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

# A mirror caught in the middle of a sync fails the index update of one
# suite (seen: bookworm-security's i386 index with the wrong size). apt then
# holds the amd64 libraries at the security suite's versions and the i386
# ones at the main archive's, and Multi-Arch packages (wine32:i386) cannot be
# installed beside wine64. Installing from the main archive alone keeps both
# architectures at one version; the next run with a whole index upgrades.
main_archive_only() {
  local dir
  dir=$(mktemp -d)
  # Every deb822 stanza but the security suite's; one-line lists as they are.
  awk 'BEGIN { RS = ""; ORS = "\n\n" } !/security/' /etc/apt/sources.list.d/*.sources >"$dir/main.sources" 2>/dev/null || true
  grep -hv security /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null >"$dir/main.list" || true
  echo "-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts=$dir"
}

install_missing() {  # install_missing [APT-OPTION...]
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" "${missing[@]}" >/dev/null
}

if [ "${#missing[@]}" -gt 0 ] || [ -n "${need_update:-}" ]; then
  echo "setup: installing ${missing[*]:-nothing new}"
  index_whole=
  for attempt in 1 2 3; do
    if as_root apt-get update -qq; then index_whole=1; break; fi
    echo "setup: the package index could not be updated whole (attempt $attempt of 3)"
    [ "$attempt" -lt 3 ] && sleep 15
  done
  if [ "${#missing[@]}" -gt 0 ] && ! install_missing; then
    [ -z "$index_whole" ] || exit 1
    echo "setup: installing from Debian's main archive alone (a suite's index is out of step)"
    # shellcheck disable=SC2046  # one option a word
    install_missing $(main_archive_only) || exit 1
  fi
else
  echo "setup: every package is installed"
fi
