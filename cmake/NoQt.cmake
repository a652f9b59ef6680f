# The core of the program (common, platform seams, link, ups, config, update) and what is built
# from it alone (zentrel-pack, the fuzz targets, the core's tests) must never reach Qt, so that a
# second front end and the tools reuse it unchanged. Each such target is registered here, and
# configuring fails when one of them links a Qt library, directly or through another target.

define_property(GLOBAL PROPERTY ZENTREL_NO_QT_TARGETS
  BRIEF_DOCS "Targets that must not reach Qt" FULL_DOCS "Checked by zentrel_check_no_qt().")

# zentrel_require_no_qt(target...): these targets may not reach Qt.
function(zentrel_require_no_qt)
  set_property(GLOBAL APPEND PROPERTY ZENTREL_NO_QT_TARGETS ${ARGN})
  set_target_properties(${ARGN} PROPERTIES AUTOMOC OFF AUTORCC OFF AUTOUIC OFF)
endfunction()

# add_zentrel_core_library(name sources...): a static library of the core.
function(add_zentrel_core_library name)
  add_library(${name} STATIC ${ARGN})
  zentrel_require_no_qt(${name})
endfunction()

function(_zentrel_qt_reached target chain result)
  set(${result} "" PARENT_SCOPE)
  foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
    get_target_property(libraries ${target} ${property})
    if(NOT libraries)
      continue()
    endif()
    foreach(library IN LISTS libraries)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" library "${library}")
      if(library MATCHES "^Qt[0-9]*::" OR library MATCHES "[Qq]t[0-9]*(Core|Gui|Network|Widgets|SerialPort|Test)")
        set(${result} "${chain} -> ${library}" PARENT_SCOPE)
        return()
      endif()
      if(TARGET ${library} AND NOT library IN_LIST chain)
        _zentrel_qt_reached(${library} "${chain} -> ${library}" found)
        if(found)
          set(${result} "${found}" PARENT_SCOPE)
          return()
        endif()
      endif()
    endforeach()
  endforeach()
endfunction()

# Called once every target exists.
function(zentrel_check_no_qt)
  get_property(targets GLOBAL PROPERTY ZENTREL_NO_QT_TARGETS)
  foreach(target IN LISTS targets)
    _zentrel_qt_reached(${target} "${target}" found)
    if(found)
      message(FATAL_ERROR "${target} must not reach Qt, but links it: ${found}")
    endif()
  endforeach()
endfunction()
