trovik_add_fuzzer(kxvisa_vxi11reply ${CMAKE_CURRENT_LIST_DIR}/kxvisa/vxi11reply_fuzz.cpp kxvisa_core)
