# Writes the bytes of INPUT as the zero-terminated char array NAME into OUTPUT,
# together with NAMESize, the length without the terminator.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
string(REGEX REPLACE "(('\\\\x[0-9a-f][0-9a-f]',){16})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}"
  "// Generated from ${INPUT}; do not edit.\n"
  "#include \"${HEADER}\"\n\n"
  "const char ${NAME}[] = {\n    ${bytes}'\\0'\n};\n"
  "const std::size_t ${NAME}Size = ${size};\n")
