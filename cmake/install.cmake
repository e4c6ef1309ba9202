# What `cmake --install` lays out under the prefix, and the Debian package
# that CPack builds from the same rules (`make package`). The folders are
# the ones the programs look in: ptu finds libhidpad.so in ../lib/ptu and its
# data files in ../share/ptu, both beside its own bin/.

install(TARGETS ptu ptu-tpl ptu-drivercheck kbdsim RUNTIME DESTINATION bin)
# The emulated USB library is the program's own, not one for other programs
# to link: it stays out of the loader's search path.
install(TARGETS hidpad LIBRARY DESTINATION lib/ptu)

# The caption files and the help page: every file at the top of data/.
file(GLOB PTU_DATA_FILES LIST_DIRECTORIES false CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*)
install(FILES ${PTU_DATA_FILES} DESTINATION share/ptu)

foreach(program ptu ptu-tpl ptu-drivercheck kbdsim)
  configure_file(${CMAKE_SOURCE_DIR}/data/man/${program}.1 ${CMAKE_BINARY_DIR}/man/${program}.1 @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/man/${program}.1 DESTINATION share/man/man1)
  install(FILES ${CMAKE_SOURCE_DIR}/data/completions/${program}
          DESTINATION share/bash-completion/completions)
endforeach()

set(PTU_APP_ID org.tessaral.ptu)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/${PTU_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/${PTU_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/data/icons/${PTU_APP_ID}.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION share/doc/ptu RENAME copyright)
# For integrators of real keyboards: the driver socket and the USB library
# described, and the library's C header (documentation: the program links
# against no such library).
install(FILES ${CMAKE_SOURCE_DIR}/docs/driver-interface.md ${CMAKE_SOURCE_DIR}/include/ptu/hidpad.h
        DESTINATION share/doc/ptu)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ptu)
set(CPACK_PACKAGE_VENDOR "The Tessaral Programmable Keyboard Manager developers")
set(CPACK_PACKAGE_CONTACT "The Tessaral Programmable Keyboard Manager developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "program the macro keys of Tessaral POS keyboards")
set(CPACK_PACKAGE_DESCRIPTION
    "ptu identifies the attached Tessaral keyboard, reads its macro memory, shows every key as a panel on a grid, edits each key's macro text, keeps the programming in data files and writes the memory back. Batch switches do the same transfers from a script. The package also holds ptu-tpl, which turns data files into text listings and back, kbdsim, an emulated keyboard, and ptu-drivercheck, which checks a driver for a real keyboard against the interface the program uses.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The libraries the programs link are found by dpkg-shlibdeps; the SVG
# plugins that draw the window's icon are loaded at run time, so named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# On a Wayland desktop the window is then a Wayland client of its own.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
