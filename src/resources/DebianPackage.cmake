# The Debian package: `cpack` in a build folder writes duoptic_<version>_<arch>.deb of what the
# install puts under /usr. Its staged install (DESTDIR) leaves the MIME and desktop caches alone:
# the system's own triggers (shared-mime-info, desktop-file-utils, the icon cache, man-db) take
# in the types, the entry, the icons and the page, so the package has no maintainer scripts.
# It owns nothing in users' homes, so removing it leaves their settings where they are.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME duoptic)
set(CPACK_PACKAGE_CONTACT "Duoptic developers <duoptic@users.noreply.github.com>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "viewer for stereo photographs
Duoptic shows the two JPEG images of a stereo photograph in two equal panels
with an adjustable gap, to be fused with the naked eye or a mirror viewer. It
opens pairs of files, side-by-side pictures, MPO files from 3D cameras and JPS
files; both images zoom and shift together, and a folder can be walked through
pair by pair or shown as a slide show.")
# The libraries from what the executable links (Qt's X11 platform plugin comes with its GUI
# library), and the font that the Japanese messages and the dialogs ask for by name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-ipafont-gothic)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The two documents every package carries: who holds the rights, and the release's changelog.
string(TIMESTAMP duoptic_release_date "%a, %d %b %Y 00:00:00 +0000" UTC)
set(duoptic_changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog)
configure_file(${duoptic_desktop_files}/changelog.in ${duoptic_changelog} @ONLY)
add_custom_command(OUTPUT ${duoptic_changelog}.gz COMMAND gzip -9nfk ${duoptic_changelog}
                   DEPENDS ${duoptic_changelog})
add_custom_target(duoptic_changelog DEPENDS ${duoptic_changelog}.gz)
add_dependencies(duoptic duoptic_changelog)
install(FILES ${duoptic_desktop_files}/copyright ${duoptic_changelog}.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(CPack)
