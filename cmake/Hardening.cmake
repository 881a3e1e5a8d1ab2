# Warnings and hardening for every target of the project.
add_compile_options(-Wall -Wextra -Wno-unused-parameter)
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

if(RD_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
