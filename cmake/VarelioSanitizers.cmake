# VARELIO_SANITIZE: every target built with AddressSanitizer and
# UndefinedBehaviorSanitizer (use a Debug build in a folder of its own).
# VARELIO_FUZZ: also the libFuzzer targets in fuzz/ (clang only); the whole
# project then carries the fuzzer's coverage instrumentation, so one build
# serves the sanitizer suite and the fuzzers.
option(VARELIO_SANITIZE "Build with -fsanitize=address,undefined" OFF)
option(VARELIO_FUZZ "Build the libFuzzer targets in fuzz/ (clang, implies VARELIO_SANITIZE)" OFF)

if(VARELIO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VARELIO_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
  endif()
  set(VARELIO_SANITIZE ON)
endif()

if(VARELIO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  # An undefined-behaviour report stops the program, as an address error does.
  add_compile_options(-fno-sanitize-recover=undefined)
endif()

if(VARELIO_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
