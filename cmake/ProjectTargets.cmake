# Helpers shared by the folders' CMakeLists.

# Strict warnings on our own code only. Warnings stop the build only where TAVRIX_WERROR asks
# for it (the CI preset): a newer compiler's new warning must never stop a user's own build.
function(tavrix_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(TAVRIX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A static library made of every source file in the calling folder (with RECURSE, also of its
# sub-folders: a layer grouped by workflow stays one library). Each folder is one layer; new files
# join their layer without touching this build. A folder that has no source yet gives an interface
# library, so that targets above it link.
function(tavrix_folder_library target)
  cmake_parse_arguments(ARG "RECURSE" "" "LINK" ${ARGN})
  if(ARG_RECURSE)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    file(GLOB_RECURSE headers CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  else()
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    file(GLOB headers CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  endif()
  if(sources)
    add_library(${target} STATIC ${sources} ${headers})
    target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${target} PUBLIC ${ARG_LINK})
    target_compile_definitions(${target} PUBLIC TAVRIX_PROGRAM_NAME="${TAVRIX_PROGRAM_NAME}")
    tavrix_strict(${target})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${target} INTERFACE ${ARG_LINK})
    target_compile_definitions(${target} INTERFACE TAVRIX_PROGRAM_NAME="${TAVRIX_PROGRAM_NAME}")
  endif()
endfunction()

# One GoogleTest executable for one folder of tests and its workflow sub-folders (a sub-folder
# with a CMakeLists.txt of its own builds apart and is left out), each test registered with CTest.
function(tavrix_test_folder target)
  cmake_parse_arguments(ARG "" "MAIN" "LINK" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  file(GLOB_RECURSE own_builds CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt")
  foreach(build_file IN LISTS own_builds)
    get_filename_component(own_dir "${build_file}" DIRECTORY)
    list(FILTER sources EXCLUDE REGEX "^${own_dir}/")
  endforeach()
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARG_MAIN} ${ARG_LINK} GTest::gtest GTest::gmock)
  tavrix_strict(${target})
  gtest_discover_tests(${target}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 120
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()
