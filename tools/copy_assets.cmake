# Copies the game data into the run folder. Shaders, meshes and textures are
# refreshed on every build; a course file (or the list of courses) is copied
# only when the run folder has none, so a course saved while playing is never
# overwritten by a rebuild.
file(GLOB_RECURSE files RELATIVE ${SRC} ${SRC}/*)
foreach(f ${files})
  if(f MATCHES "^Tracks/")
    if(NOT EXISTS ${DST}/${f})
      configure_file(${SRC}/${f} ${DST}/${f} COPYONLY)
    endif()
  else()
    configure_file(${SRC}/${f} ${DST}/${f} COPYONLY)
  endif()
endforeach()
