# Warnings we hold our own code to. The project's scripts and CI make them
# errors (OZ_WERROR); a plain build of any type only reports them.
option(OZ_WERROR "Treat compiler warnings as errors" OFF)
set(OZ_WARNINGS -Wall -Wextra -Wno-unused-parameter)
if(OZ_WERROR)
  list(APPEND OZ_WARNINGS -Werror)
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 reports false positives inside std::string at -O2 (string
  # concatenation and small-string copies).
  list(APPEND OZ_WARNINGS -Wno-restrict -Wno-array-bounds -Wno-stringop-overflow)
endif()

# A library's sources compile a few at a time in one unit, so the headers
# they share are read once per batch: a clean build (and the CI's three
# builds on two cores) takes much less time.
option(OZ_UNITY "Compile each library's sources in batches" ON)
function(oz_unity target)
  if(OZ_UNITY)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    # A source's own file-local types count as a header's once it is
    # included into a batch; that is no fault here.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
    endif()
  endif()
endfunction()

# One static library per folder, built from every source file in it.
# A folder with no sources yet becomes an interface library, so the
# folders above it can already name it.
function(oz_library name)
  cmake_parse_arguments(OZ "" "" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB _hdr CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(_src)
    add_library(${name} STATIC ${_src} ${_hdr})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${OZ_WARNINGS})
    target_link_libraries(${name} PUBLIC ${OZ_DEPS})
    oz_unity(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${OZ_DEPS})
  endif()
endfunction()
