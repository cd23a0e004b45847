# Writes a C++ source that returns the text of the file IN from the function
# FUNCTION, as one raw string literal, so that a page can be kept and edited
# as the file it is:
#   cmake -DIN=<file> -DOUT=<source.cpp> -DFUNCTION=<name> -DHEADER=<include> -P embed_text.cmake
file(READ "${IN}" text)
set(delimiter "vosko_text")
string(FIND "${text}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${IN} holds the literal's end )${delimiter}\"")
endif()
file(WRITE "${OUT}.tmp"
  "// Made by embed_text.cmake from ${IN}; edit that file instead.\n"
  "#include \"${HEADER}\"\n\n"
  "std::string_view ${FUNCTION}() {\n"
  "  static constexpr std::string_view kText = R\"${delimiter}(${text})${delimiter}\";\n"
  "  return kText;\n"
  "}\n")
# An unchanged source keeps its time, so nothing is compiled again for it.
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${OUT}.tmp" "${OUT}")
file(REMOVE "${OUT}.tmp")
