# A capture through the acquisition library, Pontil and kxvisa from the simulated instrument,
# beside a plain socket read of the same bytes and pyvisa-py (see bench/RESULTS.md).
if(TARGET kxvisa AND TARGET scpisim)
  add_executable(capture_bench ${CMAKE_CURRENT_LIST_DIR}/capture/capture_bench.cpp)
  target_link_libraries(capture_bench PRIVATE trovik_instrument Qt5::Core)
  target_compile_definitions(capture_bench PRIVATE SCPISIM_PATH="$<TARGET_FILE:scpisim>"
    PYVISA_SCRIPT="${CMAKE_CURRENT_LIST_DIR}/capture/pyvisa_capture.py")
  add_dependencies(capture_bench scpisim kxvisa)
endif()
