# The release: version resources of the Windows files, the install layout and the
# CPack archive that scripts/package.sh builds.

# A Windows version resource for `target`, so that its file's properties show the
# product, the version and what the file is.
function(tracker_version_resource target fileName description)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(versionFileType VFT_APP)
    else()
        set(versionFileType VFT_DLL)
    endif()
    set(versionFileName ${fileName})
    set(versionDescription ${description})
    string(REGEX REPLACE "\\.[^.]*$" "" versionInternalName ${fileName})
    set(rc ${CMAKE_BINARY_DIR}/version/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/VersionInfo.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()

# Installs a target's library or program into `destination` as part of `component`;
# a Windows DLL's import library is left out of every package.
function(tracker_install target destination component)
    install(TARGETS ${target}
        RUNTIME DESTINATION ${destination} COMPONENT ${component}
        LIBRARY DESTINATION ${destination} COMPONENT ${component}
        ARCHIVE DESTINATION lib COMPONENT import_libraries EXCLUDE_FROM_ALL)
endfunction()

# The header a user's own calibration library is written against, in include/ of the
# archive (and /usr/include with the Debian package), as the build itself uses it.
install(FILES ${PROJECT_SOURCE_DIR}/include/tracker_calibration.h DESTINATION include
    COMPONENT development)

if(WIN32)
    tracker_version_resource(tracker_3dbird tracker_3dbird.dll
        "Tracker device plug-in for 3D-Bird orientation sensors")
    tracker_version_resource(trackhost trackhost.exe
        "trackhost: command-line host for the tracker_3dbird plug-in")
    tracker_version_resource(birdsim 3dbird.dll
        "SIMULATED 3D-Bird sensor library for trackhost and tests, not the vendor's")
    tracker_version_resource(birdrecord 3dbird.dll
        "Recording 3D-Bird sensor library for trackhost --record, not the vendor's")
    tracker_version_resource(boresight boresight.dll
        "Boresight calibration library for the tracker_3dbird plug-in")
    tracker_version_resource(smoothing smoothing.dll
        "One Euro smoothing calibration library for the tracker_3dbird plug-in")

    # The archive's layout. plugin/ is what goes into the server: the plug-in alone, so
    # that copying the folder never puts the simulated sensor library over the vendor's.
    # trackhost/ runs on its own: the program with its own plug-in, the simulator, the
    # recording library in record/ (where trackhost looks for it) and the calibration
    # libraries, which a bare name on a calibration line finds beside the program.
    # include/ holds the calibration libraries' header (above).
    tracker_install(tracker_3dbird plugin plugin)
    tracker_install(boresight calibration calibration)
    tracker_install(smoothing calibration calibration)
    tracker_install(trackhost trackhost trackhost)
    tracker_install(tracker_3dbird trackhost trackhost)
    tracker_install(birdsim trackhost trackhost)
    tracker_install(birdrecord trackhost/record trackhost)
    tracker_install(boresight trackhost trackhost)
    tracker_install(smoothing trackhost trackhost)
    # The demos a Windows user starts from trackhost\, as scripts/demo.sh on Linux.
    install(FILES ${PROJECT_SOURCE_DIR}/examples/windows/demo-view.cmd
        ${PROJECT_SOURCE_DIR}/examples/windows/demo-dropout.cmd
        ${PROJECT_SOURCE_DIR}/examples/windows/demo-align.cmd
        DESTINATION trackhost COMPONENT trackhost)
    install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION . COMPONENT documentation)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION docs COMPONENT documentation)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION examples COMPONENT documentation
        FILES_MATCHING PATTERN "*.conf")
    set(CPACK_PACKAGE_NAME ${TRACKER_PRODUCT_NAME})
    set(CPACK_PACKAGE_FILE_NAME ${TRACKER_PRODUCT_NAME}-${PROJECT_VERSION}-win32)
    set(CPACK_GENERATOR ZIP)
    # The folders sit at the top of the archive, as the README describes them.
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    set(CPACK_COMPONENTS_ALL plugin calibration trackhost documentation development)
else()
    # The native build as a Debian package: trackhost with everything it loads in
    # one private folder, where it looks beside itself, and trackhost on the PATH.
    set(folder lib/tracker-3dbird)
    foreach(target IN ITEMS trackhost tracker_3dbird birdsim boresight smoothing)
        tracker_install(${target} ${folder} trackhost)
    endforeach()
    tracker_install(birdrecord ${folder}/record trackhost)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/links)
    file(CREATE_LINK ../${folder}/trackhost ${CMAKE_BINARY_DIR}/links/trackhost SYMBOLIC)
    install(FILES ${CMAKE_BINARY_DIR}/links/trackhost DESTINATION bin COMPONENT trackhost)
    install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION share/doc/tracker-3dbird
        COMPONENT documentation)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION share/doc/tracker-3dbird/docs
        COMPONENT documentation)
    if(TARGET trackhost_manual)
        install(FILES ${CMAKE_BINARY_DIR}/trackhost.1 DESTINATION share/man/man1
            COMPONENT trackhost)
    endif()
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION share/doc/tracker-3dbird/examples
        COMPONENT documentation FILES_MATCHING PATTERN "*.conf")
    set(CPACK_COMPONENTS_ALL trackhost documentation development)
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGE_NAME tracker-3dbird)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_SECTION science)
    set(CPACK_PACKAGE_CONTACT "tracker_3dbird maintainers")
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
        "tracker plug-in for 3D-Bird orientation sensors, with trackhost and a simulator")
endif()

set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
include(CPack)
