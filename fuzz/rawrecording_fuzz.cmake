trovik_add_fuzzer(rawrecording ${CMAKE_CURRENT_LIST_DIR}/rawrecording_fuzz.cpp trovik_formats trovik_core Qt5::Core)
