# The Run-key command line of the Windows backend: plain string handling, tested everywhere.
add_executable(tst_runkeypath tst_runkeypath.cpp
    ${CMAKE_SOURCE_DIR}/src/platform/win32/runkeypath.cpp)
target_include_directories(tst_runkeypath PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(tst_runkeypath PRIVATE Qt6::Test Qt6::Core scrawlix_warnings)
add_test(NAME tst_runkeypath COMMAND tst_runkeypath)
set_tests_properties(tst_runkeypath PROPERTIES LABELS unit ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
