# The fuzz targets' entries as a library: the libFuzzer drivers (fuzz build) and the replay
# test of the ordinary build link the same code.
find_package(ZLIB REQUIRED)
if(NOT TARGET fuzz_entries)
  file(GLOB _fuzz_entry_sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/fuzz/targets/*.cpp")
  add_library(fuzz_entries STATIC
      "${PROJECT_SOURCE_DIR}/fuzz/FuzzTargets.cpp"
      "${PROJECT_SOURCE_DIR}/fuzz/FuzzTargets.h"
      ${_fuzz_entry_sources})
  target_include_directories(fuzz_entries PUBLIC "${PROJECT_SOURCE_DIR}")
  target_link_libraries(fuzz_entries PUBLIC app_core ZLIB::ZLIB)
  tavrix_strict(fuzz_entries)
endif()
