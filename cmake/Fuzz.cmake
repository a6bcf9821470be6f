# libFuzzer targets (clang only): the whole core is built with the fuzzer's coverage and with
# AddressSanitizer and UndefinedBehaviorSanitizer; each fuzz/*.cpp becomes one fuzzer program.
# Configure a separate build folder with CXX=clang++ -DVANTREL_FUZZ=ON.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "VANTREL_FUZZ needs clang (configure with CXX=clang++)")
endif()
# The fuzzers run where they are built: -march=native lets clang take the core's 256-bit
# vector helpers by value, which it refuses without AVX.
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                    -fno-sanitize-recover=undefined -march=native)
add_link_options(-fsanitize=address,undefined)

file(GLOB VANTREL_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/*.cpp)
foreach(source ${VANTREL_FUZZ_SOURCES})
  get_filename_component(fuzzer ${source} NAME_WE)
  add_executable(${fuzzer} ${source})
  target_link_libraries(${fuzzer} PRIVATE olvex_app)
  target_link_options(${fuzzer} PRIVATE -fsanitize=fuzzer)
endforeach()
