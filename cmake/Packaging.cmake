# The Debian package: "cpack -G DEB" in a build folder writes
# tarn_<version>_<arch>.deb from the install rules of CMakeLists.txt.
# Dependencies come from the binary's libraries (dpkg-shlibdeps); the GNU
# tools Tarn drives are recommended, a terminal for Run and Debug suggested.

set(CPACK_PACKAGE_NAME tarn)
set(CPACK_PACKAGE_VENDOR "Tarn developers")
set(CPACK_PACKAGE_VERSION ${TARN_FULL_VERSION})
set(CPACK_PACKAGE_CONTACT "Tarn maintainers <maintainers@users.noreply.c-seed-480662d5.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small, fast IDE for C and C++ that drives gcc, make and gdb")
# Debian's extended description: paragraphs of lines, "." for an empty line.
set(CPACK_PACKAGE_DESCRIPTION
  "Tarn is a small desktop IDE for C and C++ built on Qt 6 and QScintilla.
Sources are edited in windows inside one main window, and the real GNU
tools are driven from menus, the toolbar and keys: compile the current
file, build it with chosen options, objects and libraries, link, run make,
run the program in a terminal and start gdb on it.
.
Projects (.tarn files) build incrementally, several compiles at a time if
wanted, export as a Makefile or a compile_commands.json for clangd, and
double as a code browser. Every tool's output lands in one message window,
where a double click on a diagnostic opens the file at that line.
.
Projects also build from the command line without a display
(tarn --build), and tarn --functions lists the functions defined in
C and C++ sources.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gcc, make, gdb, clangd")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "x-terminal-emulator, g++")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
