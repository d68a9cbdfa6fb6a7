# tandrel_embed_file(TARGET SYMBOL FILE): compiles FILE's bytes into TARGET as
#   extern const unsigned char SYMBOL[]; extern const std::size_t SYMBOL_size;
function(tandrel_embed_file target symbol file)
  set(out "${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp")
  add_custom_command(
    OUTPUT "${out}"
    COMMAND ${CMAKE_COMMAND} -DIN=${file} -DOUT=${out} -DSYMBOL=${symbol} -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFileScript.cmake
    DEPENDS "${file}" ${PROJECT_SOURCE_DIR}/cmake/EmbedFileScript.cmake
    VERBATIM)
  target_sources(${target} PRIVATE "${out}")
endfunction()
