# Warnings for the project's own targets; third-party code is not built here.
function(veltrane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 reports impossible overlaps inside std::string at -O2 (GCC bug 105329).
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(VELTRANE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
