add_library(quillory_warnings INTERFACE)
target_compile_options(quillory_warnings INTERFACE -Wall -Wextra -Wpedantic -Werror)
