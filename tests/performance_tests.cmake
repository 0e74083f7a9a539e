# Performance guarantees that are counts, not times: a receive cycle allocates
# nothing and writes nothing with DEBUG off. The timed benchmarks live in bench/.
tracker_test(cycle_allocation_test PER_TEST
    SOURCES device/cycle_allocation_test.cpp fixtures/allocation_count.cpp
    LIBS device_test_support
    DEPENDS ${test_calibrations})
