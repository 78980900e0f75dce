# Writes the software centres' metadata, the manual page and the Debian change log from their
# templates. Included by packaging/CMakeLists.txt; also runs alone, for the tests:
#   cmake -DPROJECT_VERSION=... -DQUILLORY_RELEASE_DATE=YYYY-MM-DD -DQUILLORY_APP_ID=...
#         -DQUILLORY_MAINTAINER=... [-DQUILLORY_HOMEPAGE_URL=...] [-DQUILLORY_SCREENSHOT_URL=...]
#         -DQUILLORY_PACKAGING_DIR=... -DQUILLORY_OUTPUT_DIR=... -P ReleaseFiles.cmake

# The release date in the manual's and the change log's forms.
if(NOT QUILLORY_RELEASE_DATE MATCHES "^([0-9][0-9][0-9][0-9])-0?([0-9]+)-0?([0-9]+)$")
  message(FATAL_ERROR "QUILLORY_RELEASE_DATE is not YYYY-MM-DD: ${QUILLORY_RELEASE_DATE}")
endif()
set(year ${CMAKE_MATCH_1})
set(month ${CMAKE_MATCH_2})
set(day ${CMAKE_MATCH_3})
set(months January February March April May June July August September October November December)
math(EXPR index "${month} - 1")
list(GET months ${index} month_name)
string(SUBSTRING ${month_name} 0 3 month_short)
set(QUILLORY_RELEASE_MONTH "${month_name} ${year}")
# The weekday, by Sakamoto's rule (0 = Sunday).
set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
list(GET offsets ${index} offset)
set(y ${year})
if(month LESS 3)
  math(EXPR y "${year} - 1")
endif()
math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")
set(days Sun Mon Tue Wed Thu Fri Sat)
list(GET days ${weekday} day_name)
if(day LESS 10)
  set(day "0${day}")
endif()
set(QUILLORY_RELEASE_RFC2822 "${day_name}, ${day} ${month_short} ${year} 12:00:00 +0000")

# The web page and the screenshot are named only when their addresses are given: AppStream takes
# no local file for a screenshot.
set(QUILLORY_WEB_ELEMENTS "")
if(QUILLORY_HOMEPAGE_URL)
  string(APPEND QUILLORY_WEB_ELEMENTS "  <url type=\"homepage\">${QUILLORY_HOMEPAGE_URL}</url>\n")
endif()
if(QUILLORY_SCREENSHOT_URL)
  string(APPEND QUILLORY_WEB_ELEMENTS "  <screenshots>\n    <screenshot type=\"default\">\n"
    "      <caption>Three items, a bold word and a centred line</caption>\n"
    "      <image>${QUILLORY_SCREENSHOT_URL}</image>\n    </screenshot>\n  </screenshots>\n")
endif()

configure_file(${QUILLORY_PACKAGING_DIR}/org.quillory.Quillory.metainfo.xml.in
  ${QUILLORY_OUTPUT_DIR}/${QUILLORY_APP_ID}.metainfo.xml @ONLY)
configure_file(${QUILLORY_PACKAGING_DIR}/quillory.1.in ${QUILLORY_OUTPUT_DIR}/quillory.1 @ONLY)
configure_file(${QUILLORY_PACKAGING_DIR}/changelog.in ${QUILLORY_OUTPUT_DIR}/changelog @ONLY)
