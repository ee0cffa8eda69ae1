# Every target of the project compiles with the same warning set.
add_library(kov_warnings INTERFACE)
target_compile_options(kov_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(KOV_WERROR)
  target_compile_options(kov_warnings INTERFACE -Werror)
endif()
