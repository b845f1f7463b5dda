# The Debian package, built by scripts/package.sh with CPack: the files of the
# install rules under /usr, and what apt must bring along for them to run.

set(PAVUTO_DEB_MAINTAINER "Pavuto maintainers <maintainers@users.noreply.c-seed-9c246809.example>"
    CACHE STRING "The Maintainer field of the Debian package")

# The media library's package is named explicitly, besides what
# dpkg-shlibdeps finds in the programs: the library may be loaded at run time
# instead of linked, and then no program names it. It is the package that
# holds the libmpv this build uses (Debian 12: libmpv2).
set(pavuto_mpv_package libmpv2)
find_program(PAVUTO_DPKG_QUERY dpkg-query)
foreach(library IN LISTS MPV_LINK_LIBRARIES)
  if(PAVUTO_DPKG_QUERY AND library MATCHES "libmpv[^/]*$" AND EXISTS "${library}")
    file(REAL_PATH "${library}" library_file)
    execute_process(COMMAND ${PAVUTO_DPKG_QUERY} -S "${library_file}"
                    OUTPUT_VARIABLE owner ERROR_QUIET RESULT_VARIABLE status)
    if(status EQUAL 0 AND owner MATCHES "^([a-z0-9][a-z0-9+.-]+)[:,]")
      set(pavuto_mpv_package ${CMAKE_MATCH_1})
    endif()
  endif()
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pavuto)
set(CPACK_PACKAGE_VENDOR Pavuto)
set(CPACK_PACKAGE_CONTACT "${PAVUTO_DEB_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Listen von Medien- und Dokumentdateien führen und abspielen")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Pavuto führt Listen von Medien- und Dokumentdateien und spielt ab oder\n"
    "öffnet, was man auswählt: ein gerahmter Konsolen-Bildschirm für Maus und\n"
    "Tastatur, Listen aus Suchpfaden oder ganzen Laufwerken, Markieren in\n"
    "Reihenfolge, ein eigener Spieler mit Überblenden, endlose Zufallswiedergabe\n"
    "und ein Ausschalt-Timer. Läuft in einem Linux-Terminal, Ton über libmpv.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # pavuto_<version>-<release>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PAVUTO_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)            # the libraries the programs link (dpkg-shlibdeps)
set(CPACK_DEBIAN_PACKAGE_DEPENDS ${pavuto_mpv_package})
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, libfile-mimeinfo-perl")    # pavuto-cmd opens documents with xdg-open
set(CPACK_DEBIAN_PACKAGE_SUGGESTS systemd)        # shutdown.exe powers off through systemctl
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
