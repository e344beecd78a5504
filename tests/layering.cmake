# Fails when a source of a pure library includes a Qt, OpenGL or window-system header, or the
# widgets, or when a pure library links anything but another pure library: the ephemeris and the
# text and layout code must build and run without any of them, GLib and libgeonames too.
#   cmake -DSOURCES="a.cpp;b.h" -DPURE="lib;other" -DLINKS="lib>other;other>Qt6::Core" -P layering.cmake
cmake_policy(SET CMP0057 NEW) # if(... IN_LIST ...)
set(violations "")
foreach(source IN LISTS SOURCES)
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
        if(line MATCHES "[<\"](Q[A-Za-z]*|Qt[A-Za-z]*/[^>\"]*|(GL|EGL|X11|xcb|glib|gio)/[^>\"]*|glib\\.h|geonames\\.h|(panes|app|towns/towns)[/.][^>\"]*)[>\"]")
            string(APPEND violations "\n  ${source}: ${line}")
        endif()
    endforeach()
endforeach()
foreach(link IN LISTS LINKS)
    string(FIND "${link}" ">" at)
    string(SUBSTRING "${link}" 0 ${at} library)
    math(EXPR at "${at} + 1")
    string(SUBSTRING "${link}" ${at} -1 linked)
    if(NOT linked IN_LIST PURE)
        string(APPEND violations "\n  ${library} links ${linked}")
    endif()
endforeach()
list(LENGTH SOURCES count)
list(LENGTH PURE libraries)
if(count EQUAL 0 OR libraries EQUAL 0)
    message(FATAL_ERROR "layering: no sources or libraries to check")
endif()
if(violations)
    message(FATAL_ERROR "layering: pure code includes or links Qt, OpenGL, a window system, GLib "
        "or the widgets:${violations}")
endif()
message(STATUS "layering: ${count} pure sources of ${libraries} libraries include and link none of "
    "Qt, OpenGL, a window system, GLib or the widgets")
