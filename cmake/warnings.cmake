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

# On Windows, windows.h is most of a source file's compile: the libraries
# and programs of the product share one precompiled copy (their flags are
# the same). It changes no byte of what is built.
function(vk_windows_pch target)
  if(NOT WIN32)
    return()
  endif()
  get_property(owner GLOBAL PROPERTY VK_PRODUCT_PCH_OWNER)
  if(owner)
    target_precompile_headers(${target} REUSE_FROM ${owner})
  else()
    target_precompile_headers(${target} PRIVATE <winsock2.h> <windows.h>)
    set_property(GLOBAL PROPERTY VK_PRODUCT_PCH_OWNER ${target})
  endif()
endfunction()
