# Fuzz harnesses: one program per parser of outside data, each a libFuzzer entry point
# (LLVMFuzzerTestOneInput) over one of our libraries, with a seed corpus committed in
# tests/fuzz/corpus/<name>/.
#
# With VELORAN_FUZZ (the `fuzz` preset: clang, libFuzzer, ASan and UBSan) a harness
# is built as build/fuzz/fuzzers/<name>, and scripts/fuzz runs each one for a while.
# In every other build it is linked with a small replay main instead, and a test
# (fuzz_replay.<name>) feeds it every file of its corpus, so that the harness keeps
# building and the seeds, and the faults once found that were added to them, keep
# passing under the ordinary and the sanitizer builds.
option(VELORAN_FUZZ "Build the fuzz harnesses as libFuzzer programs" OFF)

if(VELORAN_FUZZ AND NOT TARGET veloran_fuzzers)
  add_custom_target(veloran_fuzzers)
endif()

# veloran_fuzz_target(NAME SOURCES... LIBS...)
function(veloran_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  set(target fuzz_${name})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
  set(corpus ${PROJECT_SOURCE_DIR}/tests/fuzz/corpus/${name})
  if(NOT IS_DIRECTORY ${corpus})
    message(FATAL_ERROR "fuzz harness ${name}: seed corpus ${corpus} is missing")
  endif()
  if(VELORAN_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${target} PROPERTIES
      OUTPUT_NAME ${name} RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzers)
    add_dependencies(veloran_fuzzers ${target})
  else()
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME fuzz_replay.${name} COMMAND ${target} ${corpus})
  endif()
endfunction()
