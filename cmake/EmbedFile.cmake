# Writes the bytes of INPUT into OUTPUT as the zero-terminated array SYMBOL of
# ELEMENT ("char" or "unsigned char"), declared in HEADER, together with
# SIZE_SYMBOL, the length without the terminator.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
if(ELEMENT STREQUAL "char")
  # Character literals, so that bytes above 0x7F do not narrow.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  set(terminator "'\\0'")
else()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  set(terminator "0")
endif()
file(WRITE "${OUTPUT}"
  "// Generated from ${INPUT}; do not edit.\n"
  "#include \"${HEADER}\"\n\n"
  "const ${ELEMENT} ${SYMBOL}[] = {\n    ${bytes}${terminator}\n};\n"
  "const std::size_t ${SIZE_SYMBOL} = ${size};\n")
