# The suite's programs: a module and its pair of programs.

# add_module(NAME FOLDER [LIBRARY...]): the module's sources (every .cpp of
# FOLDER) as a library NAME_module, and NAME_core, what a program or test of
# the module links: the module, the libraries it uses and suite_core,
# searched together because each calls the other (the frame calls the
# module's initmodule and runoption).
function(add_module name folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  add_library(${name}_module STATIC ${sources})
  target_link_libraries(${name}_module PUBLIC suite_core)
  add_library(${name}_core INTERFACE)
  string(REPLACE ";" "," uses "${ARGN}")
  if(uses)
    set(uses "${uses},")
  endif()
  target_link_libraries(${name}_core INTERFACE "$<LINK_GROUP:RESCAN,${name}_module,${uses}suite_core>")
  target_include_directories(${name}_core INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()

# add_module_programs(MODULE GUI CONSOLE RC): the console program CONSOLE
# (CONSOLE-console.exe on Windows, whose file names ignore case) and, on
# Windows, the GUI program GUI.exe with the module's resource script RC.
function(add_module_programs module gui console rc)
  add_executable(${console} $<TARGET_OBJECTS:console_front>)
  target_link_libraries(${console} PRIVATE ${module}_core)
  if(WIN32)
    set_target_properties(${console} PROPERTIES OUTPUT_NAME ${console}-console)
    add_version_resource(${console} ${console}-console "${gui} console program")
    add_executable(${gui} WIN32 ${PROJECT_SOURCE_DIR}/win32/winmain.cpp
                   $<TARGET_OBJECTS:win32_front> ${PROJECT_SOURCE_DIR}/${rc})
    target_link_libraries(${gui} PRIVATE ${module}_core user32 gdi32 comdlg32 shell32)
  endif()
endfunction()
