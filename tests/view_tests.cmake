# The viewer: its record table, events, option and start in one process; on the
# native build also its routes over HTTP and its page in a headless Chromium,
# against trackhost runs on the simulated sensors (the Debian python3 with its
# selenium package drives them).
tracker_test(view_test SOURCES host/view/view_test.cpp LIBS host_view trackhost_core)

find_program(SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT WIN32 AND NOT SYSTEM_PYTHON)
    message(STATUS "No /usr/bin/python3: the viewer's HTTP and browser tests are left out"
        " (scripts/install-deps.sh all installs what they need)")
elseif(NOT WIN32)
    foreach(suite IN ITEMS view_http_test view_browser_test)
        add_test(NAME ${suite}
            COMMAND ${SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/host/view/${suite}.py
                    $<TARGET_FILE:trackhost> ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/view-artifacts)
        set_tests_properties(${suite} PROPERTIES TIMEOUT 240)
    endforeach()
endif()
