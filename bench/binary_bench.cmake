# Load / save timing of the binary formats; driven by binary_bench.py (see bench/RESULTS.md).
add_executable(binary_bench ${CMAKE_CURRENT_LIST_DIR}/binary_bench.cpp)
target_link_libraries(binary_bench PRIVATE trovik_formats)
