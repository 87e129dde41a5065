# What a school installs or carries around, built beside the Windows program:
#   cmake --build --preset win64 --target installer     Tavrel-1.00-win64-setup.exe
#   cmake --build --preset win64 --target portable_zip  Tavrel-1.00-win64-portable.zip
# (win32 in a 32-bit build), both in the build directory's top level. Both
# are part of the default build (the installer when makensis, from Debian's
# nsis, is found), so their tests always see the current program.
#
# Every version string comes from PROJECT_VERSION and the copyright line from
# LICENSE, so neither is written twice.

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TAVREL_WINDOWS_ARCH win64)
    set(TAVREL_WINDOWS_BITS 64)
    set(TAVREL_WINDOWS_REQUIREMENT "这是 64 位版本；32 位 Windows 请用 win32 版。")
else()
    set(TAVREL_WINDOWS_ARCH win32)
    set(TAVREL_WINDOWS_BITS 32)
    set(TAVREL_WINDOWS_REQUIREMENT "这是 32 位版本，在 64 位 Windows 上也能运行。")
endif()
set(package_stem Tavrel-${PROJECT_VERSION}-${TAVREL_WINDOWS_ARCH})
set(TAVREL_INSTALLER ${PROJECT_BINARY_DIR}/${package_stem}-setup.exe)
set(TAVREL_PORTABLE_ZIP ${PROJECT_BINARY_DIR}/${package_stem}-portable.zip)

set(license ${PROJECT_SOURCE_DIR}/LICENSE)
set(readme_in ${PROJECT_SOURCE_DIR}/packaging/windows/README.txt.in)
set(nsis_script ${PROJECT_SOURCE_DIR}/packaging/windows/tavrel.nsi)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${license} ${readme_in})
file(STRINGS ${license} copyright LIMIT_COUNT 1 REGEX "^Copyright ")

# The texts as Notepad on Windows 7 reads them: Windows line ends, and the
# Chinese read-me in UTF-8 with a byte-order mark (without one, Notepad
# takes it for the local code page). They go straight into the zip's folder.
set(portable_dir ${PROJECT_BINARY_DIR}/packaging/portable)
# Each is written only when its text changes, so a new configure run does
# not rebuild the packages.
function(tavrel_write_text path text)
    file(WRITE ${path}.new "${text}")
    configure_file(${path}.new ${path} COPYONLY)
    file(REMOVE ${path}.new)
endfunction()
file(READ ${license} text)
string(REPLACE "\n" "\r\n" text "${text}")
tavrel_write_text(${portable_dir}/LICENSE.txt "${text}")
# The installer's licence page wraps the text to its own width: there the
# lines of each paragraph are joined, or every line would wrap once more.
file(READ ${license} text)
string(REGEX REPLACE "([^\n])\n([^\n])" "\\1 \\2" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
tavrel_write_text(${PROJECT_BINARY_DIR}/packaging/licence-page.txt "${text}")
file(READ ${readme_in} text)
string(CONFIGURE "${text}" text @ONLY)
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 utf8_bom)
tavrel_write_text(${portable_dir}/README.txt "${utf8_bom}${text}")

add_custom_command(OUTPUT ${TAVREL_PORTABLE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tavrel_win32> ${portable_dir}/Tavrel.exe
    # Flat: "Extract all" makes the folder, and the zip's window shows the
    # program first thing. Packed the same way on every machine.
    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${CMAKE_COMMAND} -D FOLDER=${portable_dir}
            -D OUTPUT=${TAVREL_PORTABLE_ZIP} -D FILES=Tavrel.exe,LICENSE.txt,README.txt
            -P ${PROJECT_SOURCE_DIR}/cmake/ReproducibleZip.cmake
    DEPENDS tavrel_win32 ${portable_dir}/LICENSE.txt ${portable_dir}/README.txt
            ${PROJECT_SOURCE_DIR}/cmake/ReproducibleZip.cmake
    COMMENT "Packing ${package_stem}-portable.zip"
    VERBATIM)

find_program(TAVREL_MAKENSIS makensis)
# tavrel_add_installer(OUTPUT ARCH [PROGRAM TARGET] [VERSION X.YY]
#                      [MAKENSIS_ARGUMENTS...]): the installer for ARCH around
# this build's Tavrel.exe (or the program TARGET, saying it is version X.YY).
function(tavrel_add_installer output arch)
    cmake_parse_arguments(PARSE_ARGV 2 installer "" "PROGRAM;VERSION" "")
    if(NOT installer_PROGRAM)
        set(installer_PROGRAM tavrel_win32)
    endif()
    if(NOT installer_VERSION)
        set(installer_VERSION ${PROJECT_VERSION})
    endif()
    string(REPLACE "." ";" parts ${installer_VERSION})
    list(GET parts 0 major)
    list(GET parts 1 minor)
    # 1.00 -> 1.0.0.0, the four numbers of a Windows version block.
    math(EXPR minor "${minor} + 0")
    add_custom_command(OUTPUT ${output}
        COMMAND ${TAVREL_MAKENSIS} -V2 -WX -INPUTCHARSET UTF8
                -DARCH=${arch} -DVERSION=${installer_VERSION}
                -DVERSION_QUAD=${major}.${minor}.0.0 "-DCOPYRIGHT=${copyright}"
                -DPROGRAM=$<TARGET_FILE:${installer_PROGRAM}> -DLICENSE_FILE=${PROJECT_BINARY_DIR}/packaging/licence-page.txt
                -DICON=${PROJECT_SOURCE_DIR}/resources/tavrel.ico
                -DOUTFILE=${output} ${installer_UNPARSED_ARGUMENTS} ${nsis_script}
        DEPENDS ${installer_PROGRAM} ${nsis_script} ${PROJECT_BINARY_DIR}/packaging/licence-page.txt
                ${PROJECT_SOURCE_DIR}/resources/tavrel.ico
        COMMENT "Building ${output}"
        VERBATIM)
endfunction()
if(TAVREL_MAKENSIS)
    tavrel_add_installer(${TAVREL_INSTALLER} ${TAVREL_WINDOWS_ARCH})
    add_custom_target(installer ALL DEPENDS ${TAVREL_INSTALLER})
else()
    add_custom_target(installer
        COMMAND ${CMAKE_COMMAND} -E echo "makensis not found: install Debian's nsis package"
        COMMAND ${CMAKE_COMMAND} -E false
        VERBATIM)
endif()
add_custom_target(portable_zip ALL DEPENDS ${TAVREL_PORTABLE_ZIP})

# Beside the programs in dist/windows/ (scripts/build-windows.sh builds both
# first; a build that skipped one installs what is there).
install(FILES ${TAVREL_INSTALLER} ${TAVREL_PORTABLE_ZIP} DESTINATION . COMPONENT windows_dist OPTIONAL)
