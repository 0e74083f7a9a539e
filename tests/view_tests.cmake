# The viewer: its record table, events, requests, option and start in one process;
# and its routes over HTTP and its page in a headless Chromium, against trackhost
# runs on the simulated sensors (the Debian python3 with its selenium package drives
# them). For the Windows build the same scripts run on this machine against
# trackhost.exe under Wine, whose port this machine's Chromium reaches.
tracker_test(view_test SOURCES host/view/view_test.cpp LIBS host_view trackhost_core)

find_program(SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT SYSTEM_PYTHON)
    message(STATUS "No /usr/bin/python3: the viewer's HTTP and browser tests are left out"
        " (scripts/install-deps.sh all installs what they need)")
else()
    set(view_environment ${TRACKER_TEST_ENVIRONMENT})
    if(CMAKE_CROSSCOMPILING_EMULATOR)
        list(APPEND view_environment "TRACKHOST_LAUNCHER=${CMAKE_CROSSCOMPILING_EMULATOR}")
    endif()
    foreach(suite IN ITEMS view_http_test view_browser_test)
        add_test(NAME ${suite}
            COMMAND ${SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/host/view/${suite}.py
                    $<TARGET_FILE:trackhost> ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/view-artifacts)
        # Under Wine every trackhost takes a few seconds to start.
        set_tests_properties(${suite} PROPERTIES TIMEOUT 600 ENVIRONMENT "${view_environment}")
    endforeach()
endif()
