# Display: spectrum computation beside numpy.fft, and the plot window from opening to first paint.
#   xvfb-run -a build/bench/display_bench
if(TARGET trovik_display_gui)
  add_executable(display_bench ${CMAKE_CURRENT_LIST_DIR}/display/displaybench.cpp
                               ${CMAKE_CURRENT_LIST_DIR}/display/paintwatch.h)
  target_link_libraries(display_bench PRIVATE trovik_display_gui Qt5::Widgets)
  target_compile_definitions(display_bench PRIVATE TROVIK_BENCH_PYTHON="/usr/bin/python3")
endif()

# Spectrogram of 50,000,000 samples: window to first paint, peak memory, the level matrix
# beside scipy.signal.spectrogram.   xvfb-run -a build/bench/spectrogram_bench
if(TARGET trovik_display_gui)
  add_executable(spectrogram_bench ${CMAKE_CURRENT_LIST_DIR}/display/spectrogrambench.cpp
                                   ${CMAKE_CURRENT_LIST_DIR}/display/paintwatch.h)
  target_include_directories(spectrogram_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/display)
  target_link_libraries(spectrogram_bench PRIVATE trovik_display_gui Qt5::Widgets)
  target_compile_definitions(spectrogram_bench PRIVATE TROVIK_BENCH_PYTHON="/usr/bin/python3")
endif()
