trovik_add_fuzzer(awg ${CMAKE_CURRENT_LIST_DIR}/awg_fuzz.cpp trovik_formats trovik_core Qt5::Core)
