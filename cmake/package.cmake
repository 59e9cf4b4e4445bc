# The Debian package veliora_<version>_<arch>.deb, made by `cpack -G DEB` (scripts/package).
# The library dependencies are computed from the binaries (dpkg-shlibdeps); the ones listed
# here are what the programs load or start at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veliora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "VELIORA")
set(CPACK_PACKAGE_CONTACT "VELIORA maintainers <maintainers@users.noreply.c-seed-5e2cadee.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs in Spanish and Catalan (the Valencian interface) come from Qt's
# translations, which no binary links to; libpq is loaded when a class server is first used,
# not linked. (libqt6svg6, whose plugin draws the SVG icon, and mdbtools' libmdb3 are linked,
# so dpkg-shlibdeps finds them.)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, libpq5")
# The help pages open in the user's browser through xdg-open; exported PDF bulletins need a
# font; a teacher's class server is a PostgreSQL server (recommended only: a student's
# machine works without it).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-dejavu-core, postgresql")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "learn SQL with random questions worded in natural language")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "VELIORA is a desktop tool for learning SQL. A student opens a database of
their own (SQLite, or a Microsoft Access file); VELIORA reads its tables,
fields, indexes and relations, generates random questions of five kinds (one
table, two or three joined tables, grouped, complex with a subquery), words
each one in Spanish or Valencian from a data dictionary, and judges the SQL
the student types by running it and the solution on the same database and
comparing the results.
.
Teachers keep the dictionary and numbered exercise lists (bulletins), export
them to text, HTML or PDF and hand them to students. The interface speaks
Spanish or Valencian. The command veliora-cli does the same from a terminal.")

include(CPack)
