# The Linux build as a Debian package: `cpack` in a build folder configured with
# CMAKE_INSTALL_PREFIX=/usr makes korvanta_<major>.<minor>_amd64.deb from the
# install rules (scripts/package-deb does all of it and runs lintian).
include(GNUInstallDirs)

set(korvanta_doc "${CMAKE_INSTALL_DATADIR}/doc/korvanta")
install(FILES "${PROJECT_SOURCE_DIR}/packaging/copyright" DESTINATION ${korvanta_doc})

# Debian wants the changelog and the manual pages compressed, and with no time
# stamp in the gzip header, so that two builds of one source give one package.
find_program(KORVANTA_GZIP gzip REQUIRED)
function(korvanta_install_gzipped source destination)
  get_filename_component(name "${source}" NAME)
  set(packed "${PROJECT_BINARY_DIR}/packaging/${name}.gz")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
  file(MAKE_DIRECTORY "${PROJECT_BINARY_DIR}/packaging")
  execute_process(COMMAND "${KORVANTA_GZIP}" -9nc "${source}" OUTPUT_FILE "${packed}"
                  COMMAND_ERROR_IS_FATAL ANY)
  install(FILES "${packed}" DESTINATION "${destination}")
endfunction()
korvanta_install_gzipped("${PROJECT_SOURCE_DIR}/packaging/changelog" ${korvanta_doc})
korvanta_install_gzipped("${PROJECT_SOURCE_DIR}/packaging/korvanta.1" ${CMAKE_INSTALL_MANDIR}/man1)
korvanta_install_gzipped("${PROJECT_SOURCE_DIR}/packaging/korvanta-drive.1" ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES "${PROJECT_SOURCE_DIR}/packaging/lintian-overrides"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME korvanta)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvanta)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
set(CPACK_PACKAGE_VENDOR "Korvanta developers")
set(CPACK_PACKAGE_CONTACT "Korvanta <korvanta@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Folders the install rules create get 0755 whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_FILE_NAME "korvanta_${CPACK_PACKAGE_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.deb")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Korvanta <korvanta@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own words (standard buttons, a text box's menu) in Chinese like the rest;
# the libraries found by dpkg-shlibdeps are added to it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
# Every text of the program is Chinese: without a CJK font it shows boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "inspect and tune Windows 98/ME/2000/XP systems and Wine prefixes
Korvanta is a Chinese-language desktop utility for a PC of the Windows
98/ME/2000/XP generation: a system inventory, a junk-file cleaner with
backup and restore, settings pages over registry values and profile files,
a startup manager, system-file backup, small shell tools, an operation log
and a program password.
.
This package holds the Linux build (Qt 6). It works on a Wine prefix, or on
a demo machine it makes on first run, and keeps a journal of every change it
makes so that any change can be undone. korvanta-drive runs the program with
no window from a scenario script.")

include(CPack)
