# VISA over LAN: kxvisa against the simulated instrument (see bench/RESULTS.md).
if(TARGET kxvisa AND TARGET scpisim)
  add_executable(visa_bench ${CMAKE_CURRENT_LIST_DIR}/visa/visa_bench.cpp)
  target_link_libraries(visa_bench PRIVATE kxvisa Threads::Threads)
  target_compile_definitions(visa_bench PRIVATE SCPISIM_PATH="$<TARGET_FILE:scpisim>"
    PYVISA_SCRIPT="${CMAKE_CURRENT_LIST_DIR}/visa/pyvisa_read.py")
  add_dependencies(visa_bench scpisim)
  set_target_properties(visa_bench PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
endif()
