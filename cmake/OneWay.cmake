# The project's targets build on one another one way only: a library that
# linked back to one that builds on it would make the layers one tangle.
# The configure stops and names the circle where it finds one.

function(_vantorel_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    _vantorel_targets_below(${sub} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Depth first from `target`; `path` is the way down to it.
function(_vantorel_walk target path)
  if(target IN_LIST path)
    list(FIND path ${target} from)
    list(SUBLIST path ${from} -1 circle)
    list(APPEND circle ${target})
    list(JOIN circle " -> " circle)
    message(FATAL_ERROR "The project's targets link in a circle: ${circle}")
  endif()
  get_property(done GLOBAL PROPERTY _VANTOREL_ONE_WAY_DONE)
  if(target IN_LIST done)
    return()
  endif()
  list(APPEND path ${target})
  # What it links itself, and what it hands on to whoever links it; a
  # static library's private links are handed on as link-only.
  get_target_property(links ${target} LINK_LIBRARIES)
  get_target_property(handed ${target} INTERFACE_LINK_LIBRARIES)
  list(APPEND links ${handed})
  list(TRANSFORM links REPLACE "^\\$<LINK_ONLY:(.+)>$" "\\1")
  foreach(link IN LISTS links)
    if(TARGET ${link} AND link IN_LIST _VANTOREL_OWN)
      _vantorel_walk(${link} "${path}")
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY _VANTOREL_ONE_WAY_DONE ${target})
endfunction()

function(vantorel_check_one_way)
  _vantorel_targets_below(${CMAKE_SOURCE_DIR} _VANTOREL_OWN)
  set_property(GLOBAL PROPERTY _VANTOREL_ONE_WAY_DONE "")
  foreach(target IN LISTS _VANTOREL_OWN)
    _vantorel_walk(${target} "")
  endforeach()
endfunction()
