trovik_add_fuzzer(rf64 ${CMAKE_CURRENT_LIST_DIR}/rf64_fuzz.cpp trovik_formats trovik_core Qt5::Core)
