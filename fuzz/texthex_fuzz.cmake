trovik_add_fuzzer(texthex ${CMAKE_CURRENT_LIST_DIR}/texthex_fuzz.cpp trovik_formats)
