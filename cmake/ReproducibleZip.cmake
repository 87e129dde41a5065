# Packs a folder's files into a zip that is the same, byte for byte, on every
# machine that packs the same files:
#   cmake -E env TZ=UTC cmake -D FOLDER=dir -D OUTPUT=file.zip
#         [-D FILES=a,b,c] [-D PREFIX=name] -P ReproducibleZip.cmake
# FILES (relative to FOLDER, separated by commas) gives the entries and
# their order; without it, every file of FOLDER in name order. PREFIX puts
# them in a folder of that name inside the zip. Every entry has the mode rw-r--r-- (whatever the
# packer's umask made) and the time SOURCE_DATE_EPOCH gives (the last
# commit's, set by the scripts; else now). A zip keeps local times, which
# is why TZ must be UTC.
cmake_minimum_required(VERSION 3.25)
foreach(required FOLDER OUTPUT)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "ReproducibleZip.cmake: -D ${required}=... is needed")
    endif()
endforeach()
if(NOT "$ENV{TZ}" STREQUAL "UTC")
    message(FATAL_ERROR "ReproducibleZip.cmake: run it with TZ=UTC (cmake -E env TZ=UTC ...)")
endif()

get_filename_component(FOLDER ${FOLDER} ABSOLUTE)
if(DEFINED FILES)
    string(REPLACE "," ";" FILES "${FILES}")
else()
    file(GLOB_RECURSE FILES LIST_DIRECTORIES false RELATIVE ${FOLDER} ${FOLDER}/*)
    list(SORT FILES)
endif()

get_filename_component(output ${OUTPUT} ABSOLUTE)
set(staging ${output}.staging)
file(REMOVE_RECURSE ${staging})
set(top ${staging})
if(DEFINED PREFIX)
    set(top ${staging}/${PREFIX})
endif()
set(entries)
foreach(name IN LISTS FILES)
    get_filename_component(subfolder ${name} DIRECTORY)
    file(COPY ${FOLDER}/${name} DESTINATION ${top}/${subfolder}
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
        DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                              WORLD_READ WORLD_EXECUTE)
    if(DEFINED PREFIX)
        list(APPEND entries ${PREFIX}/${name})
    else()
        list(APPEND entries ${name})
    endif()
endforeach()

if(NOT entries)
    message(FATAL_ERROR "ReproducibleZip.cmake: nothing to pack in ${FOLDER}")
endif()
# Info-ZIP's zip, told to store no extra fields (-X: no Unix times or ids
# beside the entry's own time) and no folder entries (-D).
find_program(zip_program zip)
if(NOT zip_program)
    message(FATAL_ERROR "ReproducibleZip.cmake: zip is not installed (Debian's zip)")
endif()
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
    string(TIMESTAMP epoch "%s" UTC)
endif()
execute_process(COMMAND touch -d @${epoch} -- ${entries}
    WORKING_DIRECTORY ${staging} RESULT_VARIABLE touched)
file(REMOVE ${output})
execute_process(COMMAND ${zip_program} -q -X -D ${output} -- ${entries}
    WORKING_DIRECTORY ${staging} RESULT_VARIABLE status)
file(REMOVE_RECURSE ${staging})
if(NOT touched EQUAL 0 OR NOT status EQUAL 0)
    message(FATAL_ERROR "ReproducibleZip.cmake: could not pack ${OUTPUT}")
endif()
