# What goes into the release archives (scripts/release) and how a shipped program is built.
#
#   vorrin_version_resource(target description original_filename)
#     a VERSIONINFO resource with the project's version, the description shown in the file's
#     Properties and the name the file is shipped under
#   vorrin_shipped_program(target description)
#     a program of the release: its version resource and its resources from resources/ (the
#     object library <target>_resources), linked lean and stripped, listed as shipped
#   vorrin_ship(file description)
#     any other file of the build folder that goes into the archive (the help, the read-me)
#
# The target vorrin_shipped builds what the archive holds and nothing else (scripts/build --shipped);
# the target making a file vorrin_ship() names is added to it with add_dependencies().
#
# At the end of the configuration each Windows build folder gets shipped.txt, the list that
# scripts/build (sizes) and scripts/release (archives) read, and README.txt, the read-me.
include_guard(GLOBAL)

set(VORRIN_RELEASE_DIR ${CMAKE_CURRENT_LIST_DIR}/../release)

if(NOT PROJECT_VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+$")
  message(FATAL_ERROR "The project's version must be major.minor.patch, not '${PROJECT_VERSION}'.")
endif()

function(vorrin_version_resource target description original_filename)
  set(VERSION_DESCRIPTION "${description}")
  set(VERSION_ORIGINAL_FILENAME "${original_filename}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${VORRIN_RELEASE_DIR}/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

function(vorrin_ship file description)
  set_property(GLOBAL APPEND PROPERTY VORRIN_SHIPPED_FILES "${file}")
  set_property(GLOBAL PROPERTY VORRIN_SHIPPED_DESCRIPTION_${file} "${description}")
endfunction()

function(vorrin_shipped_program target description)
  vorrin_version_resource(${target} "${description}" ${target}.exe)
  # The manifest (UTF-8 as the process code page, so names in any language) and the icon.
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:${target}_resources>)
  # The runtime's default report of an uncaught exception alone weighs about 45 KB.
  target_sources(${target} PRIVATE ${VORRIN_RELEASE_DIR}/quiet_terminate.cpp)
  # The runtime's throwing functions, with their old-string messages, weigh about 75 KB more.
  target_sources(${target} PRIVATE ${VORRIN_RELEASE_DIR}/lean_throws.cpp)
  # No time stamp in the PE header (ld's checksum then depends on the contents alone): the
  # same sources give the same bytes, which is what lets anyone check a release.
  target_link_options(${target} PRIVATE -Wl,--gc-sections -Wl,--no-insert-timestamp $<$<CONFIG:Release>:-s>)
  vorrin_ship(${target}.exe "${description}")
  add_dependencies(vorrin_shipped ${target})
endfunction()

function(vorrin_write_release_list)
  vorrin_ship(README.txt "this file")
  get_property(files GLOBAL PROPERTY VORRIN_SHIPPED_FILES)
  # The programs first, then the rest in the order they were named.
  set(programs ${files})
  list(FILTER programs INCLUDE REGEX "\\.exe$")
  list(REMOVE_ITEM files ${programs})
  set(list "version ${PROJECT_VERSION}\narch ${VORRIN_ARCH}\n")
  set(VORRIN_FILE_TABLE "")
  foreach(file IN LISTS programs files)
    get_property(description GLOBAL PROPERTY VORRIN_SHIPPED_DESCRIPTION_${file})
    string(APPEND list "file ${file}\n")
    string(LENGTH "${file}" length)
    math(EXPR gap "14 - ${length}")
    if(gap LESS 2)
      set(gap 2)
    endif()
    string(REPEAT " " ${gap} padding)
    string(APPEND VORRIN_FILE_TABLE "  ${file}${padding}${description}\n")
  endforeach()
  file(WRITE ${CMAKE_BINARY_DIR}/shipped.txt "${list}")

  string(REGEX REPLACE "\n$" "" VORRIN_FILE_TABLE "${VORRIN_FILE_TABLE}")
  set(template ${VORRIN_RELEASE_DIR}/README.txt.in)
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${template})
  file(READ ${template} readme)
  string(CONFIGURE "${readme}" readme @ONLY)
  # Windows users open it in Notepad: CR LF line ends.
  string(REPLACE "\n" "\r\n" readme "${readme}")
  file(WRITE ${CMAKE_BINARY_DIR}/README.txt "${readme}")
endfunction()

if(WIN32)
  add_custom_target(vorrin_shipped)
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vorrin_write_release_list)
endif()
