# The Debian package: manual pages, hicolor icons, AppStream metadata, the
# copyright file and changelog, and the CPack settings that put them, the
# program and its desktop entry into fonteditor_<version>_<arch>.deb.
#
#   cpack --config build/release/CPackConfig.cmake -G DEB   (scripts/package.sh)

include(GNUInstallDirs)

set(FONTEDITOR_PACKAGE_NAME fonteditor)
set(FONTEDITOR_APP_ID example.quelt.fonteditor)
# A placeholder until the project has a real homepage: .example is reserved
# for such use. The package's Homepage, the AppStream url and the screenshot's
# address all come from here.
set(FONTEDITOR_HOMEPAGE "https://quelt.example/fonteditor")
set(FONTEDITOR_MAINTAINER
  "QUELT font editor maintainers <maintainers@users.noreply.c-seed-cba4b6cc.example>")
# Manual pages, each packaging/man/<name>.<section>.scd.
set(FONTEDITOR_MAN_PAGES fonteditor.1 glyphtool.1)
set(FONTEDITOR_ICON_SIZES 16 22 24 32 48 64 128 256)

set(_pkg_src ${PROJECT_SOURCE_DIR}/packaging)
set(_pkg_out ${PROJECT_BINARY_DIR}/packaging)
set(_pkg_docdir ${CMAKE_INSTALL_DATADIR}/doc/${FONTEDITOR_PACKAGE_NAME})
find_program(SCDOC scdoc REQUIRED)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(GZIP gzip REQUIRED)
find_program(DPKG_PARSECHANGELOG dpkg-parsechangelog REQUIRED)

# The release date is the one of the changelog's latest entry. It dates the
# AppStream release and the manual pages (scdoc reads SOURCE_DATE_EPOCH), so
# a rebuild of the same release writes the same bytes.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_pkg_src}/changelog)
execute_process(
  COMMAND ${DPKG_PARSECHANGELOG} -l ${_pkg_src}/changelog -S Timestamp
  OUTPUT_VARIABLE FONTEDITOR_RELEASE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
  COMMAND_ERROR_IS_FATAL ANY)
set(_saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${FONTEDITOR_RELEASE_EPOCH})
string(TIMESTAMP FONTEDITOR_RELEASE_DATE "%Y-%m-%d" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${_saved_epoch}")

# Manual pages: the version goes into the scdoc source, scdoc writes the page
# and gzip compresses it as Debian keeps them (-9n: no name or time stamp).
set(_man_outputs)
foreach(page IN LISTS FONTEDITOR_MAN_PAGES)
  string(REGEX MATCH "[^.]+$" section ${page})
  configure_file(${_pkg_src}/man/${page}.scd ${_pkg_out}/man/${page}.scd @ONLY)
  add_custom_command(
    OUTPUT ${_pkg_out}/man/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${FONTEDITOR_RELEASE_EPOCH}
            sh -c "\"$0\" <\"$1\" >\"$2\"" ${SCDOC} ${_pkg_out}/man/${page}.scd ${_pkg_out}/man/${page}
    COMMAND ${GZIP} -9nf ${_pkg_out}/man/${page}
    DEPENDS ${_pkg_out}/man/${page}.scd ${_pkg_src}/changelog
    COMMENT "Writing the manual page ${page}"
    VERBATIM)
  list(APPEND _man_outputs ${_pkg_out}/man/${page}.gz)
  install(FILES ${_pkg_out}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()

# PNG icons at the hicolor sizes, drawn by librsvg from the one SVG.
set(_icon_outputs)
foreach(size IN LISTS FONTEDITOR_ICON_SIZES)
  set(png ${_pkg_out}/icons/${size}x${size}/fonteditor.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_pkg_out}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${png}
            ${PROJECT_SOURCE_DIR}/data/fonteditor.svg
    DEPENDS ${PROJECT_SOURCE_DIR}/data/fonteditor.svg
    VERBATIM)
  list(APPEND _icon_outputs ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The changelog Debian asks of a native package, compressed the same way.
add_custom_command(
  OUTPUT ${_pkg_out}/changelog.gz
  COMMAND sh -c "\"$0\" -9n <\"$1\" >\"$2\"" ${GZIP} ${_pkg_src}/changelog ${_pkg_out}/changelog.gz
  DEPENDS ${_pkg_src}/changelog
  VERBATIM)
add_custom_target(package_data ALL DEPENDS ${_man_outputs} ${_icon_outputs} ${_pkg_out}/changelog.gz)

configure_file(${_pkg_src}/${FONTEDITOR_APP_ID}.metainfo.xml.in
  ${_pkg_out}/${FONTEDITOR_APP_ID}.metainfo.xml @ONLY)
configure_file(${_pkg_src}/copyright.in ${_pkg_out}/copyright @ONLY)
install(FILES ${_pkg_out}/${FONTEDITOR_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_pkg_out}/copyright ${_pkg_out}/changelog.gz DESTINATION ${_pkg_docdir})

# The package itself.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${FONTEDITOR_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "QUELT font editor maintainers")
set(CPACK_PACKAGE_CONTACT ${FONTEDITOR_MAINTAINER})
set(CPACK_PACKAGE_HOMEPAGE_URL ${FONTEDITOR_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bitmap glyph editor and glyphtool, its command-line companion")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${_pkg_src}/description.txt)
set(CPACK_STRIP_FILES ON)
set(CPACK_FONTEDITOR_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${_pkg_src}/StripNotes.cmake)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${FONTEDITOR_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# glyphtool loads FreeType, libpng, HarfBuzz, zlib and liburing only in the
# runs that need them, so dpkg-shlibdeps cannot see them: the versions that
# brought the functions it uses.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libfreetype6 (>= 2.6), libpng16-16 (>= 1.6.0), libharfbuzz0b (>= 1.9.0), zlib1g (>= 1:1.2.3.3.dfsg-1), liburing2 (>= 2.3)")
# The error texts are Japanese: without a CJK font a desktop shows them as empty squares.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
