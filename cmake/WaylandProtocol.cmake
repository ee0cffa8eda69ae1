# Wayland protocol glue, generated at build time by wayland-scanner from a
# protocol description.
#
#   kov_wayland_protocol(NAME XML)
#
# gives two static libraries: NAME_client for a program that speaks the
# protocol to a compositor (header STEM-client-protocol.h, on
# libwayland-client) and NAME_server for one that offers it (header
# STEM-server-protocol.h, on libwayland-server), where STEM is XML's file
# name without its extension. The generated code is C.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WaylandClient REQUIRED IMPORTED_TARGET wayland-client)
pkg_check_modules(WaylandServer REQUIRED IMPORTED_TARGET wayland-server)
pkg_get_variable(KOV_WAYLAND_SCANNER wayland-scanner wayland_scanner)
if(NOT KOV_WAYLAND_SCANNER)
  message(FATAL_ERROR "wayland-scanner not found (Debian package libwayland-bin)")
endif()

function(kov_wayland_protocol name xml)
  cmake_path(ABSOLUTE_PATH xml NORMALIZE)
  cmake_path(GET xml STEM stem)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/wayland/${name})
  file(MAKE_DIRECTORY ${out})
  set(code ${out}/${stem}-protocol.c)
  set(kinds client server)
  set(libraries PkgConfig::WaylandClient PkgConfig::WaylandServer)
  foreach(kind IN LISTS kinds)
    set(header ${out}/${stem}-${kind}-protocol.h)
    add_custom_command(
      OUTPUT ${header}
      COMMAND ${KOV_WAYLAND_SCANNER} ${kind}-header ${xml} ${header}
      DEPENDS ${xml}
      COMMENT "Generating ${stem}-${kind}-protocol.h"
      VERBATIM)
    list(APPEND headers ${header})
  endforeach()
  add_custom_command(
    OUTPUT ${code}
    COMMAND ${KOV_WAYLAND_SCANNER} private-code ${xml} ${code}
    DEPENDS ${xml}
    COMMENT "Generating ${stem}-protocol.c"
    VERBATIM)
  # Both libraries compile the same code; one target generates it.
  add_custom_target(${name}_generated DEPENDS ${headers} ${code})

  foreach(kind library IN ZIP_LISTS kinds libraries)
    add_library(${name}_${kind} STATIC ${code} ${out}/${stem}-${kind}-protocol.h)
    add_dependencies(${name}_${kind} ${name}_generated)
    target_include_directories(${name}_${kind} PUBLIC ${out})
    target_link_libraries(${name}_${kind} PUBLIC ${library})
  endforeach()
endfunction()
