# tomeshift_embed_file(OUTPUT SYMBOL INPUT [DEPENDS targets...])
# Writes OUTPUT, a C++ source that defines
#     extern const unsigned char SYMBOL[];      // INPUT's bytes
#     extern const unsigned long SYMBOLSize;    // their count
# and regenerates it whenever INPUT changes. INPUT may be a generator expression such as
# $<TARGET_FILE:...>; DEPENDS names the targets that make it.
function(tomeshift_embed_file output symbol input)
  cmake_parse_arguments(PARSE_ARGV 3 embed "" "" "DEPENDS")
  set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/embed_file_run.cmake)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DSYMBOL=${symbol}
            -P ${script}
    DEPENDS ${input} ${embed_DEPENDS} ${script}
    COMMENT "Embedding ${symbol}"
    VERBATIM)
endfunction()
