# cmake --install: headers, libraries (with the MinGW runtime DLLs on
# Windows), the inspector, and a package so that consumers write
#   find_package(QuarnConfig)
#   target_link_libraries(app PRIVATE QuarnConfig::QuarnConfig)
include(CMakePackageConfigHelpers)

set(QUARN_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/QuarnConfig)

install(TARGETS kqtUtil kqtNetWork QuarnConfig EXPORT QuarnConfigTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
if(TARGET quarncfg)
  install(TARGETS quarncfg RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(QUARN_RUNTIME_DLLS)
  install(FILES ${QUARN_RUNTIME_DLLS} DESTINATION ${CMAKE_INSTALL_BINDIR})
  # "cmake --install --strip" strips the targets; the runtime DLLs are plain
  # files to CMake, so they are stripped here (21 MB of libstdc++-6.dll are
  # debugging information).
  if(CMAKE_STRIP)
    foreach(dll IN LISTS QUARN_RUNTIME_DLLS)
      get_filename_component(dll_name ${dll} NAME)
      install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${dll_name}\")
endif()")
    endforeach()
  endif()
endif()

foreach(header IN LISTS QUARN_PUBLIC_HEADERS)
  get_filename_component(header_dir ${header} DIRECTORY)
  install(FILES ${header} DESTINATION ${QUARN_INSTALL_INCLUDEDIR}/${header_dir})
endforeach()
install(FILES ${PROJECT_BINARY_DIR}/include/config/QuarnConfigExport.h
  ${PROJECT_BINARY_DIR}/include/config/QuarnConfigVersion.h DESTINATION ${QUARN_INSTALL_INCLUDEDIR}/config)
install(FILES ${PROJECT_BINARY_DIR}/include/hwinfo/HwInfoExport.h DESTINATION ${QUARN_INSTALL_INCLUDEDIR}/hwinfo)
install(FILES ${PROJECT_BINARY_DIR}/include/util/kqtUtilExport.h ${PROJECT_BINARY_DIR}/include/util/kqtNetWorkExport.h
  DESTINATION ${QUARN_INSTALL_INCLUDEDIR}/util)

# For builds without CMake: pkg-config --cflags --libs quarnconfig. The file
# finds the prefix from its own place, so an installed tree can be moved.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(QUARN_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH up /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
  string(REGEX REPLACE "/$" "" up "${up}")
  set(QUARN_PC_PREFIX "\${pcfiledir}/${up}")
endif()
configure_file(cmake/quarnconfig.pc.in ${PROJECT_BINARY_DIR}/quarnconfig.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/quarnconfig.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(EXPORT QuarnConfigTargets NAMESPACE QuarnConfig:: DESTINATION ${QUARN_PACKAGE_DIR})
configure_package_config_file(cmake/QuarnConfigConfig.cmake.in ${PROJECT_BINARY_DIR}/QuarnConfigConfig.cmake
  INSTALL_DESTINATION ${QUARN_PACKAGE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/QuarnConfigConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/QuarnConfigConfig.cmake ${PROJECT_BINARY_DIR}/QuarnConfigConfigVersion.cmake
  DESTINATION ${QUARN_PACKAGE_DIR})
