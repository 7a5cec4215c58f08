# The program's folders are layers; each uses only the folders below it. From the top:
#   ui, filelists, queue, mainwindow, engine, toolkit
# scripts/check-layers holds this order and checks every include against it (a ctest entry).
# The build enforces it too. Each folder's library links only libraries below it, and shows
# its headers through an include root of its own that holds nothing but its folder: a source
# sees its own folder and the folders of the libraries it links, and an include that points
# up fails with "No such file or directory".
#
# vorrin_layer_headers(TARGET FOLDER): TARGET's own sources and its users see FOLDER/….
function(vorrin_layer_headers target folder)
  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  set(link ${root}/${folder})
  set(points_to "")
  if(IS_SYMLINK ${link})
    file(READ_SYMLINK ${link} points_to)
  endif()
  if(NOT points_to STREQUAL ${CMAKE_SOURCE_DIR}/${folder})
    file(MAKE_DIRECTORY ${root})
    file(REMOVE ${link})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${link} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
