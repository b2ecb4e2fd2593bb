# Installs the build BUILD_DIR into the scratch prefix PREFIX and checks that the
# programs, the desktop file, the icon and the MIME type of .kfg files land in the
# usual places, that the desktop file names the installed program and icon and opens
# .kfg files, that desktop-file-validate (where it is installed) finds nothing to
# complain about, and (where update-mime-database and gio are) that a .kfg file is
# known by its name and, without the name, by its first bytes.
#
#   cmake -DBUILD_DIR=... -DPREFIX=... -DGUI=ON|OFF -P check_install.cmake

# Builds the MIME database of the prefix alone and asks gio what a file named .kfg
# and a file that only begins like one (format byte, text) are.
function(check_mime_type)
  find_program(UPDATE_MIME update-mime-database)
  find_program(GIO gio)
  if(NOT UPDATE_MIME OR NOT GIO)
    message(STATUS "update-mime-database or gio not found: the MIME type is not tried")
    return()
  endif()
  set(ENV{XDG_DATA_HOME} "${PREFIX}/share")
  set(ENV{XDG_DATA_DIRS} "${PREFIX}/share")
  execute_process(COMMAND "${UPDATE_MIME}" "${PREFIX}/share/mime" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(rc OR NOT out STREQUAL "")
    message(FATAL_ERROR "update-mime-database: ${out}")
  endif()
  file(WRITE "${PREFIX}/Anlage.KFG" "x")  # gio calls an empty file text, whatever its name
  string(ASCII 3 format)
  file(WRITE "${PREFIX}/anlage-ohne-endung" "${format}TRV810-Konfigurationsdatei")
  foreach(sample Anlage.KFG anlage-ohne-endung)
    execute_process(COMMAND "${GIO}" info -a standard::content-type "${PREFIX}/${sample}"
                    OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT out MATCHES "standard::content-type: application/x-trv810-configuration")
      message(FATAL_ERROR "gio does not know ${sample} as a configuration: ${out}")
    endif()
  endforeach()
endfunction()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(rc)
  message(FATAL_ERROR "cmake --install failed: ${err}")
endif()

set(expected bin/trv810ctl bin/trv810-sim)
set(desktop "${PREFIX}/share/applications/trv810.desktop")
if(GUI)
  list(APPEND expected bin/trv810 share/applications/trv810.desktop share/icons/hicolor/scalable/apps/trv810.svg
       share/mime/packages/trv810.xml)
endif()
foreach(f IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

if(GUI)
  file(STRINGS "${desktop}" exec REGEX "^Exec=")
  file(STRINGS "${desktop}" icon REGEX "^Icon=")
  file(STRINGS "${desktop}" types REGEX "^MimeType=")
  if(NOT exec STREQUAL "Exec=trv810 %f" OR NOT icon STREQUAL "Icon=trv810")
    message(FATAL_ERROR "the desktop file names '${exec}' and '${icon}', not the installed trv810 with a file")
  endif()
  if(NOT types STREQUAL "MimeType=application/x-trv810-configuration\\;")  # file(STRINGS) escapes the ;
    message(FATAL_ERROR "the desktop file declares '${types}', not the .kfg files' type")
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
  check_mime_type()
endif()
file(REMOVE_RECURSE "${PREFIX}")
