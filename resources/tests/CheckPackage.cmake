# cmake -DBUILD_DIR=... -DOUT_DIR=... -DCPACK=... -DLINTIAN=... -P CheckPackage.cmake
#
# Builds the Debian package from the build tree as the README says, then reads it as Debian's
# own checker does: no error and no warning, and the files a desktop and a terminal look for.

set(CHECK_NAME Package)
include(${CMAKE_CURRENT_LIST_DIR}/CheckSteps.cmake)

file(REMOVE_RECURSE ${OUT_DIR})
run(${CPACK} -G DEB -B ${OUT_DIR} --config ${BUILD_DIR}/CPackConfig.cmake)
file(GLOB package ${OUT_DIR}/liskoprinter_*.deb)
list(LENGTH package count)
if(NOT count EQUAL 1)
  fail("cpack made '${package}'")
endif()

run(dpkg-deb --contents ${package})
foreach(path "usr/share/metainfo/" "usr/share/man/man1/liskoprinter.1.gz"
             "usr/share/man/man1/liskoprinter-cli.1.gz"
             "usr/share/bash-completion/completions/liskoprinter-cli"
             "usr/share/doc/liskoprinter/copyright" "usr/share/doc/liskoprinter/changelog.gz")
  string(FIND "${run_output}" "./${path}" at)
  if(at EQUAL -1)
    fail("the package lacks ${path}")
  endif()
endforeach()

# Lintian's exit code counts errors only; its warnings are refused here too.
execute_process(COMMAND ${LINTIAN} ${package} OUTPUT_VARIABLE out ERROR_VARIABLE err)
if("${out}${err}" MATCHES "(^|\n)[EW]: ")
  fail("lintian:\n${out}${err}")
endif()
