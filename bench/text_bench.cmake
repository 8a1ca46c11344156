# Text formats: writes and reads 10 million samples as one-file and two-file text beside a
# plain fprintf("%0.7e") loop and numpy.savetxt / numpy.loadtxt. Run: build/bench/text_bench
add_executable(text_bench ${CMAKE_CURRENT_LIST_DIR}/text_bench.cpp)
target_link_libraries(text_bench PRIVATE trovik_formats trovik_core Qt5::Core)
target_compile_definitions(text_bench PRIVATE TROVIK_BENCH_PYTHON="/usr/bin/python3")
