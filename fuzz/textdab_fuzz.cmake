trovik_add_fuzzer(textdab ${CMAKE_CURRENT_LIST_DIR}/textdab_fuzz.cpp trovik_formats)
