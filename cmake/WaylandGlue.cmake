# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# quillmark_wayland_glue(TARGET XML... [LINK LIBRARY...]): the C glue that
# wayland-scanner makes of the protocol descriptions XML, as the static
# library TARGET (its headers in the build tree's protocols/, beside the
# calling CMakeLists.txt's), linked to LIBRARY.
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)
function(quillmark_wayland_glue target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "LINK")
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/protocols)
    file(MAKE_DIRECTORY ${dir})
    set(sources)
    foreach(xml IN LISTS arg_UNPARSED_ARGUMENTS)
        get_filename_component(protocol ${xml} NAME_WE)
        set(glue ${dir}/${protocol})
        add_custom_command(OUTPUT ${glue}-client-protocol.h ${glue}-protocol.c
                           COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${glue}-client-protocol.h
                           COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${glue}-protocol.c
                           DEPENDS ${xml} VERBATIM)
        list(APPEND sources ${glue}-client-protocol.h ${glue}-protocol.c)
    endforeach()
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${dir})
    target_link_libraries(${target} PUBLIC ${arg_LINK})
endfunction()
