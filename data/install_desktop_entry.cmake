# Writes and installs the desktop entry. The entry names the installed
# program by its full path, so that it works for any prefix, even one that
# is not on the user's PATH.
set(bindir "${TAVREL_BINDIR}")
if(NOT IS_ABSOLUTE "${bindir}")
  set(bindir "${CMAKE_INSTALL_PREFIX}/${bindir}")
endif()
# Inside a quoted Exec argument these characters would need escaping
# twice over; refuse them rather than write an entry that runs something else.
if(bindir MATCHES "[\"`$%\\\\]")
  message(FATAL_ERROR "tavrel: a desktop entry cannot name a program in ${bindir}")
endif()
set(TAVREL_EXEC "\"${bindir}/tavrel\"")
configure_file("${TAVREL_DESKTOP_IN}" "${TAVREL_DESKTOP_OUT}" @ONLY)
file(INSTALL "${TAVREL_DESKTOP_OUT}" DESTINATION "${CMAKE_INSTALL_PREFIX}/${TAVREL_DATADIR}/applications")
