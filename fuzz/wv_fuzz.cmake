trovik_add_fuzzer(wv ${CMAKE_CURRENT_LIST_DIR}/wv_fuzz.cpp trovik_formats trovik_core Qt5::Core)
