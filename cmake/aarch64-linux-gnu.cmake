# SPDX-License-Identifier: MIT
# Cross build for 64-bit ARM Linux with Debian's g++-aarch64-linux-gnu. The C library and
# libstdc++ are the cross compiler's own (/usr/aarch64-linux-gnu); SDL2, SDL2_mixer, SDL2_image,
# Xlib and what they need come from Debian's arm64 packages unpacked into a sysroot by
# cmake/arm64-sysroot.sh (KESTREL_ARM64_SYSROOT, by default build/arm64-sysroot/root). Without
# that sysroot only rasterkit and its tests can be built (KESTREL_RASTER_ONLY). The programs
# built run on this machine under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

set(KESTREL_ARM64_SYSROOT ${CMAKE_CURRENT_LIST_DIR}/../build/arm64-sysroot/root
  CACHE PATH "Debian's arm64 libraries unpacked by cmake/arm64-sysroot.sh")
get_filename_component(sysroot "${KESTREL_ARM64_SYSROOT}" ABSOLUTE)
set(sysroot_libraries ${sysroot}/usr/lib/aarch64-linux-gnu ${sysroot}/lib/aarch64-linux-gnu
  ${sysroot}/usr/lib/aarch64-linux-gnu/pulseaudio)

set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu ${sysroot})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The sysroot's pkg-config files, their paths taken into it; never this machine's own.
set(ENV{PKG_CONFIG_LIBDIR} ${sysroot}/usr/lib/aarch64-linux-gnu/pkgconfig:${sysroot}/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${sysroot})
# Headers of the architecture (SDL2's configuration among them), and the libraries the linked
# ones need in turn.
string(JOIN ":" rpath_link ${sysroot_libraries})
foreach(language C CXX)
  set(CMAKE_${language}_FLAGS_INIT "-isystem ${sysroot}/usr/include/aarch64-linux-gnu")
endforeach()
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-Wl,-rpath-link,${rpath_link}")
endforeach()

# qemu finds the C library under /usr/aarch64-linux-gnu and the sysroot's libraries through the
# library path it hands the program.
string(JOIN ":" library_path ${sysroot_libraries})
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/aarch64-linux-gnu -E LD_LIBRARY_PATH=${library_path})
