# What an install puts under its prefix, for the install and package checks.
set(installed_files
    bin/duoptic
    share/applications/duoptic.desktop
    share/mime/packages/duoptic.xml
    share/metainfo/io.github.duoptic.duoptic.metainfo.xml
    share/icons/hicolor/scalable/apps/duoptic.svg
    share/man/man1/duoptic.1.gz
    share/doc/duoptic/copyright
    share/doc/duoptic/changelog.gz)
foreach(size 16 24 32 48 64 128 256)
    list(APPEND installed_files share/icons/hicolor/${size}x${size}/apps/duoptic.png)
endforeach()
