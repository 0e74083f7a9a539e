# Performance guarantees that are counts, not times: a receive cycle allocates
# nothing and writes nothing with DEBUG off. One process per test, as for the
# other device tests. The timed benchmarks live in bench/.
tracker_device_test(cycle_allocation_test cycle_allocation_test.cpp allocation_count.cpp)
