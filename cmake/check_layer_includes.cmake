# Fails when a source file of a layer includes a header the layer may not
# use: a project header outside the folders it sees, or a library header
# outside the C++ standard library and the groups it allows. A folder it
# sees gives only the headers directly in it (platform does not give
# platform/qt); with RECURSE the first folder, the layer's own, gives its
# subfolders too. A name with ".." is refused, since it can climb out.
#   cmake -DLAYER_DIR=<folder> -DRECURSE=<bool> -DSEES=own,b/c -DALLOWS=posix,qt
#     -P check_layer_includes.cmake
cmake_minimum_required(VERSION 3.25)

set(kStandardHeaders
  algorithm any array atomic barrier bit bitset cassert cctype cerrno cfenv
  cfloat charconv chrono cinttypes climits clocale cmath codecvt compare
  complex concepts condition_variable coroutine csetjmp csignal cstdarg
  cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype deque
  exception execution expected filesystem format forward_list fstream
  functional future initializer_list iomanip ios iosfwd iostream istream
  iterator latch limits list locale map memory memory_resource mutex new
  numbers numeric optional ostream queue random ranges ratio regex
  scoped_allocator semaphore set shared_mutex source_location span sstream
  stack stdexcept stop_token streambuf string string_view syncstream
  system_error thread tuple type_traits typeindex typeinfo unordered_map
  unordered_set utility valarray variant vector version)
# Each group: a regular expression over the name between < and >.
set(kGroup_posix
  "^(sys/[a-z_]+|dirent|dlfcn|fcntl|signal|unistd|malloc|pthread|spawn|poll|pwd|langinfo|locale|termios|time|errno|stdlib|stdio|string|strings)\\.h$")
set(kGroup_fluidsynth "^fluidsynth(\\.h|/)")
set(kGroup_alsa "^alsa/")
set(kGroup_jack "^jack/")
set(kGroup_sndfile "^sndfile\\.h$")
set(kGroup_qt "^Q[A-Za-z0-9]+$|^Qt[A-Za-z]+/")
set(kGroup_cli11 "^CLI/")
set(kGroup_nlohmann_json "^nlohmann/")
set(kGroup_pugixml "^pugixml\\.hpp$")
set(kGroup_libzip "^zip\\.h$")

# What may stand between < and > (library headers) and between quotes
# (project headers), as regular expressions.
list(JOIN kStandardHeaders "|" standard)
set(library_patterns "^(${standard})$")
string(REPLACE "," ";" allows "${ALLOWS}")
foreach(group IN LISTS allows)
  if(NOT DEFINED kGroup_${group})
    message(FATAL_ERROR "unknown include group ${group}")
  endif()
  list(APPEND library_patterns "${kGroup_${group}}")
endforeach()
set(project_patterns)
string(REPLACE "," ";" sees "${SEES}")
foreach(folder IN LISTS sees)
  list(APPEND project_patterns "^${folder}/[^/]+$")
endforeach()
if(RECURSE)
  list(GET sees 0 own)
  list(APPEND project_patterns "^${own}/")
endif()

if(RECURSE)
  file(GLOB_RECURSE files ${LAYER_DIR}/*.cc ${LAYER_DIR}/*.h)
else()
  file(GLOB files ${LAYER_DIR}/*.cc ${LAYER_DIR}/*.h)
endif()

function(MatchesAny text patterns result)
  foreach(pattern IN LISTS patterns)
    if(text MATCHES "${pattern}")
      set(${result} TRUE PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${result} FALSE PARENT_SCOPE)
endfunction()

set(refused)
foreach(file IN LISTS files)
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    # Only the name right after the word counts, not one in a comment.
    set(allowed FALSE)
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
      set(delimiter "${CMAKE_MATCH_1}")
      set(name "${CMAKE_MATCH_2}")
      if(NOT name MATCHES "(^|/)\\.\\.(/|$)")
        if(delimiter STREQUAL "<")
          MatchesAny("${name}" "${library_patterns}" allowed)
        else()
          MatchesAny("${name}" "${project_patterns}" allowed)
        endif()
      endif()
    endif()
    if(NOT allowed)
      list(APPEND refused "${file}: ${line}")
    endif()
  endforeach()
endforeach()

if(refused)
  list(JOIN refused "\n  " text)
  message(FATAL_ERROR "includes outside what ${LAYER_DIR} may use:\n  ${text}")
endif()
