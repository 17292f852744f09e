# The one version of kmp: the number of the top CMakeLists.txt's project(),
# with `git describe` added for a build that is not made from the release's
# tag (v<number>). Written to <dir>/kmp_version.h (KMP_VERSION) and
# <dir>/version.txt; both are rewritten only when the version changes, so a
# new commit rebuilds the few files that show it.
#   kmp_write_version(DIR) sets KMP_VERSION_STRING in the caller's scope.
set(KMP_VERSION_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)

function(kmp_release_number out)
  file(STRINGS ${KMP_VERSION_ROOT}/CMakeLists.txt line REGEX "^project\\(kmp VERSION [0-9.]+")
  string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" number "${line}")
  if(NOT number)
    message(FATAL_ERROR "No project(kmp VERSION x.y.z) in ${KMP_VERSION_ROOT}/CMakeLists.txt")
  endif()
  set(${out} ${number} PARENT_SCOPE)
endfunction()

function(kmp_write_version dir)
  kmp_release_number(number)
  set(version ${number})
  find_package(Git QUIET)
  if(GIT_EXECUTABLE AND EXISTS ${KMP_VERSION_ROOT}/.git)
    execute_process(COMMAND ${GIT_EXECUTABLE} describe --tags --always --dirty --match "v[0-9]*"
      WORKING_DIRECTORY ${KMP_VERSION_ROOT}
      OUTPUT_VARIABLE described OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
      RESULT_VARIABLE failed)
    # After the release's number, what describe adds to it (commits since
    # the last tag, the commit, local changes); a Debian version takes no '-'
    # before a package revision: "0.1.0+537e868", "0.1.1+5.g537e868.dirty".
    if(NOT failed AND NOT described STREQUAL "v${number}")
      string(REGEX REPLACE "^v[0-9.]+-" "" described "${described}")
      string(REPLACE "-" "." described "${described}")
      set(version "${number}+${described}")
    endif()
  endif()
  file(MAKE_DIRECTORY ${dir})
  file(CONFIGURE OUTPUT ${dir}/kmp_version.h
    CONTENT "// Made by CMake from the project's version.\n#pragma once\n#define KMP_VERSION \"${version}\"\n")
  file(CONFIGURE OUTPUT ${dir}/version.txt CONTENT "${version}\n")
  set(KMP_VERSION_STRING ${version} PARENT_SCOPE)
endfunction()
