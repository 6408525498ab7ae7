# One INTERFACE target carries the language standard, the warnings and the
# sanitizers for every target of the project.
add_library(skyvane_options INTERFACE)
target_compile_features(skyvane_options INTERFACE cxx_std_20)
set_target_properties(skyvane_options PROPERTIES INTERFACE_CXX_EXTENSIONS OFF)
target_compile_options(skyvane_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast -Wnon-virtual-dtor
  -Wcast-qual -Wformat=2 -Wimplicit-fallthrough
  $<$<BOOL:${SKYVANE_WERROR}>:-Werror>
  # g++ 12 reports std::string concatenations in optimised builds as
  # overlapping copies (a false positive of its -Wrestrict, GCC bug 105651).
  $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
if(SKYVANE_SANITIZE)
  target_compile_options(skyvane_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(skyvane_options INTERFACE -fsanitize=address,undefined)
endif()
# The fuzzers' coverage comes from every library they run, so all of them
# are instrumented; the harnesses link libFuzzer's main themselves.
if(SKYVANE_FUZZ)
  target_compile_options(skyvane_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# skyvane_add_resources(target file.rc [include dirs...]): compiles a Windows
# resource script into `target`. The script is built in an object library of
# its own, so that none of the C++ options above reach the resource
# compiler; it finds res/ (the icon, Version.rc) and the directories given.
function(skyvane_add_resources target script)
  add_library(${target}_resources OBJECT ${script})
  target_include_directories(${target}_resources PRIVATE ${PROJECT_SOURCE_DIR}/res ${ARGN})
  target_link_libraries(${target} PRIVATE ${target}_resources)
endfunction()
