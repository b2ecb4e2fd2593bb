# Installs the build BUILD_DIR into the scratch prefix PREFIX and checks that the
# programs, the desktop file and the icon land in the usual places, that the desktop
# file names the installed program and icon, and that desktop-file-validate (where it
# is installed) finds nothing to complain about.
#
#   cmake -DBUILD_DIR=... -DPREFIX=... -DGUI=ON|OFF -P check_install.cmake

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(rc)
  message(FATAL_ERROR "cmake --install failed: ${err}")
endif()

set(expected bin/trv810ctl bin/trv810-sim)
set(desktop "${PREFIX}/share/applications/trv810.desktop")
if(GUI)
  list(APPEND expected bin/trv810 share/applications/trv810.desktop share/icons/hicolor/scalable/apps/trv810.svg)
endif()
foreach(f IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

if(GUI)
  file(STRINGS "${desktop}" exec REGEX "^Exec=")
  file(STRINGS "${desktop}" icon REGEX "^Icon=")
  if(NOT exec STREQUAL "Exec=trv810" OR NOT icon STREQUAL "Icon=trv810")
    message(FATAL_ERROR "the desktop file names '${exec}' and '${icon}', not the installed trv810")
  endif()
  find_program(VALIDATE desktop-file-validate)
  if(VALIDATE)
    execute_process(COMMAND "${VALIDATE}" "${desktop}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(rc OR NOT out STREQUAL "")
      message(FATAL_ERROR "desktop-file-validate: ${out}")
    endif()
  else()
    message(STATUS "desktop-file-validate not found: the desktop file is not validated")
  endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")
