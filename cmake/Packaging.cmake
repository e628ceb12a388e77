# The installed layout (GNUInstallDirs; /usr for the package) and the .deb
# that CPack builds from it: the executable, its read-only resources under
# share/ornikelvarinlab, the desktop entry, icon, metainfo, manual page and
# the udev rule that lets the user at the desktop reach the instrument.
include(GNUInstallDirs)

set(ORNI_APP_ID example.kelvarinlab.ornikelvarinlab)
set(ORNI_PACKAGE_NAME ornikelvarinlab)
set(ORNI_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/${ORNI_PACKAGE_NAME})
set(ORNI_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${ORNI_PACKAGE_NAME})
set(ORNI_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(ORNI_PACKAGING_BUILD_DIR ${CMAKE_BINARY_DIR}/packaging)

# udev reads packaged rules from its own directory, whatever the install
# prefix; the program looks there to know that the first run has nothing to install.
set(udev_dir_default /usr/lib/udev)
if(PkgConfig_FOUND)
  pkg_get_variable(udev_dir_found udev udevdir)
  if(udev_dir_found)
    set(udev_dir_default ${udev_dir_found})
  endif()
endif()
set(ORNI_UDEV_DIR ${udev_dir_default} CACHE PATH "udev's directory; the access rule goes to its rules.d")
target_compile_definitions(app PRIVATE ORNI_UDEV_RULES_DIR="${ORNI_UDEV_DIR}/rules.d")

# The 48 and 128 px icons drawn from the scalable one.
set(icon_svg ${ORNI_PACKAGING_DIR}/${ORNI_APP_ID}.svg)
set(icon_sizes 48 128)
find_program(RSVG_CONVERT rsvg-convert)
set(icon_pngs)
if(RSVG_CONVERT)
  foreach(size IN LISTS icon_sizes)
    set(png ${ORNI_PACKAGING_BUILD_DIR}/icons/${size}/${ORNI_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${ORNI_PACKAGING_BUILD_DIR}/icons/${size}
      COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${icon_svg}
      DEPENDS ${icon_svg}
      COMMENT "Drawing the ${size} px icon"
      VERBATIM)
    list(APPEND icon_pngs ${png})
  endforeach()
else()
  message(WARNING "rsvg-convert (librsvg2-bin) not found: the install has the scalable icon only")
endif()

# Debian wants the manual page and the changelog compressed, reproducibly (-n).
set(man_page ${ORNI_PACKAGING_BUILD_DIR}/ORNIKELVARINLAB.1.gz)
set(changelog ${ORNI_PACKAGING_BUILD_DIR}/changelog.gz)
foreach(compressed IN ITEMS ${man_page} ${changelog})
  get_filename_component(name ${compressed} NAME_WLE)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E copy ${ORNI_PACKAGING_DIR}/${name} ${ORNI_PACKAGING_BUILD_DIR}/${name}
    COMMAND gzip -9nf ${ORNI_PACKAGING_BUILD_DIR}/${name}
    DEPENDS ${ORNI_PACKAGING_DIR}/${name}
    VERBATIM)
endforeach()
add_custom_target(package_files ALL DEPENDS ${icon_pngs} ${man_page} ${changelog})

install(TARGETS ORNIKELVARINLAB RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/ORNIKELVARINLAB.uir DESTINATION ${ORNI_SHARE_DIR})
install(DIRECTORY ${CMAKE_BINARY_DIR}/bitmap ${CMAKE_BINARY_DIR}/help DESTINATION ${ORNI_SHARE_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/driver_USB DESTINATION ${ORNI_SHARE_DIR})
install(FILES ${ORNI_PACKAGING_DIR}/${ORNI_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ORNI_PACKAGING_DIR}/${ORNI_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS icon_sizes)
  if(RSVG_CONVERT)
    install(FILES ${ORNI_PACKAGING_BUILD_DIR}/icons/${size}/${ORNI_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endif()
endforeach()
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${changelog} ${ORNI_PACKAGING_DIR}/copyright DESTINATION ${ORNI_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/driver_USB/linux/60-kelvarinlab.rules DESTINATION ${ORNI_UDEV_DIR}/rules.d)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${ORNI_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION 1.00)
set(CPACK_PACKAGE_VENDOR KELVARINLAB)
set(CPACK_PACKAGE_CONTACT "KELVARINLAB <support@kelvarinlab.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "front panel for KELVARINLAB USB oscilloscopes")
set(CPACK_PACKAGE_DESCRIPTION
    "ORNIKELVARINLAB is the desktop front panel of the KELVARINLAB two-channel USB\n"
    "oscilloscopes, which have no screen of their own. It shows both channels\n"
    "live, sets the timebase, sensitivity and trigger, measures the traces with\n"
    "cursors and automatic measurements, and saves traces and settings.\n"
    ".\n"
    "The package installs a udev rule that gives the user at the desktop access\n"
    "to the instrument without root.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.kelvarinlab.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
