# Marks a program that must run without Qt Widgets: it names only the shared libraries it uses
# (Qt's print support would otherwise bring Widgets onto its link line), and with the tests a
# test reads its dynamic section and fails when Widgets is among the libraries it needs.
function(lisko_without_widgets target)
  target_link_options(${target} PRIVATE LINKER:--as-needed)
  if(LISKO_BUILD_TESTS)
    add_test(NAME ${target}.LinksNoWidgets
             COMMAND ${CMAKE_COMMAND} -DREADELF=${LISKO_READELF} -DPROGRAM=$<TARGET_FILE:${target}>
                     -P ${PROJECT_SOURCE_DIR}/cmake/CheckNoWidgets.cmake)
  endif()
endfunction()

if(LISKO_BUILD_TESTS)
  find_program(LISKO_READELF NAMES readelf REQUIRED)
endif()
