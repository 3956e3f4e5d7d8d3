# Resource-only DLLs whose version blocks the test program's own resource
# cannot show: one without a translation entry and one with two. They are
# never loaded for code, so they have no entry point and no runtime.
foreach(fixture none two)
  add_library(vk_version_${fixture} MODULE ${CMAKE_CURRENT_LIST_DIR}/version_${fixture}.rc)
  set_target_properties(vk_version_${fixture} PROPERTIES
    LINKER_LANGUAGE C
    PREFIX ""
    OUTPUT_NAME version_${fixture}
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  target_link_options(vk_version_${fixture} PRIVATE -nostdlib -Wl,-e,0)
  add_dependencies(shell_tests vk_version_${fixture})
endforeach()
