# The Debian package (make package): CPack's DEB generator over the same
# install rules as `make install`, with the files Debian asks of a package's
# documentation folder. Built in a tree of its own with the prefix /usr.
if(NOT EXISTS ${KMP_WEB_BUILD}/site/index.html OR NOT EXISTS ${KMP_WEB_BUILD}/kmp.html)
  message(FATAL_ERROR "The package holds the page: build it first (make web)")
endif()

# The maintainer is the address that the window and the page name.
file(STRINGS ${PROJECT_SOURCE_DIR}/app/app_texts.h contact REGEX "kContactAddress = \"")
string(REGEX REPLACE ".*\"([^\"]+)\".*" "\\1" contact "${contact}")

# Debian's changelog of a native package, one entry a build; its date is the
# commit's, so that the same commit gives the same file.
execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  OUTPUT_VARIABLE KMP_PACKAGE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(KMP_PACKAGE_EPOCH)
  set(ENV{SOURCE_DATE_EPOCH} ${KMP_PACKAGE_EPOCH})
endif()
string(TIMESTAMP KMP_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(KMP_PACKAGE_CONTACT ${contact})
set(KMP_PACKAGE_VERSION ${KMP_VERSION_STRING})
set(docs ${CMAKE_CURRENT_BINARY_DIR}/package-docs)
configure_file(${PROJECT_SOURCE_DIR}/dist/debian/changelog ${docs}/changelog @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/dist/debian/copyright ${docs}/copyright @ONLY)
file(READ ${KMP_WEB_BUILD}/site/licenses.txt bundled)
file(APPEND ${docs}/copyright "\n${bundled}")
foreach(doc changelog CHANGELOG.md)
  set(source ${docs}/${doc})
  if(doc STREQUAL CHANGELOG.md)
    set(source ${PROJECT_SOURCE_DIR}/${doc})
  endif()
  add_custom_command(OUTPUT ${docs}/${doc}.gz
    COMMAND gzip -9n -c ${source} > ${docs}/${doc}.gz DEPENDS ${source} VERBATIM)
  list(APPEND gzipped_docs ${docs}/${doc}.gz)
endforeach()
add_custom_target(kmp_package_docs ALL DEPENDS ${gzipped_docs})
install(FILES ${docs}/copyright ${gzipped_docs} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kmp)
set(CPACK_PACKAGE_VERSION ${KMP_VERSION_STRING})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "kmp developers <${contact}>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "compiler and uploader for a PIC stepper motor controller's programs")
# The extended description below the summary; CPack indents its lines and
# writes an empty one as Debian's " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "kmp drives a small stepper motor (taken from a hard disk drive) through a
PIC microcontroller board on a serial port. A control program is written in
a small language with Slovak keywords, compiled into a 128-byte program
image shown as a listing with a numbered error log, and uploaded to the
board at 300 baud 8N2.

This package holds the window kmp-studio, the command-line compiler kmpc
(with kmpc-port for uploads), the language reference, and the same tool as
a web page for a school's server or for opening from disk.")
include(CPack)
