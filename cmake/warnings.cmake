# Flags for the project's own targets (not for the third-party ones).
function(vk_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror=format)
  # The program's Japanese texts are CP932 bytes. Clang only takes UTF-8:
  # its one build is the fuzzing one, whose targets read no such text.
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    target_compile_options(${target} PRIVATE -fexec-charset=CP932)
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()
