# SPDX-License-Identifier: MIT
# Read by cpack before it packs.
#
# The package's file dates are the last commit's (SOURCE_DATE_EPOCH, unless the caller set one),
# so that the same commit always packs into the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C "${CPACK_KESTREL_SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed AND epoch MATCHES "^[0-9]+$")
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
  endif()
endif()

# A package for arm64 built on another machine: dpkg-shlibdeps learns the packages its libraries
# come from through the dpkg database that cmake/arm64-sysroot.sh made beside the sysroot, and
# finds the libraries themselves in the sysroot (the C library's, libgcc's and libstdc++'s in
# its base/ folder).
if(CPACK_DEBIAN_PACKAGE_ARCHITECTURE STREQUAL "arm64" AND CPACK_KESTREL_ARM64_SYSROOT)
  get_filename_component(folder "${CPACK_KESTREL_ARM64_SYSROOT}" DIRECTORY)
  set(ENV{DPKG_ADMINDIR} ${folder}/dpkg)
  set(ENV{DEB_HOST_ARCH} arm64)
  set(libraries)
  foreach(tree root base)
    list(APPEND libraries ${folder}/${tree}/usr/lib/aarch64-linux-gnu ${folder}/${tree}/lib/aarch64-linux-gnu)
  endforeach()
  list(JOIN libraries ":" libraries)
  set(ENV{LD_LIBRARY_PATH} ${libraries})
endif()
