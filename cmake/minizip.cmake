# minizip over zlib, as the one target vantik_minizip; code includes <minizip/zip.h>.
#
# Natively it is Debian's libminizip-dev. Debian has no minizip for MinGW, so there it is
# compiled from the contrib/minizip folder of Debian's zlib source package, which scripts/setup
# fetches and scripts/build passes as VANTIK_ZLIB_SOURCE, over the static zlib of
# libz-mingw-w64-dev. Neither source is part of the repository.

if(WIN32)
  set(VANTIK_ZLIB_SOURCE "" CACHE PATH "Debian's zlib source package, unpacked (scripts/setup)")
  set(_minizip_dir "${VANTIK_ZLIB_SOURCE}/contrib/minizip")
  if(NOT EXISTS "${_minizip_dir}/zip.c")
    message(FATAL_ERROR "no minizip source at '${_minizip_dir}': run scripts/setup, then build "
                        "with scripts/build, which passes -DVANTIK_ZLIB_SOURCE")
  endif()

  # The static library only: the program must need no DLL beyond Windows' own.
  find_library(VANTIK_MINGW_ZLIB NAMES libz.a REQUIRED)

  add_library(vantik_minizip STATIC
    ${_minizip_dir}/zip.c
    ${_minizip_dir}/unzip.c
    ${_minizip_dir}/ioapi.c
    ${_minizip_dir}/iowin32.c)
  # As published, without encryption; its warnings are not ours to mend. -O2 comes last, so it
  # wins over the build type's level.
  target_compile_definitions(vantik_minizip PRIVATE NOCRYPT NOUNCRYPT)
  target_compile_options(vantik_minizip PRIVATE -O2 -w)
  # contrib/ holds minizip/zip.h; zlib.h comes from the MinGW sysroot, matching libz.a.
  target_include_directories(vantik_minizip SYSTEM PUBLIC "${VANTIK_ZLIB_SOURCE}/contrib")
  target_link_libraries(vantik_minizip PUBLIC ${VANTIK_MINGW_ZLIB})
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(MINIZIP REQUIRED minizip)
  # pkg-config names the headers' own folder; <minizip/zip.h> is found from its parent.
  # Adding the folder itself would put its zip.h and crypt.h on every dependent's path.
  cmake_path(GET MINIZIP_INCLUDEDIR PARENT_PATH _minizip_parent)
  if(NOT EXISTS "${_minizip_parent}/minizip/zip.h")
    message(FATAL_ERROR "minizip/zip.h not found under ${_minizip_parent} (libminizip-dev)")
  endif()
  add_library(vantik_minizip INTERFACE)
  target_include_directories(vantik_minizip SYSTEM INTERFACE "${_minizip_parent}")
  target_link_libraries(vantik_minizip INTERFACE ${MINIZIP_LINK_LIBRARIES})
endif()
