# zlib, which compresses the PNG pictures (canvas::EncodePng), as ZLIB::ZLIB.
#
# Natively it is Debian's zlib1g-dev. The Windows build takes
# libz-mingw-w64-dev from the toolchain's root, the zlib wxMSW is built with
# (scripts/build-wxmsw.sh, --with-zlib=sys), so the windowed and the no-wx
# builds link the same one. Its static library is named: the executables
# link with -static, and FindZLIB would otherwise pick the import library of
# zlib1.dll, a DLL we would have to ship.
if(WIN32)
  find_library(ZLIB_LIBRARY NAMES libz.a REQUIRED)
endif()
find_package(ZLIB REQUIRED)
