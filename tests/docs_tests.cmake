# The documentation cannot drift: every relative link and anchor of the Markdown files
# resolves, the architecture page names what exists, and every example marked as one
# prints what it shows (native build: the examples run the programs built here).
find_program(SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(SYSTEM_PYTHON AND NOT CMAKE_CROSSCOMPILING)
    add_test(NAME doc_links_test
        COMMAND ${SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/docs/doc_links_test.py
                ${PROJECT_SOURCE_DIR})
    add_test(NAME doc_architecture_test
        COMMAND ${SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/docs/doc_architecture_test.py
                ${PROJECT_SOURCE_DIR})
    add_test(NAME doc_examples_test
        COMMAND ${SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/docs/doc_examples_test.py
                ${PROJECT_SOURCE_DIR} $<TARGET_FILE_DIR:trackhost>)
    set_tests_properties(doc_examples_test PROPERTIES TIMEOUT 600)
    add_test(NAME doc_events_test
        COMMAND ${SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/docs/doc_events_test.py
                ${PROJECT_SOURCE_DIR} $<TARGET_FILE:trackhost>)
    set_tests_properties(doc_events_test PROPERTIES TIMEOUT 120)
    if(TARGET trackhost_manual)
        add_test(NAME manual_page_test
            COMMAND ${SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/docs/manual_page_test.py
                    $<TARGET_FILE:trackhost> ${CMAKE_BINARY_DIR}/trackhost.1)
    endif()
endif()
