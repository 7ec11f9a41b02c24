# Fails when a source file includes a header of a folder it may not use.
# Dependencies run one way: win32 -> app -> accounts, pxe, rpl -> base, look ->
# platform. The image tools and the stand-ins reach the machine through
# platform alone; the stand-ins' simulated host runs the image tools.
# usage: cmake -DROOT=<source dir> -P check_layers.cmake
set(allowed_platform "platform")
set(allowed_look "look;platform")
set(allowed_base "base;platform")
set(allowed_accounts "accounts;base;look;platform")
# The boot image is checked with the image tools' own FAT12 reader.
set(allowed_pxe "pxe;base;look;platform;imagetools")
# The RPL page writes the network start scripts of the PXE subsystem.
set(allowed_rpl "rpl;pxe;base;look;platform")
set(allowed_app "app;accounts;pxe;rpl;base;look;platform")
set(allowed_imagetools "imagetools;platform")
set(allowed_standins "standins;imagetools;platform")
# The build tools make the project's own files with the subsystems' writers.
set(allowed_tools "tools;rpl;platform")
set(known "platform;look;base;accounts;pxe;rpl;app;win32;imagetools;standins;tools;tests")

set(failures "")
foreach(folder platform look base accounts pxe rpl app imagetools standins tools)
  file(GLOB_RECURSE files "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
  foreach(file ${files})
    file(STRINGS "${file}" includes REGEX "^#include \"[a-z0-9_]+/")
    foreach(line ${includes})
      string(REGEX REPLACE "^#include \"([a-z0-9_]+)/.*" "\\1" target "${line}")
      list(FIND known "${target}" is_known)
      list(FIND allowed_${folder} "${target}" is_allowed)
      if(is_known GREATER -1 AND is_allowed EQUAL -1)
        file(RELATIVE_PATH rel "${ROOT}" "${file}")
        string(APPEND failures "  ${rel}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "Includes against the direction of dependencies:\n${failures}")
endif()
