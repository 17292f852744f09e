# Warnings for every target of the project; KMP_WERROR turns them into errors
# (CI builds with it, so a warning fails the run).
option(KMP_WERROR "Treat compiler warnings as errors" OFF)
function(kmp_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    -Wconversion -Wno-sign-conversion -Wnon-virtual-dtor -Wold-style-cast
    -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough)
  if(KMP_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
