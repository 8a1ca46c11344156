trovik_add_fuzzer(sigmf ${CMAKE_CURRENT_LIST_DIR}/sigmf_fuzz.cpp trovik_formats trovik_core Qt5::Core)
