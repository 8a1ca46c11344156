trovik_add_fuzzer(tds ${CMAKE_CURRENT_LIST_DIR}/tds_fuzz.cpp trovik_formats trovik_core Qt5::Core)
