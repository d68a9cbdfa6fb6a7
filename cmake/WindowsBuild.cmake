# What the cross-built Windows box takes from this Debian machine besides the
# compiler: RapidJSON's headers, and GoogleTest built from Debian's sources.
# Nothing else: the box links only the system's own libraries.
add_compile_options(-Werror=return-type)
# GCC 12 at -O3 reports std::string copies it inlined as overlapping (a false
# -Wrestrict); -O2 is as fast for this program and smaller.
string(REPLACE "-O3" "-O2" CMAKE_CXX_FLAGS_RELEASE "${CMAKE_CXX_FLAGS_RELEASE}")
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)

# RapidJSON is header-only; its folder is reached without putting the host's
# /usr/include, with its Linux headers, on the cross compiler's path.
set(TANDREL_RAPIDJSON_SOURCE /usr/include/rapidjson CACHE PATH "RapidJSON's headers on the build machine")
set(RAPIDJSON_INCLUDE_DIRS ${CMAKE_BINARY_DIR}/third_party/include)
file(MAKE_DIRECTORY ${RAPIDJSON_INCLUDE_DIRS})
file(CREATE_LINK ${TANDREL_RAPIDJSON_SOURCE} ${RAPIDJSON_INCLUDE_DIRS}/rapidjson SYMBOLIC)

if(TANDREL_TESTS)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/third_party/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Not held to the project's warnings.
  set_target_properties(gtest gtest_main PROPERTIES COMPILE_OPTIONS -w)
endif()
