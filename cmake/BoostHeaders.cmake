# boost_headers: Boost's header-only parts that the viewer uses (Asio, Beast), from
# Debian's libboost1.81-dev, as headers of the system: they are not our code, so our
# warnings-as-errors do not reach into them.
add_library(boost_headers INTERFACE)
if(CMAKE_CROSSCOMPILING)
    # The cross compiler gets the host's Boost headers without the host's other
    # headers: a folder in the build tree that holds only a link named boost.
    find_path(TRACKER_BOOST_ROOT boost/version.hpp PATHS /usr/include
        NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    set(folder ${CMAKE_BINARY_DIR}/boost-headers)
    if(NOT EXISTS ${folder}/boost)
        file(MAKE_DIRECTORY ${folder})
        file(CREATE_LINK ${TRACKER_BOOST_ROOT}/boost ${folder}/boost SYMBOLIC)
    endif()
    target_include_directories(boost_headers SYSTEM INTERFACE ${folder})
else()
    find_package(Boost 1.81 REQUIRED CONFIG)
    target_link_libraries(boost_headers INTERFACE Boost::headers)
endif()
if(WIN32)
    # Asio's Windows sockets, for Windows 7 and later.
    target_compile_definitions(boost_headers INTERFACE _WIN32_WINNT=0x0601)
    target_link_libraries(boost_headers INTERFACE ws2_32 mswsock)
endif()
if(TRACKER_SANITIZE MATCHES "thread" AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC warns that ThreadSanitizer does not see the fences around Asio's handler
    # calls. The viewer hands data between threads only through mutexes and atomics
    # (the latest-record table, Asio's own queue), which it does see.
    target_compile_options(boost_headers INTERFACE -Wno-tsan)
endif()
