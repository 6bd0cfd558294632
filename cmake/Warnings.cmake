# Warnings for the project's own targets; third-party code is not built here.
function(veltrane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(VELTRANE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
