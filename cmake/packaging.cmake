# The release ZIP: cmake --build --preset windows --target package
# It holds the DLL, the user guide with its picture and the licence, and, when this build
# has them, the stand-in host (target vdphost) and the recording proxy (target vdp_proxy,
# in a folder of its own since it carries the plugin's file name).
install(FILES $<TARGET_FILE:VDP_dll> DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/docs/user-guide.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION .)
file(GLOB VDP_GUIDE_PICTURES ${CMAKE_SOURCE_DIR}/docs/user-guide-*.png)
install(FILES ${VDP_GUIDE_PICTURES} DESTINATION .)
if(TARGET vdphost)
  install(FILES $<TARGET_FILE:vdphost> DESTINATION .)
endif()
if(TARGET vdp_proxy)
  install(FILES $<TARGET_FILE:vdp_proxy> DESTINATION recording-proxy)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME VDP_plugin)
set(CPACK_PACKAGE_VENDOR "the VDP plugin developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME VDP_plugin-${PROJECT_VERSION}-win32)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
