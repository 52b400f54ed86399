# The Debian package of the program, made by CPack (./package.sh runs it on a
# Release build with ORX_PACKAGED_BUILD). Its contents are the install rules
# beside what they install, plus, in the packaged build only, the documents a
# Debian package carries: the copyright, the changelog and the manual page.

if(ORX_PACKAGED_BUILD)
  set(orx_debian_dir ${CMAKE_BINARY_DIR}/debian)
  file(MAKE_DIRECTORY ${orx_debian_dir})
  # Compressed without names and times, so that the same sources give the same package.
  foreach(file changelog orimax-raschet.1)
    execute_process(COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/debian/${file}
                    OUTPUT_FILE ${orx_debian_dir}/${file}.gz COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               ${CMAKE_CURRENT_LIST_DIR}/debian/changelog ${CMAKE_CURRENT_LIST_DIR}/debian/orimax-raschet.1)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${orx_debian_dir}/changelog.gz
          DESTINATION share/doc/orimax-raschet)
  install(FILES ${orx_debian_dir}/orimax-raschet.1.gz DESTINATION share/man/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orimax-raschet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Оримакстех")
set(CPACK_PACKAGE_CONTACT "Оримакстех <info@orimaxteh.ru>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Оримакстех <info@orimaxteh.ru>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.orimaxteh.ru/)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "selection of control valves and direct-acting regulators
Оримакс-расчёт is the design engineer's program for heating, hot-water and
ventilation installations. It selects the maker's control valves and
direct-acting pressure regulators for a task, calculates the flow coefficient
Kv, builds the order codes of flow meters and control cabinets and writes the
chosen device into a PDF report.")
# The libraries the binary links, found by dpkg-shlibdeps; then what it loads
# or runs by name: the report font (Calibri's metric twin), the Russian texts of
# the toolkit's own dialogs and the opener of the PDF reports.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-crosextra-carlito, qttranslations5-l10n, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
