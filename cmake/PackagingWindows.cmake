# The download for Windows users, made by CPack from the MinGW build:
# KOV调节显示器-<version>-windows-x64.zip, a folder of that name holding the
# program and README.txt. The README is UTF-8 with a byte-order mark and
# CR LF line ends, as Notepad reads it.
configure_file(app/win32/README.txt.in README.txt @ONLY NEWLINE_STYLE CRLF)
install(TARGETS kov_display_win32 RUNTIME DESTINATION .)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME "KOV调节显示器")
set(CPACK_PACKAGE_VENDOR "KOV工作室")
set(CPACK_PACKAGE_FILE_NAME "KOV调节显示器-${PROJECT_VERSION}-windows-x64")
include(CPack)
