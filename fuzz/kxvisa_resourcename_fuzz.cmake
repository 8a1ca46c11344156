trovik_add_fuzzer(kxvisa_resourcename ${CMAKE_CURRENT_LIST_DIR}/kxvisa/resourcename_fuzz.cpp kxvisa_core)
