# One library per folder of src/: sonvera_<layer> from src/<layer>/*.cpp (its subfolders too, as
# the windows keep one folder each).
#
# A layer's headers are included as "<layer>/Name.h". Each layer gets an include root of its own
# in the build tree, holding only a link to its folder, and hands that root to the layers that
# link it; a layer that does not link another cannot name that one's headers.
function(sonvera_layer layer)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${layer}/*.cpp)
  add_library(sonvera_${layer} STATIC ${sources})
  set(root ${PROJECT_BINARY_DIR}/layers/${layer})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${layer} ${root}/${layer} SYMBOLIC)
  target_include_directories(sonvera_${layer} PUBLIC ${root})
endfunction()
