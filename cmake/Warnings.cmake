add_library(quillory_warnings INTERFACE)
target_compile_options(quillory_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
  $<$<COMPILE_LANGUAGE:CXX>:-Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual>)
# Qt's strictness: no text made from char* by an implicit guess of its encoding, no narrowing
# through a connection; QT_NO_CONTEXTLESS_CONNECT takes effect from Qt 6.7 (Debian 12 has 6.4).
target_compile_definitions(quillory_warnings INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CONTEXTLESS_CONNECT
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
# Off for users and packagers, whose newer compilers may warn where ours do not; on in the test
# script and CI.
if(QUILLORY_WERROR)
  target_compile_options(quillory_warnings INTERFACE -Werror)
endif()
