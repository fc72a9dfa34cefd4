# Builds the Debian package into a scratch folder and checks what it holds: the programs, the menu
# entry, the icon the entry names, the metainfo that launches the entry, and dependencies found by
# dpkg-shlibdeps. Run by ctest with -P; the variables come from tests/packaging/CMakeLists.txt.

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
# gzip keeps the test quick; the release package uses CPack's default compression.
execute_process(COMMAND ${CPACK} -G DEB --config ${CONFIG} -B ${WORK} -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed (${rc}):\n${out}")
endif()
file(GLOB debs ${WORK}/*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one .deb in ${WORK}, found: ${debs}")
endif()

execute_process(COMMAND ${DPKG_DEB} -c ${debs} OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -c failed on ${debs}")
endif()

# The menu entry names the program it starts and the icon it shows.
file(STRINGS ${DESKTOP} exec_line REGEX "^Exec=")
file(STRINGS ${DESKTOP} icon_line REGEX "^Icon=")
string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" exec_name "${exec_line}")
string(REGEX REPLACE "^Icon=" "" icon_name "${icon_line}")
file(READ ${METAINFO} metainfo)
if(NOT metainfo MATCHES "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>")
  message(FATAL_ERROR "the metainfo does not launch ${APP_ID}.desktop")
endif()
if(NOT metainfo MATCHES "<release version=\"${VERSION}\"")
  message(FATAL_ERROR "the metainfo has no release entry for version ${VERSION}")
endif()

foreach(path usr/bin/${exec_name} usr/bin/absorbview-cli usr/share/applications/${APP_ID}.desktop
             usr/share/icons/hicolor/scalable/apps/${icon_name}.svg
             usr/share/metainfo/${APP_ID}.metainfo.xml)
  if(NOT listing MATCHES " \\./${path}\n")
    message(FATAL_ERROR "the package lacks /${path}; it holds:\n${listing}")
  endif()
endforeach()
# Nothing of the build (tests, static libraries, headers) leaks into the package.
if(listing MATCHES "\\.a\n|\\.h\n|/test_")
  message(FATAL_ERROR "the package holds build files:\n${listing}")
endif()

execute_process(COMMAND ${DPKG_DEB} -f ${debs} Package Version Depends OUTPUT_VARIABLE fields)
foreach(expected "Package: absorbview" "Version: ${VERSION}" "libqt6widgets6" "libqcustomplot" "libc6"
                 "qt6-qpa-plugins")
  string(FIND "${fields}" "${expected}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the package control fields lack \"${expected}\":\n${fields}")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
message(STATUS "package ok: ${debs}\n${fields}")
