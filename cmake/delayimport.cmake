# vk_delay_import(TARGET DLL SYMBOL...): TARGET, an import library for DLL
# whose functions load it at their first call (MinGW's delay-load helper)
# rather than at start. Each SYMBOL is NAME@ARGBYTES, the 32-bit stdcall
# form; the 64-bit library takes the bare names. Only the listed functions
# link, so a new use of the library has to be listed, and stays delayed.
function(vk_delay_import target dll)
  set(exports "")
  foreach(symbol IN LISTS ARGN)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      string(REGEX REPLACE "@[0-9]+$" "" symbol "${symbol}")
    endif()
    string(APPEND exports "    ${symbol}\n")
  endforeach()
  set(def "${CMAKE_CURRENT_BINARY_DIR}/${target}.def")
  set(lib "${CMAKE_CURRENT_BINARY_DIR}/lib${target}.a")
  file(CONFIGURE OUTPUT "${def}" CONTENT "LIBRARY ${dll}\nEXPORTS\n${exports}" @ONLY)
  set(undecorate "")
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(undecorate --kill-at)
  endif()
  add_custom_command(OUTPUT "${lib}"
    COMMAND ${CMAKE_DLLTOOL} --input-def "${def}" --dllname ${dll} ${undecorate} --output-delaylib "${lib}"
    DEPENDS "${def}"
    VERBATIM)
  add_custom_target(${target}_build DEPENDS "${lib}")
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION "${lib}")
  add_dependencies(${target} ${target}_build)
endfunction()
