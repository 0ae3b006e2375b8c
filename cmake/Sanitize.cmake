# Sanitizer and fuzzing builds.
#   -DVEXAMARK_SANITIZE=address,undefined   the whole build with ASan and UBSan
#   -DVEXAMARK_SANITIZE=thread               the whole build with TSan
#   -DVEXAMARK_FUZZ=ON (clang)               coverage for libFuzzer everywhere and
#                                            the fuzz targets as fuzzing programs
set(VEXAMARK_SANITIZE "" CACHE STRING "Sanitizers for the whole build (address,undefined or thread)")
option(VEXAMARK_FUZZ "Build the fuzz targets as libFuzzer programs (needs clang)" OFF)

if(VEXAMARK_SANITIZE)
  add_compile_options(-fsanitize=${VEXAMARK_SANITIZE} -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${VEXAMARK_SANITIZE})
  if(VEXAMARK_SANITIZE MATCHES "undefined")
    # A finding ends the test that found it, so a run cannot pass over one.
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()

if(VEXAMARK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VEXAMARK_FUZZ needs clang (CC=clang CXX=clang++), found ${CMAKE_CXX_COMPILER_ID}")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
