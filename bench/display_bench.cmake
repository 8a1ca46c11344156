# Display: spectrum computation beside numpy.fft, and the plot window from opening to first paint.
#   xvfb-run -a build/bench/display_bench
if(TARGET trovik_display_gui)
  add_executable(display_bench ${CMAKE_CURRENT_LIST_DIR}/display/displaybench.cpp
                               ${CMAKE_CURRENT_LIST_DIR}/display/paintwatch.h)
  target_link_libraries(display_bench PRIVATE trovik_display_gui Qt5::Widgets)
  target_compile_definitions(display_bench PRIVATE TROVIK_BENCH_PYTHON="/usr/bin/python3")
endif()
