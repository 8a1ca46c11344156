trovik_add_fuzzer(textshared ${CMAKE_CURRENT_LIST_DIR}/textshared_fuzz.cpp trovik_formats)
