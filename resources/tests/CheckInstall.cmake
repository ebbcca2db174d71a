# cmake -DBUILD_DIR=... -DSTAGE_DIR=... -DDESKTOP_FILE_VALIDATE=... -DUPDATE_MIME_DATABASE=...
#       -P CheckInstall.cmake

function(fail message)
  message(FATAL_ERROR "Install: ${message}")
endfunction()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    fail("${ARGN} exited with ${rc}:\n${out}${err}")
  endif()
  set(run_output "${out}${err}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${STAGE_DIR})
set(prefix ${STAGE_DIR}/usr)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

foreach(program liskoprinter liskoprinter-cli)
  if(NOT EXISTS ${prefix}/bin/${program})
    fail("bin/${program} is missing")
  endif()
endforeach()
# The installed tool runs from its own place, without the build tree.
run(${prefix}/bin/liskoprinter-cli --help)

set(entry ${prefix}/share/applications/liskoprinter.desktop)
if(NOT EXISTS ${entry})
  fail("the desktop entry is missing")
endif()
run(${DESKTOP_FILE_VALIDATE} ${entry})
# Hints are advice; errors and warnings are not.
if(run_output MATCHES "(error|warning):")
  fail("desktop-file-validate:\n${run_output}")
endif()
file(STRINGS ${entry} exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=liskoprinter %F")
  fail("the entry starts '${exec}'")
endif()
file(STRINGS ${entry} icon REGEX "^Icon=")
string(REPLACE "Icon=" "" icon "${icon}")

# Job files are a type of their own that the program opens. The database is built in the stage,
# from the installed package file alone, by the tool the desktop's own database comes from; a file
# it cannot read gives no glob.
file(STRINGS ${entry} types REGEX "^MimeType=")
# file(STRINGS) escapes the semicolons that separate the types.
string(REPLACE "\\;" ";" types "${types}")
if(NOT types MATCHES "[=;]application/x-liskoprinter-job;")
  fail("the entry does not open job files: '${types}'")
endif()
run(${UPDATE_MIME_DATABASE} ${prefix}/share/mime)
file(STRINGS ${prefix}/share/mime/globs2 globs REGEX "liskoprinter")
if(NOT globs STREQUAL "50:application/x-liskoprinter-job:*.lisko")
  fail("the MIME database has '${globs}' for job files")
endif()

# Each icon is a PNG exactly as large as the folder of its size says; job files show the
# program's.
foreach(name apps/${icon} mimetypes/application-x-liskoprinter-job)
  foreach(size 48 256)
    set(png ${prefix}/share/icons/hicolor/${size}x${size}/${name}.png)
    if(NOT EXISTS ${png})
      fail("no ${size} px icon '${name}'")
    endif()
    file(READ ${png} header HEX LIMIT 24)
    string(SUBSTRING "${header}" 0 16 signature)
    string(SUBSTRING "${header}" 32 16 dimensions)
    string(SUBSTRING "${dimensions}" 0 8 width_hex)
    string(SUBSTRING "${dimensions}" 8 8 height_hex)
    math(EXPR width "0x${width_hex}")
    math(EXPR height "0x${height_hex}")
    if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
      fail("${png} is not a ${size} x ${size} PNG (${width} x ${height})")
    endif()
  endforeach()
endforeach()
