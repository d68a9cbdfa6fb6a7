# The Windows box end to end under Xvfb and Wine (e2e.sh), with the Linux operator
# tool and the Windows demo launcher.

# Where the programs are, for scripts/demo --windows.
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/windows-programs.txt
     CONTENT "box=$<TARGET_FILE:box>\ndemo-launcher=$<TARGET_FILE:demo-launcher>\n")
add_test(NAME WindowsEndToEnd
         COMMAND ${PROJECT_SOURCE_DIR}/tests/windows/e2e.sh $<TARGET_FILE:box> $<TARGET_FILE:demo-launcher>
                 ${TANDREL_HOST_BUILD_DIR}/tools/admin/tandrel-admin ${CMAKE_BINARY_DIR}/windows-e2e
                 ${CMAKE_BINARY_DIR}/screenshots)
set_tests_properties(WindowsEndToEnd PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 400 RUN_SERIAL TRUE)
