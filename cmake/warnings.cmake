# Flags for the project's own targets (not for the third-party ones).
function(vk_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror=format -fexec-charset=CP932)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()
