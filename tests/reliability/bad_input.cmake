# Bad input on every parameter of every native method, through the built DLL as a JVM calls it.
if(FW_BUILD_FWCALL)
  target_sources(fwnative_tests PRIVATE reliability/bad_input_test.cpp)
  target_link_libraries(fwnative_tests PRIVATE fwcall_core netapi32)
endif()
