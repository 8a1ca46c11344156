# Load/save timing of the WAV, WV and raw recording formats and the chunked copy; driven by
# bench/container_bench.sh, which also times cat and numpy/scipy on the same files.
add_executable(container_bench ${CMAKE_CURRENT_LIST_DIR}/container_bench.cpp)
target_link_libraries(container_bench PRIVATE trovik_formats trovik_core Qt5::Core)
