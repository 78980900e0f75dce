add_library(quillory_warnings INTERFACE)
target_compile_options(quillory_warnings INTERFACE -Wall -Wextra -Wpedantic)
# Off for users and packagers, whose newer compilers may warn where ours do not; on in the test
# script and CI.
if(QUILLORY_WERROR)
  target_compile_options(quillory_warnings INTERFACE -Werror)
endif()
