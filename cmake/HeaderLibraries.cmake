# The header-only libraries Skyvane uses, as imported targets:
#   CLI11::CLI11                   command-line parsing (Debian libcli11-dev)
#   nlohmann_json::nlohmann_json   JSON (Debian nlohmann-json3-dev)
#
# Natively they come from their own CMake packages. The Windows cross build
# takes the very same Debian headers: they hold no compiled code and nothing
# Linux-specific, but the toolchain's root (/usr/<arch>-w64-mingw32) does not
# have them, and putting the host's /usr/include on a mingw include path
# would let glibc's headers shadow the Windows ones. So each library's own
# directory is copied into the build tree and only that copy is included.

# skyvane_host_headers(TARGET HEADER): HEADER (e.g. CLI/CLI.hpp) is looked
# for on the build machine; its top directory is copied and becomes the
# include directory of the imported INTERFACE target TARGET.
function(skyvane_host_headers target header)
  string(MAKE_C_IDENTIFIER "SKYVANE_HOST_${target}" var)
  find_path(${var} ${header} PATHS /usr/include /usr/local/include
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT ${var})
    message(FATAL_ERROR "${header} not found on the build machine; run scripts/install-deps.sh")
  endif()
  string(REGEX REPLACE "/.*" "" top ${header})
  # A directory name without the target's "::", which Make's dependency
  # files cannot hold.
  set(copy ${CMAKE_BINARY_DIR}/host-headers/${var})
  file(COPY ${${var}}/${top} DESTINATION ${copy})
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  # Imported include directories are system ones: their warnings stay out
  # of -Werror.
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${copy})
endfunction()

if(CMAKE_CROSSCOMPILING)
  skyvane_host_headers(CLI11::CLI11 CLI/CLI.hpp)
  skyvane_host_headers(nlohmann_json::nlohmann_json nlohmann/json.hpp)
else()
  find_package(CLI11 2.1 CONFIG REQUIRED)
  find_package(nlohmann_json 3.11 CONFIG REQUIRED)
endif()
