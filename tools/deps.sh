#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that are missing for one purpose:
#   tools/deps.sh build   what building and testing the game needs
#   tools/deps.sh play    the same (the game runs from the build)
#   tools/deps.sh ci      build, plus what the end-to-end run in a virtual X display and the
#                         package checks (cpack, lintian, desktop and AppStream validators), the
#                         fuzzing of the file parsers (clang, libFuzzer), the remaking of the
#                         skins (skin) and the mutation gate (python3) need
#   tools/deps.sh arm64   what the aarch64 preset needs: the cross compiler, qemu-user to run
#                         its tests, GoogleTest's sources to build for that processor, and
#                         what cmake/arm64-sysroot.sh and the arm64 package need (Debian's
#                         archive keys, dpkg-dev's dpkg-shlibdeps, file)
#   tools/deps.sh skin    what tools/skin/generate.py needs to remake the default skin
#   tools/deps.sh bench   build, plus what bench/cpu_share.sh needs: a virtual X display with
#                         a window manager that maximises and minimises the game
# Only missing packages are installed; apt-get runs through sudo when not root.
set -euo pipefail

build_packages=(cmake g++ make pkg-config dpkg-dev libsdl2-dev libsdl2-mixer-dev libsdl2-image-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev)
ci_packages=(xvfb xauth xdotool x11-utils imagemagick openbox dpkg-dev fakeroot file binutils lintian desktop-file-utils
  appstream clang libclang-rt-dev procps)
arm64_packages=(cmake make g++-aarch64-linux-gnu qemu-user googletest debian-archive-keyring dpkg-dev file)
bench_packages=(xvfb xdotool x11-utils openbox wmctrl)
skin_packages=(python3 python3-pil python3-numpy fonts-dejavu-core vorbis-tools)

case "${1:-build}" in
  build|play) wanted=("${build_packages[@]}") ;;
  ci) wanted=("${build_packages[@]}" "${ci_packages[@]}" "${skin_packages[@]}") ;;
  arm64) wanted=("${arm64_packages[@]}") ;;
  skin) wanted=("${skin_packages[@]}") ;;
  bench) wanted=("${build_packages[@]}" "${bench_packages[@]}") ;;
  *) echo "usage: $0 build|play|ci|arm64|skin|bench" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
  sudo=()
elif command -v sudo >/dev/null; then
  sudo=(sudo)
else
  echo "Missing packages (${missing[*]}) and no sudo to install them." >&2
  exit 1
fi
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
