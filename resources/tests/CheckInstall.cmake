# cmake -DBUILD_DIR=... -DSTAGE_DIR=... -DDESKTOP_FILE_VALIDATE=... -DUPDATE_MIME_DATABASE=...
#       -P CheckInstall.cmake

set(CHECK_NAME Install)
include(${CMAKE_CURRENT_LIST_DIR}/CheckSteps.cmake)

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

# Both programs answer --version without a window, as a package's scripts and users ask it.
foreach(program liskoprinter liskoprinter-cli)
  run(${prefix}/bin/${program} --version)
  if(NOT run_output STREQUAL "${program} ${VERSION}\n")
    fail("${program} --version says '${run_output}'")
  endif()
endforeach()

# The software centres' description validates and names the entry, the programs and the job
# files' type that the package installs.
file(GLOB metainfo ${prefix}/share/metainfo/*.metainfo.xml)
list(LENGTH metainfo count)
if(NOT count EQUAL 1)
  fail("expected one metainfo file, found '${metainfo}'")
endif()
run(${APPSTREAMCLI} validate --no-net ${metainfo})
if(run_output MATCHES "(^|\n)[EW]:")
  fail("appstreamcli validate:\n${run_output}")
endif()
file(READ ${metainfo} description)
get_filename_component(entry_name ${entry} NAME)
foreach(expected "<launchable type=\"desktop-id\">${entry_name}</launchable>"
                 "<mediatype>application/x-liskoprinter-job</mediatype>"
                 "<binary>liskoprinter</binary>" "<binary>liskoprinter-cli</binary>"
                 "<release version=\"${VERSION}\"")
  string(FIND "${description}" "${expected}" at)
  if(at EQUAL -1)
    fail("the metainfo lacks ${expected}")
  endif()
endforeach()

# Manual pages: compressed, free of roff warnings, and naming every command and option the
# tool's help names.
foreach(page liskoprinter liskoprinter-cli)
  set(gz ${prefix}/share/man/man1/${page}.1.gz)
  if(NOT EXISTS ${gz})
    fail("no manual page ${page}(1)")
  endif()
  run(sh -c "gzip -dc '${gz}' | ${GROFF} -k -man -Tutf8 -ww -z 2>&1")
  if(NOT run_output STREQUAL "")
    fail("groff warns about ${page}(1):\n${run_output}")
  endif()
endforeach()
run(sh -c "gzip -dc '${prefix}/share/man/man1/liskoprinter-cli.1.gz' | ${GROFF} -k -man -Tascii -P-cbou 2>&1")
set(manual "${run_output}")
foreach(words "render" "print" "job" "detect-page" "--straighten" "--preview-png" "--quality"
              "--version")
  string(FIND "${manual}" "${words}" at)
  if(at EQUAL -1)
    fail("liskoprinter-cli(1) does not mention ${words}")
  endif()
endforeach()

# Bash completes the tool's commands, and a command's options, from the installed script.
set(completion ${prefix}/share/bash-completion/completions/liskoprinter-cli)
foreach(case "re|1|render" "render --out|2|--output" "print --pre|2|--preview-png"
             "detect-page --he|2|--help")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 words)
  list(GET case 1 index)
  list(GET case 2 expected)
  # Lines, not semicolons: CMake would split the command at those.
  run(bash -c "source '${completion}'
COMP_WORDS=(liskoprinter-cli ${words})
COMP_CWORD=${index}
_liskoprinter_cli
echo \"\${COMPREPLY[*]}\"")
  if(NOT run_output STREQUAL "${expected}\n")
    fail("completing '${words}' gives '${run_output}', not '${expected}'")
  endif()
endforeach()
