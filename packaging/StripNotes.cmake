# Run by CPack on the staged files before it builds the package: removes the
# compiler's .comment and the .note section from every ELF file, which plain
# strip (CPACK_STRIP_FILES) keeps and dh_strip would remove as well.
file(GLOB_RECURSE _staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file IN LISTS _staged)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    execute_process(
      COMMAND "${CPACK_FONTEDITOR_STRIP}" --remove-section=.comment --remove-section=.note "${file}"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
