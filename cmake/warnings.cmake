# kvr_target_defaults(target): warnings, optional -Werror and sanitizers, for every target.
function(kvr_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
  # GCC 12 at -O3 takes "text" + std::string&& (libstdc++'s insert at the front) for a memcpy of
  # overlapping ranges of some 2^63 bytes: a false -Wrestrict inside std::string (GCC bugs 105329
  # and 105651; GCC 13 no longer warns), on correct code all over the program.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
     AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(KVR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(KVR_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()
