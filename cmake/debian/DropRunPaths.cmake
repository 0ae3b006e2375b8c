# Run by CPack after staging each package: the programs' relative library
# search path (for installs under any prefix) is dropped from packages, whose
# library lives in the system's library folder.
file(GLOB_RECURSE _files LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(_file ${_files})
  if(_file MATCHES "/bin/[^/]+$" AND NOT IS_SYMLINK "${_file}")
    file(RPATH_REMOVE FILE "${_file}")
  endif()
endforeach()
