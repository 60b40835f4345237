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
