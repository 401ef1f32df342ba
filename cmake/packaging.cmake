# What a user downloads, written to dist/ by every build:
#   TolvaneExtractor-<version>-<arch>-setup.exe     the installer, made by NSIS (makensis)
#   TolvaneExtractor-<version>-<arch>-portable.zip  the program, its menu handler, core\, a README and
#                                                   the portable marker, made by
#                                                   Python's zipfile (no Wine needed to build)
find_program(TOLVANE_MAKENSIS makensis REQUIRED)
set(TOLVANE_DIST_DIR ${CMAKE_BINARY_DIR}/dist CACHE PATH "Where the packages are written")
set(TOLVANE_PACKAGE_NAME TolvaneExtractor-${PROJECT_VERSION}-${TOLVANE_ARCH})
set(TOLVANE_SETUP ${TOLVANE_DIST_DIR}/${TOLVANE_PACKAGE_NAME}-setup.exe)
set(TOLVANE_PORTABLE_ZIP ${TOLVANE_DIST_DIR}/${TOLVANE_PACKAGE_NAME}-portable.zip)

set(TOLVANE_PACKAGE_INPUTS $<TARGET_FILE:tolvane> $<TARGET_FILE:tolvane_shell> ${TOLVANE_ENGINE_FILES}
    ${TOLVANE_BIN_DIR}/lang/de.dll ${TOLVANE_BIN_DIR}/lang/ja.dll)
# The x64 packages also carry the 32-bit handler (TOLVANE_HANDLER32, set by the x86 build).
set(TOLVANE_NSIS_HANDLER32)
set(TOLVANE_ZIP_HANDLER32)
if(TOLVANE_HANDLER32)
  set(TOLVANE_NSIS_HANDLER32 -DHANDLER32=${TOLVANE_HANDLER32})
  set(TOLVANE_ZIP_HANDLER32 tolvane_shell32.dll=${TOLVANE_HANDLER32})
  list(APPEND TOLVANE_PACKAGE_INPUTS ${TOLVANE_HANDLER32})
endif()

add_custom_command(
  OUTPUT ${TOLVANE_SETUP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TOLVANE_DIST_DIR}
  COMMAND ${TOLVANE_MAKENSIS} -V2
          -DVERSION=${PROJECT_VERSION} -DVERSION_QUAD=${TOLVANE_VERSION_QUAD} -DARCH=${TOLVANE_ARCH}
          "-DPUBLISHER=${TOLVANE_PUBLISHER}" "-DCOPYRIGHT=${TOLVANE_COPYRIGHT}"
          -DPROGRAM=$<TARGET_FILE:tolvane> -DHANDLER=$<TARGET_FILE:tolvane_shell> ${TOLVANE_NSIS_HANDLER32}
          -DCORE=${TOLVANE_BIN_DIR}/core
          -DLANGUAGES=${TOLVANE_BIN_DIR}/lang
          -DICON=${TOLVANE_GEN_DIR}/tolvane.ico -DOUTFILE=${TOLVANE_SETUP}
          ${CMAKE_SOURCE_DIR}/packaging/tolvane.nsi
  DEPENDS tolvane tolvane_shell ${TOLVANE_PACKAGE_INPUTS} ${TOLVANE_GEN_DIR}/tolvane.ico ${CMAKE_SOURCE_DIR}/packaging/tolvane.nsi
  COMMENT "Making ${TOLVANE_PACKAGE_NAME}-setup.exe"
  VERBATIM)

add_custom_command(
  OUTPUT ${TOLVANE_PORTABLE_ZIP}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/packaging/make_portable_zip.py
          ${TOLVANE_PORTABLE_ZIP} ${TOLVANE_PACKAGE_NAME} ${CMAKE_SOURCE_DIR}/packaging/portable-readme.txt
          ${PROJECT_VERSION} ${TOLVANE_ARCH}
          tolvane.exe=$<TARGET_FILE:tolvane>
          tolvane_shell.dll=$<TARGET_FILE:tolvane_shell>
          ${TOLVANE_ZIP_HANDLER32}
          portable.txt=${CMAKE_SOURCE_DIR}/packaging/portable-marker.txt
          core/7z.dll=${TOLVANE_BIN_DIR}/core/7z.dll
          core/7z.exe=${TOLVANE_BIN_DIR}/core/7z.exe
          core/License.txt=${TOLVANE_BIN_DIR}/core/License.txt
          lang/de.dll=${TOLVANE_BIN_DIR}/lang/de.dll
          lang/ja.dll=${TOLVANE_BIN_DIR}/lang/ja.dll
  DEPENDS tolvane tolvane_shell ${TOLVANE_PACKAGE_INPUTS} ${CMAKE_SOURCE_DIR}/packaging/make_portable_zip.py
          ${CMAKE_SOURCE_DIR}/packaging/portable-marker.txt
          ${CMAKE_SOURCE_DIR}/packaging/portable-readme.txt
  COMMENT "Making ${TOLVANE_PACKAGE_NAME}-portable.zip"
  VERBATIM)

add_custom_target(tolvane_packages ALL DEPENDS ${TOLVANE_SETUP} ${TOLVANE_PORTABLE_ZIP})

# The sparse package's manifest for Windows 11's first-level menu (docs/explorer-menu.md), with
# the handler's class from shell/handler_registration.h.
file(STRINGS ${CMAKE_SOURCE_DIR}/shell/handler_registration.h TOLVANE_HANDLER_CLSID_LINE
     REGEX "kHandlerClassText\\[\\] = L\"\\{")
string(REGEX MATCH "[0-9A-F-]+-[0-9A-F]+" TOLVANE_HANDLER_CLSID "${TOLVANE_HANDLER_CLSID_LINE}")
configure_file(${CMAKE_SOURCE_DIR}/packaging/AppxManifest.xml.in
               ${TOLVANE_DIST_DIR}/${TOLVANE_PACKAGE_NAME}-sparse/AppxManifest.xml @ONLY)
