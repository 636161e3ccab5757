# Script mode of tomeshift_embed_file: cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=... -P this.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
if(digits EQUAL 0)
  message(FATAL_ERROR "${INPUT} is empty or missing")
endif()
math(EXPR size "${digits} / 2")
# Sixteen bytes a line: "0x.., " each.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT} by res/embed_file_run.cmake; do not edit.\n"
  "extern const unsigned char ${SYMBOL}[];\n"
  "extern const unsigned long ${SYMBOL}Size;\n"
  "const unsigned char ${SYMBOL}[] = {\n    ${bytes}\n};\n"
  "const unsigned long ${SYMBOL}Size = ${size}UL;\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
