# Writes the bytes of INPUT as a C++ array named NAME into OUTPUT.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}"
  "// Generated from ${INPUT}; do not edit.\n"
  "#include \"Resources.h\"\n\n"
  "const unsigned char ${NAME}Data[] = {\n    ${bytes}\n};\n"
  "const std::size_t ${NAME}Size = ${size};\n")
