# cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DNAME=<symbol> -DHEADER=<include> -P embed_bytes.cmake
# Writes a C++ source that holds the bytes of INPUT as the constant array tonvia::NAME and its
# length as tonvia::NAMESize.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n  " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT}; do not edit.\n"
  "#include \"${HEADER}\"\n\n"
  "namespace tonvia {\n\n"
  "extern const unsigned char ${NAME}[] = {\n  ${bytes}\n};\n"
  "extern const std::size_t ${NAME}Size = ${size};\n\n"
  "}  // namespace tonvia\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
