trovik_add_fuzzer(binary_loomwave ${TROVIK_FUZZ_DIR}/binary_loomwave_fuzz.cpp trovik_formats)
