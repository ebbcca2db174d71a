# Our own targets compile with these warnings; system headers are not ours and stay quiet.
add_library(lisko_warnings INTERFACE)
target_compile_options(lisko_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
  -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
if(LISKO_WERROR)
  target_compile_options(lisko_warnings INTERFACE -Werror)
endif()

if(LISKO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(LISKO_TSAN)
  if(LISKO_SANITIZE)
    message(FATAL_ERROR "ThreadSanitizer does not combine with AddressSanitizer: pick one")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
