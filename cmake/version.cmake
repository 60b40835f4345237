# The programs' one version is project()'s VERSION in the top CMakeLists.txt.
# C and C++ get it as the string PEAKGRID_VERSION ("0.4.0", what --version
# prints); the resource scripts get its numbers PEAKGRID_VERSION_MAJOR,
# _MINOR and _PATCH and make the string themselves, because windres hands a
# definition to its preprocessor through a shell that drops the quotes.
add_compile_definitions(
  $<$<COMPILE_LANGUAGE:C,CXX>:PEAKGRID_VERSION="${PROJECT_VERSION}">
  PEAKGRID_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  PEAKGRID_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  PEAKGRID_VERSION_PATCH=${PROJECT_VERSION_PATCH})

# add_version_resource(TARGET PROGRAM SUMMARY): on Windows, the file
# properties (VERSIONINFO) of a program without a resource script of its own,
# the console programs: PROGRAM is its file name, SUMMARY what it does.
function(add_version_resource target program summary)
  if(WIN32)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
    file(CONFIGURE OUTPUT ${rc} CONTENT
"#define MODULE_PROGRAM \"${program}\"
#define MODULE_SUMMARY \"${summary}\"
#include \"win32/resources/versioninfo.rc\"
")
    target_sources(${target} PRIVATE ${rc})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  endif()
endfunction()
