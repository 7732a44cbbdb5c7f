# The files of one operating system end in _unix or _win (cp949_unix.cpp, cp949_win.cpp; tests in
# _unix_test.cpp): a folder's library takes the ones of the system it is built for and leaves the others
# out, so that no #ifdef runs through the code. A part that one system lacks is simply not built there.
function(pelora_platform_files out)
  if(WIN32)
    list(FILTER ${out} EXCLUDE REGEX "_unix(_test)?\\.(cpp|h)$")
  else()
    list(FILTER ${out} EXCLUDE REGEX "_win(_test)?\\.(cpp|h)$")
  endif()
  set(${out} ${${out}} PARENT_SCOPE)
endfunction()

# One static library per folder under src/: every .cpp and .h of the folder, headers found from src/.
# A folder whose code has not arrived yet is an interface library, so the dependency graph stays whole.
function(pelora_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  file(GLOB cpp_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  pelora_platform_files(sources)
  pelora_platform_files(cpp_files)
  if(cpp_files)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/generated)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/generated)
    target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
  endif()
endfunction()
