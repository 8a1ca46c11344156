# trovik_<version>_<arch>.deb by CPack's DEB generator (bash scripts/package.sh). Configure with
# -DCMAKE_INSTALL_PREFIX=/usr so that the libraries land in the multiarch folder
# (/usr/lib/x86_64-linux-gnu), where the dynamic linker finds them without LD_LIBRARY_PATH.
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE deb_arch
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT deb_arch)
  set(deb_arch amd64)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trovik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vantorp GmbH")
set(CPACK_PACKAGE_CONTACT "Vantorp GmbH <trovik@vantorp.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "complex baseband (I/Q) record viewer and converter")
# CPack puts the summary first and indents these lines itself.
set(CPACK_PACKAGE_DESCRIPTION "Trovik is a desktop program (trovik) and a headless command-line tool
(trovik-cli) for engineers who work with complex baseband (I/Q) records. It
captures I/Q data from analyzers, receivers and oscilloscopes over VISA, loads
34 and saves 27 I/Q file formats, converts files too large for memory in
chunks, shows spectrum, phase and I-versus-Q plots, and serves the record to a
signal-generation program over a loopback TCP link.

The package also holds libpontil (the VISA loader), libkxvisa (a VISA library
for LAN instruments) and scpisim, a simulated instrument for demonstrations.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_arch})
set(CPACK_DEBIAN_FILE_NAME "trovik_${PROJECT_VERSION}_${deb_arch}.deb")
# Depends comes from the shared libraries the binaries need (dpkg-shlibdeps); the package's
# own libraries get a shlibs file so that they resolve inside it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# The Python module (/usr/lib/python3/dist-packages/trovik) is built for Debian's python3 and
# hands out numpy arrays.
if(TARGET _trovik)
  execute_process(COMMAND ${TROVIK_PYTHON} -c "import sys; print('%d.%d' % sys.version_info[:2])"
                  OUTPUT_VARIABLE python_version OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  string(REPLACE "." ";" python_parts "${python_version}")
  list(GET python_parts 1 python_minor)
  math(EXPR python_next "${python_minor} + 1")
  list(GET python_parts 0 python_major)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "python3 (>= ${python_version}), python3 (<< ${python_major}.${python_next}), python3-numpy")
endif()
# The shared libraries ask for the ldconfig trigger (CPack also adds its own ldconfig calls);
# prerm removes the byte code Python wrote beside the module.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/triggers ${CMAKE_CURRENT_LIST_DIR}/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
