trovik_add_fuzzer(binary_spw ${TROVIK_FUZZ_DIR}/binary_spw_fuzz.cpp trovik_formats)
