trovik_add_fuzzer(wav ${CMAKE_CURRENT_LIST_DIR}/wav_fuzz.cpp trovik_formats trovik_core Qt5::Core)
