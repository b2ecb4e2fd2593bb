# Resources of the Windows programs: the program icon, made from resources/trv810.svg
# with rsvg-convert and icotool once for the whole build (target trv810_icon), and
# trv810_add_resources() to give a program its resource script.

find_program(TRV810_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(TRV810_ICOTOOL icotool REQUIRED)
set(TRV810_ICON ${PROJECT_BINARY_DIR}/resources/trv810.ico)
set(svg ${PROJECT_SOURCE_DIR}/resources/trv810.svg)
set(pngs)
set(render)
foreach(size 16 24 32 48 256)
  set(png ${PROJECT_BINARY_DIR}/resources/trv810-${size}.png)
  list(APPEND pngs ${png})
  list(APPEND render COMMAND ${TRV810_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${svg})
endforeach()
add_custom_command(OUTPUT ${TRV810_ICON} COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/resources
                   ${render} COMMAND ${TRV810_ICOTOOL} -c -o ${TRV810_ICON} ${pngs}
                   DEPENDS ${svg} COMMENT "Programmsymbol aus trv810.svg")
add_custom_target(trv810_icon DEPENDS ${TRV810_ICON})
string(REPLACE "." "," TRV810_VERSION_COMMAS "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")

# Configures `template` (NAME.rc.in, with @TRV810_ICON@, @TRV810_VERSION_COMMAS@ and
# @PROJECT_VERSION@) into NAME.rc and compiles it into `target`, after the icon and
# any further files given.
function(trv810_add_resources target template)
  get_filename_component(name ${template} NAME_WLE)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name})
  configure_file(${template} ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${TRV810_ICON};${ARGN}")
  target_sources(${target} PRIVATE ${rc})
  add_dependencies(${target} trv810_icon)
endfunction()
