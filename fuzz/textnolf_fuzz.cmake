trovik_add_fuzzer(textnolf ${CMAKE_CURRENT_LIST_DIR}/textnolf_fuzz.cpp trovik_formats)
