trovik_add_fuzzer(link_request ${CMAKE_CURRENT_LIST_DIR}/server/linkrequest_fuzz.cpp trovik_server Qt5::Network)
