#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the arm64 sysroot the aarch64 preset builds the game against: Debian's arm64 packages of
# SDL2, SDL2_mixer, SDL2_image and libx11 (headers, pkg-config files and libraries) and every
# package they depend on, fetched with `apt-get download` and unpacked with `dpkg -x`. Nothing is
# installed: apt works from a package list of its own under the sysroot's folder, for arm64 only,
# against an empty package database, so the machine's own packages and sources stay as they are,
# and no root is needed. The C library, libstdc++ and libgcc come from Debian's cross compiler
# (g++-aarch64-linux-gnu, in /usr/aarch64-linux-gnu), not from here.
#
#   cmake/arm64-sysroot.sh [FOLDER]        (default build/arm64-sysroot)
#
# FOLDER/root is the sysroot; FOLDER/base and FOLDER/dpkg serve dpkg-shlibdeps (see below);
# FOLDER/debs keeps the packages and FOLDER/apt apt's lists, so a rerun only fetches what changed.
# FOLDER/.complete names the packages unpacked once all of them are. KESTREL_DEBIAN_MIRROR
# chooses the mirror (default http://deb.debian.org).
set -euo pipefail
cd "$(dirname "$0")/.."
folder=$(realpath -m "${1:-build/arm64-sysroot}")
root=$folder/root debs=$folder/debs state=$folder/apt
mirror=${KESTREL_DEBIAN_MIRROR:-http://deb.debian.org}
# The game's build needs the headers, pkg-config files and link libraries of these and of what
# their pkg-config files require, and its tests the run-time libraries of the first.
wanted=(libsdl2-2.0-0 libsdl2-mixer-dev libsdl2-image-dev libx11-dev)
# Packages apt counts as there already: the cross compiler's (libc6-arm64-cross and the like stand
# in for the C library and libstdc++), tools and data nothing here runs or reads, and what only
# libsdl2-dev needs for itself (OpenGL, input methods, Wayland...: sdl2.pc requires none of it).
# libsdl2-dev itself is fetched alone.
stand_ins=(libc6 libc6-dev libc-dev-bin libgcc-s1 libstdc++6 libgomp1 libcrypt1 libcrypt-dev linux-libc-dev
  dpkg tar sed ncurses-bin sysvinit-utils lsb-base xml-core sgml-base x11-common xkb-data
  libasound2-data timgm6mb-soundfont pkg-config libglib2.0-bin libglib2.0-dev-bin libsdl2-dev)
virtual_stand_ins=(libc-dev)
alone=(libsdl2-dev)

codename=$(. /etc/os-release && echo "${VERSION_CODENAME:?no VERSION_CODENAME in /etc/os-release}")
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
mkdir -p "$state/lists/partial" "$state/cache/archives/partial" "$state/empty" "$debs" "$root"
: >"$state/status"
{
  echo "deb [arch=arm64 signed-by=$keyring] $mirror/debian $codename main"
  echo "deb [arch=arm64 signed-by=$keyring] $mirror/debian $codename-updates main"
  echo "deb [arch=arm64 signed-by=$keyring] $mirror/debian-security $codename-security main"
} >"$state/sources.list"
# Only this file configures apt here: none of the machine's apt.conf.d, sources or preferences.
cat >"$state/apt.conf" <<EOF
Dir::Etc::Main "/dev/null";
Dir::Etc::Parts "$state/empty";
Dir::Etc::SourceList "$state/sources.list";
Dir::Etc::SourceParts "$state/empty";
Dir::Etc::Preferences "/dev/null";
Dir::Etc::PreferencesParts "$state/empty";
Dir::State "$state";
Dir::State::Lists "$state/lists";
Dir::State::status "$state/status";
Dir::Cache "$state/cache";
APT::Architecture "arm64";
APT::Architectures { "arm64"; };
APT::Install-Recommends "false";
APT::Sandbox::User "$(id -un)";
Debug::NoLocking "true";
Acquire::Languages "none";
EOF
export APT_CONFIG=$state/apt.conf

apt-get update -qq
# The stand-ins: one package in apt's otherwise empty database that provides them all, each at
# the version the lists offer (so that exact dependencies on them hold too).
provides=("${virtual_stand_ins[@]}")
for package in "${stand_ins[@]}"; do
  version=$(apt-cache show --no-all-versions "$package" | sed -n 's/^Version: //p')
  [[ -n "$version" ]] || { echo "no arm64 package $package in the lists" >&2; exit 1; }
  provides+=("$package (= $version)")
done
printf 'Package: kestrel-sysroot-stand-ins\nStatus: install ok installed\nVersion: 1\nArchitecture: all\n%s\n%s\n%s\n\n' \
  'Maintainer: none' 'Description: what the sysroot leaves out' "Provides: $(IFS=,; echo "${provides[*]}")" >"$state/status"
# Everything else that installing the wanted packages on an empty arm64 system would bring, as
# apt resolves it (alternatives and virtual packages included).
mapfile -t packages < <({ apt-get install -s -qq "${wanted[@]}" | awk '$1 == "Inst" {print $2}'
  printf '%s\n' "${alone[@]}"; } | sort -u)
[[ ${#packages[@]} -gt 0 ]] || { echo "apt resolved no packages for ${wanted[*]}" >&2; exit 1; }
# The packages of the libraries the cross compiler brings, for what they tell dpkg-shlibdeps.
base_packages=(libc6 libgcc-s1 libstdc++6)

# Fetch what is not here yet; what earlier runs fetched and is no longer wanted goes.
mapfile -t files < <(apt-get download --print-uris "${packages[@]}" "${base_packages[@]}" | awk '{print $2}' | sort)
missing=()
for file in "${files[@]}"; do [[ -f "$debs/$file" ]] || missing+=("${file%%_*}"); done
[[ ${#missing[@]} -eq 0 ]] || (cd "$debs" && apt-get download -qq "${missing[@]}")
for deb in "$debs"/*.deb; do printf '%s\n' "${files[@]}" | grep -qxF "$(basename "$deb")" || rm -f "$deb"; done

# Unpack afresh when the set of packages changed; the sysroot then holds exactly them. Beside it,
# for dpkg-shlibdeps (the arm64 package's dependencies): base/, the C library's, libgcc's and
# libstdc++'s packages unpacked (never compiled or run against: the cross compiler's own copies
# are), and dpkg/, a dpkg database that knows every package unpacked, its files, symbols and shlibs.
listing=$(printf '%s\n' "${files[@]}")
if [[ "$(cat "$folder/.complete" 2>/dev/null)" != "$listing" ]]; then
  rm -rf "$root" "$folder/base" "$folder/dpkg" "$folder/.complete"
  mkdir -p "$root" "$folder/base" "$folder/dpkg/info" "$folder/dpkg/updates" "$folder/dpkg/control"
  : >"$folder/dpkg/status"
  for file in "${files[@]}"; do
    deb=$debs/$file
    name=$(dpkg-deb -f "$deb" Package)
    into=$root
    printf '%s\n' "${base_packages[@]}" | grep -qxF "$name" && into=$folder/base
    dpkg -x "$deb" "$into"
    { dpkg-deb -f "$deb"; echo "Status: install ok installed"; echo; } >>"$folder/dpkg/status"
    dpkg-deb -c "$deb" | awk '{print $6}' | sed -e "s|^\./|$into/|" -e 's|/$||' >"$folder/dpkg/info/$name.list"
    dpkg-deb -e "$deb" "$folder/dpkg/control/$name"
    for part in symbols shlibs; do
      [[ -f "$folder/dpkg/control/$name/$part" ]] && cp "$folder/dpkg/control/$name/$part" "$folder/dpkg/info/$name.$part"
    done
  done
  rm -rf "$folder/dpkg/control"
  # Absolute links inside the packages (libfoo.so -> /lib/...) must stay inside the sysroot.
  for tree in "$root" "$folder/base"; do
    while IFS= read -r link; do
      target=$(readlink "$link")
      [[ "$target" == /* ]] && ln -sfn "$(realpath -m --relative-to="$(dirname "$link")" "$tree$target")" "$link"
    done < <(find "$tree" -type l)
  done
  echo "$listing" >"$folder/.complete"
fi
echo "arm64 sysroot: $root (${#packages[@]} packages, $(du -sh "$root" | cut -f1))"
