# Installing the program (cmake --install BUILD --prefix P) and its Debian
# package (cpack, see scripts/package.sh). The program finds its data in
# share/kestrel beside the directory holding it, so bin and share/kestrel
# are fixed, not the configurable install directories.

set(KESTREL_APP_ID "org.example.kestrel" CACHE STRING
  "The desktop entry's and AppStream metadata's reverse-DNS identifier")
set(KESTREL_PACKAGE_MAINTAINER "kestrel maintainers <maintainers@kestrel.invalid>" CACHE STRING
  "The Debian package's maintainer")

# The release date, as the changelog's newest entry gives it (YYYY-MM-DD).
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog KESTREL_CHANGELOG_TRAILER REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX MATCH ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) " KESTREL_DATE_MATCH
  "${KESTREL_CHANGELOG_TRAILER}")
if(NOT KESTREL_DATE_MATCH)
  message(FATAL_ERROR "Linux/Package/changelog: no date in its newest entry's trailer line")
endif()
set(KESTREL_MONTHS Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND KESTREL_MONTHS ${CMAKE_MATCH_2} KESTREL_MONTH)
math(EXPR KESTREL_MONTH "${KESTREL_MONTH} + 1")
if(KESTREL_MONTH LESS 10)
  set(KESTREL_MONTH 0${KESTREL_MONTH})
endif()
set(KESTREL_RELEASE_DATE ${CMAKE_MATCH_3}-${KESTREL_MONTH}-${CMAKE_MATCH_1})

set(KESTREL_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
file(MAKE_DIRECTORY ${KESTREL_PACKAGE_DIR})
set(KESTREL_DESKTOP_FILE ${KESTREL_PACKAGE_DIR}/${KESTREL_APP_ID}.desktop)
set(KESTREL_METAINFO_FILE ${KESTREL_PACKAGE_DIR}/${KESTREL_APP_ID}.metainfo.xml)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kestrel.desktop.in ${KESTREL_DESKTOP_FILE} COPYONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kestrel.metainfo.xml.in ${KESTREL_METAINFO_FILE} @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kestrel.1.in ${KESTREL_PACKAGE_DIR}/kestrel.1.in @ONLY)

# The manual page's options are the program's own --help text.
add_executable(kestrel_manpage tools/manpage/main.cpp tools/manpage/ManPage.cpp)
add_custom_command(OUTPUT ${KESTREL_PACKAGE_DIR}/kestrel.1
  COMMAND kestrel_manpage ${KESTREL_PACKAGE_DIR}/kestrel.1.in ${KESTREL_PACKAGE_DIR}/kestrel.1 $<TARGET_FILE:kestrel>
  DEPENDS kestrel kestrel_manpage ${KESTREL_PACKAGE_DIR}/kestrel.1.in
  COMMENT "Writing the manual page from the program's --help")
# Debian keeps manual pages and changelogs compressed, reproducibly (no name
# or time in the header).
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog ${KESTREL_PACKAGE_DIR}/changelog COPYONLY)
foreach(doc kestrel.1 changelog)
  add_custom_command(OUTPUT ${KESTREL_PACKAGE_DIR}/${doc}.gz
    COMMAND gzip -9nkf ${KESTREL_PACKAGE_DIR}/${doc}
    DEPENDS ${KESTREL_PACKAGE_DIR}/${doc})
endforeach()
add_custom_command(OUTPUT ${KESTREL_PACKAGE_DIR}/icons/16x16/apps/kestrel.png
  COMMAND fxgen --icons ${KESTREL_PACKAGE_DIR}/icons kestrel
  DEPENDS fxgen
  COMMENT "Drawing the icon")
add_custom_target(kestrel_package_files ALL DEPENDS
  ${KESTREL_PACKAGE_DIR}/kestrel.1.gz ${KESTREL_PACKAGE_DIR}/changelog.gz
  ${KESTREL_PACKAGE_DIR}/icons/16x16/apps/kestrel.png)

set(KESTREL_FILE_MODE OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(KESTREL_DIR_MODE OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# A read-only global offset table, as Debian builds its programs.
target_link_options(kestrel PRIVATE -Wl,-z,relro,-z,now)
install(TARGETS kestrel RUNTIME DESTINATION bin)
install(DIRECTORY ${KESTREL_FXDATA} DESTINATION share/kestrel
  FILE_PERMISSIONS ${KESTREL_FILE_MODE} DIRECTORY_PERMISSIONS ${KESTREL_DIR_MODE})
install(FILES ${KESTREL_BUNDLE}/demomusa.mp3 DESTINATION share/kestrel PERMISSIONS ${KESTREL_FILE_MODE})
install(DIRECTORY ${KESTREL_PACKAGE_DIR}/icons/ DESTINATION share/icons/hicolor
  FILE_PERMISSIONS ${KESTREL_FILE_MODE} DIRECTORY_PERMISSIONS ${KESTREL_DIR_MODE})
install(FILES ${KESTREL_DESKTOP_FILE} DESTINATION share/applications PERMISSIONS ${KESTREL_FILE_MODE})
install(FILES ${KESTREL_METAINFO_FILE} DESTINATION share/metainfo PERMISSIONS ${KESTREL_FILE_MODE})
install(FILES ${KESTREL_PACKAGE_DIR}/kestrel.1.gz DESTINATION share/man/man1 PERMISSIONS ${KESTREL_FILE_MODE})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${KESTREL_PACKAGE_DIR}/changelog.gz
  DESTINATION share/doc/kestrel PERMISSIONS ${KESTREL_FILE_MODE})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KESTREL_PACKAGE_MAINTAINER})
# The shared libraries' packages, by name, each at the version the build's
# libraries need; the GL driver and ffmpeg (for --record) as recommendations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg, libgl1-mesa-dri")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual demo")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "kestrel plays a 185-second show of 3D and 2D scenes (a chrome ball, a figure
of particles, a growing crystal, a jellyfish hunt, a tunnel, a saw blade and
a robot), rendered in real time with OpenGL ES and cut to the beats of its
own music. It takes no input and ends by itself.
.
It plays in a window or headless, and can write chosen frames as PNG
pictures or the whole show as an H.264 video.")
include(CPack)
