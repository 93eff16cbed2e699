# The licence is stated once, in LICENSE at the top of the tree; the Windows
# version resources and the Debian copyright file take it from there.
#   BRENLOW_COPYRIGHT       "2026 the brenlow developers" (years and holders)
#   BRENLOW_LICENSE_DEBIAN  the permission text as the body of a Debian
#                           copyright "License:" field (one space in front
#                           of each line, "." for an empty one)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
file(READ ${CMAKE_SOURCE_DIR}/LICENSE brenlow_license)
if(NOT brenlow_license MATCHES "^MIT License\n\nCopyright \\(c\\) ([^\n]+)\n\n(.+[^\n])\n*$")
  message(FATAL_ERROR "LICENSE does not begin with \"MIT License\" and a \"Copyright (c)\" line")
endif()
set(BRENLOW_COPYRIGHT "${CMAKE_MATCH_1}")
string(REPLACE "\n\n" "\n.\n" BRENLOW_LICENSE_DEBIAN "${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " BRENLOW_LICENSE_DEBIAN " ${BRENLOW_LICENSE_DEBIAN}")
unset(brenlow_license)
