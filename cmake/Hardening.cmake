# Warnings and hardening for every target of the project.
# Aggregates are built with designated initialisers that leave the members
# with default values out on purpose: -Wextra's missing-field-initializers
# would call each of those a fault.
add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
# GCC 12 reports std::variant members as maybe-uninitialized where they cannot
# be (a known false alarm of its optimiser); the sanitizer build checks for real.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-Wno-maybe-uninitialized)
endif()
add_compile_options(-fstack-protector-strong)
if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  add_compile_definitions(_FORTIFY_SOURCE=2)
endif()
add_link_options(-Wl,-z,relro -Wl,-z,now -pie)

# ThreadSanitizer (the tsan preset): the tests run with tsan.supp, which names
# the races inside the uninstrumented font and text libraries' own threads.
if(RD_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(RD_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# The fuzz build instruments every library for coverage and for AddressSanitizer
# and UndefinedBehaviorSanitizer, so the fuzzers see (and check) the code under
# test, not only their own harness. The fuzz programs add libFuzzer's main.
if(RD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "RD_FUZZ needs clang (cmake --preset fuzz)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer
                      -fsanitize-coverage-ignorelist=${CMAKE_SOURCE_DIR}/fuzz/coverage-ignore.txt
                      -UNDEBUG)  # the code's asserts checked too
  add_link_options(-fsanitize=address,undefined)
  # ccache hashes a source and its command line, not the list the line names:
  # the list is hashed as well, so that an edit of it reaches the files it names.
  foreach(lang C CXX)
    if(CMAKE_${lang}_COMPILER_LAUNCHER)
      set(CMAKE_${lang}_COMPILER_LAUNCHER
          env CCACHE_EXTRAFILES=${CMAKE_SOURCE_DIR}/fuzz/coverage-ignore.txt ${CMAKE_${lang}_COMPILER_LAUNCHER})
    endif()
  endforeach()
endif()
