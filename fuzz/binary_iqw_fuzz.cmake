trovik_add_fuzzer(binary_iqw ${TROVIK_FUZZ_DIR}/binary_iqw_fuzz.cpp trovik_formats)
