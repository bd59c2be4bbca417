# The fuzz targets in the ordinary build, driven by replay.cpp instead of
# libFuzzer: any compiler, no sanitizers needed. Each runs its seed corpus and
# then a fixed, seeded number of edited inputs as a test of its own, so what
# only their reference models catch is caught by `make test` too.
set(LM_FUZZ_DIR ${PROJECT_SOURCE_DIR}/fuzz)

# The targets take their input apart with LLVM's FuzzedDataProvider, a header
# of its own that Debian ships with clang's runtime (libclang-rt-dev). Only
# that header is copied into the build: clang's own stddef.h and the like,
# beside it, do not suit another compiler.
file(GLOB LM_FUZZ_HEADER_HINTS /usr/lib/llvm-*/lib/clang/*/include)
find_path(LM_FUZZED_DATA_PROVIDER_DIR fuzzer/FuzzedDataProvider.h HINTS ${LM_FUZZ_HEADER_HINTS})
if(NOT LM_FUZZED_DATA_PROVIDER_DIR)
  message(FATAL_ERROR "fuzzer/FuzzedDataProvider.h not found: install libclang-rt-dev (make deps)")
endif()
set(LM_REPLAY_INCLUDE ${CMAKE_BINARY_DIR}/replay-include)
configure_file(${LM_FUZZED_DATA_PROVIDER_DIR}/fuzzer/FuzzedDataProvider.h
               ${LM_REPLAY_INCLUDE}/fuzzer/FuzzedDataProvider.h COPYONLY)
add_library(lmreplay_support STATIC ${LM_FUZZ_DIR}/fuzzsupport.cpp
            ${LM_FUZZ_DIR}/referencesave.cpp)
target_link_libraries(lmreplay_support PUBLIC labelcore lm_settings)
target_include_directories(lmreplay_support PUBLIC ${LM_FUZZ_DIR})
target_include_directories(lmreplay_support SYSTEM PUBLIC ${LM_REPLAY_INCLUDE})

# The longest input worth trying, as in run.sh.
set(LM_REPLAY_MAX_LEN_fuzz_pagewalk 4096)
set(LM_REPLAY_MAX_LEN_fuzz_settings 512)
set(LM_REPLAY_MAX_LEN_fuzz_importconvert 4096)
set(LM_REPLAY_MAX_LEN_fuzz_extract 4096)
set(LM_REPLAY_MAX_LEN_fuzz_numberlist 256)
set(LM_REPLAY_MAX_LEN_fuzz_pagesave 2048)

foreach(target fuzz_pagewalk fuzz_settings fuzz_importconvert fuzz_extract fuzz_numberlist
        fuzz_pagesave)
  set(replay replay_${target})
  add_executable(${replay} ${LM_FUZZ_DIR}/${target}.cpp ${LM_FUZZ_DIR}/replay.cpp)
  target_link_libraries(${replay} PRIVATE lmreplay_support labelcore lm_settings)
  set(dict)
  if(EXISTS ${LM_FUZZ_DIR}/dict/${target}.dict)
    set(dict --dict ${LM_FUZZ_DIR}/dict/${target}.dict)
  endif()
  # A fixed number of runs, the same inputs on every machine; the time bound
  # only keeps a very slow machine from spending long on them.
  add_test(NAME ${target}_replay
           COMMAND ${replay} --runs 20000 --seconds 20 --seed 1
                   --max-len ${LM_REPLAY_MAX_LEN_${target}} ${dict}
                   ${LM_FUZZ_DIR}/corpus/${target})
  set_tests_properties(${target}_replay PROPERTIES LABELS fuzz)
endforeach()
