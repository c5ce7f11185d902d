# fwcall, the command-line host: its JSON views in the test VM, its word rules, and whole runs
# in-process on the built DLL (compared with the same calls made by the suite).
if(FW_BUILD_FWCALL)
  target_sources(fwnative_tests PRIVATE
    fwcall/fwcall_test.cpp
  )
  target_link_libraries(fwnative_tests PRIVATE fwcall_core)
endif()
# The JNI-misuse test exports a native method from the test program itself, and fwcall looks it up
# as a 32-bit JVM does: the plain name, as the i686 DLL exports it.
if(FW_BUILD_FWCALL AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_link_options(fwnative_tests PRIVATE -Wl,--kill-at)
endif()
