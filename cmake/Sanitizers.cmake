add_library(quillory_sanitizers INTERFACE)
if(QUILLORY_SANITIZE)
  target_compile_options(quillory_sanitizers INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(quillory_sanitizers INTERFACE -fsanitize=address,undefined)
endif()
