# Link server throughput beside a plain loopback socket copy of the same bytes.
find_package(Threads REQUIRED)
add_executable(link_bench ${CMAKE_CURRENT_LIST_DIR}/link_bench.cpp)
target_link_libraries(link_bench PRIVATE trovik_server Threads::Threads)
