# Debian package: cmake --build BUILD --target package gives velomar_<version>_<arch>.deb.
install(TARGETS velomar velomar-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velomar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Velomar maintainers <maintainers@users.noreply.c-seed-7ac2971c.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "postal address book with labels and envelopes")
set(CPACK_PACKAGE_DESCRIPTION
  "Velomar keeps archives of postal addresses divided into groups and prints
adhesive labels on A4 sheets of 3 x 8 labels, envelopes, lists and
summaries; it exports to text, CSV and vCard and imports from CSV, vCard
and Access files. The interface is in Italian.

The package also holds velomar-batch, which runs the same operations from
the command line.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so shlibdeps cannot see them: fonts of the labels, Qt's Italian
# texts, the platform plugins (xcb for the windows, offscreen for velomar-batch).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core, qt6-translations-l10n, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
